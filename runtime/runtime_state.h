// The runtime object: what start-up records, the window map's definitions, event state, exit,
// session-end and idle callbacks. One per process, used on the main thread only; each group of
// fields names the files that keep it. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
  // Start-up (startup.cpp) records these; the end (program_end.cpp) releases them.
  uint32_t version0 = 0, version1 = 0, build = 0;
  bool initialized = false;
  DWORD mainThread = 0;
  HWND hiddenOwner = nullptr;
  std::string programDirectory;  // GBK, with a trailing backslash
  std::string programFileName;   // GBK, the file name only
  HICON defaultBigIcon = nullptr, defaultSmallIcon = nullptr;
  bool oleInitialized = false;

  // The window map, in image order: read in by the loader, looked up through window_map.h.
  std::vector<std::unique_ptr<WindowDefinition>> windows;

  // The event dispatch and the message loop (dispatch.cpp).
  int suspendCount = 0;  // events are dropped while above 0
  uint32_t sourceWindow = 0, sourceUnit = 0;
  bool loopEntered = false;
  uint32_t modalWindow = 0;
  std::vector<IdleCallback> idleCallbacks;

  // The end (program_end.cpp), and the callbacks registered through the service table
  // (service_slots.cpp) that it and the session's end (session_end.cpp) run.
  bool ending = false;
  std::vector<ExitCallback> exitCallbacks;
  std::vector<SessionEndCallback> sessionEndCallbacks;
  bool sessionEnded = false;  // the session-end callbacks have run
};

// The one runtime object, made on first use.
inline RuntimeState& Runtime() {
  static RuntimeState state;
  return state;
}

}  // namespace tl
