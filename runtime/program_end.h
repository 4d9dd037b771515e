// The end of the program, from the main thread or any other. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tl {

// Another thread's end-program request, sent to the hidden owner window (wParam: the exit code).
inline constexpr UINT kMsgEndProgram = 0x83E7;

// Ends the process with the code after Cleanup. Called on another thread, it has the main thread
// end the program.
[[noreturn]] void ExitProgram(int32_t code);
// Destroys the windows, runs the exit callbacks, notifies the libraries, releases the rest.
// Runs once; later calls do nothing.
void Cleanup();

}  // namespace tl
