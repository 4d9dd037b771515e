#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "commands/text.h"
#include "commands/time.h"
#include "runtime/command.h"
#include "runtime/memory.h"
#include "tests/exact_text.h"

namespace tl::cmd {
namespace {

// Owns the argument texts, each in a block of exactly its size, and frees every result, so that
// ASan sees each block's life and any read past its end.
class TextCommands : public ::testing::Test {
 protected:
  ArgRecord Text(const std::string& s) {
    owned_.push_back(std::make_unique<test::ExactText>(s, true));
    return PointerArg(owned_.back()->c_str(), DataType::Text);
  }
  ArgRecord ByteSet(const std::string& bytes) {
    std::string block(8, '\0');
    const int32_t head[2] = {1, static_cast<int32_t>(bytes.size())};
    std::memcpy(block.data(), head, 8);
    owned_.push_back(std::make_unique<test::ExactText>(block + bytes));
    return PointerArg(owned_.back()->view().data(), DataType::ByteSet);
  }
  ArgRecord Call(CommandFn command, std::vector<ArgRecord> args) {
    ArgRecord result{};
    command(&result, static_cast<int>(args.size()), args.data());
    return result;
  }
  // A text result as bytes; null reads as empty. The block is freed.
  std::string TextOf(ArgRecord r) {
    EXPECT_EQ(r.type, DataType::Text);
    auto* p = static_cast<char*>(ArgPointer(r));
    std::string s = p ? p : "";
    if (p) {
      EXPECT_NE(s, "") << "an empty text must come back as null";
    }
    Free(p);
    return s;
  }
  std::string Run(CommandFn command, std::vector<ArgRecord> args) { return TextOf(Call(command, std::move(args))); }
  int32_t RunInt(CommandFn command, std::vector<ArgRecord> args) {
    return static_cast<int32_t>(Call(command, std::move(args)).low);
  }
  // Elements of a SplitText result; null elements read as "<null>". The array is freed.
  std::vector<std::string> Split(std::vector<ArgRecord> args) {
    ArgRecord r = Call(kSplitText.entry, std::move(args));
    EXPECT_EQ(r.type, DataType::Text | DataType::ArrayFlag);
    auto* block = static_cast<int32_t*>(ArgPointer(r));
    EXPECT_EQ(block[0], 1);
    std::vector<std::string> out;
    auto** elements = reinterpret_cast<char**>(block + 2);
    for (int32_t i = 0; i < block[1]; ++i) out.push_back(elements[i] ? elements[i] : "<null>");
    FreeTextArray(block);
    return out;
  }
  std::string ByteSetOf(ArgRecord r) {
    EXPECT_EQ(r.type, DataType::ByteSet);
    void* p = ArgPointer(r);
    auto view = ByteSetView(p);
    std::string s(reinterpret_cast<const char*>(view.data()), view.size());
    Free(p);
    return s;
  }
  const ArgRecord none{};
  std::vector<std::unique_ptr<test::ExactText>> owned_;
};

TEST_F(TextCommands, CutsByBytesWithoutRepairingCharacters) {
  EXPECT_EQ(RunInt(kTextLength.entry, {Text("事件ab")}), 6);
  EXPECT_EQ(Run(kTextLeft.entry, {Text("abc"), IntArg(2)}), "ab");
  EXPECT_EQ(Run(kTextLeft.entry, {Text("abc"), IntArg(9)}), "abc");
  EXPECT_EQ(Run(kTextLeft.entry, {Text("abc"), IntArg(0)}), "");
  EXPECT_EQ(Run(kTextLeft.entry, {Text("事件"), IntArg(3)}), std::string("事件").substr(0, 3));  // a lone lead byte at the end
  EXPECT_EQ(Run(kTextRight.entry, {Text("abc"), IntArg(2)}), "bc");
  EXPECT_EQ(Run(kTextRight.entry, {Text("abc"), IntArg(-1)}), "");
  EXPECT_EQ(Run(kTextRight.entry, {Text("abc"), IntArg(7)}), "abc");
  EXPECT_EQ(Run(kTextMiddle.entry, {Text("abc"), IntArg(3), IntArg(5)}), "c");
  EXPECT_EQ(Run(kTextMiddle.entry, {Text("abc"), IntArg(4), IntArg(1)}), "");
  EXPECT_EQ(Run(kTextMiddle.entry, {Text("abc"), IntArg(0), IntArg(1)}), "");
  EXPECT_EQ(Run(kTextMiddle.entry, {Text("abcdef"), IntArg(2), IntArg(3)}), "bcd");
  EXPECT_EQ(Run(kTextMiddle.entry, {Text("abc"), IntArg(2), IntArg(0)}), "");
  EXPECT_EQ(Run(kTextMiddle.entry, {Text("abc"), IntArg(INT32_MIN), IntArg(INT32_MAX)}), "");
}

TEST_F(TextCommands, FindTextStartAndEmptyTargetRules) {
  EXPECT_EQ(RunInt(kFindText.entry, {Text("abc"), Text("")}), 1);
  EXPECT_EQ(RunInt(kFindText.entry, {Text(""), Text("")}), -1);
  EXPECT_EQ(RunInt(kFindText.entry, {Text("abc"), Text(""), IntArg(3)}), 1);
  EXPECT_EQ(RunInt(kFindText.entry, {Text("abc"), Text(""), IntArg(4)}), -1);
  EXPECT_EQ(RunInt(kFindText.entry, {Text("abcabc"), Text("bc"), IntArg(3)}), 5);
  EXPECT_EQ(RunInt(kFindText.entry, {Text("abcabc"), Text("bc"), IntArg(0)}), 2);
  EXPECT_EQ(RunInt(kFindText.entry, {Text("abcabc"), Text("bc"), IntArg(-7)}), 2);
  EXPECT_EQ(RunInt(kFindText.entry, {Text("abcabc"), Text("bc"), IntArg(7)}), -1);
  EXPECT_EQ(RunInt(kFindText.entry, {Text("abcabc"), Text("bc"), IntArg(INT32_MIN)}), 2);
  EXPECT_EQ(RunInt(kFindText.entry, {Text("abc"), Text("abcd")}), -1);
}

TEST_F(TextCommands, FindTextIgnoresCaseOnlyForExactlyOne) {
  EXPECT_EQ(RunInt(kFindText.entry, {Text("ABC"), Text("b"), none, BoolArg(true)}), 2);
  EXPECT_EQ(RunInt(kFindText.entry, {Text("ABC"), Text("b"), none, BoolArg(false)}), -1);
  EXPECT_EQ(RunInt(kFindText.entry, {Text("ABC"), Text("b"), none, ArgRecord{2, 0, DataType::Bool}}), -1);
  EXPECT_EQ(RunInt(kFindText.entry, {Text("ABC"), Text("b")}), -1);
  // Folding is ASCII only: the two GBK bytes of a character are compared exactly.
  EXPECT_EQ(RunInt(kFindText.entry, {Text("x事件"), Text("件"), none, BoolArg(true)}), 4);
}

TEST_F(TextCommands, ScanNeverMatchesATrailByte) {
  // 0xB0 0xA1 is one character; 'A' (0x41) as a trail byte: 0x81 0x41.
  const std::string gbk = "\x81\x41" "A";
  EXPECT_EQ(RunInt(kFindText.entry, {Text(gbk), Text("A")}), 3);
  EXPECT_EQ(RunInt(kFindTextReverse.entry, {Text(gbk), Text("A")}), 3);
  EXPECT_EQ(RunInt(kFindTextReverse.entry, {Text(gbk), Text("A"), IntArg(3)}), -1);
  // A start given by the caller may itself fall on a trail byte.
  EXPECT_EQ(RunInt(kFindText.entry, {Text(gbk), Text("A"), IntArg(2)}), 2);
  // A lead byte before the terminator ends the walk without reading past it.
  EXPECT_EQ(RunInt(kFindText.entry, {Text("ab\xB0"), Text("x")}), -1);
  EXPECT_EQ(RunInt(kFindText.entry, {Text("\xB0"), Text("\xB0")}), 1);
}

TEST_F(TextCommands, FindTextReverseSearchesBeforeTheStart) {
  EXPECT_EQ(RunInt(kFindTextReverse.entry, {Text("abcabc"), Text("bc"), IntArg(7)}), 5);
  EXPECT_EQ(RunInt(kFindTextReverse.entry, {Text("abcabc"), Text("bc"), IntArg(6)}), 2);
  EXPECT_EQ(RunInt(kFindTextReverse.entry, {Text("abcabc"), Text("bc"), IntArg(1)}), -1);
  EXPECT_EQ(RunInt(kFindTextReverse.entry, {Text("abcabc"), Text("bc"), IntArg(-3)}), -1);
  EXPECT_EQ(RunInt(kFindTextReverse.entry, {Text("abcabc"), Text("bc")}), 5);
  EXPECT_EQ(RunInt(kFindTextReverse.entry, {Text("abcabc"), Text("bc"), IntArg(100)}), 5);
  EXPECT_EQ(RunInt(kFindTextReverse.entry, {Text("abc"), Text("")}), 1);
  EXPECT_EQ(RunInt(kFindTextReverse.entry, {Text("abc"), Text(""), IntArg(1)}), -1);
  EXPECT_EQ(RunInt(kFindTextReverse.entry, {Text("aXa"), Text("x"), none, BoolArg(true)}), 2);
  EXPECT_EQ(RunInt(kFindTextReverse.entry, {Text("[提醒]a[提醒]b"), Text("[提醒]"), IntArg(13)}), 1);
}

TEST_F(TextCommands, ReplaceTextCountStartAndCase) {
  EXPECT_EQ(Run(kReplaceText.entry, {Text("aBcb"), Text("b"), Text("x")}), "axcx");
  EXPECT_EQ(Run(kReplaceText.entry, {Text("aBcb"), Text("b"), Text("x"), none, none, BoolArg(true)}), "aBcx");
  EXPECT_EQ(Run(kReplaceText.entry, {Text("aaaa"), Text("a"), Text("b"), IntArg(2), IntArg(2), BoolArg(true)}), "abba");
  EXPECT_EQ(Run(kReplaceText.entry, {Text("aaaa"), Text("a"), Text("b"), none, IntArg(-5)}), "bbbb");
  EXPECT_EQ(Run(kReplaceText.entry, {Text("aaaa"), Text("a"), Text("b"), none, IntArg(0)}), "aaaa");
  EXPECT_EQ(Run(kReplaceText.entry, {Text("abc"), Text("b")}), "ac");
  EXPECT_EQ(Run(kReplaceText.entry, {Text("abc"), Text("")}), "abc");
  EXPECT_EQ(Run(kReplaceText.entry, {Text("abc"), Text("a"), Text("x"), IntArg(4)}), "abc");
  EXPECT_EQ(Run(kReplaceText.entry, {Text(""), Text("a"), Text("x")}), "");
  EXPECT_EQ(Run(kReplaceText.entry, {Text("[提醒]事件"), Text("[提醒]"), Text("")}), "事件");
  // No match on a trail byte; a lone lead byte at the end is kept with the rest.
  EXPECT_EQ(Run(kReplaceText.entry, {Text("\x81\x41" "A"), Text("A"), Text("z"), none, none, BoolArg(true)}), "\x81\x41z");
  EXPECT_EQ(Run(kReplaceText.entry, {Text("a\xB0"), Text("a"), Text("z")}), "z\xB0");
  EXPECT_EQ(Run(kReplaceText.entry, {Text("ba\xB0"), Text("q"), Text("z")}), "ba\xB0");
}

TEST_F(TextCommands, SplitTextPiecesAndLimits) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Split({Text("a\r\n\r\nb\r\n"), Text("\r\n")}), (V{"a", "<null>", "b"}));
  EXPECT_EQ(Split({Text("")}), V{});
  EXPECT_EQ(Split({Text("a,b,c"), Text(","), IntArg(2)}), (V{"a", "b"}));
  EXPECT_EQ(Split({Text("a,b,c")}), (V{"a", "b", "c"}));
  EXPECT_EQ(Split({Text("a,b,c"), none, IntArg(0)}), V{});
  EXPECT_EQ(Split({Text("a,b,c"), none, IntArg(-2)}), V{});
  EXPECT_EQ(Split({Text("a,b,c"), none, IntArg(5)}), (V{"a", "b", "c"}));
  EXPECT_EQ(Split({Text("a,b"), Text("")}), V{"a,b"});
  EXPECT_EQ(Split({Text(",a")}), (V{"<null>", "a"}));
  // A delimiter byte that is a trail byte does not split; a trailing lone lead byte stays.
  EXPECT_EQ(Split({Text("\x81\x41" "A\x81"), Text("A")}), (V{"\x81\x41", "\x81"}));
}

