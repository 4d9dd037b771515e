#include "controls/list_view.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "runtime/gbk.h"
#include "runtime/keyboard_menu.h"
#include "runtime/row_texts.h"
#include "runtime/text_pieces.h"
#include "runtime/typed_text.h"
#include "runtime/unit_events.h"
#include "runtime/window_dpi.h"

namespace tl {
namespace {

namespace Event = ListViewEvent;

constexpr DWORD kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
constexpr int kColumnFormats[] = {LVCFMT_LEFT, LVCFMT_CENTER, LVCFMT_RIGHT};
// How many of the latest row changes ChangesSince can still tell.
constexpr size_t kKeptChanges = 256;
// Posted to the control after rows were appended: by then it learns their number.
constexpr UINT kShowCountMessage = WM_APP + 0x1C5;
// Posted after a typed title was refused: its editing opens again, holding what was typed.
constexpr UINT kReopenTitleMessage = WM_APP + 0x1C6;

UINT StateImageBits(int32_t index) { return static_cast<UINT>(std::clamp(index, -1, 14) + 1) << 12; }

// Row ids are unique in the process, so a row id never names a row of a list built anew.
uint32_t NextRowId() {
  static uint32_t last = 0;
  return ++last;
}

// GBK into the control's buffer, cut short if it does not fit.
void CopyText(std::string_view gbk, wchar_t* buffer, int capacity) {
  if (!buffer || capacity <= 0) return;
  int length = gbk.empty() ? 0
                           : MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), static_cast<int>(gbk.size()),
                                                 buffer, capacity - 1);
  if (length == 0 && !gbk.empty()) {
    const std::wstring wide = Widen(gbk);
    length = static_cast<int>(std::min<size_t>(wide.size(), static_cast<size_t>(capacity - 1)));
    std::copy_n(wide.data(), length, buffer);
  }
  buffer[length] = L'\0';
}

}  // namespace

// One clock for every list view of the process: a list built anew never repeats a value that
// its predecessor answered.
uint32_t NextListChangeStamp() {
  static uint32_t clock = 0;
  return ++clock;
}

const UnitTypeDescriptor kListViewType = DescriptorOf<ListView>("超级列表框", "ListView", UnitState::RaisesEvents);

// Styles the control fixes at creation ask for a new control, but only for a real change in
// a view they shape, since building anew drops the items inserted at run time.
std::span<const Property<ListView>> ListView::Properties() {
  using L = ListView;
  static constexpr auto kTable = Table({
      {P::Border, Stored<&B::border, &L::ApplyBorder, Range{0, 5}>()},
      {P::TextColor, Stored<&B::textColor, &L::ApplyColors>()},
      {P::TextBackColor, Stored<&B::textBackColor, &L::ApplyColors>()},
      {P::BackColor, Stored<&B::backColor, &L::ApplyColors>()},
      {P::Font, Stored<&B::font, &L::ApplyFont>()},
      {P::ViewType, Stored<&B::viewType, kRestyle, Range{0, 3}>()},
      {P::IconAlignment, Stored<&B::iconAlignment, &L::InIconView, Range{0, 1}>()},
      {P::AutoArrange, Stored<&B::autoArrange, &L::InIconView>()},
      {P::WrapTitles, Stored<&B::wrapTitles, &L::ApplyWrapTitles>()},
      {P::Columns, Live<&L::Columns, &L::SetColumns>()},
      {P::HideHeader, Stored<&B::hideHeader, &L::ApplyHideHeader>()},
      {P::HeaderImages, Stored<&B::headerImages>()},
      {P::HeadersClickable, Stored<&B::headersClickable, &L::InReportView>()},
      {P::FullRowSelect, Stored<&B::fullRowSelect, &L::InReportView>()},
      {P::GridLines, Stored<&B::gridLines, &L::InReportView>()},
      {P::ColumnDrag, Stored<&B::columnDrag, &L::InReportView>()},
      {P::LargeImages, Stored<&B::largeImages>()},
      {P::StateImages, Stored<&B::stateImages>()},
      {P::HotTracking, Stored<&B::hotTracking, kRestyle>()},
      {P::HandCursor, Stored<&B::handCursor, &L::HotTracking>()},
      {P::UnderlineCold, Stored<&B::underlineCold, &L::HotTracking>()},
      {P::UnderlineHot, Stored<&B::underlineHot, &L::HotTracking>()},
      {P::AllowTitleEditing, Stored<&B::allowTitleEditing, kRestyle>()},
      {P::Sorting, Stored<&B::sorting, kRestyle, Range{0, 2}>()},
      {P::CheckBoxes, Stored<&B::checkBoxes, kRestyle>()},
      {P::FlatScrollBars, Stored<&B::flatScrollBars, kRestyle>()},
      {P::SingleSelection, Stored<&B::singleSelection, kRestyle>()},
      {P::CurrentSelection, Live<&L::Selection, &L::SetSelection>()},
      {P::ShowSelectionAlways, Stored<&B::showSelectionAlways, kRestyle>()},
      {P::Items, Live<&L::Items, &L::SetItems>()},
      {P::EditedTitle, Live<&L::EditedTitle, nullptr>()},
      {P::ChangeCount, Live<&L::ChangeCount, nullptr>()},
      {P::RowTexts, Live<&L::RowTexts, nullptr>()},
  });
  return kTable;
}

