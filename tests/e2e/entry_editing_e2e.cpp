// Working on the entries as a person does: the add button and in-place typing, the list's
// right-click menu (编辑事件, 删除事件, 插入事件, 查看详细) and the left click that clears away rows still
// showing the placeholder. The two files are checked as the save timer leaves them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/main_window_fixture.h"

namespace tl::e2e {
namespace {

// Menu items of the list's right-click menu, counted from 1.
constexpr int kEditItem = 1, kDeleteItem = 2, kInsertItem = 3, kViewDetailsItem = 4;

// A creation time as the program writes it: the date, then the hour, minute and second only as
// far as they are not zero.
std::wstring TimeText(const SYSTEMTIME& t) {
  std::wstring text = std::to_wstring(t.wYear) + L"年" + std::to_wstring(t.wMonth) + L"月" +
                      std::to_wstring(t.wDay) + L"日";
  if (t.wHour == 0 && t.wMinute == 0 && t.wSecond == 0) return text;
  text += std::to_wstring(t.wHour) + L"时";
  if (t.wMinute != 0 || t.wSecond != 0) text += std::to_wstring(t.wMinute) + L"分";
  if (t.wSecond != 0) text += std::to_wstring(t.wSecond) + L"秒";
  return text;
}

// Whether the text is the local time of one of the last few seconds.
bool IsRecentTime(const std::wstring& text) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME file;
  SystemTimeToFileTime(&now, &file);
  ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
  for (int back = 0; back <= 5; ++back) {
    ULARGE_INTEGER then = ticks;
    then.QuadPart -= static_cast<ULONGLONG>(back) * 10'000'000;
    const FILETIME thenFile{then.LowPart, then.HighPart};
    SYSTEMTIME moment;
    FileTimeToSystemTime(&thenFile, &moment);
    if (TimeText(moment) == text) return true;
  }
  return false;
}

class EntryEditing : public MainWindowTest {
 protected:
  ::testing::AssertionResult RowsBecome(const std::vector<ListRow>& rows) {
    if (WaitUntil([&] { return Rows() == rows; })) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the rows are " << ::testing::PrintToString(Rows());
  }
  // Nothing of the program asks anything: no input box, no message box.
  bool NoDialogWithin(DWORD ms) {
    return !WaitUntil([&] { return VisibleWindowOfClass(program(), L"#32770") != nullptr; }, ms);
  }
  // Opens 编辑事件 on the row and waits until the box has the keyboard; null when no box opens
  // or it does not get the keyboard.
  HWND OpenEditBoxOn(int row) {
    ChooseFromListMenu(RowPoint(row), kEditItem);
    HWND box = program().WaitForWindow(L"修改文本", 3000);
    return box && HasKeyboard(box) ? box : nullptr;
  }
  // The box is the active window and its field has the focus: typing goes into the field.
  bool HasKeyboard(HWND box) {
    HWND field = FindChild(box, L"Edit");
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    return WaitUntil([&] {
      return GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &gui) && gui.hwndFocus == field &&
             GetForegroundWindow() == box;
    });
  }
  void ClearField(HWND box) {
    HWND field = FindChild(box, L"Edit");
    PressKey(VK_END);
    for (size_t n = ControlText(field).size(); n > 0; --n) PressKey(VK_BACK);
  }
  // Gives the box the keyboard back with a click into its field.
  void TypeInto(HWND box) {
    HWND field = FindChild(box, L"Edit");
    const POINT inField = CentreOf(field);
    ASSERT_EQ(WindowFromPoint(inField), field);
    LeftClick(inField);
    ASSERT_TRUE(HasKeyboard(box)) << "the box takes the keyboard";
  }
};

TEST_F(EntryEditing, AddButtonOnAnEmptyListOpensAPlaceholderRowForTyping) {
  Start();
  ASSERT_TRUE(Rows().empty());
  LeftClick(CentreOf(addButton_));
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() != nullptr; })) << "the new row opens for typing";
  const std::vector<ListRow> added = Rows();
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(added[0].text, kPlaceholder);
  EXPECT_TRUE(IsRecentTime(added[0].time)) << "creation time: " << Gbk(added[0].time);
  EXPECT_EQ(Selection(), 0);
  EXPECT_TRUE(RowInView(0));
  EXPECT_EQ(ControlText(InPlaceEdit()), kPlaceholder);

  TypeText(L"买牛奶 buy milk");
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() == nullptr; }));
  const std::vector<ListRow> typed = {{L"买牛奶 buy milk", added[0].time}};
  EXPECT_EQ(Rows(), typed);
  EXPECT_TRUE(FilesHold(typed));
}

