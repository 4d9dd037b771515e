#include "runtime/form_image.h"

#include <algorithm>
#include <utility>

#include "runtime/byte_io.h"

namespace tl {
namespace {

constexpr uint32_t kWindowType = 0x10001;
constexpr uint32_t kMenuType = 0x10003;
constexpr int32_t kLastShortcut = 76;
constexpr size_t kHeadReserved = 16;
constexpr size_t kTailReserved = 20;
// The smallest record (a menu item with empty texts) with its id, offset and length words;
// bounds a unit count by the data that must hold it.
constexpr size_t kMinRecordSpan = 8 + 4 + 59;

// Positions of the variable-placed fields, counted from the first byte of the record.
struct UnitLayout {
  size_t objectSlot = 0, rect = 0, cursorSlot = 0, cursorData = 0, tag = 0, tagEnd = 0,
         flags = 0, propertyBlock = 0;
};

struct MenuLayout {
  size_t flags = 0, caption = 0, captionEnd = 0, reserved = 0;
};

bool IsUnitTypeId(uint32_t type) {
  return type < 0x40000000 && (type >> 16) != 0 && (type & 0xFFFF) != 0;
}

// A count of items of itemSize bytes each that must still fit in the reader; checked before
// anything is allocated for them.
bool ReadCount(ByteReader& reader, size_t itemSize, size_t& count) {
  int32_t value;
  if (!reader.Int32(value) || value < 0) return false;
  count = static_cast<size_t>(value);
  return count <= reader.remaining() / itemSize;
}

bool ReadLength(ByteReader& reader, std::span<const uint8_t>& bytes) {
  size_t length;
  return ReadCount(reader, 1, length) && reader.Bytes(length, bytes);
}

// Texts inside records end at their first NUL, so an embedded one would cut the record apart.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// The head every record starts with: type, link, reserved words, name and comment.
template <typename Fields>
void ReadHead(ByteReader& r, Fields& f) {
  r.Uint32(f.type);
  r.Uint32(f.link);
  r.Skip(kHeadReserved);
  r.CString(f.name);
  r.CString(f.comment);
}

template <typename Fields>
void WriteHead(ByteWriter& w, const Fields& f) {
  w.Uint32(f.type).Uint32(f.link);
  for (size_t i = 0; i < kHeadReserved / 4; ++i) w.Uint32(0);
  w.CString(UpToNul(f.name)).CString(UpToNul(f.comment));
}

// Walks a unit record, checking every field; fills whichever of fields and layout are given.
bool WalkUnit(std::span<const uint8_t> record, UnitRecordFields* fields, UnitLayout* layout) {
  UnitRecordFields scratch;
  UnitRecordFields& f = fields ? *fields : scratch;
  UnitLayout at;
  ByteReader r(record);
  ReadHead(r, f);
  at.objectSlot = r.position();
  r.Uint32(f.objectSlot);
  at.rect = r.position();
  r.Int32(f.left);
  r.Int32(f.top);
  r.Int32(f.width);
  r.Int32(f.height);
  at.cursorSlot = r.position();
  r.Uint32(f.cursorSlot);
  r.Uint32(f.parent);
  size_t childCount;
  if (!ReadCount(r, 4, childCount)) return false;
  f.children.resize(childCount);
  for (uint32_t& child : f.children) r.Uint32(child);
  at.cursorData = r.position();
  std::span<const uint8_t> cursor;
  if (!ReadLength(r, cursor)) return false;
  f.cursorData.assign(cursor.begin(), cursor.end());
  at.tag = r.position();
  r.CString(f.tag);
  at.tagEnd = r.position();
  r.Skip(4);
  at.flags = r.position();
  r.Uint32(f.flags);
  r.Int32(f.tabOrder);
  size_t bindingCount;
  if (!ReadCount(r, 8, bindingCount)) return false;
  f.bindings.resize(bindingCount);
  for (EventBinding& binding : f.bindings) {
    r.Int32(binding.event);
    r.Int32(binding.handler);
    if (binding.handler < kNoHandler) return false;
  }
  r.Skip(kTailReserved);
  if (!r.ok()) return false;
  at.propertyBlock = r.position();
  f.propertyBlock.assign(record.begin() + at.propertyBlock, record.end());
  if (layout) *layout = at;
  return IsUnitTypeId(f.type) && f.type != kMenuType;
}

bool WalkMenuItem(std::span<const uint8_t> record, MenuItemFields* fields, MenuLayout* layout) {
  MenuItemFields scratch;
  MenuItemFields& f = fields ? *fields : scratch;
  MenuLayout at;
  ByteReader r(record);
  ReadHead(r, f);
  r.Int32(f.shortcut);
  r.Int32(f.level);
  at.flags = r.position();
  r.Uint32(f.flags);
  at.caption = r.position();
  r.CString(f.caption);
  at.captionEnd = r.position();
  r.Int32(f.handler);
  at.reserved = r.position();
  for (uint32_t& word : f.reserved) r.Uint32(word);
  if (!r.AtEnd()) return false;
  if (layout) *layout = at;
  return f.type == kMenuType && f.shortcut >= 0 && f.shortcut <= kLastShortcut && f.level >= 0 &&
         f.handler >= kNoHandler;
}


uint32_t WordAt(std::span<const uint8_t> bytes, size_t position) {
  uint32_t value = 0;
  ByteReader(bytes.subspan(position)).Uint32(value);
  return value;
}

// Parent links must end at the window: a cycle would make the loader's re-parenting loop.
bool ParentsReachWindow(const std::vector<size_t>& parentIndex) {
  enum : uint8_t { kUnseen, kOnPath, kDone };
  std::vector<uint8_t> state(parentIndex.size(), kUnseen);
  for (size_t start = 0; start < parentIndex.size(); ++start) {
    std::vector<size_t> path;
    size_t at = start;
    while (at != SIZE_MAX && state[at] == kUnseen) {
      state[at] = kOnPath;
      path.push_back(at);
      at = parentIndex[at];
    }
    if (at != SIZE_MAX && state[at] == kOnPath) return false;
    for (size_t visited : path) state[visited] = kDone;
  }
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeUnitRecord(const UnitRecordFields& f) {
  ByteWriter w;
  WriteHead(w, f);
  w.Uint32(f.objectSlot).Int32(f.left).Int32(f.top).Int32(f.width).Int32(f.height);
  w.Uint32(f.cursorSlot).Uint32(f.parent).Int32(static_cast<int32_t>(f.children.size()));
  for (uint32_t child : f.children) w.Uint32(child);
  w.CountedBytes(f.cursorData).CString(UpToNul(f.tag)).Uint32(0);
  w.Uint32(f.flags).Int32(f.tabOrder).Int32(static_cast<int32_t>(f.bindings.size()));
  for (const EventBinding& binding : f.bindings) w.Int32(binding.event).Int32(binding.handler);
  for (int i = 0; i < 5; ++i) w.Uint32(0);
  w.Bytes(f.propertyBlock);
  return w.Take();
}

std::vector<uint8_t> EncodeMenuItem(const MenuItemFields& f) {
  ByteWriter w;
  WriteHead(w, f);
  w.Int32(f.shortcut).Int32(f.level).Uint32(f.flags).CString(UpToNul(f.caption));
  w.Int32(f.handler);
  for (uint32_t word : f.reserved) w.Uint32(word);
  return w.Take();
}

std::optional<UnitRecordArray> UnitRecordArray::Parse(int32_t count,
                                                       std::span<const uint8_t> data) {
  if (count < 1 || static_cast<size_t>(count) > data.size() / kMinRecordSpan) return std::nullopt;
  const size_t n = static_cast<size_t>(count);
  ByteReader r(data);
  std::vector<uint32_t> ids(n);
  for (uint32_t& id : ids) {
    r.Uint32(id);
    if (!IsWellFormedId(id)) return std::nullopt;
  }
  if (IsMenuItemId(ids[0])) return std::nullopt;

  std::vector<std::pair<uint32_t, size_t>> byId(n);
  for (size_t i = 0; i < n; ++i) byId[i] = {ids[i], i};
  std::sort(byId.begin(), byId.end());
  for (size_t i = 1; i < n; ++i) {
    if (byId[i].first == byId[i - 1].first) return std::nullopt;
  }
  const auto unitIndex = [&](uint32_t id) -> std::optional<size_t> {
    const auto it = std::lower_bound(byId.begin(), byId.end(), std::pair<uint32_t, size_t>{id, 0});
    if (it == byId.end() || it->first != id || IsMenuItemId(id)) return std::nullopt;
    return it->second;
  };

  // Records are packed in index order right after the offsets and fill the data exactly.
  const size_t base = 8 * n;
  size_t expected = 0;
  std::vector<UnitRecordFields> units(n);
  for (size_t k = 0; k < n; ++k) {
    int32_t offset;
    r.Int32(offset);
    if (offset < 0 || static_cast<size_t>(offset) != expected) return std::nullopt;
    ByteReader at(data.subspan(base + expected));
    std::span<const uint8_t> record;
    if (!ReadLength(at, record)) return std::nullopt;
    const bool valid = IsMenuItemId(ids[k]) ? WalkMenuItem(record, nullptr, nullptr)
                                            : WalkUnit(record, &units[k], nullptr);
    if (!valid) return std::nullopt;
    expected += 4 + record.size();
  }
  if (base + expected != data.size()) return std::nullopt;

  if (units[0].type != kWindowType || units[0].parent != 0) return std::nullopt;
  std::vector<size_t> parentIndex(n, SIZE_MAX);
  for (size_t k = 1; k < n; ++k) {
    if (IsMenuItemId(ids[k])) continue;
    if (units[k].parent != 0 && units[k].parent != ids[0]) {
      const std::optional<size_t> parent = unitIndex(units[k].parent);
      if (!parent || *parent == k) return std::nullopt;
      parentIndex[k] = *parent;
    }
  }
  if (!ParentsReachWindow(parentIndex)) return std::nullopt;
  for (size_t k = 0; k < n; ++k) {
    for (uint32_t child : units[k].children) {
      if (child == 0) continue;
      const std::optional<size_t> index = unitIndex(child);
      if (!index || *index == 0) return std::nullopt;
    }
  }

  UnitRecordArray array;
  array.count_ = n;
  array.data_.assign(data.begin(), data.end());
  return array;
}

UnitRecordArray UnitRecordArray::Build(std::span<const uint32_t> ids,
                                       const std::vector<std::vector<uint8_t>>& records) {
  const size_t n = std::min(ids.size(), records.size());
  ByteWriter w;
  for (size_t k = 0; k < n; ++k) w.Uint32(ids[k]);
  size_t offset = 0;
  for (size_t k = 0; k < n; ++k) {
    w.Int32(static_cast<int32_t>(offset));
    offset += 4 + records[k].size();
  }
  for (size_t k = 0; k < n; ++k) w.CountedBytes(records[k]);
  UnitRecordArray array;
  array.count_ = n;
  array.data_ = w.Take();
  return array;
}

size_t UnitRecordArray::size() const { return count_; }

uint32_t UnitRecordArray::IdAt(size_t index) const {
  return index < count_ ? WordAt(data_, 4 * index) : 0;
}

std::optional<size_t> UnitRecordArray::IndexOf(uint32_t id) const {
  if (count_ > 0 && IdAt(0) == id) return 0;
  for (size_t k = 1; k < count_; ++k) {
    if (IdAt(k) == id) return k;
  }
  return std::nullopt;
}

bool UnitRecordArray::IsMenuItem(size_t index) const { return IsMenuItemId(IdAt(index)); }

size_t UnitRecordArray::RecordStart(size_t index) const {
  return 8 * count_ + WordAt(data_, 4 * (count_ + index)) + 4;
}

std::span<const uint8_t> UnitRecordArray::Record(size_t index) const {
  if (index >= count_) return {};
  const size_t start = RecordStart(index);
  return std::span<const uint8_t>(data_).subspan(start, WordAt(data_, start - 4));
}

void UnitRecordArray::PutWord(size_t position, uint32_t value) {
  for (int i = 0; i < 4; ++i) data_[position + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Replaces bytes [from, to) of record index (positions within the record) and moves the
// records after it.
void UnitRecordArray::Splice(size_t index, size_t from, size_t to,
                             std::span<const uint8_t> bytes) {
  const size_t start = RecordStart(index);
  const size_t oldLength = WordAt(data_, start - 4);
  const auto first = data_.begin() + static_cast<std::ptrdiff_t>(start + from);
  const std::vector<uint8_t> copy(bytes.begin(), bytes.end());
  data_.insert(data_.erase(first, first + static_cast<std::ptrdiff_t>(to - from)), copy.begin(),
               copy.end());
  const size_t newLength = oldLength - (to - from) + copy.size();
  PutWord(start - 4, static_cast<uint32_t>(newLength));
  for (size_t k = index + 1; k < count_; ++k) {
    const size_t position = 4 * (count_ + k);
    PutWord(position, static_cast<uint32_t>(WordAt(data_, position) + newLength - oldLength));
  }
}

UnitRecordFields UnitRecordArray::Unit(size_t index) const {
  UnitRecordFields fields;
  if (!IsMenuItem(index)) WalkUnit(Record(index), &fields, nullptr);
  return fields;
}

MenuItemFields UnitRecordArray::MenuItem(size_t index) const {
  MenuItemFields fields;
  if (IsMenuItem(index)) WalkMenuItem(Record(index), &fields, nullptr);
  return fields;
}

std::span<const uint8_t> UnitRecordArray::PropertyBlock(size_t index) const {
  UnitLayout at;
  if (IsMenuItem(index) || !WalkUnit(Record(index), nullptr, &at)) return {};
  return Record(index).subspan(at.propertyBlock);
}

uint32_t UnitRecordArray::ObjectSlot(size_t index) const {
  UnitLayout at;
  if (IsMenuItem(index) || !WalkUnit(Record(index), nullptr, &at)) return 0;
  return WordAt(Record(index), at.objectSlot);
}

void UnitRecordArray::SetObjectSlot(size_t index, uint32_t value) {
  UnitLayout at;
  if (IsMenuItem(index) || !WalkUnit(Record(index), nullptr, &at)) return;
  PutWord(RecordStart(index) + at.objectSlot, value);
}

uint32_t UnitRecordArray::CursorSlot(size_t index) const {
  UnitLayout at;
  if (IsMenuItem(index) || !WalkUnit(Record(index), nullptr, &at)) return 0;
  return WordAt(Record(index), at.cursorSlot);
}

void UnitRecordArray::SetCursorSlot(size_t index, uint32_t value) {
  UnitLayout at;
  if (IsMenuItem(index) || !WalkUnit(Record(index), nullptr, &at)) return;
  PutWord(RecordStart(index) + at.cursorSlot, value);
}

void UnitRecordArray::SetRect(size_t index, int32_t left, int32_t top, int32_t width,
                              int32_t height) {
  UnitLayout at;
  if (IsMenuItem(index) || !WalkUnit(Record(index), nullptr, &at)) return;
  const size_t position = RecordStart(index) + at.rect;
  PutWord(position, static_cast<uint32_t>(left));
  PutWord(position + 4, static_cast<uint32_t>(top));
  PutWord(position + 8, static_cast<uint32_t>(width));
  PutWord(position + 12, static_cast<uint32_t>(height));
}

void UnitRecordArray::SetFlags(size_t index, uint32_t flags) {
  UnitLayout at;
  if (IsMenuItem(index) || !WalkUnit(Record(index), nullptr, &at)) return;
  PutWord(RecordStart(index) + at.flags, flags);
}

void UnitRecordArray::SetTag(size_t index, std::string_view tag) {
  UnitLayout at;
  if (IsMenuItem(index) || !WalkUnit(Record(index), nullptr, &at)) return;
  ByteWriter text;
  text.CString(UpToNul(tag));
  Splice(index, at.tag, at.tagEnd, text.bytes());
}

void UnitRecordArray::SetCursorData(size_t index, std::span<const uint8_t> data) {
  UnitLayout at;
  if (IsMenuItem(index) || !WalkUnit(Record(index), nullptr, &at)) return;
  ByteWriter counted;
  counted.CountedBytes(data);
  Splice(index, at.cursorData, at.tag, counted.bytes());
}

void UnitRecordArray::SetMenuFlags(size_t index, uint32_t flags) {
  MenuLayout at;
  if (!IsMenuItem(index) || !WalkMenuItem(Record(index), nullptr, &at)) return;
  PutWord(RecordStart(index) + at.flags, flags);
}

void UnitRecordArray::SetMenuCaption(size_t index, std::string_view caption) {
  MenuLayout at;
  if (!IsMenuItem(index) || !WalkMenuItem(Record(index), nullptr, &at)) return;
  ByteWriter text;
  text.CString(UpToNul(caption));
  Splice(index, at.caption, at.captionEnd, text.bytes());
}

void UnitRecordArray::SetMenuReserved0(size_t index, uint32_t value) {
  MenuLayout at;
  if (!IsMenuItem(index) || !WalkMenuItem(Record(index), nullptr, &at)) return;
  PutWord(RecordStart(index) + at.reserved, value);
}

std::optional<std::vector<WindowDefinitionData>> ReadFormImage(std::span<const uint8_t> image,
                                                               uint32_t handlerCount) {
  ByteReader r(image);
  std::span<const uint8_t> map;
  if (!ReadLength(r, map) || map.size() % 8 != 0) return std::nullopt;
  const size_t windowCount = map.size() / 8;
  std::vector<WindowDefinitionData> windows(windowCount);
  std::vector<uint32_t> sortedIds(windowCount);
  for (size_t i = 0; i < windowCount; ++i) {
    windows[i].id = sortedIds[i] = WordAt(map, 4 * i);
    if (!IsWellFormedId(windows[i].id)) return std::nullopt;
  }
  std::sort(sortedIds.begin(), sortedIds.end());
  if (std::adjacent_find(sortedIds.begin(), sortedIds.end()) != sortedIds.end()) return std::nullopt;
  const auto handlerValid = [&](int32_t handler) {
    return handler == kNoHandler ||
           (handler >= 0 && static_cast<uint32_t>(handler) < handlerCount);
  };
  for (WindowDefinitionData& window : windows) {
    std::span<const uint8_t> text1, text2, data;
    int32_t unitCount;
    r.Int32(window.word1);
    r.Int32(window.word2);
    if (!ReadLength(r, text1) || !ReadLength(r, text2) || !r.Int32(unitCount) ||
        !ReadLength(r, data)) {
      return std::nullopt;
    }
    window.text1.assign(text1.begin(), text1.end());
    window.text2.assign(text2.begin(), text2.end());
    std::optional<UnitRecordArray> units = UnitRecordArray::Parse(unitCount, data);
    if (!units) return std::nullopt;
    for (size_t k = 0; k < units->size(); ++k) {
      if (units->IsMenuItem(k)) {
        if (!handlerValid(units->MenuItem(k).handler)) return std::nullopt;
        continue;
      }
      for (const EventBinding& binding : units->Unit(k).bindings) {
        if (!handlerValid(binding.handler)) return std::nullopt;
      }
    }
    window.units = std::move(*units);
  }
  if (!r.AtEnd()) return std::nullopt;
  return windows;
}

std::vector<uint8_t> WriteFormImage(std::span<const WindowDefinitionData> windows) {
  ByteWriter w;
  w.Int32(static_cast<int32_t>(8 * windows.size()));
  for (const WindowDefinitionData& window : windows) w.Uint32(window.id);
  for (size_t i = 0; i < windows.size(); ++i) w.Uint32(0);
  for (const WindowDefinitionData& window : windows) {
    w.Int32(window.word1).Int32(window.word2);
    w.CountedText(window.text1).CountedText(window.text2);
    w.Int32(window.units.count()).CountedBytes(window.units.data());
  }
  return w.Take();
}

}  // namespace tl
