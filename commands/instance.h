// One running copy of the program per directory: claiming the program's directory by holding its
// lock file open, and bringing the copy that holds it forward. Windows only.
#pragma once

#include <string_view>

#include "runtime/command.h"

namespace tl::cmd {

// False when another running copy holds the lock file of the program's directory,
// by whatever path it reached the directory; true otherwise. The claim lasts until the process
// ends. A directory whose lock file cannot be opened at all (read-only, access denied) stays
// unclaimed and the answer is true.
bool ClaimRunDirectory();
// Shows and activates the visible top-level window of that title that
// belongs to another process whose directory's lock file is this directory's lock file (the same
// file, not the same path); false when there is none.
bool ShowRunningInstance(std::string_view windowTitle);

inline constexpr auto kClaimRunDirectory = MakeCommand<ClaimRunDirectory>("ClaimRunDirectory");
inline constexpr auto kShowRunningInstance = MakeCommand<ShowRunningInstance>("ShowRunningInstance");
// The instance commands' table.
inline constexpr const CommandInfo* kInstanceCommands[] = {&kClaimRunDirectory, &kShowRunningInstance};

}  // namespace tl::cmd
