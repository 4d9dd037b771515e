// The list view unit (type 0x20004): the platform list-view control with 31 own properties
// (indexes 8-38, and two read-only ones: 39, a change count, and 40, every row's texts), eight methods and events 0-8 and -7/-8.
// The unit keeps the rows itself; the control runs virtual (owner data) and asks only for the
// rows it draws, so a list of 100,000 entries fills and reads back at memory speed. Windows only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "controls/appearance.h"
#include "controls/control_unit.h"
#include "controls/list_view_block.h"
#include "controls/row_text.h"
#include "runtime/row_texts.h"
#include "runtime/unit_arguments.h"
#include "runtime/value.h"

namespace tl {

extern const UnitTypeDescriptor kListViewType;

// The next value of the change count that every list view answers as property 39.
uint32_t NextListChangeStamp();

// One row as the unit keeps it: what InsertItem and SetItemText gave it.
struct ListRow {
  RowCells texts;  // GBK by column
  int32_t image = -1;
  UINT stateBits = 0;  // the state-image index in the control's state bits
  int32_t indent = 0;
  int32_t value = 0;
  uint32_t id = 0;  // names the row while indexes move (its tips)
};

class ListView final : public BlockUnit<ListView, ListViewBlock, ListViewProperty> {
 public:
  ListView(const ListViewBlock& block, uint32_t windowId, uint32_t unitId);

  bool Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place);
  static std::span<const Property<ListView>> Properties();

  int32_t ItemCount() const;
  std::string ItemText(int32_t item, int32_t column) const;
  void SetItemText(int32_t item, int32_t column, std::string_view text);
  int32_t InsertItem(int32_t position, std::string_view title, int32_t image, int32_t stateImage,
                     int32_t indent, int32_t value);
  // Many rows in one call: a row appended per piece of `text` cut at `delimiter` (SplitPieces),
  // the piece its title, or for a later column the rows from the first on given that column's
  // text, a piece each; as InsertItem (with the method's defaults) and SetItemText would one at
  // a time. Answers the number of pieces.
  int32_t AddLines(int32_t column, std::string_view text, std::string_view delimiter);
  void DeleteItem(int32_t item);
  void EnsureVisible(int32_t item);
  void SetColumnWidth(int32_t column, int32_t width);
  void EditItem(int32_t item);
  // Ends an open in-place edit of a title as Enter would; nothing when none is open.
  void FinishEditing();
  int32_t CurrentSelection() const;
  void SetCurrentSelection(int32_t item);
  // The changes of the rows made after the change count `since` (property 39), oldest first;
  // nothing when they are no longer all known (the last few hundred are kept).
  std::optional<std::vector<RowChange>> ChangesSince(uint32_t since) const;

  // The columns keep their proportion to the list.
  void OnDpiChanged(int32_t oldDpi, int32_t newDpi) override;

