// Cutting a GBK text into pieces at each occurrence of a delimiter: the one cut that the split
// command and the list view's line loading share. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tl {

// The pieces of `text` between delimiters, left to right. The scan steps over double-byte
// characters whole (see runtime/gbk_char.h), so a delimiter never matches from a trail byte. A trailing delimiter gives no empty last piece, an empty text no piece, an
// empty delimiter the whole text. With a limit, at most that many delimiters are cut at and
// what follows the last one is dropped (a limit of 0 gives no piece).
std::vector<std::string_view> SplitPieces(std::string_view text, std::string_view delimiter,
                                          std::optional<int64_t> limit = std::nullopt);

}  // namespace tl
