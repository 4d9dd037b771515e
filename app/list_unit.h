// A list view unit as the application reaches it: by reference, every method a command of the
// list view's library, every property through the property slots.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/runtime_values.h"
#include "app/unit_properties.h"
#include "runtime/command.h"
#include "runtime/row_texts.h"

namespace tl::app {

class ListUnit {
 public:
  explicit constexpr ListUnit(UnitRef unit) : unit_(unit) {}
  const UnitRef& unit() const { return unit_; }

  int32_t ItemCount() const;
  OwnedText ItemText(int32_t item, int32_t column = 0) const;
  void SetItemText(int32_t item, int32_t column, const char* text) const;
  // Appends when the position is omitted; answers the new item's index or -1.
  int32_t InsertItem(std::optional<int32_t> position, const char* title) const;
  void DeleteItem(int32_t item) const;
  void EnsureVisible(int32_t item) const;
  void SetColumnWidth(int32_t column, int32_t width) const;
  void EditItem(int32_t item) const;
  void FinishEditing() const;
  // A row per line of `lines` (column 0), or that column's text of the rows from the first on.
  void AddLines(int32_t column, const OwnedText& lines, const char* lineEnd) const;
  int32_t CurrentSelection() const { return ReadInt(unit_, prop::ListCurrentSelection); }
  void SetCurrentSelection(int32_t item) const { WriteInt(unit_, prop::ListCurrentSelection, item); }
  // The columns of the report, and whether the list keeps its rows sorted.
  int32_t ColumnCount() const;
  bool Sorts() const { return ReadInt(unit_, prop::ListSorting) != 0; }
  uint32_t ChangeCount() const { return static_cast<uint32_t>(ReadProperty(unit_, prop::ListChangeCount)); }
  // Every row's texts in one read (see runtime/row_texts.h).
  OwnedByteSet RowTexts() const;
  // The changes of the rows since the change count; nothing when the list no longer knows them.
  std::optional<std::vector<RowChange>> ChangesSince(uint32_t changeCount) const;

 private:
  UnitRef unit_;
};

}  // namespace tl::app
