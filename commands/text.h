// The text commands: measuring, cutting, searching, replacing, splitting and converting GBK
// texts, byte sets and bytes. Portable; every result is a new runtime heap block.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/args.h"
#include "runtime/value.h"

namespace tl::cmd {

void TextLength(ArgRecord* result, int argc, ArgRecord* args);
void TextLeft(ArgRecord* result, int argc, ArgRecord* args);
void TextRight(ArgRecord* result, int argc, ArgRecord* args);
void TextMiddle(ArgRecord* result, int argc, ArgRecord* args);
void FindText(ArgRecord* result, int argc, ArgRecord* args);
void FindTextReverse(ArgRecord* result, int argc, ArgRecord* args);
void ReplaceText(ArgRecord* result, int argc, ArgRecord* args);
void SplitText(ArgRecord* result, int argc, ArgRecord* args);
void ToText(ArgRecord* result, int argc, ArgRecord* args);
void ToByteSet(ArgRecord* result, int argc, ArgRecord* args);
void ToByte(ArgRecord* result, int argc, ArgRecord* args);
void BitOr(ArgRecord* result, int argc, ArgRecord* args);

enum class ScanDirection { Forward, Reverse };

// The scan shared by FindText and FindTextReverse: the 1-based position of the first (forward)
// or last (reverse) match in the region that the start selects, or -1. Matches never begin on
// the trail byte of a double-byte character reached by the walk.
int32_t ScanText(std::string_view text, std::string_view target, std::optional<int32_t> start,
                 bool ignoreCase, ScanDirection direction);

// The text form of one value as ToText gives it (date-times in their DateTimeToText form).
std::string ValueText(const ArgRecord& value);

// Leading blanks, an optional sign, then decimal digits, wrapping modulo 2^64: a value cut to a
// narrower integer keeps its low bits exact however long the digit run is.
uint64_t LeadingInteger(std::string_view text);

// Full-width ASCII forms (rows 0xA3A1-0xA3FE, 0xA1A1, 0xA1AB, 0xA1EE, 0xA1EF) to ASCII.
std::string NormaliseFullWidth(std::string_view text);

}  // namespace tl::cmd
