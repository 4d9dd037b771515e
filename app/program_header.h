// The application's program header and the constants it points at.
#pragma once

#include <cstdint>

#include "runtime/program_header.h"

namespace tl::app {

// The application's constant area: pointers into it are never freed or resized in place.
struct Constants {
  char emptyText[4];
  int32_t emptyByteSet[2];  // {1, 0}: also the empty one-dimensional array
  const char* dllLibraryNames[6];
  const char* dllEntryNames[6];
};
extern const Constants kConstants;

extern const ProgramHeader kProgramHeader;

}  // namespace tl::app
