// The list view, timer and slider bar of the program's own main window under the real runtime:
// created by the loader, reached through the service table's property and command slots, and
// built anew by the property service when a style changes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/program.h"
#include "controls/list_view.h"
#include "controls/timer.h"
#include "forms/ids.h"
#include "runtime/service_slots.h"
#include "runtime/window_map.h"
#include "runtime/window_unit.h"
#include "tests/win/program_fixture.h"

namespace tl {
namespace {

class MainWindowControlsTest : public test::MainWindowLoadedTest {
 protected:
  static int32_t Read(uint32_t unit, int32_t index) {
    return static_cast<int32_t>(Services().ReadUnitProperty(ids::MainWindow.window, unit, index, -1));
  }
  static void Write(uint32_t unit, int32_t index, uint32_t value) {
    Services().WriteUnitProperty(ids::MainWindow.window, unit, index, -1, value, 0);
  }
  static ArgRecord EntryListRef() { return Codec<UnitRef>::Encode(ids::EntryList); }
};

TEST_F(MainWindowControlsTest, TransparencySliderPropertiesFollowTheThumb) {
  Unit* slider = FindUnitObject(ids::MainWindow.window, ids::TransparencySlider.unit);
  ASSERT_TRUE(slider && slider->hwnd());
  EXPECT_EQ(Read(ids::TransparencySlider.unit, 19), 1);
  EXPECT_EQ(Read(ids::TransparencySlider.unit, 18), 255);
  // The trackbar reports to the runtime's window, and the slider still hears it.
  SendMessageW(slider->hwnd(), WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(Read(ids::TransparencySlider.unit, 19), 51);
}

TEST_F(MainWindowControlsTest, TimersStartStoppedAndRunOnceWritten) {
  auto* timer = dynamic_cast<Timer*>(FindUnitObject(ids::MainWindow.window, ids::SaveTimer.unit));
  ASSERT_NE(timer, nullptr);
  EXPECT_FALSE(timer->running());
  Write(ids::SaveTimer.unit, 8, 1);
  EXPECT_TRUE(timer->running());
  EXPECT_EQ(Read(ids::SaveTimer.unit, 8), 1);
}

TEST_F(MainWindowControlsTest, EntryListMethodsAndRecreation) {
  Unit* list = FindUnitObject(ids::MainWindow.window, ids::EntryList.unit);
  ASSERT_TRUE(list && list->hwnd());
  HWND window = LoadedWindow(*FindWindowDefinition(ids::MainWindow.window))->hwnd();

  static char title[] = "买菜";
  ArgRecord insert[7] = {EntryListRef(), {}, {reinterpret_cast<uintptr_t>(title), 0, DataType::Text}};
  EXPECT_EQ(Services().CallLibraryCommand(kListViewInsertItem.entry, 1, 7, insert).low, 0u);
  ArgRecord get[3] = {EntryListRef(), IntArg(0), {}};
  ArgRecord text = Services().CallLibraryCommand(kListViewGetItemText.entry, 1, 3, get);
  ASSERT_EQ(text.type, DataType::Text);
  EXPECT_STREQ(reinterpret_cast<char*>(static_cast<uintptr_t>(text.low)), "买菜");
  Services().Free(reinterpret_cast<void*>(static_cast<uintptr_t>(text.low)));

  // The form's list edits titles in place; turning that off needs a new control: same place,
  // same id, run-time items gone.
  EXPECT_TRUE(GetWindowLongW(list->hwnd(), GWL_STYLE) & LVS_EDITLABELS);
  Write(ids::EntryList.unit, 30, 0);
  Unit* fresh = FindUnitObject(ids::MainWindow.window, ids::EntryList.unit);
  ASSERT_TRUE(fresh && fresh->hwnd());
  EXPECT_NE(fresh, list);
  EXPECT_FALSE(GetWindowLongW(fresh->hwnd(), GWL_STYLE) & LVS_EDITLABELS);
  EXPECT_TRUE(GetWindowLongW(fresh->hwnd(), GWL_STYLE) & LVS_NOCOLUMNHEADER) << "the stored styles stay";
  EXPECT_EQ(GetParent(fresh->hwnd()), window);
  EXPECT_EQ(GetDlgCtrlID(fresh->hwnd()), 100);
  ArgRecord count[1] = {EntryListRef()};
  EXPECT_EQ(Services().CallLibraryCommand(kListViewGetItemCount.entry, 1, 1, count).low, 0u);
}

}  // namespace
}  // namespace tl
