// Calling the program's declared DLL functions.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace tl::app {

// Calls declaration `index` with 32-bit argument words through the core command that hands them
// to the runtime; a function that removes other than exactly those words from the stack is
// runtime error 6.
uint32_t CallDll(uint32_t index, std::initializer_list<uint32_t> args);

}  // namespace tl::app