TEST_F(EntryEditing, AddingMovesAnUntypedPlaceholderToTheEndWithANewTime) {
  Start({{L"alpha", L"2020年1月1日"}, {kPlaceholder, L"2020年1月2日"}, {L"beta", L"2020年1月3日"}});
  LeftClick(CentreOf(addButton_));
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() != nullptr; }));
  const std::vector<ListRow> rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (ListRow{L"alpha", L"2020年1月1日"}));
  EXPECT_EQ(rows[1], (ListRow{L"beta", L"2020年1月3日"}));
  EXPECT_EQ(rows[2].text, kPlaceholder);
  EXPECT_TRUE(IsRecentTime(rows[2].time)) << Gbk(rows[2].time);
  EXPECT_EQ(Selection(), 2);
  EXPECT_TRUE(RowInView(2));
}

// 插入事件 does what the add button does: the new row goes to the end, whichever row was
// right-clicked.
TEST_F(EntryEditing, InsertFromTheMenuOpensANewRowAtTheEndForTyping) {
  const std::vector<ListRow> rows = {{L"alpha", L"2020年1月1日"}, {L"beta", L"2020年1月3日"}};
  Start(rows);
  ChooseFromListMenu(RowPoint(0), kInsertItem);
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() != nullptr; })) << "the new row opens for typing";
  const std::vector<ListRow> inserted = Rows();
  ASSERT_EQ(inserted.size(), 3u);
  EXPECT_EQ(inserted[0], rows[0]);
  EXPECT_EQ(inserted[1], rows[1]);
  EXPECT_EQ(inserted[2].text, kPlaceholder);
  EXPECT_TRUE(IsRecentTime(inserted[2].time)) << Gbk(inserted[2].time);
  EXPECT_EQ(Selection(), 2);

  TypeText(L"交房租");
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() == nullptr; }));
  const std::vector<ListRow> typed = {rows[0], rows[1], {L"交房租", inserted[2].time}};
  EXPECT_EQ(Rows(), typed);
  EXPECT_TRUE(FilesHold(typed));
}

TEST_F(EntryEditing, OneAddRemovesEveryOtherOfAdjacentEmptyRows) {
  Start({{L"a", L"t1"}, {L"", L"t2"}, {L"", L"t3"}, {L"", L"t4"}, {L"b", L"t5"}});
  LeftClick(CentreOf(addButton_));
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() != nullptr; }));
  std::vector<ListRow> rows = Rows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (ListRow{L"a", L"t1"}));
  EXPECT_EQ(rows[1], (ListRow{L"", L"t3"})) << "the empty row that moved up waits for the next add";
  EXPECT_EQ(rows[2], (ListRow{L"b", L"t5"}));
  EXPECT_EQ(rows[3].text, kPlaceholder);

  // The second click ends the edit unchanged; the placeholder moves to the end again.
  LeftClick(CentreOf(addButton_));
  ASSERT_TRUE(WaitUntil([&] { return Rows().size() == 3u && InPlaceEdit() != nullptr; }));
  rows = Rows();
  EXPECT_EQ(rows[0], (ListRow{L"a", L"t1"}));
  EXPECT_EQ(rows[1], (ListRow{L"b", L"t5"}));
  EXPECT_EQ(rows[2].text, kPlaceholder);
}

TEST_F(EntryEditing, EditWithoutSelectionOrOnAnEmptyRowAsksNothing) {
  const std::vector<ListRow> rows = {{L"a", L"t1"}, {L"", L"t2"}, {L"b", L"t3"}};
  Start(rows);
  ChooseFromListMenu(BelowTheRows(), kEditItem);
  ASSERT_EQ(Selection(), -1);
  EXPECT_TRUE(NoDialogWithin(1000)) << "no row selected";

  ChooseFromListMenu(RowPoint(1), kEditItem);
  ASSERT_EQ(Selection(), 1);
  EXPECT_TRUE(NoDialogWithin(1000)) << "the selected row is empty";
  EXPECT_EQ(Rows(), rows);
}

