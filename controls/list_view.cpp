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

}  // namespace

// One clock for every list view of the process: a list built anew never repeats a value that
// its predecessor answered.
uint32_t NextListChangeStamp() {
  static uint32_t clock = 0;
  return ++clock;
}

const UnitTypeDescriptor kListViewType = {"超级列表框", "ListView", UnitState::RaisesEvents,
                                          &UnitInterface<ListView>};

// Styles the control fixes at creation ask for a new control, but only for a real change in
// a view they shape, since building anew drops the items inserted at run time.
std::span<const Property<ListView>> ListView::Properties() {
  using B = ListViewBlock;
  using L = ListView;
  static constexpr Property<ListView> kTable[] = {
      Stored<&B::border, &L::ApplyBorder, Range{0, 5}>(),        // 8
      Stored<&B::textColor, &L::ApplyColors>(),                  // 9
      Stored<&B::textBackColor, &L::ApplyColors>(),              // 10
      Stored<&B::backColor, &L::ApplyColors>(),                  // 11
      Stored<&B::font, &L::ApplyFont>(),                         // 12
      Stored<&B::viewType, kRestyle, Range{0, 3}>(),             // 13
      Stored<&B::iconAlignment, &L::InIconView, Range{0, 1}>(),  // 14
      Stored<&B::autoArrange, &L::InIconView>(),                 // 15
      Stored<&B::wrapTitles, &L::ApplyWrapTitles>(),             // 16
      Live<&L::Columns, &L::SetColumns>(),                       // 17
      Stored<&B::hideHeader, &L::ApplyHideHeader>(),             // 18
      Stored<&B::headerImages>(),                                // 19
      Stored<&B::headersClickable, &L::InReportView>(),          // 20
      Stored<&B::fullRowSelect, &L::InReportView>(),             // 21
      Stored<&B::gridLines, &L::InReportView>(),                 // 22
      Stored<&B::columnDrag, &L::InReportView>(),                // 23
      Stored<&B::largeImages>(),                                 // 24
      Stored<&B::stateImages>(),                                 // 25
      Stored<&B::hotTracking, kRestyle>(),                       // 26
      Stored<&B::handCursor, &L::HotTracking>(),                 // 27
      Stored<&B::underlineCold, &L::HotTracking>(),              // 28
      Stored<&B::underlineHot, &L::HotTracking>(),               // 29
      Stored<&B::allowTitleEditing, kRestyle>(),                 // 30
      Stored<&B::sorting, kRestyle, Range{0, 2}>(),              // 31
      Stored<&B::checkBoxes, kRestyle>(),                        // 32
      Stored<&B::flatScrollBars, kRestyle>(),                    // 33
      Stored<&B::singleSelection, kRestyle>(),                   // 34
      Live<&L::Selection, &L::SetSelection>(),                   // 35
      Stored<&B::showSelectionAlways, kRestyle>(),               // 36
      Live<&L::Items, &L::SetItems>(),                           // 37
      Live<&L::EditedTitle, nullptr>(),                          // 38
      Live<&L::ChangeCount, nullptr>(),                          // 39
  };
  return kTable;
}

ListView::ListView(const ListViewBlock& block, uint32_t windowId, uint32_t unitId)
    : BlockUnit(block, windowId, unitId) {
  block_.viewType = std::clamp(block_.viewType, 0, 3);
  block_.sorting = std::clamp(block_.sorting, 0, 2);
}

