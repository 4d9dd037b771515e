// One running copy of the program per directory: claiming the program's directory by holding its
// lock file open, and bringing the copy that holds it forward. Windows only.
#pragma once

#include "runtime/args.h"

namespace tl::cmd {

// () -> bool: false when another running copy holds the lock file of the program's directory,
// by whatever path it reached the directory; true otherwise. The claim lasts until the process
// ends. A directory whose lock file cannot be opened at all (read-only, access denied) stays
// unclaimed and the answer is true.
void ClaimRunDirectory(ArgRecord* result, int argc, ArgRecord* args);
// (window title) -> bool: shows and activates the visible top-level window of that title that
// belongs to another process whose directory's lock file is this directory's lock file (the same
// file, not the same path); false when there is none.
void ShowRunningInstance(ArgRecord* result, int argc, ArgRecord* args);

}  // namespace tl::cmd
