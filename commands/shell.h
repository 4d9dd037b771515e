// Desktop automation and shell commands: synthetic keys and clicks, opening web addresses and
// running the shell's verbs on files. Windows only.
#pragma once

#include "runtime/args.h"

namespace tl::cmd {

void SimulateKey(ArgRecord* result, int argc, ArgRecord* args);
void SimulateMouseClick(ArgRecord* result, int argc, ArgRecord* args);
void OpenWebAddress(ArgRecord* result, int argc, ArgRecord* args);
void Execute(ArgRecord* result, int argc, ArgRecord* args);

}  // namespace tl::cmd
