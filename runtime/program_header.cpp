#include "runtime/program_header.h"

namespace tl {
namespace {
const ProgramHeader* g_header = nullptr;
}

void UseProgramHeader(const ProgramHeader& header) { g_header = &header; }

const ProgramHeader* ProgramHeaderInUse() { return g_header; }

const UnitTypeDescriptor* FindUnitType(uint32_t typeId) {
  if (typeId == 0 || typeId >= 0x40000000) return nullptr;
  const ProgramHeader* header = g_header;
  if (!header || !header->libraries) return nullptr;
  const uint32_t library = typeId >> 16, type = typeId & 0xFFFF;
  if (library < 1 || library > header->libraryCount || type < 1) return nullptr;
  const LibraryRecord& record = header->libraries[library - 1];
  if (type > record.unitTypeCount || !record.unitTypes) return nullptr;
  return record.unitTypes[type - 1];
}

}  // namespace tl
