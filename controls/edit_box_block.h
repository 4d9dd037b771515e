// The edit box's stored property block and its property numbers. Portable: the form generator
// writes it, the unit reads it.
#pragma once

#include "runtime/block_fields.h"

namespace tl {

// Reserved is no property: it reads nothing, and writes change nothing.
enum class EditBoxProperty : int32_t {
  Content = kFirstOwnProperty, Border, TextColour, BackColour, Font, HideSelection, MaxLength, MultiLine, ScrollBars,
  Alignment, InputMode, PasswordCharacter, LetterCase, SpinControl, SpinMinimum, SpinMaximum, SelectionStart,
  SelectionLength, Reserved, Data1, Data2, End
};

// Input modes the unit distinguishes; other values behave as free text.
namespace EditInputMode { inline constexpr int32_t FreeText = 0, Password = 1, ShortInteger = 6; }

struct EditBoxBlock {
  static constexpr int32_t kVersion = 2;
  static constexpr std::string_view kBlockName = "edit box block";

  int32_t border = 1;  // 0 none, 1 sunken, 2 flat line
  uint32_t textColour = 0, backColour = 0xFFFFFF;
  int32_t hideSelection = 1, maxLength = 0, multiLine = 0;  // a maximum length 0: no limit
  // Scroll bars: 0 none, 1 horizontal, 2 vertical, 3 both; alignment: 0 left, 1 centre, 2 right.
  int32_t scrollBars = 0, alignment = 0, inputMode = EditInputMode::FreeText;
  uint16_t passwordChar = '*';  // one GBK character, the lead byte low
  int32_t letterCase = 0;       // 0 as typed, 1 upper, 2 lower
  int32_t spinControl = 0, spinMinimum = 0, spinMaximum = 100, selectionStart = 0, selectionLength = 0;
  std::vector<uint8_t> font;  // 60-byte logical-font record or empty
  std::string content, data1, data2;  // GBK

  static constexpr auto Fields() {
    using B = EditBoxBlock;
    return std::tuple{
        Field{"border", &B::border}, Field{"text colour", &B::textColour}, Field{"back colour", &B::backColour},
        Field{"hide selection", &B::hideSelection}, Field{"maximum length", &B::maxLength},
        Field{"multi-line", &B::multiLine}, Field{"scroll bars", &B::scrollBars}, Field{"alignment", &B::alignment},
        Field{"input mode", &B::inputMode}, Field{"password character", &B::passwordChar},
        Field{"letter case", &B::letterCase}, Field{"spin control", &B::spinControl},
        Field{"spin minimum", &B::spinMinimum}, Field{"spin maximum", &B::spinMaximum},
        Field{"selection start", &B::selectionStart}, Field{"selection length", &B::selectionLength},
        Field{"font", &B::font}, Field{"content", &B::content}, Field{"data 1", &B::data1, 2},
        Field{"data 2", &B::data2, 2}};
  }
  static auto Read(std::span<const uint8_t> b, ReadError* e = nullptr) { return ReadBlock<EditBoxBlock>(b, e); }
  std::vector<uint8_t> Write() const { return WriteBlock(*this); }
};

// The short-integer mode's rule for a whole text: only a leading "-" and digits survive, and a
// number beyond -32768..32767 becomes the nearer bound. Text within range stays as typed
// (leading zeros, a lone "-" while typing).
std::string ShortIntegerText(std::string_view text);

}  // namespace tl
