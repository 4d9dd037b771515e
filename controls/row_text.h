// The texts a list view keeps for its rows. The rows filled from one long text in one call share
// a single copy of it, each row's text a piece of that copy; a text given on its own gets a copy
// of its own. A copy goes with the last text in it. Portable; for one thread.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace tl {

class RowText {
 public:
  RowText() = default;
  // A copy of its own; the empty text takes none.
  explicit RowText(std::string_view text);
  RowText(const RowText& other) noexcept;
  RowText(RowText&& other) noexcept;
  RowText& operator=(RowText other) noexcept;
  ~RowText();

  // A text in the same copy as this one: `piece` lies within view().
  RowText Piece(std::string_view piece) const noexcept;
  std::string_view view() const { return {data_, size_}; }

 private:
  struct Copy {
    size_t users;  // the texts in it; its bytes follow
  };
  RowText(Copy* copy, std::string_view piece) noexcept;

  Copy* copy_ = nullptr;
  const char* data_ = nullptr;
  size_t size_ = 0;
};

// A row's texts by column; a column never given a text reads empty. The first two are held in
// the row itself, so that a list of one or two columns takes no memory per row beside its rows.
class RowCells {
 public:
  std::string_view at(size_t column) const;
  void set(size_t column, RowText text);

 private:
  static constexpr size_t kHeld = 2;
  std::array<RowText, kHeld> held_;
  std::vector<RowText> rest_;  // the columns from kHeld on
};

}  // namespace tl