ListView::ListView(const ListViewBlock& block, uint32_t windowId, uint32_t unitId)
    : BlockUnit(block, windowId, unitId) {
  block_.viewType = std::clamp(block_.viewType, 0, 3);
  block_.sorting = std::clamp(block_.sorting, 0, 2);
}

DWORD ListView::Style() const {
  // The unit sorts the rows it keeps itself; a virtual control takes no sorting style.
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_OWNERDATA | kViewStyles[block_.viewType] |
                BorderFor(block_.border).style;
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
  if (!CreateControl(WC_LISTVIEWW, BorderFor(block_.border).exStyle, extraStyle | Style(), parent, childId, place)) {
    return false;
  }
  // The control asked its parent for the notification format while being created; ask again
  // now that the unit answers for it.
  SendMessageW(hwnd_, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(parent), NF_REQUERY);
  SendMessageW(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ListExStyle());
  // The rows' state images (check boxes) are kept here too, so the control asks for them.
  SendMessageW(hwnd_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
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
    column.cx = ScaleToDpi(c.width, DpiOfWindow(hwnd_));
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
    if (!r.nextColumn) {
      const bool validState = r.stateImage >= 0 && r.stateImage < stateImages;
      item = InsertItem(ItemCount(), r.text, -1, validState ? r.stateImage : -1, r.indent, r.value);
      column = 0;
    } else if (item >= 0) {
      ++column;
      SetItemText(item, column, r.text);
    }
    if (item >= 0 && !r.tip.empty()) tips_[{rows_[static_cast<size_t>(item)].id, column}] = Widen(r.tip);
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
  rows_.clear();
  tips_.clear();
  editedRow_ = titleRow_ = -1;
  shownCount_ = 0;
  SendMessageW(hwnd_, LVM_DELETEALLITEMS, 0, 0);
  ChangedAll();
  InsertInitialItems();
  return false;
}

int32_t ListView::ItemCount() const { return static_cast<int32_t>(rows_.size()); }

bool ListView::HasColumn(int32_t column) const {
  return column == 0 || (column > 0 && static_cast<size_t>(column) < block_.columns.size());
}

std::string ListView::ItemText(int32_t item, int32_t column) const {
  if (item < 0 || item >= ItemCount() || !HasColumn(column)) return {};
  return std::string(rows_[static_cast<size_t>(item)].texts.at(static_cast<size_t>(column)));
}

void ListView::SetItemText(int32_t item, int32_t column, std::string_view text) {
  if (item < 0 || item >= ItemCount() || !HasColumn(column)) return;
  RowCells& texts = rows_[static_cast<size_t>(item)].texts;
  const auto at = static_cast<size_t>(column);
  if (texts.at(at) == text) return;  // nothing changes
  texts.set(at, RowText(text));
  Changed({RowChangeKind::TextSet, item});
  QueueRedraw(item);
}

void ListView::Changed(RowChange change) {
  changeStamp_ = NextListChangeStamp();
  changes_.emplace_back(changeStamp_, change);
  if (changes_.size() > kKeptChanges) {
    forgottenUntil_ = changes_.front().first;
    changes_.pop_front();
  }
}

void ListView::ChangedAll() {
  changeStamp_ = NextListChangeStamp();
  changes_.clear();
  forgottenUntil_ = changeStamp_;
}

std::optional<std::vector<RowChange>> ListView::ChangesSince(uint32_t since) const {
  if (since < forgottenUntil_ || since > changeStamp_) return std::nullopt;
  std::vector<RowChange> changes;
  for (const auto& [stamp, change] : changes_) {
    if (stamp > since) changes.push_back(change);
  }
  return changes;
}

// Changed texts reach the control together, as appended rows do: filling a large list sends the
// control nothing per row. The rows gather until the queued message or the next message the
// control gets, and only the ones in view are drawn again.
void ListView::QueueRedraw(int32_t item) {
  redrawFirst_ = redrawFirst_ < 0 ? item : std::min(redrawFirst_, item);
  redrawLast_ = std::max(redrawLast_, item);
  QueueCount();
}

void ListView::RedrawChangedRows() {
  if (redrawFirst_ < 0 || !hwnd_) return;
  int32_t first = redrawFirst_, last = redrawLast_;
  redrawFirst_ = redrawLast_ = -1;
  if (InReportView()) {
    // The row below the last whole one may show in part.
    const auto top = static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETTOPINDEX, 0, 0));
    const auto page = static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETCOUNTPERPAGE, 0, 0));
    first = std::max(first, top);
    last = std::min(last, top + page);
  }
  if (first <= last) SendMessageW(hwnd_, LVM_REDRAWITEMS, first, last);
}