// Code page 936 writes the euro sign as 0x80 and U+F8F5 as 0xFF, each a character of one byte:
// the byte after it is a character of its own, a line break included.
TEST_F(TextCommands, TheEuroSignAnd0xFFAreCharactersOfOneByte) {
  using V = std::vector<std::string>;
  const std::string rent = "房租1200\x80";
  EXPECT_EQ(Split({Text(rent + "\r\n下一条\r\n"), Text("\r\n")}), (V{rent, "下一条"}));
  EXPECT_EQ(Split({Text("a\xFF,b"), Text(",")}), (V{"a\xFF", "b"}));
  EXPECT_EQ(RunInt(kFindText.entry, {Text("\x80" "A"), Text("A")}), 2);
  EXPECT_EQ(RunInt(kFindTextReverse.entry, {Text("\xFF" "A"), Text("A")}), 2);
  EXPECT_EQ(Run(kReplaceText.entry, {Text("\x80" "a\xFF" "a"), Text("a"), Text("b")}), "\x80" "b\xFF" "b");
  EXPECT_EQ(RunInt(kFindText.entry, {Text("\x80\xC4\xE3"), Text("\xE3")}), -1) << "still no match on a trail byte";
}

TEST_F(TextCommands, ToTextByType) {
  EXPECT_EQ(Run(kToText.entry, {DoubleArg(6.0)}), "6");
  EXPECT_EQ(Run(kToText.entry, {DoubleArg(0.1)}), "0.1");
  EXPECT_EQ(Run(kToText.entry, {BoolArg(true)}), "真");
  EXPECT_EQ(Run(kToText.entry, {BoolArg(false)}), "假");
  EXPECT_EQ(Run(kToText.entry, {ByteSet(std::string("ab\0xy", 5))}), "ab");
  EXPECT_EQ(Run(kToText.entry, {ByteSet("xy")}), "xy");
  EXPECT_EQ(Run(kToText.entry, {IntArg(-42)}), "-42");
  EXPECT_EQ(Run(kToText.entry, {ArgRecord{0xFFFF, 0, DataType::Short}}), "-1");
  EXPECT_EQ(Run(kToText.entry, {ArgRecord{0x1FF, 0, DataType::Byte}}), "255");
  EXPECT_EQ(Run(kToText.entry, {ArgRecord{0xFFFFFFFE, 0xFFFFFFFF, DataType::Long}}), "-2");
  float f = 1.5f;
  ArgRecord fr{0, 0, DataType::Float};
  std::memcpy(&fr.low, &f, 4);
  EXPECT_EQ(Run(kToText.entry, {fr}), "1.5");
  EXPECT_EQ(Run(kToText.entry, {Text("事件")}), "事件");
  EXPECT_EQ(Run(kToText.entry, {ArgRecord{1, 0, DataType::SubPointer}}), "");
  EXPECT_EQ(Run(kToText.entry, {none}), "");
  EXPECT_EQ(Run(kToText.entry, {DateTimeArg(ComposeDateTime({2019, 5, 3, 9, 5, 0}))}), "2019年5月3日9时5分");
}

