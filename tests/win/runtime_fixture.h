// The runtime with a program loaded: its header and form image taken once, and the windows a
// test loaded destroyed after it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "runtime/program_header.h"

namespace tl::test {

// Makes the program's header and form image the runtime's and initializes the runtime.
void LoadProgram(const ProgramHeader& header);
// Destroys every window of the program that is loaded now.
void DestroyLoadedWindows();
// Loads the window with this id modelessly; fails the test when it cannot.
void LoadWindowOrFail(uint32_t windowId);
// Loads the window with this id, expecting the loader to succeed; answers the loaded window's
// handle, or null when it is not loaded.
HWND LoadWindowExpectingSuccess(uint32_t windowId, bool modal = false);
// The window of a unit of a loaded window (unit 0: the window itself); a unit that is not there
// fails the test and answers null.
HWND UnitHandle(uint32_t windowId, uint32_t unitId);

}  // namespace tl::test