// The rows in one block (runtime/row_texts.h), each row with the text of every column of the
// report (at least the title): one read instead of a method call per text.
PropertyValue ListView::RowTexts() const {
  const size_t columns = std::max<size_t>(1, block_.columns.size());
  size_t size = kRowTextsHeaderSize;
  for (const ListRow& row : rows_) {
    for (size_t c = 0; c < columns; ++c) size += row.texts.at(c).size();
    size += columns;
  }
  void* byteSet = nullptr;
  char* out = reinterpret_cast<char*>(NewByteSetToFill(static_cast<uint32_t>(size), byteSet).data());
  out = PutRowTextsHeader(out, static_cast<uint32_t>(columns));
  for (const ListRow& row : rows_) {
    for (size_t c = 0; c < columns; ++c) {
      const std::string_view text = row.texts.at(c);
      out = std::copy(text.begin(), text.end(), out);
      *out++ = '\0';
    }
  }
  return {PointerWord(byteSet), 0};
}

// Where the control would have placed the title: before the first row that does not sort
// before it.
int32_t ListView::SortedPlace(std::string_view title) const {
  const std::wstring wide = Widen(title);
  const int direction = block_.sorting == 2 ? -1 : 1;
  auto before = [&](const ListRow& row) {
    const std::wstring other = Widen(row.texts.at(0));
    return lstrcmpW(other.c_str(), wide.c_str()) * direction < 0;
  };
  return static_cast<int32_t>(std::partition_point(rows_.begin(), rows_.end(), before) - rows_.begin());
}