TEST_F(TextCommands, NumericArraysConvertByTheirElementBytes) {
  // {1 dimension, 3 elements} of bytes 'a', 'b', 0 — and of ints.
  const int32_t byteArray[3] = {1, 3, 'a' | 'b' << 8};
  const ArgRecord bytes = PointerArg(byteArray, DataType::Byte | DataType::ArrayFlag);
  EXPECT_EQ(Run(kToText.entry, {bytes}), "ab");
  EXPECT_EQ(ByteSetOf(Call(kToByteSet.entry, {bytes})), std::string("ab\0", 3));
  const int32_t intArray[4] = {1, 2, 0x64636261, 7};
  EXPECT_EQ(ByteSetOf(Call(kToByteSet.entry, {PointerArg(intArray, DataType::Int | DataType::ArrayFlag)})),
            std::string("abcd\x07\0\0\0", 8));
  EXPECT_EQ(Run(kToText.entry, {PointerArg(intArray, DataType::Text | DataType::ArrayFlag)}), "");
  EXPECT_EQ(ByteSetOf(Call(kToByteSet.entry, {PointerArg(intArray, DataType::Bool | DataType::ArrayFlag)})), "");
}

TEST_F(TextCommands, ToByteSetGivesTheValuesOwnBytes) {
  EXPECT_EQ(ByteSetOf(Call(kToByteSet.entry, {Text("ab")})), "ab");
  EXPECT_EQ(Call(kToByteSet.entry, {Text("")}).low, 0u);  // empty comes back as null
  EXPECT_EQ(ByteSetOf(Call(kToByteSet.entry, {IntArg(0x01020304)})), "\x04\x03\x02\x01");
  EXPECT_EQ(ByteSetOf(Call(kToByteSet.entry, {ArgRecord{0x1234, 0, DataType::Short}})), "\x34\x12");
  EXPECT_EQ(ByteSetOf(Call(kToByteSet.entry, {ArgRecord{0x41, 0, DataType::Byte}})), "A");
  EXPECT_EQ(ByteSetOf(Call(kToByteSet.entry, {BoolArg(true)})), std::string("\x01\0\0\0", 4));
  double d = 1.0;
  std::string eight(8, '\0');
  std::memcpy(eight.data(), &d, 8);
  EXPECT_EQ(ByteSetOf(Call(kToByteSet.entry, {DoubleArg(1.0)})), eight);
  EXPECT_EQ(ByteSetOf(Call(kToByteSet.entry, {DateTimeArg(1.0)})), eight);
  EXPECT_EQ(ByteSetOf(Call(kToByteSet.entry, {ByteSet(std::string("a\0b", 3))})), std::string("a\0b", 3));
  EXPECT_EQ(ByteSetOf(Call(kToByteSet.entry, {none})), "");
}

