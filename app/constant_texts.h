// The application's literal texts that may travel where a caller frees what it gets: a routine
// that answers a marker or a fixed text answers the copy kept in the constant area, which the
// runtime's Free ignores. List a text here and take it with ConstantText("...")
// (app/program.h); a text that is not listed does not compile.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tl::app {

inline constexpr std::string_view kConstantTexts[] = {
    "[提醒]",  // the reminder marker in front of an entry's text
};

consteval size_t ConstantTextsSize() {
  size_t size = 0;
  for (std::string_view text : kConstantTexts) size += text.size() + 1;
  return size;
}

// The listed texts one after another, each with its terminating zero.
using ConstantTextBlock = std::array<char, ConstantTextsSize()>;

consteval ConstantTextBlock PackConstantTexts() {
  ConstantTextBlock block{};
  size_t at = 0;
  for (std::string_view text : kConstantTexts) {
    for (char c : text) block[at++] = c;
    block[at++] = '\0';
  }
  return block;
}

consteval size_t ConstantTextOffset(std::string_view text) {
  size_t at = 0;
  for (std::string_view listed : kConstantTexts) {
    if (listed == text) return at;
    at += listed.size() + 1;
  }
  throw "the text is not listed in kConstantTexts";
}

}  // namespace tl::app
