// The program's table of command libraries, in library-number order. Windows only.
#pragma once

#include <cstdint>

#include "runtime/unit_type.h"

namespace tl {

inline constexpr uint32_t kLibraryCount = 8;
extern const LibraryRecord kLibraries[kLibraryCount];

}  // namespace tl