int32_t ListView::InsertItem(int32_t position, std::string_view title, int32_t image,
                             int32_t stateImage, int32_t indent, int32_t value) {
  if (!hwnd_) return -1;
  const int32_t count = ItemCount();
  const int32_t index = block_.sorting ? SortedPlace(title)
                                       : (position >= 0 ? std::min(position, count) : count);
  ListRow row;
  row.image = std::max(image, -1);
  row.stateBits = StateImageBits(stateImage);
  row.indent = std::max(indent, 0);
  row.value = value;
  row.id = NextRowId();
  try {
    row.texts.set(0, RowText(title));
    if (index < count) {  // the marks below move with the rows the control knows
      RedrawChangedRows();
      ShowCount();
    }
    rows_.insert(rows_.begin() + index, std::move(row));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  Changed({RowChangeKind::Inserted, index});
  if (index == count) {
    QueueCount();
  } else {
    OpenRowAt(index);
  }
  return index;
}

int32_t ListView::AddLines(int32_t column, std::string_view text, std::string_view delimiter) {
  const RowText whole(text);  // every row's text is a piece of this one copy
  const std::vector<std::string_view> pieces = SplitPieces(whole.view(), delimiter);
  const auto count = static_cast<int32_t>(pieces.size());
  if (column != 0) {
    SetColumnTexts(column, whole, pieces);
    return count;
  }
  if (!hwnd_) return count;
  if (block_.sorting) {
    for (std::string_view piece : pieces) InsertItem(-1, piece, -1, 0, 0, 0);
    return count;
  }
  try {
    rows_.reserve(rows_.size() + pieces.size());
    for (std::string_view piece : pieces) {
      ListRow& row = rows_.emplace_back();
      row.stateBits = StateImageBits(0);
      row.id = NextRowId();
      row.texts.set(0, whole.Piece(piece));
    }
  } catch (const std::bad_alloc&) {
    // The rows that fitted stay, as with one InsertItem a row.
  }
  ChangedAll();
  QueueCount();
  return count;
}

// As SetItemText a row at a time, with one change for all of them; each text a piece of `whole`.
void ListView::SetColumnTexts(int32_t column, const RowText& whole, std::span<const std::string_view> texts) {
  if (!HasColumn(column)) return;
  const auto at = static_cast<size_t>(column);
  const int32_t rows = std::min(static_cast<int32_t>(texts.size()), ItemCount());
  bool changed = false;
  for (int32_t row = 0; row < rows; ++row) {
    RowCells& own = rows_[static_cast<size_t>(row)].texts;
    const std::string_view text = texts[static_cast<size_t>(row)];
    if (own.at(at) == text) continue;
    own.set(at, whole.Piece(text));
    changed = true;
  }
  if (!changed) return;
  ChangedAll();
  QueueRedraw(0);
  QueueRedraw(rows - 1);
}

void ListView::DeleteItem(int32_t item) {
  if (item < 0 || item >= ItemCount()) return;
  RedrawChangedRows();  // by the indexes they have now
  ShowCount();
  // The control takes selection and focus off the row and moves the marks below it up.
  movingMarks_ = true;
  SendMessageW(hwnd_, LVM_DELETEITEM, item, 0);
  movingMarks_ = false;
  const uint32_t id = rows_[static_cast<size_t>(item)].id;
  tips_.erase(tips_.lower_bound({id, INT32_MIN}), tips_.upper_bound({id, INT32_MAX}));
  rows_.erase(rows_.begin() + item);
  FollowRows(item, -1);
  Changed({RowChangeKind::Deleted, item});
  ShowCount();
}

// Appended rows reach the control together: one message tells it the count once the filling
// handler has returned, or the next message it gets does first (see OnWindowMessage).
void ListView::QueueCount() {
  if (!countQueued_) countQueued_ = PostMessageW(hwnd_, kShowCountMessage, 0, 0) != 0;
}

void ListView::ShowCount() {
  if (shownCount_ == rows_.size() || !hwnd_) return;
  shownCount_ = rows_.size();
  SendMessageW(hwnd_, LVM_SETITEMCOUNT, shownCount_, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

// A row came in at `index` before rows the control already shows. A virtual control keeps its
// selection, focus and selection mark at their indexes when its count grows; move the ones at
// or below the new row down with their rows, as the control does for an inserted item.
void ListView::OpenRowAt(int32_t index) {
  FollowRows(index, 1);
  std::vector<int32_t> selected;
  if (SendMessageW(hwnd_, LVM_GETSELECTEDCOUNT, 0, 0) > 0) {
    for (int32_t i = static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETNEXTITEM, index - 1, LVNI_SELECTED)); i >= 0;
         i = static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETNEXTITEM, i, LVNI_SELECTED))) {
      selected.push_back(i);
    }
  }
  const auto focus = static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  const auto mark = static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETSELECTIONMARK, 0, 0));
  const auto top = static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETTOPINDEX, 0, 0));
  ShowCount();
  movingMarks_ = true;
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED;
  for (auto i = selected.rbegin(); i != selected.rend(); ++i) {
    state.state = 0;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, *i, reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, *i + 1, reinterpret_cast<LPARAM>(&state));
  }
  if (focus >= index) {
    state.stateMask = state.state = LVIS_FOCUSED;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, focus + 1, reinterpret_cast<LPARAM>(&state));
  }
  movingMarks_ = false;
  if (mark >= index) SendMessageW(hwnd_, LVM_SETSELECTIONMARK, 0, mark + 1);
  RestoreTopRow(top);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

