// Calling one of the program's declared DLL functions from a handler. The runtime makes the call
// and checks the stack around it, so the application needs no calling code of its own.
// Windows only.
#pragma once

#include "runtime/args.h"

namespace tl::cmd {

// Argument 0: the declaration's index; the arguments after it: the function's own arguments, one
// 32-bit word each (the record's low word), in order. Answers the function's 32-bit result as an
// int. A function that takes more or fewer words off the stack is runtime error 6.
void CallDeclared(ArgRecord* result, int argc, ArgRecord* args);

}  // namespace tl::cmd
