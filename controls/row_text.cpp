#include "controls/row_text.h"

#include <cstring>
#include <new>
#include <utility>

namespace tl {

RowText::RowText(std::string_view text) {
  if (text.empty()) return;
  copy_ = static_cast<Copy*>(::operator new(sizeof(Copy) + text.size()));
  copy_->users = 1;
  char* bytes = reinterpret_cast<char*>(copy_ + 1);
  std::memcpy(bytes, text.data(), text.size());
  data_ = bytes;
  size_ = text.size();
}

RowText::RowText(Copy* copy, std::string_view piece) noexcept : copy_(copy), data_(piece.data()), size_(piece.size()) {
  if (copy_) ++copy_->users;
}

RowText::RowText(const RowText& other) noexcept : RowText(other.copy_, other.view()) {}

RowText::RowText(RowText&& other) noexcept
    : copy_(std::exchange(other.copy_, nullptr)), data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)) {}

RowText& RowText::operator=(RowText other) noexcept {
  std::swap(copy_, other.copy_);
  std::swap(data_, other.data_);
  std::swap(size_, other.size_);
  return *this;
}

RowText::~RowText() {
  if (copy_ && --copy_->users == 0) ::operator delete(copy_);
}

RowText RowText::Piece(std::string_view piece) const noexcept {
  // An empty piece needs no copy to read from.
  return piece.empty() ? RowText() : RowText(copy_, piece);
}

std::string_view RowCells::at(size_t column) const {
  if (column < kHeld) return held_[column].view();
  column -= kHeld;
  return column < rest_.size() ? rest_[column].view() : std::string_view();
}

void RowCells::set(size_t column, RowText text) {
  if (column < kHeld) {
    held_[column] = std::move(text);
    return;
  }
  column -= kHeld;
  if (column >= rest_.size()) rest_.resize(column + 1);
  rest_[column] = std::move(text);
}

}  // namespace tl
