// One running copy of the program per directory: claiming the program's directory by holding its
// lock file open, and bringing the copy that holds it forward. Windows only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "runtime/command.h"

namespace tl::cmd {

enum class Claim : int32_t {
  Claimed = 1,     // this copy is the one that writes the directory's files
  Taken = 0,       // another running copy claimed it first, by whatever path it reached it
  Unclaimed = -1,  // it could be claimed in no way, nor made the current directory
};
// A directory claimed for one copy: its lock file held without sharing, and a named object made
// of the directory's identity, so that a copy that cannot create the lock file (a read-only
// folder, a folder in its place) still finds another. Either handle may be missing; the claim
// lasts while they are open.
struct DirectoryClaim {
  Claim claim = Claim::Unclaimed;
  HANDLE lock = INVALID_HANDLE_VALUE;
  HANDLE named = nullptr;
};
// Claims the directory (given with its trailing backslash) and makes it the current directory.
DirectoryClaim ClaimDirectory(const std::wstring& directoryWithSlash);
// Claims the program's directory for this copy, until the process ends. Answers a Claim.
int32_t ClaimRunDirectory();
// Shows and activates the visible top-level window of that title that
// belongs to another process whose directory's lock file is this directory's lock file (the same
// file, not the same path; the directory itself where there is none); false when there is none.
bool ShowRunningInstance(std::string_view windowTitle);

inline constexpr auto kClaimRunDirectory = MakeCommand<ClaimRunDirectory>("ClaimRunDirectory");
inline constexpr auto kShowRunningInstance = MakeCommand<ShowRunningInstance>("ShowRunningInstance");

}  // namespace tl::cmd
