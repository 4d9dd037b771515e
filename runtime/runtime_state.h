// The runtime object: window definitions, event state, exit, session-end and idle callbacks, the
// hidden owner window and what start-up records. One per process, used on the main thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/program_header.h"
#include "runtime/service_table.h"
#include "runtime/window_definition.h"

namespace tl {

using IdleRoutine = void (*)(intptr_t argument);
struct IdleCallback {
  HWND window;
  IdleRoutine routine;
  intptr_t argument;
};

struct RuntimeState {
  uint32_t version0 = 0, version1 = 0, build = 0;
  std::vector<std::unique_ptr<WindowDefinition>> windows;  // the window map, in image order

  int suspendCount = 0;
  uint32_t sourceWindow = 0, sourceUnit = 0;
  bool loopEntered = false;
  bool ending = false;
  bool initialized = false;
  DWORD mainThread = 0;
  uint32_t modalWindow = 0;
  std::vector<ExitCallback> exitCallbacks;
  std::vector<SessionEndCallback> sessionEndCallbacks;
  bool sessionEnded = false;  // the session-end callbacks have run
  std::vector<IdleCallback> idleCallbacks;

  HWND hiddenOwner = nullptr;
  std::string programDirectory;  // GBK, with a trailing backslash
  std::string programFileName;   // GBK, the file name only
  HICON defaultBigIcon = nullptr, defaultSmallIcon = nullptr;
  bool oleInitialized = false;
};

RuntimeState& Runtime();

// A window the program closes itself: no close request is raised, and the windows it disabled
// as a modal window get their states back. False when the window is not loaded.
bool CloseByProgram(uint32_t windowId);

// Focus gained and lost (-7, -8) arrive as sent messages: a hook on the main thread sees them,
// installed once the form image is read, and only when some window handles one of them.
void InstallFocusEvents();

// What the loop does with a fetched message before dispatching it: the window's accelerators,
// its own keys and the events common to all windowed units. True when the message is consumed.
bool PreprocessMessage(MSG& msg);

// One pass over the messages queued now (request 2018): timer and paint messages at most once
// per source. A non-zero budget ends the pass after that many milliseconds, between messages.
// Event suspension (requests 2009/2010) runs a pass first.
void ProcessQueuedMessages(uint32_t budgetMs = 0);
void SuspendEvents();
void ResumeEvents();

}  // namespace tl