// The box opens over the always-on-top main window, which waits for it, and takes the keyboard
// at once: the user types without clicking into it first.
TEST_F(EntryEditing, EditBoxOpensAboveTheMainWindowAndTakesTheKeyboard) {
  Start({{L"a", L"t1"}, {L"b", L"t2"}});
  ChooseFromListMenu(RowPoint(0), kEditItem);
  HWND box = program().WaitForWindow(L"修改文本", 3000);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(Above(box, main_)) << "the box lies above the main window";
  EXPECT_EQ(GetWindow(box, GW_OWNER), main_);
  EXPECT_FALSE(IsWindowEnabled(main_)) << "the main window waits for the box";
  EXPECT_TRUE(HasKeyboard(box));
  HWND field = FindChild(box, L"Edit");
  ASSERT_NE(field, nullptr);
  // Wherever the two overlap, the box is what the pointer finds.
  RECT boxRect{}, mainRect{}, both{};
  GetWindowRect(box, &boxRect);
  GetWindowRect(main_, &mainRect);
  if (IntersectRect(&both, &boxRect, &mainRect)) {
    EXPECT_EQ(GetAncestor(WindowFromPoint(CentreOf(both)), GA_ROOT), box);
  }

  TypeText(L"x");
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_TRUE(RowsBecome({{L"x", L"t1"}, {L"b", L"t2"}})) << "the typing replaced the selected initial text";
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) && GetForegroundWindow() == main_; }))
      << "the main window is usable again";
}

TEST_F(EntryEditing, EditBoxCancelledConfirmedAndConfirmedEmpty) {
  Start({{L"a", L"t1"}, {L"b", L"t2"}});

  HWND box = OpenEditBoxOn(0);
  ASSERT_NE(box, nullptr) << "the input box 修改文本 opens";
  HWND field = FindChild(box, L"Edit");
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(ControlText(field), L"a");
  PressKey(VK_END);
  TypeText(L"zzz");
  LeftClick(CentreOf(FindChild(box, L"Button", L"取消(&C)")));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_EQ(Rows(), (std::vector<ListRow>{{L"a", L"t1"}, {L"b", L"t2"}})) << "cancelled";

  box = OpenEditBoxOn(0);
  ASSERT_NE(box, nullptr);
  ClearField(box);
  TypeText(L"新的 text");
  LeftClick(CentreOf(FindChild(box, L"Button", L"确认输入(&O)")));
  const std::vector<ListRow> confirmed = {{L"新的 text", L"t1"}, {L"b", L"t2"}};
  EXPECT_TRUE(RowsBecome(confirmed)) << "confirmed; the creation time stays";
  EXPECT_TRUE(FilesHold(confirmed));

  box = OpenEditBoxOn(1);
  ASSERT_NE(box, nullptr);
  ClearField(box);
  PressKey(VK_RETURN);
  EXPECT_TRUE(RowsBecome({{L"新的 text", L"t1"}, {L"", L"t2"}})) << "confirmed empty";
}

// The main window waits while the box is open: a click on another row meanwhile neither moves
// the selection nor passes the answer, or the cancelled box's old text, to that row.
TEST_F(EntryEditing, EditBoxAnswersTheRowItWasOpenedFor) {
  Start({{L"a", L"t1"}, {L"b", L"t2"}});
  const POINT otherRow = RowPoint(1);
  HWND box = OpenEditBoxOn(0);
  ASSERT_NE(box, nullptr);
  LeftClick(otherRow);
  Pump(300);
  EXPECT_EQ(Selection(), 0);
  TypeInto(box);
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_EQ(Rows(), (std::vector<ListRow>{{L"a", L"t1"}, {L"b", L"t2"}})) << "cancelled";

  box = OpenEditBoxOn(0);
  ASSERT_NE(box, nullptr);
  LeftClick(otherRow);
  Pump(300);
  EXPECT_EQ(Selection(), 0);
  TypeInto(box);
  ClearField(box);
  TypeText(L"changed");
  PressKey(VK_RETURN);
  EXPECT_TRUE(RowsBecome({{L"changed", L"t1"}, {L"b", L"t2"}})) << "confirmed";
}