// Giving an item the focus scrolls it into view; an insertion does not scroll the list.
void ListView::RestoreTopRow(int32_t top) {
  const auto now = static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETTOPINDEX, 0, 0));
  if (now == top || !InReportView()) return;
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  if (!SendMessageW(hwnd_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row))) return;
  SendMessageW(hwnd_, LVM_SCROLL, 0, (top - now) * (row.bottom - row.top));
}

// The rows the unit follows by index (an open title editing) move with an insertion or deletion
// at `at`; a deleted one is gone.
void ListView::FollowRows(int32_t at, int32_t by) {
  for (int32_t* row : {&editedRow_, &titleRow_, &reopenRow_}) {
    if (*row < at) continue;
    *row = (by < 0 && *row == at) ? -1 : *row + by;
  }
}

void ListView::EnsureVisible(int32_t item) {
  if (item >= 0) SendMessageW(hwnd_, LVM_ENSUREVISIBLE, item, FALSE);
}

void ListView::OnDpiChanged(int32_t oldDpi, int32_t newDpi) {
  BlockUnit::OnDpiChanged(oldDpi, newDpi);
  for (int32_t column = 0; column < static_cast<int32_t>(block_.columns.size()); ++column) {
    const auto width = static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETCOLUMNWIDTH, column, 0));
    SetColumnWidth(column, ScalePixels(width, oldDpi, newDpi));
  }
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

void ListView::FinishEditing() {
  // Enter in the edit box ends the edit as the user would, with the typed title accepted.
  if (HWND edit = reinterpret_cast<HWND>(SendMessageW(hwnd_, LVM_GETEDITCONTROL, 0, 0))) {
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  }
}

int32_t ListView::CurrentSelection() const {
  // The control looks for a selected item row by row: ask first whether there is one.
  if (SendMessageW(hwnd_, LVM_GETSELECTEDCOUNT, 0, 0) <= 0) return -1;
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
  if (tip->iItem < 0 || tip->iItem >= ItemCount()) return 0;
  auto found = tips_.find({rows_[static_cast<size_t>(tip->iItem)].id, tip->iSubItem});
  if (found != tips_.end() && tip->pszText && tip->cchTextMax > 0) {
    lstrcpynW(tip->pszText, found->second.c_str(), tip->cchTextMax);
  }
  return 0;
}