TEST_F(TextCommands, ToByteTakesTheLowestByte) {
  auto byte = [&](ArgRecord r) {
    ArgRecord result = Call(kToByte.entry, {r});
    EXPECT_EQ(result.type, DataType::Byte);
    return result.low;
  };
  EXPECT_EQ(byte(Text("１２")), 12u);  // full-width digits
  EXPECT_EQ(byte(Text("\xA1\xA1-\xA3\xB1")), 255u);  // full-width space, then -1
  EXPECT_EQ(byte(Text("  300abc")), 44u);
  EXPECT_EQ(byte(Text("x12")), 0u);
  EXPECT_EQ(byte(Text("99999999999999999999")), 255u);  // 10^20 - 1 is 255 modulo 256
  EXPECT_EQ(byte(IntArg(256)), 0u);
  EXPECT_EQ(byte(IntArg(300)), 44u);
  EXPECT_EQ(byte(IntArg(-1)), 255u);
  EXPECT_EQ(byte(DoubleArg(255.9)), 255u);
  EXPECT_EQ(byte(DoubleArg(-1.9)), 255u);
  EXPECT_EQ(byte(BoolArg(true)), 1u);
  EXPECT_EQ(byte(DateTimeArg(3.0)), 0u);
  EXPECT_EQ(NormaliseFullWidth("\xA1\xAB\xA1\xEE\xA1\xEF\xA3\xC1事"), "~**A事");
}

TEST_F(TextCommands, BitOrOfAllArguments) {
  EXPECT_EQ(RunInt(kBitOr.entry, {IntArg(1)}), 1);
  EXPECT_EQ(RunInt(kBitOr.entry, {IntArg(1), IntArg(4), IntArg(0x100)}), 0x105);
}

TEST_F(TextCommands, ShortArgumentListsReadAsOmitted) {
  EXPECT_EQ(RunInt(kTextLength.entry, {}), 0);
  EXPECT_EQ(RunInt(kFindText.entry, {Text("abc")}), 1);
  EXPECT_EQ(Run(kTextLeft.entry, {Text("abc")}), "");
}

}  // namespace
}  // namespace tl::cmd
