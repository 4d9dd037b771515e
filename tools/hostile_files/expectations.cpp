#include "tools/hostile_files/expectations.h"

namespace tl::hostile {

int ExpectedRows(std::string_view bytes) {
  const std::string_view text = bytes.substr(0, bytes.find('\0'));
  int rows = 0;
  for (size_t at = 0; at < text.size(); ++rows) {
    const size_t end = text.find("\r\n", at);
    if (end == std::string_view::npos) return rows + 1;  // a last line without its line end
    at = end + 2;
    if (at == text.size()) return rows + 1;
  }
  return rows;
}

bool Preserved(std::string_view original, const std::optional<std::string>& now, bool backedUp, bool told) {
  if (now && (*now == original || (*now == std::string(original) + "\r\n" && !original.ends_with("\r\n")))) return true;
  return backedUp && told;
}

}  // namespace tl::hostile
