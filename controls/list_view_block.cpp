#include "controls/list_view_block.h"

#include "runtime/byte_io.h"

namespace tl {
std::optional<std::vector<ListViewColumn>> ReadListViewColumns(std::span<const uint8_t> data, BlockError* error,
                                                               size_t at) {
  std::vector<ListViewColumn> columns;
  BlockReader r(data, "list view columns", at);
  while (!r.AtEnd() && r.ok()) {
    ListViewColumn c;
    r.Flag("image on the right", c.imageOnRight).Int32("image", c.image).Int32("alignment", c.alignment);
    r.Int32("width", c.width).CString("title", c.title);
    columns.push_back(std::move(c));
  }
  return r.Finish(std::move(columns), error);
}

std::vector<uint8_t> WriteListViewColumns(std::span<const ListViewColumn> columns) {
  ByteWriter writer;
  for (const auto& c : columns) {
    const uint8_t flag = c.imageOnRight ? 1 : 0;
    writer.Bytes({&flag, 1}).Int32(c.image).Int32(c.alignment).Int32(c.width).CString(c.title);
  }
  return writer.Take();
}

std::optional<std::vector<ListViewItemRecord>> ReadListViewItems(std::span<const uint8_t> data, BlockError* error,
                                                                  size_t at) {
  std::vector<ListViewItemRecord> items;
  BlockReader r(data, "list view items", at);
  while (!r.AtEnd() && r.ok()) {
    ListViewItemRecord i;
    r.Flag("next column", i.nextColumn).Int32("image", i.image).Int32("state image", i.stateImage);
    r.Int32("value", i.value).Int32("indent", i.indent).CString("text", i.text).CString("tip", i.tip);
    items.push_back(std::move(i));
  }
  return r.Finish(std::move(items), error);
}

std::vector<uint8_t> WriteListViewItems(std::span<const ListViewItemRecord> items) {
  ByteWriter writer;
  for (const auto& r : items) {
    const uint8_t flag = r.nextColumn ? 1 : 0;
    writer.Bytes({&flag, 1})
        .Int32(r.image)
        .Int32(r.stateImage)
        .Int32(r.value)
        .Int32(r.indent)
        .CString(r.text)
        .CString(r.tip);
  }
  return writer.Take();
}

std::optional<ListViewBlock> ListViewBlock::Read(std::span<const uint8_t> data, BlockError* error) {
  ListViewBlock b;
  if (data.empty()) return b;
  BlockReader r(data, "list view block");
  int32_t version = 0;
  r.Version(kVersion, version);
  r.Int32("border", b.border).Uint32("text colour", b.textColor).Uint32("text back colour", b.textBackColor);
  r.Uint32("back colour", b.backColor).Int32("view type", b.viewType).Int32("icon alignment", b.iconAlignment);
  r.Bool("auto arrange", b.autoArrange).Bool("wrap titles", b.wrapTitles).Bool("hide header", b.hideHeader);
  r.Bool("headers clickable", b.headersClickable).Bool("full row select", b.fullRowSelect);
  r.Bool("grid lines", b.gridLines).Bool("column drag", b.columnDrag).Bool("hot tracking", b.hotTracking);
  r.Bool("hand cursor", b.handCursor).Bool("underline cold", b.underlineCold).Bool("underline hot", b.underlineHot);
  r.Bool("allow title editing", b.allowTitleEditing).Int32("sorting", b.sorting).Bool("check boxes", b.checkBoxes);
  r.Bool("flat scroll bars", b.flatScrollBars).Bool("single selection", b.singleSelection);
  r.Int32("current selection", b.currentSelection).Bool("show selection always", b.showSelectionAlways);
  std::vector<uint8_t> columns, items;
  r.CountedBytes("font", b.font).CountedBytes("header images", b.headerImages);
  r.CountedBytes("large images", b.largeImages);
  const size_t columnsAt = r.position() + 4;
  r.CountedBytes("columns", columns).CountedBytes("state images", b.stateImages);
  const size_t itemsAt = r.position() + 4;
  r.CountedBytes("initial items", items);
  if (!r.ok()) return r.Finish(std::move(b), error);
  BlockError nested;
  auto parsedColumns = ReadListViewColumns(columns, &nested, columnsAt);
  auto parsedItems = parsedColumns ? ReadListViewItems(items, &nested, itemsAt) : std::nullopt;
  if (!parsedItems) r.Refuse(std::move(nested));
  if (!r.ok()) return r.Finish(std::move(b), error);
  b.columns = std::move(*parsedColumns);
  b.items = std::move(*parsedItems);
  return b;
}

std::vector<uint8_t> ListViewBlock::Write() const {
  ByteWriter w;
  w.Int32(kVersion).Int32(border).Uint32(textColor).Uint32(textBackColor).Uint32(backColor);
  w.Int32(viewType).Int32(iconAlignment).Int32(autoArrange).Int32(wrapTitles);
  w.Int32(hideHeader).Int32(headersClickable).Int32(fullRowSelect).Int32(gridLines);
  w.Int32(columnDrag);
  w.Int32(hotTracking).Int32(handCursor).Int32(underlineCold).Int32(underlineHot);
  w.Int32(allowTitleEditing).Int32(sorting).Int32(checkBoxes).Int32(flatScrollBars);
  w.Int32(singleSelection).Int32(currentSelection).Int32(showSelectionAlways);
  w.CountedBytes(font).CountedBytes(headerImages).CountedBytes(largeImages);
  w.CountedBytes(WriteListViewColumns(columns));
  w.CountedBytes(stateImages);
  w.CountedBytes(WriteListViewItems(items));
  return w.Take();
}

}  // namespace tl
