// Calling the program's declared DLL functions.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace tl::app {

// A point as the declared pointer and window functions fill it.
struct PointRecord {
  int32_t x;
  int32_t y;
};

// Calls declaration `index` with 32-bit argument words through the core command that hands them
// to the runtime; a function that removes other than exactly those words from the stack is
// runtime error 6.
uint32_t CallDll(uint32_t index, std::initializer_list<uint32_t> args);

// The pointer's place on the screen; {0, 0} when it cannot be read.
PointRecord CursorPosition();
// Where a window's client area starts on the screen; {0, 0} when it cannot be found.
PointRecord ClientOrigin(int32_t window);

}  // namespace tl::app
