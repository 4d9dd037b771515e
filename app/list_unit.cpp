#include "app/list_unit.h"

#include "app/command_calls.h"
#include "controls/list_view.h"

namespace tl::app {

OwnedByteSet ListUnit::RowTexts() const {
  return OwnedByteSet(WordPointer<void*>(static_cast<uint32_t>(ReadProperty(unit_, prop::ListRowTexts))));
}

int32_t ListUnit::ColumnCount() const {
  const OwnedByteSet columns(WordPointer<void*>(static_cast<uint32_t>(ReadProperty(unit_, prop::ListColumns))));
  const auto read = ReadListViewColumns(columns.bytes());
  return read ? static_cast<int32_t>(read->size()) : 0;
}

int32_t ListUnit::ItemCount() const { return Call(kListViewGetItemCount, unit_); }

OwnedText ListUnit::ItemText(int32_t item, int32_t column) const { return Call(kListViewGetItemText, unit_, item, column); }

void ListUnit::SetItemText(int32_t item, int32_t column, const char* text) const {
  Call(kListViewSetItemText, unit_, item, column, text);
}

int32_t ListUnit::InsertItem(std::optional<int32_t> position, const char* title) const {
  return Call(kListViewInsertItem, unit_, position, title, std::nullopt, std::nullopt, std::nullopt, std::nullopt);
}

void ListUnit::DeleteItem(int32_t item) const { Call(kListViewDeleteItem, unit_, item); }

void ListUnit::EnsureVisible(int32_t item) const { Call(kListViewEnsureVisible, unit_, item); }

void ListUnit::SetColumnWidth(int32_t column, int32_t width) const {
  Call(kListViewSetColumnWidth, unit_, column, width);
}

void ListUnit::EditItem(int32_t item) const { Call(kListViewEditItem, unit_, item); }

void ListUnit::FinishEditing() const { Call(kListViewFinishEditing, unit_); }

std::optional<std::vector<RowChange>> ListUnit::ChangesSince(uint32_t changeCount) const {
  const OwnedByteSet changes = Call(kListViewChangesSince, unit_, static_cast<int32_t>(changeCount));
  return ReadRowChanges(changes.bytes());
}

void ListUnit::AddLines(int32_t column, const OwnedText& lines, const char* lineEnd) const {
  Call(kListViewAddLines, unit_, column, lines, lineEnd);
}

}  // namespace tl::app
