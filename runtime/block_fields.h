// A stored block's fields, listed once: each with its name (as reasons say it), its member and
// the block version it first appears in. ReadBlock and WriteBlock read and write every block
// type from its list, so that the stored order is written down in one place. Portable.
//
// A block type B provides:
//   static constexpr int32_t kVersion;             the newest version it reads and the one it writes
//   static constexpr std::string_view kBlockName;  "label block", for reasons
//   static constexpr auto Fields();                std::tuple of Field, in stored order
// and may provide `static constexpr BlockReader::Reasons kReasons` (by field if not) and an
// int32 member `version`, which then holds the version read and decides the version written.
// The stored form is the version word, then the fields in list order; a field newer than the
// version is left out. A record type R kept in a block as a counted list of records provides
// Fields() and `static constexpr std::string_view kListName`.
//
// A block's header includes only this one: its property numbers (kFirstOwnProperty, Number)
// come with it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

#include "runtime/block_reader.h"
#include "runtime/byte_io.h"
#include "runtime/unit_type.h"

namespace tl {

// How a field is stored where its type alone does not say: a bool is an int32 unless it is one
// byte, a text is counted unless it runs up to a NUL.
enum class StoredAs : uint8_t { Type, Byte, UpToNul };

template <typename Owner, typename T>
struct Field {
  std::string_view name;
  T Owner::*member;
  int32_t since = 0;
  StoredAs form = StoredAs::Type;
};
template <typename O, typename T>
Field(std::string_view, T O::*) -> Field<O, T>;
template <typename O, typename T>
Field(std::string_view, T O::*, int32_t) -> Field<O, T>;

template <typename O>
constexpr Field<O, bool> ByteFlag(std::string_view name, bool O::*member) {
  return {name, member, 0, StoredAs::Byte};
}
template <typename O>
constexpr Field<O, std::string> NulText(std::string_view name, std::string O::*member) {
  return {name, member, 0, StoredAs::UpToNul};
}

template <typename R>
std::optional<std::vector<R>> ReadRecords(std::span<const uint8_t> data, ReadError* error = nullptr, size_t at = 0);
template <typename R>
std::vector<uint8_t> WriteRecords(std::span<const R> records);

namespace stored {

template <typename T>
struct IsRecordList : std::false_type {};
template <typename R>
  requires requires { R::kListName; }
struct IsRecordList<std::vector<R>> : std::true_type {};

template <typename T>
struct IsWordArray : std::false_type {};
template <size_t N>
struct IsWordArray<std::array<int32_t, N>> : std::true_type {};

template <typename T>
void Read(BlockReader& r, std::string_view name, StoredAs form, T& value) {
  if constexpr (std::is_same_v<T, int32_t>) r.Int32(name, value);
  else if constexpr (std::is_same_v<T, uint32_t>) r.Uint32(name, value);
  else if constexpr (std::is_same_v<T, uint16_t>) r.Uint16(name, value);
  else if constexpr (std::is_same_v<T, double>) r.Double(name, value);
  else if constexpr (std::is_same_v<T, bool>) form == StoredAs::Byte ? r.Flag(name, value) : r.Bool(name, value);
  else if constexpr (std::is_same_v<T, std::string>)
    form == StoredAs::UpToNul ? r.CString(name, value) : r.CountedText(name, value);
  else if constexpr (std::is_same_v<T, std::vector<uint8_t>>) r.CountedBytes(name, value);
  else if constexpr (IsWordArray<T>::value) {
    for (int32_t& word : value) r.Int32(name, word);
  } else {
    static_assert(IsRecordList<T>::value, "a field type the stored forms do not know");
    // A counted list of records; its reasons count from the block's start.
    const size_t at = r.position() + 4;
    std::vector<uint8_t> bytes;
    if (!r.CountedBytes(name, bytes).ok()) return;
    ReadError error;
    if (auto records = ReadRecords<typename T::value_type>(bytes, &error, at)) value = std::move(*records);
    else r.Refuse(std::move(error));
  }
}

template <typename T>
void Write(ByteWriter& w, StoredAs form, const T& value) {
  if constexpr (std::is_same_v<T, int32_t>) w.Int32(value);
  else if constexpr (std::is_same_v<T, uint32_t>) w.Uint32(value);
  else if constexpr (std::is_same_v<T, uint16_t>) w.Uint16(value);
  else if constexpr (std::is_same_v<T, double>) w.Double(value);
  else if constexpr (std::is_same_v<T, bool>) {
    if (form == StoredAs::Byte) w.Bytes(std::array<uint8_t, 1>{static_cast<uint8_t>(value ? 1 : 0)});
    else w.Int32(value ? 1 : 0);
  } else if constexpr (std::is_same_v<T, std::string>) {
    if (form == StoredAs::UpToNul) w.CString(value);
    else w.CountedText(value);
  } else if constexpr (std::is_same_v<T, std::vector<uint8_t>>) w.CountedBytes(value);
  else if constexpr (IsWordArray<T>::value) {
    for (int32_t word : value) w.Int32(word);
  } else {
    w.CountedBytes(WriteRecords<typename T::value_type>(value));
  }
}

}  // namespace stored

// The fields of `owner` present in `version`, in list order.
template <typename O>
void ReadFields(BlockReader& r, O& owner, int32_t version) {
  std::apply([&](const auto&... field) {
    ((version >= field.since ? stored::Read(r, field.name, field.form, owner.*field.member) : void()), ...);
  }, O::Fields());
}

template <typename O>
void WriteFields(ByteWriter& w, const O& owner, int32_t version) {
  std::apply([&](const auto&... field) {
    ((version >= field.since ? stored::Write(w, field.form, owner.*field.member) : void()), ...);
  }, O::Fields());
}

// An empty block gives the defaults; a missing, negative or newer version, or a field cut
// short, gives nothing, with the reason in *error.
template <typename B>
std::optional<B> ReadBlock(std::span<const uint8_t> bytes, ReadError* error = nullptr) {
  B block;
  if (bytes.empty()) return block;
  BlockReader::Reasons reasons = BlockReader::Reasons::ByField;
  if constexpr (requires { B::kReasons; }) reasons = B::kReasons;
  BlockReader r(bytes, B::kBlockName, 0, reasons);
  int32_t version = 0;
  r.Version(B::kVersion, version);
  if constexpr (requires { block.version; }) block.version = version;
  ReadFields(r, block, version);
  return r.Finish(std::move(block), error);
}

template <typename B>
std::vector<uint8_t> WriteBlock(const B& block) {
  int32_t version = B::kVersion;
  if constexpr (requires { block.version; }) version = block.version;
  ByteWriter w;
  w.Int32(version);
  WriteFields(w, block, version);
  return w.Take();
}

// A list of records packed one after another; `at` is the offset of the data in the block
// around it.
template <typename R>
std::optional<std::vector<R>> ReadRecords(std::span<const uint8_t> data, ReadError* error, size_t at) {
  std::vector<R> records;
  BlockReader r(data, R::kListName, at);
  while (!r.AtEnd() && r.ok()) {
    R record;
    ReadFields(r, record, 0);
    records.push_back(std::move(record));
  }
  return r.Finish(std::move(records), error);
}

template <typename R>
std::vector<uint8_t> WriteRecords(std::span<const R> records) {
  ByteWriter w;
  for (const R& record : records) WriteFields(w, record, 0);
  return w.Take();
}

}  // namespace tl