// The control asks for what it draws and for what others read through it (the item text of
// another program's LVM_GETITEMTEXT comes through here as well).
void ListView::FillDisplayInfo(NMLVDISPINFOW& info) const {
  LVITEMW& item = info.item;
  if (item.iItem < 0 || item.iItem >= ItemCount()) return;
  const ListRow& row = rows_[static_cast<size_t>(item.iItem)];
  const bool main = item.iSubItem == 0;
  if (item.mask & LVIF_TEXT) CopyText(ItemText(item.iItem, item.iSubItem), item.pszText, item.cchTextMax);
  // -1 means no image here; the control itself would read -1 as "ask the parent".
  if (item.mask & LVIF_IMAGE) item.iImage = main && row.image >= 0 ? row.image : I_IMAGENONE;
  if (item.mask & LVIF_INDENT) item.iIndent = main ? row.indent : 0;
  if (item.mask & LVIF_STATE) item.state = (item.state & ~item.stateMask) | (row.stateBits & item.stateMask);
}

// A virtual control answers an item's value as 0; the unit keeps it and answers it.
bool ListView::AnswerGetItem(UINT message, LPARAM lParam, LRESULT& result) {
  auto* item = reinterpret_cast<LVITEMW*>(lParam);  // the value sits where it does in LVITEMA
  result = DefaultHandling(message, 0, lParam);
  if (result && (item->mask & LVIF_PARAM) && item->iItem >= 0 && item->iItem < ItemCount()) {
    item->lParam = rows_[static_cast<size_t>(item->iItem)].value;
  }
  return true;
}

// A virtual control keeps no state images: the unit stores them, shows them and answers a
// shown check box that changed with its new state.
std::optional<bool> ListView::SetStateImage(int32_t item, UINT bits) {
  if (item < 0 || item >= ItemCount()) return std::nullopt;
  ListRow& row = rows_[static_cast<size_t>(item)];
  const UINT old = std::exchange(row.stateBits, bits & LVIS_STATEIMAGEMASK);
  if (old == row.stateBits) return std::nullopt;
  SendMessageW(hwnd_, LVM_REDRAWITEMS, item, item);
  if (!block_.checkBoxes || old == 0 || row.stateBits == 0) return std::nullopt;
  return row.stateBits == StateImageBits(1);
}

// A click on a check box or the space bar on the focused item toggles its check state, which a
// virtual control leaves to its owner.
void ListView::ToggleCheck(int32_t item) {
  if (!block_.checkBoxes || item < 0 || item >= ItemCount()) return;
  const UINT bits = rows_[static_cast<size_t>(item)].stateBits;
  if (bits == 0) return;
  const uint32_t window = windowId(), unit = unitId();
  if (auto checked = SetStateImage(item, bits == StateImageBits(1) ? StateImageBits(0) : StateImageBits(1))) {
    RaiseEvent(window, unit, Event::CheckChanged, {static_cast<uint32_t>(item), *checked ? 1u : 0u});
  }
}

// Another program's or the unit's own LVM_SETITEMSTATE: the state images are stored here, the
// selection and focus go on to the control.
void ListView::TakeStateImages(WPARAM wParam, const LVITEMW& state) {
  if (!(state.stateMask & LVIS_STATEIMAGEMASK)) return;
  const auto item = static_cast<int32_t>(wParam);
  const int32_t first = item == -1 ? 0 : item, last = item == -1 ? ItemCount() - 1 : item;
  std::vector<std::pair<uint32_t, uint32_t>> toggled;
  for (int32_t i = first; i <= last; ++i) {
    if (auto checked = SetStateImage(i, state.state)) toggled.emplace_back(i, *checked ? 1u : 0u);
  }
  const uint32_t window = windowId(), unit = unitId();
  for (const auto& [row, checked] : toggled) RaiseEvent(window, unit, Event::CheckChanged, {row, checked});
}

