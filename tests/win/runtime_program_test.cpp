// The program's own header and constant area under the runtime: the header's words, its
// declared DLL calls and the literal texts the handlers are given.
#include <gtest/gtest.h>

#include <windows.h>

#include <string_view>

#include "app/program.h"
#include "forms/ids.h"
#include "runtime/memory.h"
#include "runtime/program_header.h"
#include "runtime/runtime_state.h"
#include "runtime/service_slots.h"
#include "runtime/unit.h"
#include "runtime/window_unit.h"
#include "tests/win/program_fixture.h"

namespace tl {
namespace {

using ProgramImageTest = test::ProgramTest;

TEST_F(ProgramImageTest, TheFourWindowsAndDeclaredCallNamesInTheConstantArea) {
  ASSERT_EQ(Runtime().windows.size(), 4u);
  EXPECT_EQ(Runtime().windows[0]->id, ids::MainWindow.window);
  EXPECT_NE(Services().CallDllCommand, nullptr);
  EXPECT_TRUE(IsConstant(app::kConstants.emptyText));
  const ProgramHeader& header = app::kProgramHeader;
  ASSERT_GT(header.dllCount, 0u);
  for (uint32_t i = 0; i < header.dllCount; ++i) {
    EXPECT_TRUE(IsConstant(header.dllLibraryNames[i]) && IsConstant(header.dllEntryNames[i])) << i;
  }
}

TEST_F(ProgramImageTest, EveryListedLiteralTextLiesInTheConstantAreaAndSurvivesFree) {
  EXPECT_STREQ(app::ConstantText("[提醒]"), "[提醒]");
  const char* at = app::kConstants.texts.data();
  for (std::string_view text : app::kConstantTexts) {
    ASSERT_EQ(std::string_view(at), text);
    // Every byte up to the terminating zero: a routine may answer the text or its tail.
    for (size_t i = 0; i <= text.size(); ++i) {
      EXPECT_TRUE(IsConstant(at + i)) << text << " " << i;
      Services().Free(const_cast<char*>(at + i));
    }
    EXPECT_EQ(std::string_view(at), text);
    at += text.size() + 1;
  }
  EXPECT_EQ(at, app::kConstants.texts.data() + app::kConstants.texts.size());
  EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

}  // namespace
}  // namespace tl
