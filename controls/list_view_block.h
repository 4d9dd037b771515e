// The list view's stored property block and the two record lists it carries (columns,
// initial items), its property and event numbers. Portable: the form generator writes these,
// the list view unit reads them. Texts are GBK.
#pragma once

#include "runtime/block_fields.h"

namespace tl {

// Columns and Items are the record lists below; the last three read only: the title being
// edited, a count that advances with every change of the rows or their texts, every row's texts.
enum class ListViewProperty : int32_t {
  Border = kFirstOwnProperty, TextColor, TextBackColor, BackColor, Font, ViewType, IconAlignment, AutoArrange,
  WrapTitles, Columns, HideHeader, HeaderImages, HeadersClickable, FullRowSelect, GridLines, ColumnDrag, LargeImages,
  StateImages, HotTracking, HandCursor, UnderlineCold, UnderlineHot, AllowTitleEditing, Sorting, CheckBoxes,
  FlatScrollBars, SingleSelection, CurrentSelection, ShowSelectionAlways, Items, EditedTitle, ChangeCount, RowTexts,
  End
};

namespace ListViewEvent {
inline constexpr int32_t FocusedItem = 0, Activated = 1, ColumnClick = 2, HotItem = 3, Click = 4, RightClick = 5,
                         BeginEdit = 6, EndEdit = 7, CheckChanged = 8;
}  // namespace ListViewEvent

// One column record, stored packed: flag byte, image, alignment (0 left, 1 centre, 2 right),
// width, title.
struct ListViewColumn {
  static constexpr std::string_view kListName = "list view columns";
  bool imageOnRight = false;
  int32_t image = -1, alignment = 0, width = 0;
  std::string title;

  bool operator==(const ListViewColumn&) const = default;
  static constexpr auto Fields() {
    using C = ListViewColumn;
    return std::tuple{ByteFlag("image on the right", &C::imageOnRight), Field{"image", &C::image},
                      Field{"alignment", &C::alignment}, Field{"width", &C::width}, NulText("title", &C::title)};
  }
};

// One item record: a new item (nextColumn false) or the next column of the current item. Value
// and indent matter for new items only.
struct ListViewItemRecord {
  static constexpr std::string_view kListName = "list view items";
  bool nextColumn = false;
  int32_t image = -1, stateImage = -1, value = 0, indent = 0;
  std::string text, tip;

  bool operator==(const ListViewItemRecord&) const = default;
  static constexpr auto Fields() {
    using I = ListViewItemRecord;
    return std::tuple{ByteFlag("next column", &I::nextColumn), Field{"image", &I::image},
                      Field{"state image", &I::stateImage}, Field{"value", &I::value}, Field{"indent", &I::indent},
                      NulText("text", &I::text), NulText("tip", &I::tip)};
  }
};

// Malformed data (a record cut short, a text without its terminator) gives nothing, with the
// reason in *error.
inline auto ReadListViewColumns(std::span<const uint8_t> data, ReadError* error = nullptr) {
  return ReadRecords<ListViewColumn>(data, error);
}
inline auto ReadListViewItems(std::span<const uint8_t> data, ReadError* error = nullptr) {
  return ReadRecords<ListViewItemRecord>(data, error);
}
inline std::vector<uint8_t> WriteListViewColumns(std::span<const ListViewColumn> list) { return WriteRecords(list); }
inline std::vector<uint8_t> WriteListViewItems(std::span<const ListViewItemRecord> list) { return WriteRecords(list); }

inline constexpr uint32_t kButtonFaceColor = 0xFF000000;  // stands for the platform's colour

struct ListViewBlock {
  static constexpr int32_t kVersion = 1;
  static constexpr std::string_view kBlockName = "list view block";
  static constexpr size_t kFontRecordSize = 60;

  int32_t border = 1;
  uint32_t textColor = 0x000000, textBackColor = 0xFFFFFF, backColor = 0xFFFFFF;
  int32_t viewType = 0;       // 0 large icons, 1 small icons, 2 list, 3 report
  int32_t iconAlignment = 0;  // 1 left, otherwise top
  bool autoArrange = true, wrapTitles = true, hideHeader = false, headersClickable = true, fullRowSelect = true;
  bool gridLines = false, columnDrag = false, hotTracking = false;
  bool handCursor = true, underlineCold = true, underlineHot = true, allowTitleEditing = false;
  int32_t sorting = 0;  // 1 ascending, 2 descending
  bool checkBoxes = false, flatScrollBars = false, singleSelection = true;
  int32_t currentSelection = -1;
  bool showSelectionAlways = false;
  std::vector<uint8_t> font, headerImages, largeImages;  // the font: empty or a logical-font record
  std::vector<ListViewColumn> columns;
  std::vector<uint8_t> stateImages;
  std::vector<ListViewItemRecord> items;

  static constexpr auto Fields() {
    using B = ListViewBlock;
    return std::tuple{
        Field{"border", &B::border}, Field{"text colour", &B::textColor}, Field{"text back colour", &B::textBackColor},
        Field{"back colour", &B::backColor}, Field{"view type", &B::viewType},
        Field{"icon alignment", &B::iconAlignment}, Field{"auto arrange", &B::autoArrange},
        Field{"wrap titles", &B::wrapTitles}, Field{"hide header", &B::hideHeader},
        Field{"headers clickable", &B::headersClickable}, Field{"full row select", &B::fullRowSelect},
        Field{"grid lines", &B::gridLines}, Field{"column drag", &B::columnDrag},
        Field{"hot tracking", &B::hotTracking}, Field{"hand cursor", &B::handCursor},
        Field{"underline cold", &B::underlineCold}, Field{"underline hot", &B::underlineHot},
        Field{"allow title editing", &B::allowTitleEditing}, Field{"sorting", &B::sorting},
        Field{"check boxes", &B::checkBoxes}, Field{"flat scroll bars", &B::flatScrollBars},
        Field{"single selection", &B::singleSelection}, Field{"current selection", &B::currentSelection},
        Field{"show selection always", &B::showSelectionAlways}, Field{"font", &B::font},
        Field{"header images", &B::headerImages}, Field{"large images", &B::largeImages},
        Field{"columns", &B::columns}, Field{"state images", &B::stateImages}, Field{"initial items", &B::items}};
  }
  static auto Read(std::span<const uint8_t> b, ReadError* e = nullptr) { return ReadBlock<ListViewBlock>(b, e); }
  std::vector<uint8_t> Write() const { return WriteBlock(*this); }
};

}  // namespace tl
