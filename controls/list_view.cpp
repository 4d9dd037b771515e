#include "controls/list_view.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "runtime/gbk.h"
#include "runtime/unit_events.h"

namespace tl {
namespace {

enum Property : int32_t {
  kBorder = 8, kTextColor, kTextBackColor, kBackColor, kFont, kViewType, kIconAlignment,
  kAutoArrange, kWrapTitles, kColumns, kHideHeader, kHeaderImages, kHeadersClickable,
  kFullRowSelect, kGridLines, kColumnDrag, kLargeImages, kStateImages, kHotTracking,
  kHandCursor, kUnderlineCold, kUnderlineHot, kAllowTitleEditing, kSorting, kCheckBoxes,
  kFlatScrollBars, kSingleSelection, kCurrentSelection, kShowSelectionAlways, kInitialItems,
  kEditedTitle,
  // Beyond the stored properties: advances with every change of the rows or their texts, so
  // that a caller can tell cheaply whether the list changed since it last looked. Read only.
  kChangeCount,
};

namespace Event {
constexpr int32_t kFocusedItem = 0, kActivated = 1, kColumnClick = 2, kHotItem = 3, kClick = 4,
                  kRightClick = 5, kBeginEdit = 6, kEndEdit = 7, kCheckChanged = 8;
}

constexpr DWORD kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
constexpr DWORD kSortStyles[] = {0, LVS_SORTASCENDING, LVS_SORTDESCENDING};
constexpr int kColumnFormats[] = {LVCFMT_LEFT, LVCFMT_CENTER, LVCFMT_RIGHT};
constexpr size_t kFirstTextBuffer = 512;
constexpr size_t kLargestTextBuffer = size_t{1} << 24;

int32_t StateImageBits(int32_t index) { return (std::clamp(index, -1, 14) + 1) << 12; }

std::span<const uint8_t> ByteSetOf(PropertyValue v) {
  return ByteSetView(reinterpret_cast<const void*>(static_cast<uintptr_t>(v.low)));
}

PropertyValue ByteSetValue(std::span<const uint8_t> bytes) {
  return {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(NewByteSet(bytes))), 0};
}

PropertyValue IntValue(int32_t v) { return {static_cast<uint32_t>(v), 0}; }

Unit* CreateListView(const uint8_t* data, int32_t length, uint32_t extraStyle, HWND parent,
                     int32_t childId, HMENU, int32_t left, int32_t top, int32_t width,
                     int32_t height, uint32_t windowId, uint32_t unitId, int32_t, int32_t) {
  auto block = ListViewBlock::Read(
      data && length > 0 ? std::span(data, static_cast<size_t>(length)) : std::span<const uint8_t>());
  if (!block) return nullptr;
  auto unit = std::make_unique<ListViewUnit>(windowId, unitId, std::move(*block));
  if (!unit->Create(extraStyle, parent, childId, {left, top, left + width, top + height})) {
    return nullptr;
  }
  return unit.release();
}

int WriteListViewProperty(Unit* unit, int32_t number, PropertyValue value) {
  auto* list = dynamic_cast<ListViewUnit*>(unit);
  return list && list->WriteProperty(number + kBorder, value) ? 1 : 0;
}

PropertyValue ReadListViewProperty(Unit* unit, int32_t number) {
  auto* list = dynamic_cast<ListViewUnit*>(unit);
  return list ? list->ReadProperty(number + kBorder) : PropertyValue{};
}

void* GetListViewInterface(InterfaceCode code) {
  switch (code) {
    case InterfaceCode::CreateUnit: return reinterpret_cast<void*>(&CreateListView);
    case InterfaceCode::WriteProperty: return reinterpret_cast<void*>(&WriteListViewProperty);
    case InterfaceCode::ReadProperty: return reinterpret_cast<void*>(&ReadListViewProperty);
  }
  return nullptr;
}

}  // namespace

// One clock for every list view of the process: a list built anew never repeats a value that
// its predecessor answered.
uint32_t NextListChangeStamp() {
  static uint32_t clock = 0;
  return ++clock;
}

