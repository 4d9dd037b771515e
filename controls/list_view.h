// The list view unit (type 0x20004): the platform list-view control with 31 own properties
// (indexes 8-38, and 39, a read-only change count), eight methods and events 0-8 and -7/-8.
// Windows only.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "controls/appearance.h"
#include "controls/control_unit.h"
#include "controls/list_view_block.h"
#include "runtime/value.h"

namespace tl {

extern const UnitTypeDescriptor kListViewType;

// The methods, called through the library-command service with the unit's UnitRef first.
void ListViewGetItemCount(ArgRecord* result, int argc, ArgRecord* args);
void ListViewGetItemText(ArgRecord* result, int argc, ArgRecord* args);
void ListViewSetItemText(ArgRecord* result, int argc, ArgRecord* args);
void ListViewInsertItem(ArgRecord* result, int argc, ArgRecord* args);
void ListViewDeleteItem(ArgRecord* result, int argc, ArgRecord* args);
void ListViewEnsureVisible(ArgRecord* result, int argc, ArgRecord* args);
void ListViewSetColumnWidth(ArgRecord* result, int argc, ArgRecord* args);
void ListViewEditItem(ArgRecord* result, int argc, ArgRecord* args);

// The next value of the change count that every list view answers as property 39.
uint32_t NextListChangeStamp();

class ListView final : public BlockUnit<ListView, ListViewBlock> {
 public:
  ListView(const ListViewBlock& block, uint32_t windowId, uint32_t unitId);
  // The control goes before the font it shows.
  ~ListView() override { DestroyControl(); }

  bool Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place);
  static std::span<const Property<ListView>> Properties();

  int32_t ItemCount() const;
  std::string ItemText(int32_t item, int32_t column) const;
  void SetItemText(int32_t item, int32_t column, std::string_view text);
  int32_t InsertItem(int32_t position, std::string_view title, int32_t image, int32_t stateImage,
                     int32_t indent, int32_t value);
  void DeleteItem(int32_t item);
  void EnsureVisible(int32_t item);
  void SetColumnWidth(int32_t column, int32_t width);
  void EditItem(int32_t item);
  int32_t CurrentSelection() const;
  void SetCurrentSelection(int32_t item);

 private:
  std::optional<LRESULT> OnNotification(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  // Whether a style property shapes the control in the present view.
  bool InIconView() const { return block_.viewType <= 1; }
  bool InReportView() const { return block_.viewType == 3; }
  bool HotTracking() const { return block_.hotTracking; }
  DWORD Style() const;
  DWORD ListExStyle() const;
  void SetStyleBit(DWORD bit, bool on);
  void ApplyBorder();
  void ApplyColors();
  void ApplyFont();
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
  LRESULT GetInfoTip(LPARAM lParam);

  GdiObject font_;
  std::string editedTitle_;  // property 38, the title offered to event 7
  int32_t hotItem_ = -1;
  bool settingState_ = false;  // the unit's own check-state setting is no user's toggle
  uint32_t changeStamp_ = NextListChangeStamp();
  // Tips of the initial items, keyed by (the control's item id, column).
  std::map<std::pair<UINT, int32_t>, std::wstring> tips_;
};

}  // namespace tl
