// Owners of what the runtime hands the application: every text, byte set or array a command or a
// property read returns is wrapped in one (`OwnedText`, `OwnedByteSet`, `TextArray`) that frees it
// through the table's `Free` slot. A null text or byte set reads as empty, and is never given back
// to the runtime: the owners hand out the program's constant empty one instead.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

#include "app/services_in_use.h"
#include "runtime/value.h"

namespace tl::app {

// A runtime heap block freed through the table's `Free` on destruction. Move-only.
class Block {
 public:
  Block() = default;
  explicit Block(void* owned) : p_(owned) {}
  Block(Block&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  Block& operator=(Block&& other) noexcept;
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
  ~Block() { Reset(); }

  void* get() const { return p_; }
  void* Release() { return std::exchange(p_, nullptr); }
  void Reset(void* owned = nullptr);

 private:
  void* p_ = nullptr;
};

// Each owner below is a Block, reached only through what the owner offers.

// A GBK text owned by the application. A null text reads as empty; `c_str()` never hands out null.
class OwnedText : Block {
 public:
  OwnedText() = default;
  explicit OwnedText(char* owned) : Block(owned) {}
  // A new heap copy made through the table's `Allocate`.
  static OwnedText Copy(std::string_view bytes);

  const char* c_str() const;  // the constant empty text for a null text
  std::string_view view() const { return TextView(static_cast<const char*>(Block::get())); }
  bool empty() const { return view().empty(); }
  char* Release() { return static_cast<char*>(Block::Release()); }
  friend bool operator==(const OwnedText& a, std::string_view b) { return a.view() == b; }
};

// A byte set (int32 1, int32 length, bytes) owned by the application; null reads as empty.
class OwnedByteSet : Block {
 public:
  using Block::Block;
  static OwnedByteSet Copy(std::span<const uint8_t> bytes);

  const void* get() const;  // the constant empty byte set for a null one
  std::span<const uint8_t> bytes() const { return ByteSetView(Block::get()); }
};

// A one-dimensional text array (the result of SplitText): frees each element, then the block.
class TextArray : Block {
 public:
  TextArray() = default;
  using Block::Block;
  TextArray(TextArray&&) = default;
  TextArray& operator=(TextArray&& other) noexcept;
  ~TextArray() { Reset(); }

  uint32_t Count() const;
  // Element n counted from 1, with the application's index checks (below 1: runtime error 4,
  // above the count: runtime error 1). Never null: a null element is the constant empty text.
  const char* At(double n) const;
  const void* get() const { return Block::get(); }
  using Block::Release;
  void Reset(void* owned = nullptr);
  // Replaces element n (counted from 1, with the same index checks) and frees the old text.
  void Put(double n, OwnedText text);
};

// The program's constant empty text, for a text the application must not leave null.
const char* EmptyText();

}  // namespace tl::app