const UnitTypeDescriptor kListViewType = {"超级列表框", "ListView", UnitState::RaisesEvents,
                                          &GetListViewInterface};

ListViewUnit::ListViewUnit(uint32_t windowId, uint32_t unitId, ListViewBlock block)
    : ControlUnit(windowId, unitId), block_(std::move(block)) {
  block_.viewType = std::clamp(block_.viewType, 0, 3);
  block_.sorting = std::clamp(block_.sorting, 0, 2);
}

DWORD ListViewUnit::Style() const {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | kViewStyles[block_.viewType] |
                kSortStyles[block_.sorting] | BorderFor(block_.border).style;
  if (block_.iconAlignment == 1) style |= LVS_ALIGNLEFT;
  if (block_.autoArrange) style |= LVS_AUTOARRANGE;
  if (!block_.wrapTitles) style |= LVS_NOLABELWRAP;
  if (block_.hideHeader) style |= LVS_NOCOLUMNHEADER;
  if (!block_.headersClickable) style |= LVS_NOSORTHEADER;
  if (block_.allowTitleEditing) style |= LVS_EDITLABELS;
  if (block_.singleSelection) style |= LVS_SINGLESEL;
  if (block_.showSelectionAlways) style |= LVS_SHOWSELALWAYS;
  return style;
}

DWORD ListViewUnit::ListExStyle() const {
  DWORD ex = LVS_EX_INFOTIP | LVS_EX_SUBITEMIMAGES;
  if (block_.fullRowSelect) ex |= LVS_EX_FULLROWSELECT;
  if (block_.gridLines) ex |= LVS_EX_GRIDLINES;
  if (block_.columnDrag) ex |= LVS_EX_HEADERDRAGDROP;
  if (block_.checkBoxes) ex |= LVS_EX_CHECKBOXES;
  if (block_.flatScrollBars) ex |= LVS_EX_FLATSB;
  if (block_.hotTracking) {
    ex |= LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE;
    if (block_.underlineCold) ex |= LVS_EX_UNDERLINECOLD;
    if (block_.underlineHot) ex |= LVS_EX_UNDERLINEHOT;
  }
  return ex;
}

