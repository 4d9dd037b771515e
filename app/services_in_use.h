// The application's one way to the runtime: the service table the runtime handed to the entry
// routine. Every helper of the application calls through one of its slots.
#pragma once

#include <cstdint>

#include "runtime/service_table.h"
#include "runtime/value.h"

namespace tl::app {

// The entry routine records the table once, before any handler can run.
void UseServices(const ServiceTable& services);
const ServiceTable& ServicesInUse();

// The application's own runtime errors (index checks, unbalanced DLL calls): do not return.
[[noreturn]] void RuntimeError(int32_t code);
// Ends the program with the exit code (ExitProgram: the exit callbacks run first).
[[noreturn]] void EndProgram(int32_t code);

// Numbers: the application computes in doubles; the value model's TruncateToInteger turns a
// double into an integer argument by truncation toward zero.
using tl::TruncateToInteger;

}  // namespace tl::app