TEST_F(EntryEditing, DeleteRemovesTheSelectedRowWithoutAsking) {
  Start({{L"a", L"t1"}, {L"b", L"t2"}, {L"c", L"t3"}});
  ChooseFromListMenu(RowPoint(1), kDeleteItem);
  const std::vector<ListRow> left = {{L"a", L"t1"}, {L"c", L"t3"}};
  EXPECT_TRUE(RowsBecome(left));
  EXPECT_TRUE(NoDialogWithin(500));
  EXPECT_TRUE(FilesHold(left));

  ChooseFromListMenu(BelowTheRows(), kDeleteItem);
  ASSERT_EQ(Selection(), -1);
  Pump(500);
  EXPECT_EQ(Rows(), left) << "nothing selected, nothing deleted";
}

TEST_F(EntryEditing, ClickOnTheListEndsTypingKeepingTheText) {
  Start();
  LeftClick(CentreOf(addButton_));
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() != nullptr; }));
  TypeText(L"kept");
  LeftClick(BelowTheRows());
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() == nullptr; }));
  Pump(300);
  const std::vector<ListRow> rows = Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].text, L"kept");
}

// What is typed in place is kept exactly: the euro sign (one byte in the files) and 0xFF's
// character leave the next row and every time where they were across a start, and a character
// the files cannot hold is told at once, the typing left open with it, nothing saved changed.
TEST_F(EntryEditing, TypedTextIsKeptExactlyOrToldAtOnce) {
  Start();
  auto typeNewRow = [&](const std::wstring& text) {
    LeftClick(CentreOf(addButton_));
    ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() != nullptr; }));
    TypeText(text);
    PressKey(VK_RETURN);
  };
  typeNewRow(L"房租1200\u20AC");
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() == nullptr; }));
  typeNewRow(L"下一条\uF8F5");
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() == nullptr; }));
  const std::vector<ListRow> kept = Rows();
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].text, L"房租1200\u20AC");
  EXPECT_EQ(kept[1].text, L"下一条\uF8F5");
  ASSERT_TRUE(FilesHold(kept));

  typeNewRow(L"苹果\U0001F34E");
  HWND box = program().WaitForMessageBox(5000);
  ASSERT_NE(box, nullptr) << "the user is told";
  EXPECT_NE(MessageBoxText(box).find(L"\U0001F34E"), std::wstring::npos) << Utf8(MessageBoxText(box));
  AnswerMessageBox(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() && ControlText(InPlaceEdit()) == L"苹果\U0001F34E"; }))
      << "the typing opens again with what was typed";
  EXPECT_EQ(Rows()[2].text, kPlaceholder) << "the row keeps its text meanwhile";
  // The caret waits after what was typed: Backspace takes the emoji (one or both of its halves).
  for (int n = 0; n < 2 && ControlText(InPlaceEdit()) != L"苹果"; ++n) PressKey(VK_BACK);
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() == nullptr; }));
  std::vector<ListRow> rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].text, L"苹果");
  ASSERT_TRUE(FilesHold(rows));

  program_->Kill();
  program_.emplace(directory_);
  list_ = FindChild(program_->MainWindow(), L"SysListView32");
  EXPECT_TRUE(WaitUntil([&] { return ReadRows(list_) == rows; })) << ::testing::PrintToString(ReadRows(list_));
  EXPECT_TRUE(NoDialogWithin(1500)) << "the files loaded exactly: no backup, no box";
}

TEST_F(EntryEditing, DetailsShowTheLastSaveAndStayAsOpened) {
  const std::vector<ListRow> rows = {{L"a", L"2021年3月4日5时6分"}, {L"b", L"2021年3月5日"}};
  Start(rows);
  ChooseFromListMenu(RowPoint(0), kViewDetailsItem);
  HWND details = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND w : program().VisibleTopLevelWindows()) {
      if (w != main_ && FindChild(w, L"SysListView32")) details = w;
    }
    return details != nullptr;
  })) << "the details window opens";
  HWND detailsList = FindChild(details, L"SysListView32");
  EXPECT_TRUE(WaitUntil([&] { return ReadRows(detailsList) == rows; }));

  LeftClick(CentreOf(addButton_));
  ASSERT_TRUE(WaitUntil([&] { return Rows().size() == 3u; }));
  ASSERT_TRUE(FilesHold(Rows())) << "the new row is saved";
  Pump(300);
  EXPECT_EQ(ReadRows(detailsList), rows) << "the open details window is not refreshed";
}

}  // namespace
}  // namespace tl::e2e
