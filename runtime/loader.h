// The form image read into the window map at start-up, and the loading and unloading of windows
// from their definitions. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tl {

struct WindowDefinition;

// What the loader tells the units of a window it builds.
inline constexpr UINT kMsgAllUnitsExist = 0x806F;  // to every control, once all are created
inline constexpr UINT kMsgWindowBuilt = 0x8004;    // to the window, then
inline constexpr UINT kMsgWindowUp = 0x8076;       // to every control, once the window is shown

// Reads the program header's form image into the window map; any failure is a runtime error.
void LoadFormImage();
// 1 on success, 0 on failure (the loader's contract).
int LoadWindowFromDefinition(WindowDefinition& definition, bool modal, HWND owner);
// Request 2005 path: loads, and for a visible modal window runs a nested loop until it is gone.
int LoadWindowRequest(uint32_t windowId, HWND owner, bool modal);
// Releases the window map entries of a loaded window destroyed natively (request 2000).
void WindowDestroyed(uint32_t windowId);
// A window the program closes itself: no close request is raised, and the windows it disabled
// as a modal window get their states back. False when the window is not loaded.
bool CloseByProgram(uint32_t windowId);

}  // namespace tl
