#include "controls/edit_box_block.h"

#include <algorithm>

namespace tl {

std::string ShortIntegerText(std::string_view text) {
  std::string kept;
  for (char c : text) {
    if (c == '-' ? kept.empty() : (c >= '0' && c <= '9')) kept.push_back(c);
  }
  const bool negative = !kept.empty() && kept[0] == '-';
  const std::string_view digits = std::string_view(kept).substr(negative ? 1 : 0);
  if (digits.empty()) return kept;
  // Accumulate with a cap so that any number of digits stays in range.
  int32_t magnitude = 0;
  for (char c : digits) magnitude = std::min<int32_t>(magnitude * 10 + (c - '0'), 100000);
  if (negative && magnitude > 32768) return "-32768";
  if (!negative && magnitude > 32767) return "32767";
  return kept;
}

}  // namespace tl
