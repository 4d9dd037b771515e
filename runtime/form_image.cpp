#include "runtime/form_image.h"

#include <algorithm>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "runtime/block_reader.h"
#include "runtime/byte_io.h"

namespace tl {

// Positions of the variable-placed fields, counted from the first byte of the record.
struct UnitLayout {
  size_t objectSlot = 0, rect = 0, cursorSlot = 0, cursorData = 0, tag = 0, tagEnd = 0,
         flags = 0, propertyBlock = 0;
};

struct MenuLayout {
  size_t shortcut = 0, flags = 0, caption = 0, captionEnd = 0, reserved = 0;
};

namespace {

constexpr int32_t kLastShortcut = 76;
constexpr size_t kHeadReserved = 16;
constexpr size_t kTailReserved = 20;
// The smallest record (a menu item with empty texts) with its id, offset and length words;
// bounds a unit count by the data that must hold it.
constexpr size_t kMinRecordSpan = 8 + 4 + 59;

bool IsUnitTypeId(uint32_t type) {
  return type < 0x40000000 && (type >> 16) != 0 && (type & 0xFFFF) != 0;
}

// Every part of the image is read with its name ("unit record"): a read that runs past its end
// is "truncated <name>" at the byte where it stopped.
constexpr BlockReader::Reasons kTruncation = BlockReader::Reasons::Truncation;

// A count of items of itemSize bytes each that must still fit in the reader; checked before
// anything is allocated for them.
bool ReadCount(BlockReader& r, size_t itemSize, size_t& count, std::string_view noun) {
  const size_t at = r.position();
  int32_t value;
  if (!r.Int32(noun, value).ok()) return false;
  count = value < 0 ? 0 : static_cast<size_t>(value);
  if (value < 0 || count > r.remaining() / itemSize) return r.Refuse("bad " + std::string(noun) + " count", at);
  return true;
}

// A counted byte string; a length beyond what remains means the input was cut short.
bool ReadLength(BlockReader& r, std::span<const uint8_t>& bytes, std::string_view noun) {
  const size_t at = r.position();
  int32_t value;
  if (!r.Int32(noun, value).ok()) return false;
  if (value < 0) return r.Refuse("bad " + std::string(noun) + " length", at);
  if (static_cast<size_t>(value) > r.remaining()) return r.Refuse("truncated " + std::string(noun), at);
  return r.Bytes(noun, static_cast<size_t>(value), bytes).ok();
}

bool ValidHandler(int32_t handler, uint32_t handlerCount) {
  return handler == kNoHandler || (handler >= 0 && static_cast<uint32_t>(handler) < handlerCount);
}

// A unit count must leave room for that many of the smallest records.
bool UnitCountFits(int32_t count, size_t dataSize) {
  return count >= 1 && static_cast<size_t>(count) <= dataSize / kMinRecordSpan;
}

// Texts inside records end at their first NUL, so an embedded one would cut the record apart.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// ---- the records, each listed once --------------------------------------------------------
// A record type lists its fields once, in stored order (Parts), for a reader and a writer
// alike: RecordReader decodes a record from the list, checking every field and noting where
// the fields changed in place begin; RecordWriter encodes one from the same list.

template <typename Layout>
class RecordReader {
 public:
  RecordReader(std::span<const uint8_t> record, std::string_view name, uint32_t handlerCount)
      : r_(record, name, 0, kTruncation), handlerCount_(handlerCount) {}

