#include "forms/definition.h"

#include <stdexcept>

#include "runtime/byte_io.h"

namespace tl::forms {
namespace {

struct RecordEncoder {
  std::vector<uint8_t> operator()(const UnitDef& unit) const {
    UnitRecordFields fields;
    fields.type = TypeCode(unit.unit.type);
    fields.name = unit.name;
    fields.left = unit.rect.left;
    fields.top = unit.rect.top;
    fields.width = unit.rect.width;
    fields.height = unit.rect.height;
    fields.cursorData = unit.cursor;
    fields.flags = unit.flags;
    for (const Binding& binding : unit.bindings) {
      fields.bindings.push_back({binding.event, HandlerRef(binding.handler)});
    }
    fields.propertyBlock = unit.block;
    return EncodeUnitRecord(fields);
  }
  std::vector<uint8_t> operator()(const MenuDef& item) const {
    MenuItemFields fields;
    fields.level = item.level;
    fields.caption = item.caption;
    fields.flags = item.flags;
    fields.handler = item.handler ? HandlerRef(*item.handler) : kNoHandler;
    return EncodeMenuItem(fields);
  }
};

uint32_t RecordId(const WindowDef& window, const UnitDef& unit) {
  if (unit.unit.window != window.id) throw std::logic_error("a unit of another window: " + unit.name);
  return unit.unit.unit;
}
uint32_t RecordId(const WindowDef&, const MenuDef& item) { return item.id; }

}  // namespace

std::vector<uint8_t> CursorValue(int32_t value) { return ByteWriter().Int32(value).Take(); }

std::vector<uint8_t> FontRecord(int32_t height, int32_t weight) {
  constexpr uint8_t kGb2312Charset = 134;
  constexpr size_t kFaceNameBytes = 32;
  ByteWriter w;
  w.Int32(height).Int32(0).Int32(0).Int32(0).Int32(weight);
  const uint8_t flagsAndCharset[8] = {0, 0, 0, kGb2312Charset, 0, 0, 0, 0};
  w.Bytes(flagsAndCharset);
  const uint8_t faceName[kFaceNameBytes] = {};
  w.Bytes(faceName);
  return w.Take();
}

WindowDefinitionData Serialize(const WindowDef& window) {
  std::vector<uint32_t> ids;
  std::vector<std::vector<uint8_t>> records;
  for (const RecordDef& record : window.records) {
    ids.push_back(std::visit([&](const auto& r) { return RecordId(window, r); }, record));
    records.push_back(std::visit(RecordEncoder{}, record));
  }
  WindowDefinitionData data;
  data.id = window.id;
  data.word1 = window.word1;
  data.word2 = window.word2;
  data.units = UnitRecordArray::Build(ids, records);
  return data;
}

std::vector<WindowDefinitionData> AllWindows(const Assets& assets) {
  return {Serialize(MainWindow()), Serialize(DetailsWindow()), Serialize(AboutWindow(assets)),
          Serialize(ReminderWindow())};
}

}  // namespace tl::forms
