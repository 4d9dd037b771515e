// Texts in heap blocks of exactly their size, for tests and fuzz targets of rules that walk bytes:
// AddressSanitizer then reports the first byte read past the end. A short std::string or a
// string literal hides such a read (spare room, a terminator, the next literal).
#pragma once

#include <cstring>
#include <memory>
#include <string_view>

namespace tl::test {

class ExactText {
 public:
  // The bytes alone, or with `terminated` the bytes and one zero byte: the runtime's texts carry
  // their terminator, and a rule may read it but nothing after it.
  explicit ExactText(std::string_view bytes, bool terminated = false)
      : size_(bytes.size()), block_(std::make_unique<char[]>(bytes.size() + (terminated ? 1 : 0))) {
    if (!bytes.empty()) std::memcpy(block_.get(), bytes.data(), bytes.size());
  }

  std::string_view view() const { return {block_.get(), size_}; }
  operator std::string_view() const { return view(); }
  // Only for a terminated text.
  const char* c_str() const { return block_.get(); }

 private:
  size_t size_;
  std::unique_ptr<char[]> block_;
};

// A view of the bytes copied into a block of exactly their size, alive until the end of the full
// expression that calls it: `IsPlainGbk(Exact("a\x80"))`.
inline std::string_view Exact(std::string_view bytes, ExactText&& holder = ExactText({})) {
  holder = ExactText(bytes);
  return holder.view();
}

}  // namespace tl::test
