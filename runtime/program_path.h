// Where the program's own file lies. Windows only.
#pragma once

#include <string>

namespace tl {

// The executable's full path; empty if the system cannot say.
std::wstring ProgramPath();
// Its directory with the trailing backslash; empty if the path has none.
std::wstring ProgramDirectory();

}  // namespace tl