// Typing on the list moves to the next title that starts with what was typed.
LRESULT ListView::FindItem(const NMLVFINDITEMW& find) const {
  const LVFINDINFOW& info = find.lvfi;
  if (!(info.flags & (LVFI_STRING | LVFI_PARTIAL)) || !info.psz || rows_.empty()) return -1;
  const std::wstring wanted = info.psz;
  const int32_t count = ItemCount();
  const int32_t start = std::clamp(find.iStart, 0, count);
  for (int32_t n = 0; n < count; ++n) {
    const int32_t i = (start + n) % count;
    if (i < start && !(info.flags & LVFI_WRAP)) break;
    const std::wstring title = Widen(ItemText(i, 0));
    const bool partial = info.flags & LVFI_PARTIAL;
    const size_t length = partial ? wanted.size() : std::max(wanted.size(), title.size());
    if (partial && title.size() < wanted.size()) continue;
    if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, title.c_str(), static_cast<int>(std::min(length, title.size())),
                       wanted.c_str(), static_cast<int>(std::min(length, wanted.size()))) == CSTR_EQUAL) {
      return i;
    }
  }
  return -1;
}

// The control hands the editing box a title cut to its display buffer and limits what may be
// typed to that length: the box gets the whole title and no limit.
// A handler may have destroyed this unit: it is looked up before it is touched.
bool ListView::StillHere(uint32_t window, uint32_t unit) const {
  return dynamic_cast<ListView*>(reinterpret_cast<Unit*>(CallRuntime(Request::UnitObject, window, unit))) == this;
}

void ListView::BeginTitleEditing(int32_t row) {
  titleEdit_ = reinterpret_cast<HWND>(SendMessageW(hwnd_, LVM_GETEDITCONTROL, 0, 0));
  if (!titleEdit_) return;
  SendMessageW(titleEdit_, EM_SETLIMITTEXT, 0, 0);
  // A refused title opens again as it was typed.
  const std::wstring title = row == reopenRow_ ? std::move(reopenTitle_) : Widen(ItemText(row, 0));
  reopenRow_ = -1;
  reopenTitle_.clear();
  SetWindowTextW(titleEdit_, title.c_str());
  SendMessageW(titleEdit_, EM_SETSEL, 0, -1);
}

// The control leaves the title of a virtual item to its owner: the unit stores the accepted
// title in the row that was edited, wherever handlers have moved it meanwhile. The title is read
// from the editing box itself, whole, while the box still exists; a title the program could not
// keep exactly is refused with a word and opened again for change.
LRESULT ListView::EndTitleEditing(const NMLVDISPINFOW& edit) {
  const int32_t row = std::exchange(editedRow_, -1);
  HWND box = std::exchange(titleEdit_, nullptr);
  // No text: the editing was cancelled or left the title as it was.
  if (!edit.item.pszText || row < 0) return FALSE;
  std::wstring typed = box && IsWindow(box) ? WindowTextWide(box) : std::wstring(edit.item.pszText);
  const uint32_t window = windowId(), unit = unitId();
  if (const std::wstring unsavable = UnsavableCharacters(typed); !unsavable.empty()) {
    reopenRow_ = row;  // followed as rows move while the box waits
    reopenTitle_ = std::move(typed);
    TellUnsavable(GetAncestor(hwnd_, GA_ROOT), unsavable);
    // Opened again only once the box is answered: a box taking the focus from an open editing
    // would end it, and refuse it, again.
    if (StillHere(window, unit)) PostMessageW(hwnd_, kReopenTitleMessage, 0, 0);
    return FALSE;
  }
  editedTitle_ = Narrow(typed);
  titleRow_ = row;
  const bool accepted = !Refused(RaiseEvent(window, unit, Event::EndEdit, {static_cast<uint32_t>(row)}));
  if (!StillHere(window, unit)) return FALSE;
  const int32_t target = std::exchange(titleRow_, -1);
  if (accepted && target >= 0) SetItemText(target, 0, editedTitle_);
  return FALSE;
}

