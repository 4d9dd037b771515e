#include "app/runtime_values.h"

#include <cstring>

#include "app/program.h"

namespace tl::app {
namespace {

const void* EmptyByteSet() { return kConstants.emptyByteSet; }

}  // namespace

const char* EmptyText() { return kConstants.emptyText; }

Block& Block::operator=(Block&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

void Block::Reset(void* owned) {
  if (p_ && p_ != owned) ServicesInUse().Free(p_);
  p_ = owned;
}

OwnedText OwnedText::Copy(std::string_view bytes) {
  auto* text = static_cast<char*>(ServicesInUse().Allocate(static_cast<uint32_t>(bytes.size() + 1)));
  if (!bytes.empty()) std::memcpy(text, bytes.data(), bytes.size());
  text[bytes.size()] = '\0';
  return OwnedText(text);
}

const char* OwnedText::c_str() const {
  auto* text = static_cast<const char*>(Block::get());
  return text ? text : EmptyText();
}

OwnedByteSet OwnedByteSet::Copy(std::span<const uint8_t> bytes) {
  const auto size = static_cast<uint32_t>(sizeof(ByteSetHeader) + bytes.size());
  auto* block = static_cast<uint8_t*>(ServicesInUse().Allocate(size));
  const ByteSetHeader header{1, static_cast<int32_t>(bytes.size())};
  std::memcpy(block, &header, sizeof header);
  if (!bytes.empty()) std::memcpy(block + sizeof header, bytes.data(), bytes.size());
  return OwnedByteSet(block);
}

const void* OwnedByteSet::get() const { return Block::get() ? Block::get() : EmptyByteSet(); }

TextArray& TextArray::operator=(TextArray&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

uint32_t TextArray::Count() const { return ArrayElementCount(get()); }

const char* TextArray::At(double n) const {
  if (n < 1) RuntimeError(4);
  if (n > Count()) RuntimeError(1);
  const char* element = ArrayTextElements(get())[static_cast<size_t>(TruncateToInteger(n) - 1)];
  return element ? element : EmptyText();
}

void TextArray::Put(double n, OwnedText text) {
  At(n);
  // The block is this owner's own heap block; the element view is read-only only because it also
  // serves arrays in the constant area.
  char** elements = const_cast<char**>(ArrayTextElements(get()).data());
  char*& element = elements[static_cast<size_t>(TruncateToInteger(n) - 1)];
  ServicesInUse().Free(element);
  element = text.Release();
}

void TextArray::Reset(void* owned) {
  if (get() && get() != owned) {
    for (char* element : ArrayTextElements(get())) ServicesInUse().Free(element);
  }
  Block::Reset(owned);
}

}  // namespace tl::app
