// Stands in for the runtime under a unit: records every event the unit fires, with the time it
// fired, and answers nothing.
#pragma once

#include <windows.h>

#include <cstdint>
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

// Clears what was recorded and makes the recording runtime the one units fire into.
void StartRecordingEvents();
// Leaves the units without a runtime.
void StopRecordingEvents();

}  // namespace tl::test