bool ListView::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // Whatever the control is asked, it counts every row and shows every text first.
  if (shownCount_ != rows_.size()) ShowCount();
  RedrawChangedRows();
  switch (message) {
    case kShowCountMessage:
      countQueued_ = false;
      result = 0;
      return true;
    case kReopenTitleMessage:
      if (reopenRow_ >= 0 && reopenRow_ < ItemCount()) EditItem(reopenRow_);
      // The control selects the whole title once its editing is open; the caret goes after what
      // was typed, ready for the change.
      if (titleEdit_) SendMessageW(titleEdit_, EM_SETSEL, GetWindowTextLengthW(titleEdit_), -1);
      result = 0;
      return true;
    case LVM_GETITEMW:
    case LVM_GETITEMA:
      return lParam && AnswerGetItem(message, lParam, result);
    case LVM_SETITEMSTATE:
      if (lParam) TakeStateImages(wParam, *reinterpret_cast<const LVITEMW*>(lParam));
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      LVHITTESTINFO hit{};
      hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const auto item = static_cast<int32_t>(SendMessageW(hwnd_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      if (hit.flags & LVHT_ONITEMSTATEICON) ToggleCheck(item);
      return false;
    }
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        ToggleCheck(static_cast<int32_t>(SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
      }
      return false;
    case WM_MOUSEMOVE:
      if (block_.hotTracking) TrackHotItem(lParam);
      return false;
  }
  return false;
}

// The Apps key or Shift+F10 is a right click on the list: its menu opens at the selected row, or
// at the list's top when no row is selected.
bool ListView::OpenKeyboardMenu() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  POINT at{client.left, client.top};
  const auto row = static_cast<int>(SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  RECT item{LVIR_LABEL, 0, 0, 0};
  if (row >= 0 && SendMessageW(hwnd_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item))) {
    // A row scrolled out of view puts the menu at the list's nearest edge.
    at = {std::clamp(item.left, client.left, client.right), std::clamp(item.bottom, client.top, client.bottom)};
  }
  ClientToScreen(hwnd_, &at);
  const KeyboardMenuPlace place(at);
  RaiseEvent(*this, Event::RightClick);
  return true;
}

void ListView::TrackHotItem(LPARAM lParam) {
  // Not every platform list view reports hot-item changes; the pointer tells us itself.
  LVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const auto item = static_cast<int32_t>(SendMessageW(hwnd_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (item != hotItem_) {
    hotItem_ = item;
    if (item >= 0) RaiseEvent(*this, Event::HotItem, {static_cast<uint32_t>(item)});
  }
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
      const bool focused = (change->uNewState & LVIS_FOCUSED) && !(change->uOldState & LVIS_FOCUSED);
      if (focused && !movingMarks_) raise(Event::FocusedItem);
      return result;
    }
    case LVN_GETDISPINFOW: FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam)); return result;
    case LVN_ODFINDITEMW: return FindItem(*reinterpret_cast<const NMLVFINDITEMW*>(lParam));
    case LVN_ITEMACTIVATE: raise(Event::Activated); return result;
    case LVN_COLUMNCLICK:
      raise(Event::ColumnClick, {static_cast<uint32_t>(change->iSubItem)});
      return result;
    case LVN_HOTTRACK:
      if (change->iItem != hotItem_) {
        hotItem_ = change->iItem;
        if (change->iItem >= 0) raise(Event::HotItem, {static_cast<uint32_t>(change->iItem)});
      }
      return result;
    case NM_CLICK: raise(Event::Click); return result;
    case NM_RCLICK: raise(Event::RightClick); return result;
    case LVN_BEGINLABELEDITW: {
      const auto* edit = reinterpret_cast<const NMLVDISPINFOW*>(lParam);
      editedRow_ = edit->item.iItem;
      result = Refused(raise(Event::BeginEdit, {static_cast<uint32_t>(edit->item.iItem)}));
      if (!result && StillHere(window, unit)) BeginTitleEditing(edit->item.iItem);
      return result;
    }
    case LVN_ENDLABELEDITW: return EndTitleEditing(*reinterpret_cast<const NMLVDISPINFOW*>(lParam));
    case LVN_GETINFOTIPW: result = GetInfoTip(lParam); return result;
  }
  return std::nullopt;
}

}  // namespace tl
