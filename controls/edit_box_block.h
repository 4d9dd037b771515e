// The edit box's stored property block and its property numbers. Portable: the form generator
// writes it, the unit reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/block_fields.h"
#include "runtime/unit_type.h"

namespace tl {

enum class EditBoxProperty : int32_t {
  Content = kFirstOwnProperty,  // GBK
  Border,                       // 0 none, 1 sunken, 2 flat line
  TextColour,
  BackColour,
  Font,  // 60-byte logical-font record or empty
  HideSelection,
  MaxLength,  // 0 no limit
  MultiLine,
  ScrollBars,  // 0 none, 1 horizontal, 2 vertical, 3 both
  Alignment,   // 0 left, 1 centre, 2 right
  InputMode,   // EditInputMode
  PasswordCharacter,  // one GBK character
  LetterCase,         // 0 as typed, 1 upper, 2 lower
  SpinControl,
  SpinMinimum,
  SpinMaximum,
  SelectionStart,
  SelectionLength,
  Reserved,  // no property: reads nothing, writes change nothing
  Data1,
  Data2,
  End
};

// Input modes the unit distinguishes; other values behave as free text.
namespace EditInputMode {
inline constexpr int32_t FreeText = 0;
inline constexpr int32_t Password = 1;
inline constexpr int32_t ShortInteger = 6;
}  // namespace EditInputMode

struct EditBoxBlock {
  static constexpr int32_t kVersion = 2;
  static constexpr std::string_view kBlockName = "edit box block";

  int32_t border = 1;
  uint32_t textColour = 0;
  uint32_t backColour = 0xFFFFFF;
  int32_t hideSelection = 1;
  int32_t maxLength = 0;
  int32_t multiLine = 0;
  int32_t scrollBars = 0;
  int32_t alignment = 0;
  int32_t inputMode = EditInputMode::FreeText;
  uint16_t passwordChar = '*';  // the lead byte low
  int32_t letterCase = 0;
  int32_t spinControl = 0;
  int32_t spinMinimum = 0;
  int32_t spinMaximum = 100;
  int32_t selectionStart = 0;
  int32_t selectionLength = 0;
  std::vector<uint8_t> font;
  std::string content;
  std::string data1;
  std::string data2;

  static constexpr auto Fields() {
    using B = EditBoxBlock;
    return std::tuple{Field{"border", &B::border},
                      Field{"text colour", &B::textColour},
                      Field{"back colour", &B::backColour},
                      Field{"hide selection", &B::hideSelection},
                      Field{"maximum length", &B::maxLength},
                      Field{"multi-line", &B::multiLine},
                      Field{"scroll bars", &B::scrollBars},
                      Field{"alignment", &B::alignment},
                      Field{"input mode", &B::inputMode},
                      Field{"password character", &B::passwordChar},
                      Field{"letter case", &B::letterCase},
                      Field{"spin control", &B::spinControl},
                      Field{"spin minimum", &B::spinMinimum},
                      Field{"spin maximum", &B::spinMaximum},
                      Field{"selection start", &B::selectionStart},
                      Field{"selection length", &B::selectionLength},
                      Field{"font", &B::font},
                      Field{"content", &B::content},
                      Field{"data 1", &B::data1, 2},
                      Field{"data 2", &B::data2, 2}};
  }
  static std::optional<EditBoxBlock> Read(std::span<const uint8_t> b, ReadError* e = nullptr) { return ReadBlock<EditBoxBlock>(b, e); }
  std::vector<uint8_t> Write() const { return WriteBlock(*this); }
};

// The short-integer mode's rule for a whole text: only a leading "-" and digits survive, and a
// number beyond -32768..32767 becomes the nearer bound. Text within range stays as typed
// (leading zeros, a lone "-" while typing).
std::string ShortIntegerText(std::string_view text);

}  // namespace tl
