// The list view's eleven methods: library commands whose first argument names the unit.
#include <string>

#include "controls/list_view.h"

namespace tl {

int32_t ListViewGetItemCount(ListView& list) { return list.ItemCount(); }

TextBlock ListViewGetItemText(ListView& list, std::optional<int32_t> item, std::optional<int32_t> column) {
  return {NewText(list.ItemText(item.value_or(-1), column.value_or(0)))};
}

void ListViewSetItemText(ListView& list, std::optional<int32_t> item, std::optional<int32_t> column,
                         std::string_view text) {
  list.SetItemText(item.value_or(-1), column.value_or(0), text);
}

int32_t ListViewInsertItem(ListView& list, std::optional<int32_t> position, std::string_view title,
                           std::optional<int32_t> image, std::optional<int32_t> stateImage,
                           std::optional<int32_t> indent, std::optional<int32_t> value) {
  return list.InsertItem(position.value_or(-1), title, image.value_or(-1), stateImage.value_or(0),
                         indent.value_or(0), value.value_or(0));
}

void ListViewDeleteItem(ListView& list, std::optional<int32_t> item) { list.DeleteItem(item.value_or(-1)); }

void ListViewEnsureVisible(ListView& list, std::optional<int32_t> item) { list.EnsureVisible(item.value_or(-1)); }

void ListViewSetColumnWidth(ListView& list, std::optional<int32_t> column, std::optional<int32_t> width) {
  list.SetColumnWidth(column.value_or(-1), width.value_or(-1));
}

void ListViewEditItem(ListView& list, std::optional<int32_t> item) { list.EditItem(item.value_or(-1)); }

void ListViewFinishEditing(ListView& list) { list.FinishEditing(); }

int32_t ListViewAddLines(ListView& list, std::optional<int32_t> column, std::string_view text,
                         std::string_view delimiter) {
  return list.AddLines(column.value_or(0), text, delimiter);
}

std::vector<uint8_t> ListViewChangesSince(ListView& list, std::optional<int32_t> changeCount) {
  const auto since = static_cast<uint32_t>(changeCount.value_or(0));
  const std::optional<std::vector<RowChange>> changes = list.ChangesSince(since);
  return RowChangesBlock(changes ? &*changes : nullptr);
}

}  // namespace tl
