#include "controls/list_view_block.h"

#include "runtime/byte_io.h"

namespace tl {
namespace {

bool ReadFlag(ByteReader& reader, bool& value) {
  std::span<const uint8_t> byte;
  if (!reader.Bytes(1, byte)) return false;
  value = byte[0] != 0;
  return true;
}

bool ReadBool(ByteReader& reader, bool& value) {
  int32_t raw;
  if (!reader.Int32(raw)) return false;
  value = raw != 0;
  return true;
}

bool ReadColor(ByteReader& reader, uint32_t& value) { return reader.Uint32(value); }

}  // namespace

std::optional<std::vector<ListViewColumn>> ReadListViewColumns(std::span<const uint8_t> data) {
  std::vector<ListViewColumn> columns;
  ByteReader reader(data);
  while (!reader.AtEnd()) {
    ListViewColumn c;
    if (!ReadFlag(reader, c.imageOnRight) || !reader.Int32(c.image) ||
        !reader.Int32(c.alignment) || !reader.Int32(c.width) || !reader.CString(c.title)) {
      return std::nullopt;
    }
    columns.push_back(std::move(c));
  }
  return columns;
}

std::vector<uint8_t> WriteListViewColumns(std::span<const ListViewColumn> columns) {
  ByteWriter writer;
  for (const auto& c : columns) {
    const uint8_t flag = c.imageOnRight ? 1 : 0;
    writer.Bytes({&flag, 1}).Int32(c.image).Int32(c.alignment).Int32(c.width).CString(c.title);
  }
  return writer.Take();
}

std::optional<std::vector<ListViewItemRecord>> ReadListViewItems(std::span<const uint8_t> data) {
  std::vector<ListViewItemRecord> items;
  ByteReader reader(data);
  while (!reader.AtEnd()) {
    ListViewItemRecord r;
    if (!ReadFlag(reader, r.nextColumn) || !reader.Int32(r.image) ||
        !reader.Int32(r.stateImage) || !reader.Int32(r.value) || !reader.Int32(r.indent) ||
        !reader.CString(r.text) || !reader.CString(r.tip)) {
      return std::nullopt;
    }
    items.push_back(std::move(r));
  }
  return items;
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

std::optional<ListViewBlock> ListViewBlock::Read(std::span<const uint8_t> data) {
  ListViewBlock b;
  if (data.empty()) return b;
  ByteReader reader(data);
  int32_t version = 0;
  if (!reader.Int32(version) || version < 0 || version > kVersion) return std::nullopt;
  std::vector<uint8_t> columns, items;
  const bool ok =
      reader.Int32(b.border) && ReadColor(reader, b.textColor) &&
      ReadColor(reader, b.textBackColor) && ReadColor(reader, b.backColor) &&
      reader.Int32(b.viewType) && reader.Int32(b.iconAlignment) &&
      ReadBool(reader, b.autoArrange) && ReadBool(reader, b.wrapTitles) &&
      ReadBool(reader, b.hideHeader) && ReadBool(reader, b.headersClickable) &&
      ReadBool(reader, b.fullRowSelect) && ReadBool(reader, b.gridLines) &&
      ReadBool(reader, b.columnDrag) && ReadBool(reader, b.hotTracking) &&
      ReadBool(reader, b.handCursor) && ReadBool(reader, b.underlineCold) &&
      ReadBool(reader, b.underlineHot) && ReadBool(reader, b.allowTitleEditing) &&
      reader.Int32(b.sorting) && ReadBool(reader, b.checkBoxes) &&
      ReadBool(reader, b.flatScrollBars) && ReadBool(reader, b.singleSelection) &&
      reader.Int32(b.currentSelection) && ReadBool(reader, b.showSelectionAlways) &&
      reader.CountedBytes(b.font) && reader.CountedBytes(b.headerImages) &&
      reader.CountedBytes(b.largeImages) && reader.CountedBytes(columns) &&
      reader.CountedBytes(b.stateImages) && reader.CountedBytes(items);
  if (!ok) return std::nullopt;
  auto parsedColumns = ReadListViewColumns(columns);
  auto parsedItems = ReadListViewItems(items);
  if (!parsedColumns || !parsedItems) return std::nullopt;
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
