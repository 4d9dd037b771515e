#include "tools/hostile_files/expectations.h"

#include "runtime/gbk_char.h"

namespace tl::hostile {

int ExpectedRows(std::string_view bytes) {
  const std::string_view text = bytes.substr(0, bytes.find('\0'));
  int rows = 0;
  size_t pieceStart = 0;
  // As the split walks: a lead byte takes the next byte with it, so a line end right after a
  // stray lead byte does not end the line.
  for (size_t p = 0; p + 2 <= text.size();) {
    if (text[p] == '\r' && text[p + 1] == '\n') {
      ++rows;
      p += 2;
      pieceStart = p;
    } else {
      p += CharLength(text, p);
    }
  }
  return pieceStart < text.size() ? rows + 1 : rows;
}

bool Preserved(std::string_view original, const std::optional<std::string>& now, bool backedUp, bool told) {
  if (now && (*now == original || (*now == std::string(original) + "\r\n" && !original.ends_with("\r\n")))) return true;
  return backedUp && told;
}

}  // namespace tl::hostile
