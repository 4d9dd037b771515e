// Cutting texts at markers, as the reminder logic reads its keys and the clock's text: every
// position and length counts GBK bytes, every search is case-sensitive, and a missing marker
// gives the empty text.
#pragma once

#include "app/runtime_values.h"

namespace tl::app {

// The bytes before the first occurrence of the marker.
OwnedText TextBeforeMarker(const char* text, const char* marker);
// The bytes between the first left marker and the first right marker after it. "#引号" in a
// marker stands for the double quote.
OwnedText TextBetween(const char* text, const char* left, const char* right);
// The bytes after the last occurrence of the marker.
OwnedText TextAfterLastMarker(const char* text, const char* marker);

}  // namespace tl::app