  // Where the next field begins.
  RecordReader& At(size_t Layout::*field) { at_.*field = r_.position(); return *this; }
  RecordReader& Word(std::string_view name, uint32_t& value) { r_.Uint32(name, value); return *this; }
  RecordReader& Word(std::string_view name, int32_t& value) { r_.Int32(name, value); return *this; }
  // A text up to its NUL.
  RecordReader& Text(std::string_view name, std::string& value) { r_.CString(name, value); return *this; }
  // Bytes that hold nothing.
  RecordReader& Reserved(size_t size) { r_.Skip("reserved", size); return *this; }
  // The type the head names must be the record's.
  RecordReader& Type(uint32_t type, bool (*fits)(uint32_t), std::string_view reason) {
    if (r_.ok() && !fits(type)) r_.Refuse(std::string(reason), 0);
    return *this;
  }
  // A count, then that many words.
  RecordReader& Words(std::string_view name, std::vector<uint32_t>& words) {
    size_t count;
    if (!ReadCount(r_, 4, count, name)) return *this;
    words.resize(count);
    for (uint32_t& word : words) r_.Uint32(name, word);
    return *this;
  }
  // A counted byte string, which must fit in the record.
  RecordReader& Bytes(std::string_view name, std::vector<uint8_t>& value) {
    std::span<const uint8_t> bytes;
    if (ReadLength(r_, bytes, name)) value.assign(bytes.begin(), bytes.end());
    return *this;
  }
  // A count, then each event with the index of its handler, which must be one of the program's.
  RecordReader& Bindings(std::vector<EventBinding>& bindings) {
    size_t count;
    if (!ReadCount(r_, 8, count, "binding")) return *this;
    bindings.resize(count);
    for (EventBinding& binding : bindings) {
      r_.Int32("event", binding.event);
      const size_t handlerAt = r_.position();
      r_.Int32("handler", binding.handler);
      if (!ValidHandler(binding.handler, handlerCount_)) r_.Refuse("bad handler reference", handlerAt);
    }
    return *this;
  }
  // The rest of the record.
  RecordReader& Rest(std::vector<uint8_t>& value) {
    const std::span<const uint8_t> rest = r_.Rest();
    value.assign(rest.begin(), rest.end());
    return *this;
  }

  BlockReader& reader() { return r_; }
  const Layout& layout() const { return at_; }
  uint32_t handlerCount() const { return handlerCount_; }

 private:
  BlockReader r_;
  Layout at_;
  uint32_t handlerCount_;
};

class RecordWriter {
 public:
  template <typename Layout>
  RecordWriter& At(size_t Layout::*) { return *this; }
  RecordWriter& Word(std::string_view, uint32_t value) { w_.Uint32(value); return *this; }
  RecordWriter& Word(std::string_view, int32_t value) { w_.Int32(value); return *this; }
  // A text holding a NUL is written up to it.
  RecordWriter& Text(std::string_view, const std::string& value) { w_.CString(UpToNul(value)); return *this; }
  RecordWriter& Reserved(size_t size) { w_.Bytes(std::vector<uint8_t>(size)); return *this; }
  RecordWriter& Type(uint32_t, bool (*)(uint32_t), std::string_view) { return *this; }
  RecordWriter& Words(std::string_view, const std::vector<uint32_t>& words) {
    w_.Int32(static_cast<int32_t>(words.size()));
    for (uint32_t word : words) w_.Uint32(word);
    return *this;
  }
  RecordWriter& Bytes(std::string_view, const std::vector<uint8_t>& value) { w_.CountedBytes(value); return *this; }
  RecordWriter& Bindings(const std::vector<EventBinding>& bindings) {
    w_.Int32(static_cast<int32_t>(bindings.size()));
    for (const EventBinding& binding : bindings) w_.Int32(binding.event).Int32(binding.handler);
    return *this;
  }
  RecordWriter& Rest(const std::vector<uint8_t>& value) { w_.Bytes(value); return *this; }

  std::vector<uint8_t> Take() { return w_.Take(); }

 private:
  ByteWriter w_;
};

// The head every record starts with: type, link, reserved words, name and comment; the type
// must be the record's.
template <typename Io, typename F>
Io& Head(Io& io, F& f, bool (*typeFits)(uint32_t), std::string_view badType) {
  io.Word("type", f.type).Word("link", f.link).Reserved(kHeadReserved).Text("name", f.name).Text("comment", f.comment);
  return io.Type(f.type, typeFits, badType);
}

struct UnitRecord {
  using Fields = UnitRecordFields;
  using Layout = UnitLayout;
  static constexpr std::string_view kName = "unit record";
  static bool TypeFits(uint32_t type) { return IsUnitTypeId(type) && type != TypeCode(UnitType::Menu); }