bool ListViewUnit::Create(uint32_t extraStyle, HWND parent, int32_t childId, RECT bounds) {
  EnsureCommonControls(ICC_LISTVIEW_CLASSES);
  HWND hwnd = CreateWindowExW(BorderFor(block_.border).exStyle, WC_LISTVIEWW, L"",
                              extraStyle | Style(), bounds.left, bounds.top,
                              bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return false;
  Attach(hwnd);
  // The control asked its parent for the notification format while being created; ask again
  // now that the unit answers for it.
  SendMessageW(hwnd_, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(parent), NF_REQUERY);
  SendMessageW(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ListExStyle());
  ApplyHotCursor();
  ApplyColors();
  ApplyFont();
  InsertColumns();
  InsertInitialItems();
  if (block_.currentSelection >= 0) SetCurrentSelection(block_.currentSelection);
  return true;
}

void ListViewUnit::SetStyleBit(DWORD bit, bool on) {
  const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
  SetWindowLongPtrW(hwnd_, GWL_STYLE, on ? (style | bit) : (style & ~static_cast<LONG_PTR>(bit)));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void ListViewUnit::ApplyColors() {
  SendMessageW(hwnd_, LVM_SETTEXTCOLOR, 0, ResolveColor(block_.textColor & 0xFFFFFF));
  SendMessageW(hwnd_, LVM_SETTEXTBKCOLOR, 0, ResolveColor(block_.textBackColor));
  SendMessageW(hwnd_, LVM_SETBKCOLOR, 0, ResolveColor(block_.backColor));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void ListViewUnit::ApplyFont() {
  FontHandle font(CreateFontFromRecord(block_.font));
  // The control hands its font on to the header, so the GBK column titles need it as well.
  if (!font) font.reset(CreateDefaultTextFont());
  HFONT shown = font ? font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(shown), TRUE);
  font_ = std::move(font);  // the previous font goes only once the control has let go of it
}

void ListViewUnit::ApplyHotCursor() {
  if (block_.hotTracking && !block_.handCursor) {
    SendMessageW(hwnd_, LVM_SETHOTCURSOR, 0,
                 reinterpret_cast<LPARAM>(LoadCursorW(nullptr, IDC_ARROW)));
  }
}

void ListViewUnit::InsertColumns() {
  int32_t index = 0;
  for (const auto& c : block_.columns) {
    std::wstring title = Widen(c.title);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = kColumnFormats[std::clamp(c.alignment, 0, 2)];
    if (c.image >= 0) {
      column.mask |= LVCF_IMAGE;
      column.fmt |= LVCFMT_IMAGE | (c.imageOnRight ? LVCFMT_BITMAP_ON_RIGHT : 0);
      column.iImage = c.image;
    }
    column.cx = c.width;
    column.pszText = title.data();
    column.iSubItem = index;
    SendMessageW(hwnd_, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    ++index;
  }
}

void ListViewUnit::InsertInitialItems() {
  // Without image lists every image index is out of range; check boxes bring two state images.
  const int32_t stateImages = block_.checkBoxes ? 2 : 0;
  int32_t item = -1;
  int32_t column = 0;
  for (const auto& r : block_.items) {
    std::wstring text = Widen(r.text);
    if (!r.nextColumn) {
      const bool validState = r.stateImage >= 0 && r.stateImage < stateImages;
      item = InsertItem(ItemCount(), r.text, -1, validState ? r.stateImage : -1, r.indent, r.value);
      column = 0;
    } else if (item >= 0) {
      ++column;
      SetItemText(item, column, r.text);
    }
    if (item >= 0 && !r.tip.empty()) {
      const UINT id = static_cast<UINT>(SendMessageW(hwnd_, LVM_MAPINDEXTOID, item, 0));
      tips_[{id, column}] = Widen(r.tip);
    }
  }
}

bool ListViewUnit::WriteProperty(int32_t index, PropertyValue value) {
  const int32_t v = static_cast<int32_t>(value.low);
  const bool on = value.low != 0;
  // A style the control fixes at creation: the unit is built anew, but only for a real change,
  // since building anew drops the items inserted at run time.
  auto restyle = [](auto& field, auto newValue, bool applies) {
    const bool changed = field != newValue;
    field = newValue;
    return applies && changed;
  };
  switch (index) {
    case kBorder:
      block_.border = std::clamp(v, 0, 5);
      ApplyBorder(hwnd_, block_.border);
      return false;
    case kTextColor: block_.textColor = value.low; ApplyColors(); return false;
    case kTextBackColor: block_.textBackColor = value.low; ApplyColors(); return false;
    case kBackColor: block_.backColor = value.low; ApplyColors(); return false;
    case kFont: {
      const auto bytes = ByteSetOf(value);
      block_.font.assign(bytes.begin(), bytes.end());
      ApplyFont();
      return false;
    }
    case kViewType: return restyle(block_.viewType, std::clamp(v, 0, 3), true);
    case kIconAlignment: return restyle(block_.iconAlignment, std::clamp(v, 0, 1), InIconView());
    case kAutoArrange: return restyle(block_.autoArrange, on, InIconView());
    case kWrapTitles:
      block_.wrapTitles = on;
      if (InIconView()) SetStyleBit(LVS_NOLABELWRAP, !on);
      return false;
    case kColumns: {
      auto columns = ReadListViewColumns(ByteSetOf(value));
      if (!columns) return false;  // malformed data leaves the columns as they are
      return restyle(block_.columns, std::move(*columns), InReportView());
    }
    case kHideHeader:
      block_.hideHeader = on;
      if (InReportView()) SetStyleBit(LVS_NOCOLUMNHEADER, on);
      return false;
    case kHeaderImages:
    case kLargeImages:
    case kStateImages: {
      const auto bytes = ByteSetOf(value);
      auto& field = index == kHeaderImages  ? block_.headerImages
                    : index == kLargeImages ? block_.largeImages
                                            : block_.stateImages;
      field.assign(bytes.begin(), bytes.end());
      return false;
    }
    case kHeadersClickable: return restyle(block_.headersClickable, on, InReportView());
    case kFullRowSelect: return restyle(block_.fullRowSelect, on, InReportView());
    case kGridLines: return restyle(block_.gridLines, on, InReportView());
    case kColumnDrag: return restyle(block_.columnDrag, on, InReportView());
    case kHotTracking: return restyle(block_.hotTracking, on, true);
    case kHandCursor: return restyle(block_.handCursor, on, block_.hotTracking);
    case kUnderlineCold: return restyle(block_.underlineCold, on, block_.hotTracking);
    case kUnderlineHot: return restyle(block_.underlineHot, on, block_.hotTracking);
    case kAllowTitleEditing: return restyle(block_.allowTitleEditing, on, true);
    case kSorting: return restyle(block_.sorting, std::clamp(v, 0, 2), true);
    case kCheckBoxes: return restyle(block_.checkBoxes, on, true);
    case kFlatScrollBars: return restyle(block_.flatScrollBars, on, true);
    case kSingleSelection: return restyle(block_.singleSelection, on, true);
    case kCurrentSelection: SetCurrentSelection(v); return false;
    case kShowSelectionAlways: return restyle(block_.showSelectionAlways, on, true);
    case kInitialItems: {
      auto items = ReadListViewItems(ByteSetOf(value));
      if (!items) return false;
      block_.items = std::move(*items);
      SendMessageW(hwnd_, LVM_DELETEALLITEMS, 0, 0);
      changeStamp_ = NextListChangeStamp();
      tips_.clear();
      InsertInitialItems();
      return false;
    }
  }
  return false;  // 38 and 39 are read only; unknown indexes are ignored
}

PropertyValue ListViewUnit::ReadProperty(int32_t index) const {
  switch (index) {
    case kBorder: return IntValue(block_.border);
    case kTextColor: return {block_.textColor, 0};
    case kTextBackColor: return {block_.textBackColor, 0};
    case kBackColor: return {block_.backColor, 0};
    case kFont: return ByteSetValue(block_.font);
    case kViewType: return IntValue(block_.viewType);
    case kIconAlignment: return IntValue(block_.iconAlignment);
    case kAutoArrange: return IntValue(block_.autoArrange);
    case kWrapTitles: return IntValue(block_.wrapTitles);
    case kColumns: return ByteSetValue(WriteListViewColumns(block_.columns));
    case kHideHeader: return IntValue(block_.hideHeader);
    case kHeaderImages: return ByteSetValue(block_.headerImages);
    case kHeadersClickable: return IntValue(block_.headersClickable);
    case kFullRowSelect: return IntValue(block_.fullRowSelect);
    case kGridLines: return IntValue(block_.gridLines);
    case kColumnDrag: return IntValue(block_.columnDrag);
    case kLargeImages: return ByteSetValue(block_.largeImages);
    case kStateImages: return ByteSetValue(block_.stateImages);
    case kHotTracking: return IntValue(block_.hotTracking);
    case kHandCursor: return IntValue(block_.handCursor);
    case kUnderlineCold: return IntValue(block_.underlineCold);
    case kUnderlineHot: return IntValue(block_.underlineHot);
    case kAllowTitleEditing: return IntValue(block_.allowTitleEditing);
    case kSorting: return IntValue(block_.sorting);
    case kCheckBoxes: return IntValue(block_.checkBoxes);
    case kFlatScrollBars: return IntValue(block_.flatScrollBars);
    case kSingleSelection: return IntValue(block_.singleSelection);
    case kCurrentSelection: return IntValue(CurrentSelection());
    case kShowSelectionAlways: return IntValue(block_.showSelectionAlways);
    case kInitialItems: return ByteSetValue(WriteListViewItems(block_.items));
    case kEditedTitle:
      return {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(NewText(editedTitle_))), 0};
    case kChangeCount: return {changeStamp_, 0};
  }
  return {};
}

int32_t ListViewUnit::ItemCount() const {
  return static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0));
}

