// The edit box's stored property block. Portable: the form generator writes it, the unit reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "controls/block_reader.h"

namespace tl {

// Input modes (property 18) the unit distinguishes; other values behave as free text.
namespace EditInputMode {
inline constexpr int32_t FreeText = 0;
inline constexpr int32_t Password = 1;
inline constexpr int32_t ShortInteger = 6;
}  // namespace EditInputMode

struct EditBoxBlock {
  static constexpr int32_t kVersion = 2;

  int32_t border = 1;                // 9: 0 none, 1 sunken, 2 flat line
  uint32_t textColour = 0;           // 10
  uint32_t backColour = 0xFFFFFF;    // 11
  int32_t hideSelection = 1;         // 13
  int32_t maxLength = 0;             // 14: 0 no limit
  int32_t multiLine = 0;             // 15
  int32_t scrollBars = 0;            // 16: 0 none, 1 horizontal, 2 vertical, 3 both
  int32_t alignment = 0;             // 17: 0 left, 1 centre, 2 right
  int32_t inputMode = EditInputMode::FreeText;  // 18
  uint16_t passwordChar = '*';       // 19: one GBK character
  int32_t letterCase = 0;            // 20: 0 as typed, 1 upper, 2 lower
  int32_t spinControl = 0;           // 21
  int32_t spinMinimum = 0;           // 22
  int32_t spinMaximum = 100;         // 23
  int32_t selectionStart = 0;        // 24
  int32_t selectionLength = 0;       // 25
  std::vector<uint8_t> font;         // 12: 60-byte logical-font record or empty
  std::string content;               // 8: GBK
  std::string data1;                 // 27 (version 2)
  std::string data2;                 // 28 (version 2)

  static std::optional<EditBoxBlock> Read(std::span<const uint8_t> block, BlockError* error = nullptr);
  std::vector<uint8_t> Write() const;
};

// The short-integer mode's rule for a whole text: only a leading "-" and digits survive, and a
// number beyond -32768..32767 becomes the nearer bound. Text within range stays as typed
// (leading zeros, a lone "-" while typing).
std::string ShortIntegerText(std::string_view text);

}  // namespace tl
