// The program header: thirteen 32-bit words that locate the application's handler table,
// constants, form image, libraries and declared DLL functions. The runtime runs one header, read
// once at start-up, and finds every unit type in the libraries it lists.
#pragma once

#include <cstdint>

#include "runtime/service_table.h"
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

// The header the runtime runs from now on (the first start-up step); it must outlive the run.
void UseProgramHeader(const ProgramHeader& header);
// The header in use, null before the first UseProgramHeader.
const ProgramHeader* ProgramHeaderInUse();

// The descriptor of unit type (library number << 16) | type number in the header's libraries;
// null for an unknown type, a null entry, or when no header is in use.
const UnitTypeDescriptor* FindUnitType(uint32_t typeId);

}  // namespace tl