  // F is the fields, const for the writer.
  template <typename Io, typename F>
  static void Parts(Io& io, F& f) {
    using L = Layout;
    Head(io, f, &TypeFits, "bad unit type id").At(&L::objectSlot).Word("object slot", f.objectSlot);
    io.At(&L::rect).Word("left", f.left).Word("top", f.top).Word("width", f.width).Word("height", f.height);
    io.At(&L::cursorSlot).Word("cursor slot", f.cursorSlot).Word("parent", f.parent).Words("child", f.children);
    io.At(&L::cursorData).Bytes("cursor data", f.cursorData).At(&L::tag).Text("tag", f.tag);
    io.At(&L::tagEnd).Reserved(4).At(&L::flags).Word("flags", f.flags).Word("tab order", f.tabOrder);
    io.Bindings(f.bindings).Reserved(kTailReserved).At(&L::propertyBlock).Rest(f.propertyBlock);
  }
  // Every value is checked as it is read.
  static void Check(RecordReader<Layout>&, const Fields&) {}
};

struct MenuItemRecord {
  using Fields = MenuItemFields;
  using Layout = MenuLayout;
  static constexpr std::string_view kName = "menu item record";
  static bool TypeFits(uint32_t type) { return type == TypeCode(UnitType::Menu); }

  template <typename Io, typename F>
  static void Parts(Io& io, F& f) {
    using L = Layout;
    Head(io, f, &TypeFits, "bad menu item type id").At(&L::shortcut).Word("shortcut", f.shortcut);
    io.Word("level", f.level).At(&L::flags).Word("flags", f.flags).At(&L::caption).Text("caption", f.caption);
    io.At(&L::captionEnd).Word("handler", f.handler).At(&L::reserved);
    for (auto& word : f.reserved) io.Word("reserved", word);
  }
  // The record ends with its fields, whose values are checked once they are all read.
  static void Check(RecordReader<Layout>& in, const Fields& f) {
    BlockReader& r = in.reader();
    const Layout& at = in.layout();
    if (!r.AtEnd()) r.Refuse("bytes after the menu item record", r.position());
    else if (f.shortcut < 0 || f.shortcut > kLastShortcut) r.Refuse("bad shortcut", at.shortcut);
    else if (f.level < 0) r.Refuse("bad menu level", at.shortcut + 4);
    else if (!ValidHandler(f.handler, in.handlerCount())) r.Refuse("bad handler reference", at.captionEnd);
  }
};

// Reads a record of type R, checking every field; fills whichever of fields and layout are given.
template <typename R>
bool Walk(std::span<const uint8_t> record, typename R::Fields* fields, typename R::Layout* layout,
          ReadError* error = nullptr, uint32_t handlerCount = kAnyHandlerCount) {
  typename R::Fields scratch;
  typename R::Fields& f = fields ? *fields : scratch;
  RecordReader<typename R::Layout> in(record, R::kName, handlerCount);
  R::Parts(in, f);
  if (in.reader().ok()) R::Check(in, f);
  if (in.reader().ok() && layout) *layout = in.layout();
  return in.reader().Finish(error);
}

template <typename R>
std::vector<uint8_t> Encode(const typename R::Fields& fields) {
  RecordWriter out;
  R::Parts(out, fields);
  return out.Take();
}

uint32_t WordAt(std::span<const uint8_t> bytes, size_t position) {
  uint32_t value = 0;
  ByteReader(bytes.subspan(position)).Uint32(value);
  return value;
}

// Parent links must end at the window: a cycle would make the loader's re-parenting loop.
// Answers a record on a cycle, if there is one.
std::optional<size_t> RecordOnParentCycle(const std::vector<size_t>& parentIndex) {
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
    if (at != SIZE_MAX && state[at] == kOnPath) return at;
    for (size_t visited : path) state[visited] = kDone;
  }
  return std::nullopt;
}

// Checks the data of a unit record array: the ids, then the records packed in index order right
// after the offsets and filling the data exactly, then the links between units. Positions in
// reasons count from the start of the data.
class RecordWalk {
 public:
  RecordWalk(size_t count, std::span<const uint8_t> data, BlockReader& refuse)
      : n_(count), data_(data), refuse_(refuse), ids_(count), units_(count), layouts_(count),
        starts_(count) {}
  size_t size() const { return n_; }

