// The runtime's side of the service table: the slots it hands the application, and the run of the
// program that hands them over. Windows only.
#pragma once

#include "runtime/program_header.h"
#include "runtime/service_table.h"

namespace tl {

const ServiceTable& Services();

// The application's start-up entry: initialises through notify code 6, loads the start window
// and runs the message loop; its result ends the process.
using StartupEntry = int (*)(const ServiceTable& services);
// Runs the program: the header in use, the program's directory recorded, then the start-up
// entry with the service table; ends the process (never returns).
[[noreturn]] void RunProgram(const ProgramHeader& header, StartupEntry entry);

}  // namespace tl
