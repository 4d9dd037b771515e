// Event delivery to the application's handlers, and the message loop with its pre-processing
// and idle time. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/events.h"

namespace tl {

// Calls the handler bound to the record's (window, unit, event index) with its arguments and
// puts the handler's answer in the record. 1 when a handler ran; 0 when none is bound or events
// are suspended.
int32_t FireEvent(EventRecord& record);
int32_t FireTypedEvent(TypedEventRecord& record);

// Event suspension (requests 2009/2010), which nests; each first runs a pass over the queued
// messages.
void SuspendEvents();
void ResumeEvents();

// Focus gained and lost (-7, -8) arrive as sent messages: a hook on the main thread sees them,
// installed once the form image is read, and only when some window handles one of them.
void InstallFocusEvents();

// What the loop does with a fetched message before dispatching it: the window's accelerators,
// its own keys and the events common to all windowed units. True when the message is consumed.
bool PreprocessMessage(MSG& msg);

// One pass over the messages queued now (request 2018): timer and paint messages at most once
// per source. A non-zero budget ends the pass after that many milliseconds, between messages.
void ProcessQueuedMessages(uint32_t budgetMs = 0);

// The message loop: returns when no loaded window is alive or WM_QUIT arrives; in modal mode
// also when the given window is gone.
void RunMessageLoop();
void RunModalLoop(uint32_t modalWindow);
// A routine the loop runs in its idle time for as long as the window exists.
void RegisterIdleCallback(HWND window, void (*routine)(intptr_t), intptr_t argument);
bool AnyLoadedWindowAlive();

}  // namespace tl