  bool ReadIds() {
    for (size_t k = 0; k < n_; ++k) {
      ids_[k] = WordAt(data_, 4 * k);
      if (!IsWellFormedId(ids_[k])) return refuse_.Refuse("bad unit id", 4 * k);
    }
    if (IsMenuItemId(ids_[0])) return refuse_.Refuse("first record is a menu item", 0);
    byId_.resize(n_);
    for (size_t i = 0; i < n_; ++i) byId_[i] = {ids_[i], i};
    std::sort(byId_.begin(), byId_.end());
    for (size_t i = 1; i < n_; ++i) {
      if (byId_[i].first == byId_[i - 1].first) {
        return refuse_.Refuse("duplicate unit id", 4 * std::max(byId_[i].second, byId_[i - 1].second));
      }
    }
    return true;
  }

  bool ReadRecords(uint32_t handlerCount) {
    const size_t base = 8 * n_;
    size_t expected = 0;
    for (size_t k = 0; k < n_; ++k) {
      const size_t offsetAt = 4 * (n_ + k);
      if (WordAt(data_, offsetAt) != expected) return refuse_.Refuse("bad record offset", offsetAt);
      BlockReader at(data_.subspan(base + expected), "unit record array", base + expected, kTruncation);
      std::span<const uint8_t> record;
      if (!ReadLength(at, record, "unit record")) return refuse_.Refuse(*at.error());
      starts_[k] = base + expected + 4;
      ReadError inner;
      const bool valid = IsMenuItemId(ids_[k])
                             ? Walk<MenuItemRecord>(record, nullptr, nullptr, &inner, handlerCount)
                             : Walk<UnitRecord>(record, &units_[k], &layouts_[k], &inner, handlerCount);
      if (!valid) return refuse_.Refuse(inner.what, starts_[k] + inner.at);
      expected += 4 + record.size();
    }
    if (base + expected != data_.size()) return refuse_.Refuse("bytes after the last unit record", base + expected);
    return true;
  }

  bool CheckWindowAndParents() {
    if (units_[0].type != TypeCode(UnitType::Window)) return refuse_.Refuse("first record is not a window", starts_[0]);
    if (units_[0].parent != 0) return refuse_.Refuse("bad parent unit id", ParentAt(0));
    std::vector<size_t> parentIndex(n_, SIZE_MAX);
    for (size_t k = 1; k < n_; ++k) {
      if (IsMenuItemId(ids_[k]) || units_[k].parent == 0 || units_[k].parent == ids_[0]) continue;
      const std::optional<size_t> parent = UnitIndex(units_[k].parent);
      if (!parent || *parent == k) return refuse_.Refuse("bad parent unit id", ParentAt(k));
      parentIndex[k] = *parent;
    }
    if (std::optional<size_t> looped = RecordOnParentCycle(parentIndex)) {
      return refuse_.Refuse("parent cycle", ParentAt(*looped));
    }
    return true;
  }

  bool CheckChildren() {
    for (size_t k = 0; k < n_; ++k) {
      const std::vector<uint32_t>& children = units_[k].children;
      for (size_t c = 0; c < children.size(); ++c) {
        if (children[c] == 0) continue;
        const std::optional<size_t> index = UnitIndex(children[c]);
        if (!index || *index == 0) return refuse_.Refuse("bad child unit id", ParentAt(k) + 8 + 4 * c);
      }
    }
    return true;
  }

 private:
  size_t ParentAt(size_t k) const { return starts_[k] + layouts_[k].cursorSlot + 4; }
  std::optional<size_t> UnitIndex(uint32_t id) const {
    const auto it = std::lower_bound(byId_.begin(), byId_.end(), std::pair<uint32_t, size_t>{id, 0});
    if (it == byId_.end() || it->first != id || IsMenuItemId(id)) return std::nullopt;
    return it->second;
  }

