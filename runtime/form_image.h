// The form image: the serialized window definitions built into the program, and the packed
// unit record arrays that the loader works on. Portable: the build-time generator writes with
// the same code that the runtime reads with.
//
// Image layout: window map (counted byte string of 8*W bytes: W ids, then W placeholder words),
// then per window: int32, int32, two counted texts, int32 unit count U, counted byte string of
// the unit record array data. Nothing may follow the last window.
// Unit record array data: U ids, U offsets (relative to byte 8*U), then records, each an int32
// length followed by the record bytes. Record 0 is the window's own unit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/block_reader.h"
#include "runtime/value.h"

namespace tl {

constexpr bool IsMenuItemId(uint32_t id) { return ((id >> 24) & 0xF) == 6 && (id >> 28) == 2; }
constexpr bool IsWellFormedId(uint32_t id) {
  return (id & 0xFFFFFF) != 0 && ((id >> 24) & 0xF) != 0;
}

inline constexpr int32_t kNoHandler = -1;
// A handler count for reading records alone, where any reference from 0 up is accepted.
inline constexpr uint32_t kAnyHandlerCount = UINT32_MAX;

namespace UnitFlag {
inline constexpr uint32_t Visible = 1;
inline constexpr uint32_t Disabled = 2;
inline constexpr uint32_t TabStop = 4;
inline constexpr uint32_t OwnerDrawMenu = 8;  // window unit only
}  // namespace UnitFlag

namespace MenuFlag {
inline constexpr uint32_t Hidden = 1;
inline constexpr uint32_t Disabled = 2;
inline constexpr uint32_t Checked = 4;
}  // namespace MenuFlag

struct EventBinding {
  int32_t event;    // negative: events common to all windowed units
  int32_t handler;  // index into the application's handler table; kNoHandler for none
};

// Every field of a unit record that is not a menu item, decoded.
struct UnitRecordFields {
  uint32_t type = 0;
  uint32_t link = 0;
  std::string name;
  std::string comment;
  uint32_t objectSlot = 0;
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t cursorSlot = 0;
  uint32_t parent = 0;
  std::vector<uint32_t> children;  // a 0 entry separates the pages of a paged container
  std::vector<uint8_t> cursorData;
  std::string tag;
  uint32_t flags = 0;
  int32_t tabOrder = 0;
  std::vector<EventBinding> bindings;
  std::vector<uint8_t> propertyBlock;
};

// Menu command ids count from here in the order of a window's menu-item records.
inline constexpr uint32_t kFirstMenuCommand = 20000;

struct MenuItemFields {
  uint32_t type = UnitType::Menu;
  uint32_t link = 0;
  std::string name;
  std::string comment;
  int32_t shortcut = 0;  // 0 none, else 1-76 into the key-name table
  int32_t level = 0;
  uint32_t flags = 0;
  std::string caption;  // "-" is a separator
  int32_t handler = kNoHandler;
  uint32_t reserved[4] = {};  // while loaded, word 0 of an item opening a submenu: its handle
};

std::vector<uint8_t> EncodeUnitRecord(const UnitRecordFields& fields);
std::vector<uint8_t> EncodeMenuItem(const MenuItemFields& fields);

// Field positions inside one unit or menu-item record (form_image.cpp).
struct UnitLayout;
struct MenuLayout;

// The packed array, kept in its stored form; records are looked up by id or index and their
// fields read and written in place. Parse checks every record completely, so later field access
// on a parsed array cannot fail; a refusal says why in error, with its byte counted from the
// start of data.
class UnitRecordArray {
 public:
  UnitRecordArray() = default;
  static std::optional<UnitRecordArray> Parse(int32_t count, std::span<const uint8_t> data,
                                              ReadError* error = nullptr,
                                              uint32_t handlerCount = kAnyHandlerCount);
  // Builds the packed form from ids and encoded records (EncodeUnitRecord / EncodeMenuItem).
  static UnitRecordArray Build(std::span<const uint32_t> ids,
                               const std::vector<std::vector<uint8_t>>& records);

  size_t size() const;
  uint32_t IdAt(size_t index) const;
  std::optional<size_t> IndexOf(uint32_t id) const;  // fast path when id is record 0's
  bool IsMenuItem(size_t index) const;               // by the record's id

  UnitRecordFields Unit(size_t index) const;
  MenuItemFields MenuItem(size_t index) const;
  std::span<const uint8_t> PropertyBlock(size_t index) const;

  // In-place field access of unit records.
  uint32_t ObjectSlot(size_t index) const;
  void SetObjectSlot(size_t index, uint32_t value);
  uint32_t CursorSlot(size_t index) const;
  void SetCursorSlot(size_t index, uint32_t value);
  void SetRect(size_t index, int32_t left, int32_t top, int32_t width, int32_t height);
  void SetFlags(size_t index, uint32_t flags);
  // Length-changing writes rebuild the record in place.
  void SetTag(size_t index, std::string_view tag);
  void SetCursorData(size_t index, std::span<const uint8_t> data);
  // In-place field access of menu-item records.
  void SetMenuFlags(size_t index, uint32_t flags);
  void SetMenuCaption(size_t index, std::string_view caption);
  void SetMenuReserved0(size_t index, uint32_t value);

  // The stored form: the unit count and the data of the counted byte string.
  int32_t count() const { return static_cast<int32_t>(size()); }
  const std::vector<uint8_t>& data() const { return data_; }

 private:
  size_t RecordStart(size_t index) const;  // of the record bytes, after the length word
  std::span<const uint8_t> Record(size_t index) const;
  void Splice(size_t index, size_t from, size_t to, std::span<const uint8_t> bytes);
  // Splice of a text stored up to its NUL.
  void SpliceText(size_t index, size_t from, size_t to, std::string_view text);
  void PutWord(size_t position, uint32_t value);
  // Where record `index` keeps its fields: nothing for a record of the other kind, or one that
  // does not walk.
  std::optional<UnitLayout> UnitLayoutAt(size_t index) const;
  std::optional<MenuLayout> MenuLayoutAt(size_t index) const;

  size_t count_ = 0;
  std::vector<uint8_t> data_;
};

struct WindowDefinitionData {
  uint32_t id = 0;
  int32_t word1 = 0, word2 = 0;  // stored, not interpreted
  std::string text1, text2;      // stored, not interpreted
  UnitRecordArray units;
};

// Reads a whole image; nullopt for anything malformed: truncation, trailing bytes, negative or
// oversized counts and lengths, malformed records, or a handler index not below handlerCount.
// A refusal says why in error, with its byte counted from the start of the image.
std::optional<std::vector<WindowDefinitionData>> ReadFormImage(std::span<const uint8_t> image,
                                                               uint32_t handlerCount,
                                                               ReadError* error = nullptr);
std::vector<uint8_t> WriteFormImage(std::span<const WindowDefinitionData> windows);

}  // namespace tl
