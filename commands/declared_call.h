// Calling one of the program's declared DLL functions from a handler. The runtime makes the call
// and checks the stack around it, so the application needs no calling code of its own.
// Windows only.
#pragma once

#include "runtime/command.h"

namespace tl::cmd {

// The declaration's index, then the function's own arguments, one 32-bit word each (the record's
// low word), in order. Answers the function's 32-bit result. A function that takes more or fewer
// words off the stack is runtime error 6.
int32_t CallDeclared(int32_t index, MoreRecords words);

inline constexpr auto kCallDeclared = MakeCommand<CallDeclared>("CallDeclared");

}  // namespace tl::cmd