  size_t n_;
  std::span<const uint8_t> data_;
  BlockReader& refuse_;  // reads nothing: it keeps the reason
  std::vector<uint32_t> ids_;
  std::vector<std::pair<uint32_t, size_t>> byId_;
  std::vector<UnitRecordFields> units_;
  std::vector<UnitLayout> layouts_;
  std::vector<size_t> starts_;  // of each record's bytes, after its length word
};

// One window definition of the image: two words, two counted texts, the unit count and the
// unit record array.
bool ReadWindow(BlockReader& r, WindowDefinitionData& window, uint32_t handlerCount) {
  std::span<const uint8_t> text1, text2, data;
  int32_t unitCount = 0;
  r.Int32("word 1", window.word1).Int32("word 2", window.word2);
  if (!ReadLength(r, text1, "window text") || !ReadLength(r, text2, "window text")) return false;
  const size_t countAt = r.position();
  if (!r.Int32("unit count", unitCount).ok() || !ReadLength(r, data, "unit record array")) return false;
  if (!UnitCountFits(unitCount, data.size())) return r.Refuse("bad unit count", countAt);
  window.text1.assign(text1.begin(), text1.end());
  window.text2.assign(text2.begin(), text2.end());
  ReadError inner;
  std::optional<UnitRecordArray> units = UnitRecordArray::Parse(unitCount, data, &inner, handlerCount);
  if (!units) return r.Refuse(inner.what, r.position() - data.size() + inner.at);
  window.units = std::move(*units);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeUnitRecord(const UnitRecordFields& fields) { return Encode<UnitRecord>(fields); }

std::vector<uint8_t> EncodeMenuItem(const MenuItemFields& fields) { return Encode<MenuItemRecord>(fields); }

std::optional<UnitRecordArray> UnitRecordArray::Parse(int32_t count,
                                                       std::span<const uint8_t> data,
                                                       ReadError* error, uint32_t handlerCount) {
  BlockReader refuse(data, "unit record array", 0, kTruncation);
  if (!UnitCountFits(count, data.size())) refuse.Refuse("bad unit count", 0);
  if (!refuse.ok()) return refuse.Finish(UnitRecordArray(), error);
  RecordWalk walk(static_cast<size_t>(count), data, refuse);
  if (!walk.ReadIds() || !walk.ReadRecords(handlerCount) || !walk.CheckWindowAndParents() ||
      !walk.CheckChildren()) {
    return refuse.Finish(UnitRecordArray(), error);
  }
  UnitRecordArray array;
  array.count_ = walk.size();
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
  PutUint32Le(data_.data() + position, value);
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
  if (!IsMenuItem(index)) Walk<UnitRecord>(Record(index), &fields, nullptr);
  return fields;
}

MenuItemFields UnitRecordArray::MenuItem(size_t index) const {
  MenuItemFields fields;
  if (IsMenuItem(index)) Walk<MenuItemRecord>(Record(index), &fields, nullptr);
  return fields;
}

std::optional<UnitLayout> UnitRecordArray::UnitLayoutAt(size_t index) const {
  UnitLayout at;
  if (IsMenuItem(index) || !Walk<UnitRecord>(Record(index), nullptr, &at)) return std::nullopt;
  return at;
}

std::optional<MenuLayout> UnitRecordArray::MenuLayoutAt(size_t index) const {
  MenuLayout at;
  if (!IsMenuItem(index) || !Walk<MenuItemRecord>(Record(index), nullptr, &at)) return std::nullopt;
  return at;
}

std::span<const uint8_t> UnitRecordArray::PropertyBlock(size_t index) const {
  const auto at = UnitLayoutAt(index);
  return at ? Record(index).subspan(at->propertyBlock) : std::span<const uint8_t>();
}

uint32_t UnitRecordArray::ObjectSlot(size_t index) const {
  const auto at = UnitLayoutAt(index);
  return at ? WordAt(Record(index), at->objectSlot) : 0;
}

void UnitRecordArray::SetObjectSlot(size_t index, uint32_t value) {
  if (const auto at = UnitLayoutAt(index)) PutWord(RecordStart(index) + at->objectSlot, value);
}

uint32_t UnitRecordArray::CursorSlot(size_t index) const {
  const auto at = UnitLayoutAt(index);
  return at ? WordAt(Record(index), at->cursorSlot) : 0;
}

void UnitRecordArray::SetCursorSlot(size_t index, uint32_t value) {
  if (const auto at = UnitLayoutAt(index)) PutWord(RecordStart(index) + at->cursorSlot, value);
}

void UnitRecordArray::SetRect(size_t index, int32_t left, int32_t top, int32_t width,
                              int32_t height) {
  const auto at = UnitLayoutAt(index);
  if (!at) return;
  const size_t position = RecordStart(index) + at->rect;
  PutWord(position, static_cast<uint32_t>(left));
  PutWord(position + 4, static_cast<uint32_t>(top));
  PutWord(position + 8, static_cast<uint32_t>(width));
  PutWord(position + 12, static_cast<uint32_t>(height));
}

void UnitRecordArray::SetFlags(size_t index, uint32_t flags) {
  if (const auto at = UnitLayoutAt(index)) PutWord(RecordStart(index) + at->flags, flags);
}

void UnitRecordArray::SpliceText(size_t index, size_t from, size_t to, std::string_view text) {
  ByteWriter stored;
  stored.CString(UpToNul(text));
  Splice(index, from, to, stored.bytes());
}

void UnitRecordArray::SetTag(size_t index, std::string_view tag) {
  if (const auto at = UnitLayoutAt(index)) SpliceText(index, at->tag, at->tagEnd, tag);
}

void UnitRecordArray::SetCursorData(size_t index, std::span<const uint8_t> data) {
  const auto at = UnitLayoutAt(index);
  if (!at) return;
  ByteWriter counted;
  counted.CountedBytes(data);
  Splice(index, at->cursorData, at->tag, counted.bytes());
}

void UnitRecordArray::SetMenuFlags(size_t index, uint32_t flags) {
  if (const auto at = MenuLayoutAt(index)) PutWord(RecordStart(index) + at->flags, flags);
}

void UnitRecordArray::SetMenuCaption(size_t index, std::string_view caption) {
  if (const auto at = MenuLayoutAt(index)) SpliceText(index, at->caption, at->captionEnd, caption);
}

void UnitRecordArray::SetMenuReserved0(size_t index, uint32_t value) {
  if (const auto at = MenuLayoutAt(index)) PutWord(RecordStart(index) + at->reserved, value);
}

std::optional<std::vector<WindowDefinitionData>> ReadFormImage(std::span<const uint8_t> image,
                                                               uint32_t handlerCount,
                                                               ReadError* error) {
  BlockReader r(image, "form image", 0, kTruncation);
  std::span<const uint8_t> map;
  std::vector<WindowDefinitionData> windows;
  if (!ReadLength(r, map, "window map")) return r.Finish(std::move(windows), error);
  if (map.size() % 8 != 0) r.Refuse("bad window map length", 0);
  windows.resize(r.ok() ? map.size() / 8 : 0);
  std::vector<uint32_t> sortedIds(windows.size());
  for (size_t i = 0; i < windows.size() && r.ok(); ++i) {
    windows[i].id = sortedIds[i] = WordAt(map, 4 * i);
    if (!IsWellFormedId(windows[i].id)) r.Refuse("bad window id", 4 + 4 * i);
  }
  std::sort(sortedIds.begin(), sortedIds.end());
  if (std::adjacent_find(sortedIds.begin(), sortedIds.end()) != sortedIds.end()) r.Refuse("duplicate window id", 4);
  for (WindowDefinitionData& window : windows) {
    if (!r.ok() || !ReadWindow(r, window, handlerCount)) break;
  }
  if (r.ok() && !r.AtEnd()) r.Refuse("bytes after the last window", r.position());
  return r.Finish(std::move(windows), error);
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
