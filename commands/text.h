// The text commands: measuring, cutting, searching, replacing, splitting and converting GBK
// texts, byte sets and bytes. Portable; every result is a new runtime heap block.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/command.h"
#include "runtime/value.h"

namespace tl::cmd {

int32_t TextLength(std::string_view text);
std::string TextLeft(std::string_view text, int32_t count);
std::string TextRight(std::string_view text, int32_t count);
std::string TextMiddle(std::string_view text, int32_t start, int32_t count);
// Only a flag whose record holds exactly 1 asks for case folding.
int32_t FindText(std::string_view text, std::string_view target, std::optional<int32_t> start,
                 const ArgRecord& ignoreCase);
int32_t FindTextReverse(std::string_view text, std::string_view target, std::optional<int32_t> start,
                        const ArgRecord& ignoreCase);
// Replaces every match, or `count` of them, from `start`; case folds unless `caseSensitive`.
std::string ReplaceText(std::string_view text, std::string_view target, std::string_view replacement,
                        std::optional<int32_t> start, std::optional<int32_t> count, bool caseSensitive);
// The pieces between the delimiters (a comma when none is given), at most `limit` of them.
TextArrayBlock SplitText(std::string_view text, std::optional<std::string_view> delimiter,
                         std::optional<int32_t> limit);
std::string ToText(const ArgRecord& value);
ByteSetBlock ToByteSet(const ArgRecord& value);
uint8_t ToByte(const ArgRecord& value);
int32_t BitOr(MoreRecords values);

inline constexpr auto kTextLength = MakeCommand<TextLength>("TextLength");
inline constexpr auto kTextLeft = MakeCommand<TextLeft>("TextLeft");
inline constexpr auto kTextRight = MakeCommand<TextRight>("TextRight");
inline constexpr auto kTextMiddle = MakeCommand<TextMiddle>("TextMiddle");
inline constexpr auto kFindText = MakeCommand<FindText>("FindText");
inline constexpr auto kFindTextReverse = MakeCommand<FindTextReverse>("FindTextReverse");
inline constexpr auto kReplaceText = MakeCommand<ReplaceText>("ReplaceText");
inline constexpr auto kSplitText = MakeCommand<SplitText>("SplitText");
inline constexpr auto kToText = MakeCommand<ToText>("ToText");
inline constexpr auto kToByteSet = MakeCommand<ToByteSet>("ToByteSet");
inline constexpr auto kToByte = MakeCommand<ToByte>("ToByte");
inline constexpr auto kBitOr = MakeCommand<BitOr>("BitOr");

enum class ScanDirection { Forward, Reverse };

// The scan shared by FindText and FindTextReverse: the 1-based position of the first (forward)
// or last (reverse) match in the region that the start selects, or -1. Matches never begin on
// the trail byte of a double-byte character reached by the walk.
int32_t ScanText(std::string_view text, std::string_view target, std::optional<int32_t> start,
                 bool ignoreCase, ScanDirection direction);

// The text form of one value as ToText gives it (date-times in their DateTimeToText form).
std::string TextForm(const ArgRecord& value);

// Leading blanks, an optional sign, then decimal digits, wrapping modulo 2^64: a value cut to a
// narrower integer keeps its low bits exact however long the digit run is.
uint64_t LeadingInteger(std::string_view text);

// Full-width ASCII forms (rows 0xA3A1-0xA3FE, 0xA1A1, 0xA1AB, 0xA1EE, 0xA1EF) to ASCII.
std::string NormaliseFullWidth(std::string_view text);

}  // namespace tl::cmd
