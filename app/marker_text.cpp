#include "app/marker_text.h"

#include <cstring>

#include "app/command_calls.h"
#include "commands/text.h"

namespace tl::app {
namespace {

constexpr int32_t kNotFound = -1;

int32_t Find(const char* text, const char* target, int32_t from) {
  return Call(cmd::kFindText, text, target, from, ArgRecord{});
}

int32_t Length(const char* text) { return static_cast<int32_t>(std::strlen(text)); }

OwnedText WithQuotes(const char* marker) {
  return Call(cmd::kReplaceText, marker, "#引号", "\"", std::nullopt, std::nullopt, true);
}

}  // namespace

OwnedText TextBeforeMarker(const char* text, const char* marker) {
  const int32_t p = Find(text, marker, 1);
  if (p == kNotFound) return OwnedText();
  return Call(cmd::kTextLeft, text, p - 1);
}

OwnedText TextBetween(const char* text, const char* left, const char* right) {
  const OwnedText leftMarker = WithQuotes(left);
  const OwnedText rightMarker = WithQuotes(right);
  const int32_t p = Find(text, leftMarker.c_str(), 1);
  if (p == kNotFound) return OwnedText();
  const int32_t q = p + Length(leftMarker.c_str());
  const int32_t r = Find(text, rightMarker.c_str(), q);
  if (r == kNotFound) return OwnedText();
  return Call(cmd::kTextMiddle, text, q, r - q);
}

OwnedText TextAfterLastMarker(const char* text, const char* marker) {
  const int32_t length = Length(text);
  const int32_t r = Call(cmd::kFindTextReverse, text, marker, length + 1, ArgRecord{});
  if (r == kNotFound) return OwnedText();
  return Call(cmd::kTextRight, text, length - Length(marker) - r + 1);
}

}  // namespace tl::app
