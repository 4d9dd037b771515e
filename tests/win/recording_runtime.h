// Stands in for the runtime under units and commands: records every event a unit fires, with
// the time it fired, and answers those a test chose; finds the units a test made; runs the
// queued messages when a command asks, as the runtime does. It answers nothing else.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "runtime/events.h"
#include "runtime/unit_events.h"

namespace tl::test {

// The runtime request function that records.
intptr_t RecordingRuntime(Request code, intptr_t a, intptr_t b);

// The events fired since the last clear, oldest first, and the tick count at which each fired.
const std::vector<EventRecord>& FiredEvents();
const std::vector<DWORD>& FiringTimes();
void ClearFiredEvents();
// The latest fired event of the index, or null.
const EventRecord* LastFired(int32_t index);

// From now on an event whose index is a key is answered with its value, as a handler's result;
// the others go unanswered.
void AnswerEvents(std::map<int32_t, int32_t> answers);
// Called with every event as it fires, before it is answered (a handler's work); none: nothing.
void OnFiredEvent(std::function<void(const EventRecord&)> handler);
// The unit a reference (window id, unit id) finds, checked or not; none until placed.
void PlaceUnit(uint32_t window, uint32_t unit, Unit* object);
// How often a command asked for the queued messages to be run.
int QueuedRounds();

// Forgets what was recorded, answered, placed and counted.
void ResetRecordingRuntime();
// Resets it and makes it the runtime that units and commands call.
void StartRecordingEvents();
// Resets it and leaves units and commands without a runtime.
void StopRecordingEvents();

}  // namespace tl::test
