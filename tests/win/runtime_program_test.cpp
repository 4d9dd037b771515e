// The program's own header, libraries and form image under the runtime: the secondary windows
// load with every control the unit types build.
#include <gtest/gtest.h>

#include <windows.h>

#include <string_view>

#include "app/program.h"
#include "forms/ids.h"
#include "runtime/memory.h"
#include "runtime/runtime.h"
#include "runtime/runtime_state.h"
#include "runtime/unit.h"
#include "runtime/window_unit.h"

namespace tl {
namespace {

class ProgramImageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    UseProgramHeader(app::kProgramHeader);
    InitializeRuntime();
  }
  void TearDown() override {
    for (auto& definition : Runtime().windows) {
      if (WindowUnit* w = LoadedWindow(*definition)) DestroyWindow(w->hwnd());
    }
  }
};

TEST_F(ProgramImageTest, HeaderWordsAndTheFourWindows) {
  EXPECT_EQ(Runtime().build, 121671u);
  ASSERT_EQ(Runtime().windows.size(), 4u);
  EXPECT_EQ(Runtime().windows[0]->id, ids::MainWindow);
  EXPECT_NE(Services().CallDllCommand, nullptr);
  EXPECT_TRUE(IsConstant(app::kConstants.emptyText));
  const ProgramHeader& header = app::kProgramHeader;
  ASSERT_EQ(header.dllCount, 8u);
  for (uint32_t i = 0; i < header.dllCount; ++i) {
    EXPECT_TRUE(IsConstant(header.dllLibraryNames[i]) && IsConstant(header.dllEntryNames[i])) << i;
  }
  EXPECT_STREQ(header.dllLibraryNames[3], "user32");
  EXPECT_STREQ(header.dllEntryNames[2], "SetLayeredWindowAttributes");
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

TEST_F(ProgramImageTest, ReminderWindowLoadsWithItsTwelveControls) {
  WindowDefinition* reminder = FindWindowDefinition(ids::ReminderWindow);
  ASSERT_NE(reminder, nullptr);
  ASSERT_EQ(LoadWindow(*reminder, false, nullptr), 1);
  HWND hwnd = LoadedWindow(*reminder)->hwnd();
  for (uint32_t id : {ids::ReminderList, ids::ReminderTimer, ids::ReminderMinuteBox,
                      ids::ReminderHourBox, ids::ReminderCaption, ids::ConfirmReminderButton,
                      ids::ReminderDateBox}) {
    EXPECT_NE(FindUnitObject(ids::ReminderWindow, id), nullptr) << std::hex << id;
  }
  // Created from the last record down: the date box first.
  Unit* dateBox = FindUnitObject(ids::ReminderWindow, ids::ReminderDateBox);
  ASSERT_TRUE(dateBox && dateBox->hwnd());
  EXPECT_EQ(GetDlgCtrlID(dateBox->hwnd()), 100);
  EXPECT_EQ(GetParent(dateBox->hwnd()), hwnd);
}

TEST_F(ProgramImageTest, MainDetailsAndAboutWindowsLoad) {
  for (uint32_t id : {ids::MainWindow, ids::DetailsWindow, ids::AboutWindow}) {
    WindowDefinition* definition = FindWindowDefinition(id);
    ASSERT_NE(definition, nullptr);
    EXPECT_EQ(LoadWindow(*definition, false, nullptr), 1) << std::hex << id;
  }
}

}  // namespace
}  // namespace tl