 private:
  std::optional<LRESULT> OnNotification(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool OpenKeyboardMenu() override;

  // Whether a style property shapes the control in the present view.
  bool InIconView() const { return block_.viewType <= 1; }
  bool InReportView() const { return block_.viewType == 3; }
  bool HotTracking() const { return block_.hotTracking; }
  DWORD Style() const;
  DWORD ListExStyle() const;
  void SetStyleBit(DWORD bit, bool on);
  void ApplyBorder();
  void ApplyColors();
  void ApplyWrapTitles();
  void ApplyHideHeader();
  void ApplyHotCursor();
  void InsertColumns();
  void InsertInitialItems();
  PropertyValue Columns() const;
  bool SetColumns(PropertyValue value);
  PropertyValue Selection() const { return IntValue(CurrentSelection()); }
  bool SetSelection(PropertyValue value);
  PropertyValue Items() const;
  bool SetItems(PropertyValue value);
  PropertyValue EditedTitle() const { return TextValue(editedTitle_); }
  // Advances with every change of the rows or their texts, so that a caller can tell cheaply
  // whether the list changed since it last looked.
  PropertyValue ChangeCount() const { return {changeStamp_, 0}; }
  // Every row's texts in one byte set, for a caller that wants the whole list (property 40).
  PropertyValue RowTexts() const;
  LRESULT GetInfoTip(LPARAM lParam);

  // The rows and the control's count of them.
  bool HasColumn(int32_t column) const;
  int32_t SortedPlace(std::string_view title) const;
  void ShowCount();
  void QueueCount();
  void QueueRedraw(int32_t item);
  void RedrawChangedRows();
  void OpenRowAt(int32_t index);
  void FollowRows(int32_t at, int32_t by);
  void RestoreTopRow(int32_t top);
  void SetColumnTexts(int32_t column, const RowText& whole, std::span<const std::string_view> texts);
  void Changed(RowChange change);
  // A change too large to be told row by row.
  void ChangedAll();
  // Answers to the control's questions about the rows.
  void FillDisplayInfo(NMLVDISPINFOW& info) const;
  bool AnswerGetItem(UINT message, LPARAM lParam, LRESULT& result);
  void TrackHotItem(LPARAM lParam);
  std::optional<bool> SetStateImage(int32_t item, UINT bits);
  void ToggleCheck(int32_t item);
  void TakeStateImages(WPARAM wParam, const LVITEMW& state);
  LRESULT FindItem(const NMLVFINDITEMW& find) const;
  bool StillHere(uint32_t window, uint32_t unit) const;
  void BeginTitleEditing(int32_t row);
  LRESULT EndTitleEditing(const NMLVDISPINFOW& edit);

  std::vector<ListRow> rows_;
  size_t shownCount_ = 0;     // the row count the control was last told
  bool countQueued_ = false;  // a message is on its way to tell the control the new count
  int32_t redrawFirst_ = -1;  // the rows whose texts changed since the control last drew them
  int32_t redrawLast_ = -1;
  std::string editedTitle_;   // property 38, the title offered to event 7
  int32_t editedRow_ = -1;    // the row whose title is open for editing, followed as rows move
  int32_t titleRow_ = -1;     // the row whose new title waits for the answer of event 7
  HWND titleEdit_ = nullptr;  // the box of the open title editing
  int32_t reopenRow_ = -1;    // a row whose refused title opens again for editing, with:
  std::wstring reopenTitle_;
  int32_t hotItem_ = -1;
  bool movingMarks_ = false;  // the unit's own moves of selection, focus and check state are no user's
  uint32_t changeStamp_ = NextListChangeStamp();
  // The latest changes with the change count each made, oldest first; those up to
  // `forgottenUntil_` are no longer known.
  std::deque<std::pair<uint32_t, RowChange>> changes_;
  uint32_t forgottenUntil_ = changeStamp_;
  // Tips of the initial items, keyed by (row id, column).
  std::map<std::pair<uint32_t, int32_t>, std::wstring> tips_;
};

// The changes of the rows as ChangesSince answers them: their block form (runtime/row_texts.h).
template <>
struct ResultCodec<std::optional<std::vector<RowChange>>> : ResultCodec<std::vector<uint8_t>> {
  static void Set(ArgRecord* result, const std::optional<std::vector<RowChange>>& changes) {
    ResultCodec<std::vector<uint8_t>>::Set(result, RowChangesBlock(changes ? &*changes : nullptr));
  }
};

// The methods, called through the library-command service with the unit's reference first and
// carried out by the members of the same names. An item or column left out is -1 (none) unless
// said otherwise.
template <auto Member, typename Signature>
constexpr auto ListViewMethod(const char* name) {
  return MakeMethod<Member, Signature>(name, LibraryOfType(UnitType::ListView));
}
inline constexpr auto kListViewGetItemCount = ListViewMethod<&ListView::ItemCount, int32_t()>("GetItemCount");
// Always a text of its own, an empty one included; the column defaults to 0.
inline constexpr auto kListViewGetItemText =
    ListViewMethod<&ListView::ItemText, OwnText(IntOr<-1>, IntOr<0>)>("GetItemText");
inline constexpr auto kListViewSetItemText =
    ListViewMethod<&ListView::SetItemText, void(IntOr<-1>, IntOr<0>, std::string_view)>("SetItemText");
// Appends when the position is left out; the image defaults to -1, the state image, the indent
// and the value to 0. Answers the new item's index or -1.
inline constexpr auto kListViewInsertItem = ListViewMethod<
    &ListView::InsertItem, int32_t(IntOr<-1>, std::string_view, IntOr<-1>, IntOr<0>, IntOr<0>, IntOr<0>)>("InsertItem");
inline constexpr auto kListViewDeleteItem = ListViewMethod<&ListView::DeleteItem, void(IntOr<-1>)>("DeleteItem");
inline constexpr auto kListViewEnsureVisible =
    ListViewMethod<&ListView::EnsureVisible, void(IntOr<-1>)>("EnsureVisible");
inline constexpr auto kListViewSetColumnWidth =
    ListViewMethod<&ListView::SetColumnWidth, void(IntOr<-1>, IntOr<-1>)>("SetColumnWidth");
inline constexpr auto kListViewEditItem = ListViewMethod<&ListView::EditItem, void(IntOr<-1>)>("EditItem");
inline constexpr auto kListViewFinishEditing = ListViewMethod<&ListView::FinishEditing, void()>("FinishEditing");
// The column defaults to 0.
inline constexpr auto kListViewAddLines =
    ListViewMethod<&ListView::AddLines, int32_t(IntOr<0>, std::string_view, std::string_view)>("AddLines");
// The change count left out is 0.
inline constexpr auto kListViewChangesSince =
    ListViewMethod<&ListView::ChangesSince, std::optional<std::vector<RowChange>>(IntOr<0>)>("ChangesSince");

}  // namespace tl
