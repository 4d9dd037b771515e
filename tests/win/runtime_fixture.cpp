#include "tests/win/runtime_fixture.h"

#include "runtime/loader.h"
#include "runtime/program_header.h"
#include "runtime/runtime_state.h"
#include "runtime/startup.h"
#include "runtime/unit.h"
#include "runtime/window_map.h"
#include "runtime/window_unit.h"

namespace tl::test {

void LoadProgram(const ProgramHeader& header) {
  UseProgramHeader(header);
  InitializeRuntime();
}

void DestroyLoadedWindows() {
  for (auto& definition : Runtime().windows) {
    if (WindowUnit* w = LoadedWindow(*definition)) DestroyWindow(w->hwnd());
  }
}

void LoadWindowOrFail(uint32_t windowId) {
  WindowDefinition* definition = FindWindowDefinition(windowId);
  ASSERT_NE(definition, nullptr);
  ASSERT_EQ(LoadWindowFromDefinition(*definition, false, nullptr), 1);
}

HWND LoadWindowExpectingSuccess(uint32_t windowId, bool modal) {
  EXPECT_EQ(LoadWindowFromDefinition(*FindWindowDefinition(windowId), modal, nullptr), 1);
  WindowUnit* w = LoadedWindow(*FindWindowDefinition(windowId));
  return w ? w->hwnd() : nullptr;
}

HWND UnitHandle(uint32_t windowId, uint32_t unitId) {
  Unit* unit = FindUnitObject(windowId, unitId);
  if (!unit) {
    ADD_FAILURE() << std::hex << "window " << windowId << " has no unit " << unitId;
    return nullptr;
  }
  return unit->hwnd();
}

}  // namespace tl::test
