#include <string_view>

#include "app/app_handlers.h"
#include "app/clock.h"
#include "app/command_calls.h"
#include "app/declared_calls.h"
#include "app/dialogs.h"
#include "app/globals.h"
#include "app/program.h"
#include "app/units.h"
#include "commands/dialogs.h"

namespace tl::app {
namespace {

constexpr ListUnit kEntryList{units::EntryList};

// The title every new row starts with; a row still holding it was never typed over.
constexpr std::string_view kPlaceholderText = "输入内容， 列如：写PPt";


constexpr uint32_t kKeyDownMessage = 0x0100, kKeyUpMessage = 0x0101, kButtonClickMessage = 0x00F5;
constexpr uint32_t kEnterKey = 13;
// Repeat count 1 and the Enter key's scan code; a release also carries the previous-state and
// transition bits.
constexpr uint32_t kEnterPressed = 0x001C0001, kEnterReleased = 0xC01C0001;

bool IsPlaceholder(std::string_view title) { return title == kPlaceholderText; }
bool IsEmptyRow(std::string_view title) { return title.empty(); }

// Selects the row, scrolls it into view and deletes it. An index that has fallen past the end of
// the list selects nothing, and then nothing is deleted.
void DeleteRowAt(int32_t row) {
  kEntryList.SetCurrentSelection(row);
  if (kEntryList.CurrentSelection() != row) return;
  kEntryList.EnsureVisible(row);
  kEntryList.DeleteItem(row);
}

// One pass over the rows as they were counted before it. The index moves on after a deletion
// too, so the row that moves up into a deleted row's place waits for the next pass.
void RemoveRowsWhere(bool (*matches)(std::string_view)) {
  const int32_t count = kEntryList.ItemCount();
  for (int32_t row = 0; row < count; ++row) {
    if (matches(kEntryList.ItemText(row).view())) DeleteRowAt(row);
  }
}

// A placeholder left unchanged by an earlier add moves to the end instead of piling up.
void RemoveFirstPlaceholderRow() {
  const int32_t count = kEntryList.ItemCount();
  for (int32_t row = 0; row < count; ++row) {
    if (IsPlaceholder(kEntryList.ItemText(row).view())) {
      DeleteRowAt(row);
      return;
    }
  }
}

// Walks the selection down the whole list, which leaves the last row selected and in view.
void SelectLastRowWalkingDown() {
  const int32_t count = kEntryList.ItemCount();
  for (int32_t row = 0; row < count; ++row) {
    kEntryList.SetCurrentSelection(row);
    kEntryList.EnsureVisible(kEntryList.CurrentSelection());
  }
}

void AddPlaceholderRow() {
  RemoveRowsWhere(IsEmptyRow);
  RemoveFirstPlaceholderRow();
  kEntryList.InsertItem(std::nullopt, kPlaceholderText.data());
  SelectLastRowWalkingDown();
  kEntryList.EditItem(kEntryList.CurrentSelection());
  kEntryList.SetItemText(kEntryList.CurrentSelection(), 1, DateTimeText(DateTimeNow()).c_str());
}

void SaveCursor() {
  *TheGlobals().SavedCursor = CursorPosition();
}

void RestoreCursor() {
  const PointRecord& saved = *TheGlobals().SavedCursor;
  CallDll(declared::SetCursorPos, {static_cast<uint32_t>(saved.x), static_cast<uint32_t>(saved.y)});
}

void PostToWindow(uint32_t window, uint32_t message, uint32_t wParam, uint32_t lParam) {
  CallDll(declared::PostMessageA, {window, message, wParam, lParam});
}

// The click and the key go to the program's own windows as posted messages rather than as
// desktop input: a desktop click at the window's outer position plus the hidden button's offset
// misses the 1 x 1 button, landing beside the window on whatever program is behind it at the
// usual width, and on this very list (so on this handler again) in a widened window. Posted,
// they are still handled after this handler returns, as the input they stand for would be.
void ClickHiddenButton() {
  PostToWindow(static_cast<uint32_t>(WindowHandle(units::HiddenButton)), kButtonClickMessage, 0, 0);
}

// For the window of this program that has the keyboard focus; none has it while another
// program is active, and then the key is not pressed.
void PressEnter() {
  const uint32_t focus = CallDll(declared::GetFocus, {});
  if (focus == 0) return;
  PostToWindow(focus, kKeyDownMessage, kEnterKey, kEnterPressed);
  PostToWindow(focus, kKeyUpMessage, kEnterKey, kEnterReleased);
}

}  // namespace

HandlerResult OnAddEntry(Args) {
  AddPlaceholderRow();
  return NoAnswer;
}

HandlerResult OnInsertEntry(Args) {
  AddPlaceholderRow();
  return NoAnswer;
}

// The timers' handlers run while the input box waits and may move the selection or change rows
// (a due reminder selects the entries it unmarks): the answer belongs to the row the user chose
// to edit, and only while that row still holds the text the box was opened with. A cancelled box
// leaves every row as it is.
HandlerResult OnEditEntry(Args) {
  const int32_t row = kEntryList.CurrentSelection();
  const Text oldText = kEntryList.ItemText(row);
  if (oldText.empty()) return NoAnswer;
  Text answer;
  if (!AskForText("请输入要更改的文本", "修改文本", oldText.c_str(), answer)) return NoAnswer;
  if (kEntryList.ItemText(row) == oldText.view()) kEntryList.SetItemText(row, 0, answer.c_str());
  return NoAnswer;
}

HandlerResult OnDeleteEntry(Args) {
  kEntryList.DeleteItem(kEntryList.CurrentSelection());
  return NoAnswer;
}

HandlerResult OnViewDetails(Args) {
  OpenWindow(units::DetailsWindow, false);
  return NoAnswer;
}

// Shows the files as the last save left them, not the live list.
HandlerResult OnDetailsWindowCreated(Args) {
  LoadEntryFiles(ListUnit(units::DetailsList));
  return NoAnswer;
}

HandlerResult OnEntryListRightClick(Args) {
  Call(cmd::kPopupMenu, units::EntryList, units::ListMenu);
  return NoAnswer;
}

// A click on the list ends an in-place edit keeping its text (the hidden button's click takes the
// focus, the Enter key confirms) and clears away rows that still show the placeholder.
HandlerResult OnEntryListClick(Args) {
  SaveCursor();
  ClickHiddenButton();
  PressEnter();
  RestoreCursor();
  RemoveRowsWhere(IsPlaceholder);
  return NoAnswer;
}

HandlerResult RemovePlaceholderRows(Args) {
  RemoveRowsWhere(IsPlaceholder);
  return NoAnswer;
}

}  // namespace tl::app
