#include "runtime/text_pieces.h"

#include <algorithm>
#include <cstring>

#include "runtime/gbk_char.h"

namespace tl {

std::vector<std::string_view> SplitPieces(std::string_view text, std::string_view delimiter,
                                          std::optional<int64_t> limit) {
  std::vector<std::string_view> pieces;
  int64_t remaining = limit ? std::max<int64_t>(*limit, 0) : 0;
  if (text.empty() || (limit && remaining == 0)) return pieces;
  if (delimiter.empty()) {
    pieces.push_back(text);
    return pieces;
  }
  const size_t d = delimiter.size();
  const char first = delimiter[0];
  size_t pieceStart = 0;
  size_t p = 0;
  while (text.size() - p >= d) {
    // The first byte alone rules out nearly every place, without a call.
    if (text[p] == first && std::memcmp(text.data() + p + 1, delimiter.data() + 1, d - 1) == 0) {
      pieces.push_back(text.substr(pieceStart, p - pieceStart));
      p = pieceStart = p + d;
      if (limit && --remaining == 0) return pieces;
    } else {
      p += CharLength(text, p);
    }
  }
  if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
  return pieces;
}

}  // namespace tl