std::string ListViewUnit::ItemText(int32_t item, int32_t column) const {
  if (item < 0 || column < 0) return {};
  std::vector<wchar_t> buffer(kFirstTextBuffer);
  for (;;) {
    LVITEMW request{};
    request.iSubItem = column;
    request.pszText = buffer.data();
    request.cchTextMax = static_cast<int>(buffer.size());
    buffer[0] = L'\0';
    const auto length =
        static_cast<size_t>(SendMessageW(hwnd_, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&request)));
    // A text that filled the buffer may have been cut short: fetch again with room to spare.
    if (length + 1 < buffer.size() || buffer.size() >= kLargestTextBuffer) {
      return Narrow(std::wstring_view(buffer.data(), std::min(length, buffer.size() - 1)));
    }
    buffer.assign(buffer.size() * 2, L'\0');
  }
}

void ListViewUnit::SetItemText(int32_t item, int32_t column, std::string_view text) {
  if (item < 0 || column < 0) return;
  std::wstring wide = Widen(text);
  LVITEMW request{};
  request.iSubItem = column;
  request.pszText = wide.data();
  SendMessageW(hwnd_, LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&request));
  changeStamp_ = NextListChangeStamp();
}

int32_t ListViewUnit::InsertItem(int32_t position, std::string_view title, int32_t image,
                                 int32_t stateImage, int32_t indent, int32_t value) {
  std::wstring text = Widen(title);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE | LVIF_INDENT | LVIF_PARAM;
  item.iItem = position >= 0 ? position : ItemCount();
  item.pszText = text.data();
  // -1 means no image here; the control itself would read -1 as "ask the parent".
  item.iImage = image >= 0 ? image : I_IMAGENONE;
  item.state = StateImageBits(stateImage);
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.iIndent = std::max(indent, 0);
  item.lParam = value;
  const auto index =
      static_cast<int32_t>(SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  changeStamp_ = NextListChangeStamp();
  // With check boxes the control starts every new item unchecked whatever it was given.
  if (index >= 0 && block_.checkBoxes &&
      static_cast<UINT>(SendMessageW(hwnd_, LVM_GETITEMSTATE, index, LVIS_STATEIMAGEMASK)) != item.state) {
    settingState_ = true;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    settingState_ = false;
  }
  return index;
}

void ListViewUnit::DeleteItem(int32_t item) {
  if (item >= 0) SendMessageW(hwnd_, LVM_DELETEITEM, item, 0);
  changeStamp_ = NextListChangeStamp();
}

void ListViewUnit::EnsureVisible(int32_t item) {
  if (item >= 0) SendMessageW(hwnd_, LVM_ENSUREVISIBLE, item, FALSE);
}

void ListViewUnit::SetColumnWidth(int32_t column, int32_t width) {
  // -1 fits the contents, -2 the header title; the width travels in 16 bits.
  width = std::max(width, -2);
  SendMessageW(hwnd_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(static_cast<WORD>(width), 0));
}

void ListViewUnit::EditItem(int32_t item) {
  if (!block_.allowTitleEditing) return;
  if (GetFocus() != hwnd_) SetFocus(hwnd_);
  if (hwnd_) SendMessageW(hwnd_, LVM_EDITLABELW, item, 0);
}

int32_t ListViewUnit::CurrentSelection() const {
  return static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListViewUnit::SetCurrentSelection(int32_t item) {
  block_.currentSelection = std::max(item, -1);
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  if (item >= 0) {
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
  } else {
    item = CurrentSelection();
    if (item < 0) return;
  }
  SendMessageW(hwnd_, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
}

LRESULT ListViewUnit::GetInfoTip(LPARAM lParam) {
  auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(lParam);
  const UINT id = static_cast<UINT>(SendMessageW(hwnd_, LVM_MAPINDEXTOID, tip->iItem, 0));
  auto found = tips_.find({id, tip->iSubItem});
  if (found != tips_.end() && tip->pszText && tip->cchTextMax > 0) {
    lstrcpynW(tip->pszText, found->second.c_str(), tip->cchTextMax);
  }
  return 0;
}

bool ListViewUnit::OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_MOUSEMOVE && block_.hotTracking && !destroying()) {
    // Not every platform list view reports hot-item changes; the pointer tells us itself.
    LVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const auto item = static_cast<int32_t>(SendMessageW(hwnd_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (item != hotItem_) {
      hotItem_ = item;
      if (item >= 0) RaiseEvent(*this, Event::kHotItem, {static_cast<uint32_t>(item)});
    }
    return false;
  }
  return ControlUnit::OnControlMessage(message, wParam, lParam, result);
}

bool ListViewUnit::OnNotify(UINT, WPARAM, LPARAM lParam, LRESULT& result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
  // A handler may destroy this unit: after raising an event only the copied ids are used.
  const uint32_t window = windowId(), unit = unitId();
  const bool quiet = destroying();
  auto raise = [&](int32_t event, std::initializer_list<uint32_t> args = {}) {
    return quiet ? EventRecord{} : RaiseEvent(window, unit, event, args);
  };
  result = 0;
  switch (header->code) {
    case LVN_ITEMCHANGED: {
      if (!(change->uChanged & LVIF_STATE) || change->iItem < 0) return true;
      const UINT oldState = change->uOldState, newState = change->uNewState;
      const bool focused = (newState & LVIS_FOCUSED) && !(oldState & LVIS_FOCUSED);
      const UINT oldCheck = (oldState & LVIS_STATEIMAGEMASK) >> 12;
      const UINT newCheck = (newState & LVIS_STATEIMAGEMASK) >> 12;
      const bool toggled = block_.checkBoxes && !settingState_ && oldCheck != 0 && newCheck != 0 && oldCheck != newCheck;
      const auto item = static_cast<uint32_t>(change->iItem);
      if (focused) raise(Event::kFocusedItem);
      if (toggled) raise(Event::kCheckChanged, {item, newCheck == 2 ? 1u : 0u});
      return true;
    }
    case LVN_ITEMACTIVATE: raise(Event::kActivated); return true;
    case LVN_COLUMNCLICK:
      raise(Event::kColumnClick, {static_cast<uint32_t>(change->iSubItem)});
      return true;
    case LVN_HOTTRACK:
      if (change->iItem != hotItem_) {
        hotItem_ = change->iItem;
        if (change->iItem >= 0) raise(Event::kHotItem, {static_cast<uint32_t>(change->iItem)});
      }
      return true;
    case NM_CLICK: raise(Event::kClick); return true;
    case NM_RCLICK: raise(Event::kRightClick); return true;
    case LVN_BEGINLABELEDITW: {
      const auto* edit = reinterpret_cast<const NMLVDISPINFOW*>(lParam);
      result = Refused(raise(Event::kBeginEdit, {static_cast<uint32_t>(edit->item.iItem)}));
      return true;
    }
    case LVN_ENDLABELEDITW: {
      const auto* edit = reinterpret_cast<const NMLVDISPINFOW*>(lParam);
      if (!edit->item.pszText) return true;  // editing was cancelled: nothing to offer
      editedTitle_ = Narrow(edit->item.pszText);
      result = !Refused(raise(Event::kEndEdit, {static_cast<uint32_t>(edit->item.iItem)}));
      // The control puts the accepted title in place after this answer.
      if (result) changeStamp_ = NextListChangeStamp();
      return true;
    }
    case LVN_GETINFOTIPW: result = GetInfoTip(lParam); return true;
  }
  return false;
}

}  // namespace tl