DWORD ListView::Style() const {
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

DWORD ListView::ListExStyle() const {
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

bool ListView::Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place) {
  EnsureCommonControls(ICC_LISTVIEW_CLASSES);
  HWND hwnd = CreateWindowExW(BorderFor(block_.border).exStyle, WC_LISTVIEWW, L"", extraStyle | Style(),
                              place.left, place.top, place.width, place.height, parent,
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

void ListView::SetStyleBit(DWORD bit, bool on) {
  const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
  SetWindowLongPtrW(hwnd_, GWL_STYLE, on ? (style | bit) : (style & ~static_cast<LONG_PTR>(bit)));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void ListView::ApplyBorder() { tl::ApplyBorder(hwnd_, block_.border); }

void ListView::ApplyWrapTitles() {
  if (InIconView()) SetStyleBit(LVS_NOLABELWRAP, !block_.wrapTitles);
}

void ListView::ApplyHideHeader() {
  if (InReportView()) SetStyleBit(LVS_NOCOLUMNHEADER, block_.hideHeader);
}

void ListView::ApplyColors() {
  SendMessageW(hwnd_, LVM_SETTEXTCOLOR, 0, ResolveColor(block_.textColor & 0xFFFFFF));
  SendMessageW(hwnd_, LVM_SETTEXTBKCOLOR, 0, ResolveColor(block_.textBackColor));
  SendMessageW(hwnd_, LVM_SETBKCOLOR, 0, ResolveColor(block_.backColor));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void ListView::ApplyFont() {
  // The control hands its font on to the header, so the GBK column titles need it as well.
  GdiObject font = FontFromRecord(block_.font);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.font()), TRUE);
  font_ = std::move(font);  // the previous font goes only once the control has let go of it
}

void ListView::ApplyHotCursor() {
  if (block_.hotTracking && !block_.handCursor) {
    SendMessageW(hwnd_, LVM_SETHOTCURSOR, 0,
                 reinterpret_cast<LPARAM>(LoadCursorW(nullptr, IDC_ARROW)));
  }
}

void ListView::InsertColumns() {
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

void ListView::InsertInitialItems() {
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

PropertyValue ListView::Columns() const { return BytesValue(WriteListViewColumns(block_.columns)); }

bool ListView::SetColumns(PropertyValue value) {
  auto columns = ReadListViewColumns(ValueBytes(value));
  if (!columns) return false;  // malformed data leaves the columns as they are
  const bool changed = *columns != block_.columns;
  block_.columns = std::move(*columns);
  return changed && InReportView();
}

bool ListView::SetSelection(PropertyValue value) {
  SetCurrentSelection(ValueInt(value));
  return false;
}

PropertyValue ListView::Items() const { return BytesValue(WriteListViewItems(block_.items)); }

bool ListView::SetItems(PropertyValue value) {
  auto items = ReadListViewItems(ValueBytes(value));
  if (!items) return false;
  block_.items = std::move(*items);
  SendMessageW(hwnd_, LVM_DELETEALLITEMS, 0, 0);
  changeStamp_ = NextListChangeStamp();
  tips_.clear();
  InsertInitialItems();
  return false;
}

int32_t ListView::ItemCount() const {
  return static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0));
}

std::string ListView::ItemText(int32_t item, int32_t column) const {
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

void ListView::SetItemText(int32_t item, int32_t column, std::string_view text) {
  if (item < 0 || column < 0) return;
  std::wstring wide = Widen(text);
  LVITEMW request{};
  request.iSubItem = column;
  request.pszText = wide.data();
  SendMessageW(hwnd_, LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&request));
  changeStamp_ = NextListChangeStamp();
}

int32_t ListView::InsertItem(int32_t position, std::string_view title, int32_t image,
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

void ListView::DeleteItem(int32_t item) {
  if (item >= 0) SendMessageW(hwnd_, LVM_DELETEITEM, item, 0);
  changeStamp_ = NextListChangeStamp();
}

void ListView::EnsureVisible(int32_t item) {
  if (item >= 0) SendMessageW(hwnd_, LVM_ENSUREVISIBLE, item, FALSE);
}

void ListView::SetColumnWidth(int32_t column, int32_t width) {
  // -1 fits the contents, -2 the header title; the width travels in 16 bits.
  width = std::max(width, -2);
  SendMessageW(hwnd_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(static_cast<WORD>(width), 0));
}

void ListView::EditItem(int32_t item) {
  if (!block_.allowTitleEditing) return;
  if (GetFocus() != hwnd_) SetFocus(hwnd_);
  if (hwnd_) SendMessageW(hwnd_, LVM_EDITLABELW, item, 0);
}

int32_t ListView::CurrentSelection() const {
  return static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListView::SetCurrentSelection(int32_t item) {
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

LRESULT ListView::GetInfoTip(LPARAM lParam) {
  auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(lParam);
  const UINT id = static_cast<UINT>(SendMessageW(hwnd_, LVM_MAPINDEXTOID, tip->iItem, 0));
  auto found = tips_.find({id, tip->iSubItem});
  if (found != tips_.end() && tip->pszText && tip->cchTextMax > 0) {
    lstrcpynW(tip->pszText, found->second.c_str(), tip->cchTextMax);
  }
  return 0;
}

bool ListView::OnWindowMessage(UINT message, WPARAM, LPARAM lParam, LRESULT&) {
  if (message == WM_MOUSEMOVE && block_.hotTracking) {
    // Not every platform list view reports hot-item changes; the pointer tells us itself.
    LVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const auto item = static_cast<int32_t>(SendMessageW(hwnd_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (item != hotItem_) {
      hotItem_ = item;
      if (item >= 0) RaiseEvent(*this, Event::kHotItem, {static_cast<uint32_t>(item)});
    }
  }
  return false;
}

std::optional<LRESULT> ListView::OnNotification(UINT message, WPARAM, LPARAM lParam) {
  // Our controls always talk in UTF-16.
  if (message == WM_NOTIFYFORMAT) return NFR_UNICODE;
  if (message != WM_NOTIFY) return std::nullopt;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
  // A handler may destroy this unit: after raising an event only the copied ids are used.
  const uint32_t window = windowId(), unit = unitId();
  auto raise = [&](int32_t event, std::initializer_list<uint32_t> args = {}) {
    return RaiseEvent(window, unit, event, args);
  };
  LRESULT result = 0;
  switch (header->code) {
    case LVN_ITEMCHANGED: {
      if (!(change->uChanged & LVIF_STATE) || change->iItem < 0) return result;
      const UINT oldState = change->uOldState, newState = change->uNewState;
      const bool focused = (newState & LVIS_FOCUSED) && !(oldState & LVIS_FOCUSED);
      const UINT oldCheck = (oldState & LVIS_STATEIMAGEMASK) >> 12;
      const UINT newCheck = (newState & LVIS_STATEIMAGEMASK) >> 12;
      const bool toggled = block_.checkBoxes && !settingState_ && oldCheck != 0 && newCheck != 0 && oldCheck != newCheck;
      const auto item = static_cast<uint32_t>(change->iItem);
      if (focused) raise(Event::kFocusedItem);
      if (toggled) raise(Event::kCheckChanged, {item, newCheck == 2 ? 1u : 0u});
      return result;
    }
    case LVN_ITEMACTIVATE: raise(Event::kActivated); return result;
    case LVN_COLUMNCLICK:
      raise(Event::kColumnClick, {static_cast<uint32_t>(change->iSubItem)});
      return result;
    case LVN_HOTTRACK:
      if (change->iItem != hotItem_) {
        hotItem_ = change->iItem;
        if (change->iItem >= 0) raise(Event::kHotItem, {static_cast<uint32_t>(change->iItem)});
      }
      return result;
    case NM_CLICK: raise(Event::kClick); return result;
    case NM_RCLICK: raise(Event::kRightClick); return result;
    case LVN_BEGINLABELEDITW: {
      const auto* edit = reinterpret_cast<const NMLVDISPINFOW*>(lParam);
      result = Refused(raise(Event::kBeginEdit, {static_cast<uint32_t>(edit->item.iItem)}));
      return result;
    }
    case LVN_ENDLABELEDITW: {
      const auto* edit = reinterpret_cast<const NMLVDISPINFOW*>(lParam);
      if (!edit->item.pszText) return result;  // editing was cancelled: nothing to offer
      editedTitle_ = Narrow(edit->item.pszText);
      result = !Refused(raise(Event::kEndEdit, {static_cast<uint32_t>(edit->item.iItem)}));
      // The control puts the accepted title in place after this answer.
      if (result) changeStamp_ = NextListChangeStamp();
      return result;
    }
    case LVN_GETINFOTIPW: result = GetInfoTip(lParam); return result;
  }
  return std::nullopt;
}

}  // namespace tl
