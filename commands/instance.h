// One running copy of the program per directory: claiming the program's directory, and bringing
// the copy that holds it forward. Windows only.
#pragma once

#include "commands/args.h"

namespace tl::cmd {

// () -> bool: true when no other running copy of the program started from the same directory;
// the claim lasts until the process ends.
void ClaimRunDirectory(ArgRecord* result, int argc, ArgRecord* args);
// (window title) -> bool: shows and activates the visible top-level window of that title that
// belongs to another process started from this program's directory; false when there is none.
void ShowRunningInstance(ArgRecord* result, int argc, ArgRecord* args);

}  // namespace tl::cmd
