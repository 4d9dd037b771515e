// The file commands: whole-file reads and writes of byte sets, and the program's directory.
// Windows only; file names are GBK texts, widened at the call.
#pragma once

#include <string>

#include "commands/args.h"

namespace tl::cmd {

void ReadFile(ArgRecord* result, int argc, ArgRecord* args);
void WriteFile(ArgRecord* result, int argc, ArgRecord* args);
void GetRunDirectory(ArgRecord* result, int argc, ArgRecord* args);

inline constexpr CommandEntry kFileCommands[] = {
    {"ReadFile", ReadFile}, {"WriteFile", WriteFile}, {"GetRunDirectory", GetRunDirectory},
};

// The executable's directory without a trailing backslash ("C:" for a program in a root).
const std::string& ProgramDirectory();

}  // namespace tl::cmd
