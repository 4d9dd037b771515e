// The program header: thirteen 32-bit words that locate the application's handler table,
// constants, form image, libraries and declared DLL functions. Read once at start-up.
#pragma once

#include <cstdint>

#include "runtime/services.h"
#include "runtime/unit_type.h"

namespace tl {

struct ProgramHeader {
  uint32_t version0;
  uint32_t version1;
  uint32_t build;
  const HandlerTable* codeBase;  // handler reference r in the image calls codeBase->entries[r]
  const void* constants;
  uint32_t constantsLength;
  const uint8_t* formImage;
  uint32_t formImageLength;
  uint32_t libraryCount;
  const LibraryRecord* libraries;
  uint32_t dllCount;
  const char* const* dllLibraryNames;
  const char* const* dllEntryNames;
};
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(ProgramHeader) == 13 * 4);
#endif

}  // namespace tl
