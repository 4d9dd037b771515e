#include "controls/balloon_tip_block.h"

#include <cctype>
#include <cstdlib>

namespace tl {

std::string_view DefaultTipStyleSheet() {
  static constexpr char kSheet[] =
      "body {font-size: 9pt; color:black; font-family:\"宋体\",Verdana}\r\n"
      "p {font-size: 9pt; color:black; font-family:\"宋体\",Verdana; margin-top: 0; margin-bottom: 4px}\r\n"
      "h1 {font-size: 14pt; font-weight: bold; color:black}\r\n"
      "h2 {font-size: 12pt; font-weight: bold; color:black}\r\n"
      "h3 {font-size: 11pt; font-weight: bold; color:black}\r\n"
      "h4 {font-size: 100%; font-weight: bold; color:black}\r\n"
      "h5 {font-size: 80%; font-weight: bold; color:black}\r\n"
      "h6 {font-size: 65%; font-weight: bold; color:black}\r\n"
      "pre {font-family:\"宋体\",Courier New; font-size: 9pt; color:#000080; background-color:#F0F0F0}\r\n"
      "code {font-family:\"宋体\",Courier New; font-size: 9pt; color:#800000}\r\n"
      "a {color:blue; text-decoration:none}\r\n"
      "a:hover {color:blue; text-decoration:underline}\r\n"
      "table {border: 0px}\r\n"
      "td {padding: 0 4px 0 0px; vertical-align: middle}\r\n"
      ".sub {vertical-align: sub; font-size: 75%}\r\n"
      ".sup {vertical-align: super; font-size: 75%}\r\n"
      ".big {font-size: 120%}\r\n"
      ".small {font-size: 80%}\r\n"
      ".comment {color:#008000; font-style: italic}\r\n";
  return {kSheet, sizeof kSheet - 1};
}

int32_t* BalloonTipBlock::IntField(int32_t index) {
  return const_cast<int32_t*>(static_cast<const BalloonTipBlock*>(this)->IntField(index));
}

const int32_t* BalloonTipBlock::IntField(int32_t index) const {
  // The words of the field list, counted in stored order; the colours share the int
  // representation of the stored words.
  const int32_t* found = nullptr;
  int32_t at = 0;
  auto visit = [&](const auto& field) {
    const auto& value = this->*field.member;
    using T = std::remove_cvref_t<decltype(value)>;
    if constexpr (std::is_same_v<T, decltype(otherOptions)>) {
      if (index >= at && index - at < static_cast<int32_t>(value.size())) found = &value[index - at];
      at += static_cast<int32_t>(value.size());
    } else if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, uint32_t>) {
      if (index == at) found = reinterpret_cast<const int32_t*>(&value);
      ++at;
    }
  };
  std::apply([&](const auto&... field) { (visit(field), ...); }, Fields());
  return found;
}

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The declarations of the first rule whose selector list names "body".
std::string_view BodyDeclarations(std::string_view sheet) {
  while (true) {
    const size_t open = sheet.find('{');
    if (open == std::string_view::npos) return {};
    const size_t close = sheet.find('}', open);
    if (close == std::string_view::npos) return {};
    std::string_view selectors = sheet.substr(0, open);
    while (!selectors.empty()) {
      const size_t comma = selectors.find(',');
      if (SameWord(Trim(selectors.substr(0, comma)), "body")) return sheet.substr(open + 1, close - open - 1);
      if (comma == std::string_view::npos) break;
      selectors.remove_prefix(comma + 1);
    }
    sheet.remove_prefix(close + 1);
  }
}

}  // namespace

TipFont BodyFont(std::string_view styleSheet) {
  TipFont font;
  std::string_view declarations = BodyDeclarations(styleSheet);
  while (!declarations.empty()) {
    const size_t semicolon = declarations.find(';');
    const std::string_view declaration = declarations.substr(0, semicolon);
    declarations.remove_prefix(semicolon == std::string_view::npos ? declarations.size() : semicolon + 1);
    const size_t colon = declaration.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = Trim(declaration.substr(0, colon));
    const std::string_view value = Trim(declaration.substr(colon + 1));
    if (SameWord(name, "font-size")) {
      const std::string number(value);
      char* end = nullptr;
      const double size = std::strtod(number.c_str(), &end);
      const std::string_view unit = Trim(std::string_view(end));
      const double points = SameWord(unit, "px") ? size * 0.75 : size;
      if ((SameWord(unit, "pt") || SameWord(unit, "px")) && points >= 1 && points <= 400)
        font.pointSize = static_cast<int32_t>(points + 0.5);
    } else if (SameWord(name, "font-family")) {
      std::string_view first = Trim(value.substr(0, value.find(',')));
      if (first.size() >= 2 && (first.front() == '"' || first.front() == '\'') && first.back() == first.front())
        first = first.substr(1, first.size() - 2);
      font.face = std::string(first);
    }
  }
  return font;
}

}  // namespace tl
