#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "commands/text.h"
#include "commands/time.h"
#include "runtime/command.h"
#include "runtime/memory.h"
#include "runtime/service_table.h"

namespace tl {
namespace {

// What a typed command saw of its arguments.
struct Seen {
  int32_t number = 0;
  std::optional<int32_t> count;
  std::string text;
  std::optional<std::string> title;
  bool flag = false;
  size_t more = 0;
};
Seen g_seen;

int32_t Probe(int32_t number, std::optional<int32_t> count, std::string_view text,
              std::optional<std::string_view> title, bool flag, MoreRecords more) {
  g_seen = {number, count, std::string(text), title ? std::optional<std::string>(*title) : std::nullopt, flag,
            more.size()};
  return number;
}
constexpr auto kProbe = MakeCommand<Probe>("Probe");

Seen Decode(std::vector<ArgRecord> records) {
  g_seen = {};
  ArgRecord result{};
  kProbe.entry(&result, static_cast<int>(records.size()), records.data());
  EXPECT_EQ(result.type, DataType::Int);
  return g_seen;
}

TEST(CommandCodecs, AbsentArgumentsNullTextsAndOtherTypesReadAsTheirDefaults) {
  // Fewer records than parameters, all-zero records and no records at all read alike.
  for (const std::vector<ArgRecord>& absent : {std::vector<ArgRecord>{}, std::vector<ArgRecord>(6)}) {
    const Seen seen = Decode(absent);
    EXPECT_EQ(seen.number, 0);
    EXPECT_FALSE(seen.count.has_value());
    EXPECT_EQ(seen.text, "");
    EXPECT_FALSE(seen.title.has_value());
    EXPECT_FALSE(seen.flag);
  }
  EXPECT_EQ(Decode({}).more, 0u) << "a variable list past the count is empty";
  // A null text is the empty text; an optional text given null is given, and empty.
  const Seen nulls = Decode({IntArg(1), IntArg(0), PointerArg(nullptr, DataType::Text),
                             PointerArg(nullptr, DataType::Text), BoolArg(true), IntArg(7), IntArg(8)});
  EXPECT_EQ(nulls.count, 0);
  EXPECT_EQ(nulls.text, "");
  EXPECT_EQ(nulls.title, "");
  EXPECT_TRUE(nulls.flag);
  EXPECT_EQ(nulls.more, 2u);
  // A value of another type where a text belongs reads as empty, never as an address.
  EXPECT_EQ(Decode({IntArg(1), {}, IntArg(0x1234)}).text, "");
}

TEST(CommandCodecs, NumbersOfEveryTypeTruncateIntoIntegerParameters) {
  EXPECT_EQ(Decode({DoubleArg(-2.9)}).number, -2);
  EXPECT_EQ(Decode({DoubleArg(2.9)}).number, 2);
  // Beyond 32 bits: the low word of the truncation toward zero, as TruncateToInteger gives it.
  EXPECT_EQ(Decode({DoubleArg(4294967298.7)}).number, 2);
  EXPECT_EQ(Decode({DoubleArg(-4294967298.7)}).number, -2);
  EXPECT_EQ(Decode({DoubleArg(1e300)}).number, TruncateToInteger(1e300));
  EXPECT_EQ(Decode({DoubleArg(std::nan(""))}).number, TruncateToInteger(std::nan("")));
  EXPECT_EQ(Decode({{0xFFFFFFFFu, 0x7FFFFFFFu, DataType::Long}}).number, -1);
  EXPECT_EQ(Decode({{0x1FF, 0, DataType::Byte}}).number, 0xFF);
  EXPECT_EQ(Decode({{0xFFFF, 0, DataType::Short}}).number, -1);
  EXPECT_EQ(Decode({IntArg(0), DateTimeArg(3.75)}).count, 3);
}

// A service table whose command slots run the command and note which slot it took.
struct SlotUse {
  bool core = false;
  int32_t library = -1;
  std::vector<ArgRecord> records;
};
SlotUse g_slot;

ArgRecord LibrarySlot(CommandFn command, int32_t library, int32_t argc, ArgRecord* args) {
  g_slot = {false, library, std::vector<ArgRecord>(args, args + argc)};
  ArgRecord result{};
  command(&result, argc, args);
  return result;
}
ArgRecord CoreSlot(CommandFn command, int32_t argc, ArgRecord* args) {
  const ArgRecord result = LibrarySlot(command, 0, argc, args);
  g_slot.core = true;
  return result;
}
int g_frees = 0;
void CountedFree(void* p) {
  if (p) ++g_frees;
  Free(p);
}
const ServiceTable kTable = {nullptr, nullptr, LibrarySlot, CoreSlot, nullptr, nullptr, nullptr, nullptr,
                             CountedFree, nullptr, nullptr, nullptr, nullptr};

struct Pair {
  int32_t a, b;
};
AsBytes<Pair> Swapped(int32_t a, int32_t b) { return {{b, a}}; }
std::string Echo(std::string_view text) { return std::string(text); }
constexpr auto kSwappedInLibrary3 = MakeCommand<Swapped>("Swapped", 3);
constexpr auto kEcho = MakeCommand<Echo>("Echo");

TEST(CommandCodecs, TypedCallsEncodeWhatTheEntriesDecodeThroughTheRightSlot) {
  const char* title = nullptr;
  EXPECT_EQ(CallCommand(kTable, kProbe, 5, std::nullopt, "t", title, true, {IntArg(1), IntArg(2), IntArg(3)}), 5);
  EXPECT_TRUE(g_slot.core);
  ASSERT_EQ(g_slot.records.size(), 8u) << "one record a parameter, the variable list flattened";
  EXPECT_EQ(g_slot.records[1].type, DataType::None) << "an omitted argument is an all-zero record";
  EXPECT_EQ(g_seen.text, "t");
  EXPECT_EQ(g_seen.title, "") << "a null text goes as the empty text";
  EXPECT_EQ(g_seen.more, 3u);

  g_frees = 0;
  const Pair pair = CallCommand(kTable, kSwappedInLibrary3, 1, 2);
  EXPECT_FALSE(g_slot.core);
  EXPECT_EQ(g_slot.library, 3);
  EXPECT_EQ(pair.a, 2);
  EXPECT_EQ(pair.b, 1);
  EXPECT_EQ(g_frees, 1) << "the structure's byte set is freed once read";

  // An empty text comes back as null; any other as a block the caller frees.
  EXPECT_EQ(CallCommand(kTable, kEcho, "").block, nullptr);
  const TextBlock echoed = CallCommand(kTable, kEcho, "回声");
  EXPECT_STREQ(echoed.block, "回声");
  Free(echoed.block);
}

// A command read through a signature of its own, as a unit type's method is: an int the caller
// leaves out takes the signature's default, and a text answered as OwnText is a block of its own
// even when empty.
std::string Cell(int32_t item, int32_t column) {
  return item == 0 ? "" : std::to_string(item) + ":" + std::to_string(column);
}
constexpr auto kCell = command_detail::Describe<OwnText(IntOr<-1>, IntOr<7>), &Cell>("Cell", 2);

TEST(CommandCodecs, LeftOutIntsTakeTheirDefaultsAndOwnTextsAreNeverNull) {
  struct Case {
    std::vector<ArgRecord> records;
    const char* text;
  };
  const Case cases[] = {
      {{}, "-1:7"},
      {{{}, {}}, "-1:7"},
      {{IntArg(2)}, "2:7"},
      {{IntArg(2), IntArg(0)}, "2:0"},  // a given 0 is no left-out argument
      {{{}, IntArg(-1)}, "-1:-1"},
      {{IntArg(0)}, ""},
  };
  for (const Case& c : cases) {
    std::vector<ArgRecord> records = c.records;
    ArgRecord result{};
    kCell.entry(&result, static_cast<int>(records.size()), records.data());
    EXPECT_EQ(result.type, DataType::Text) << c.text;
    ASSERT_NE(ArgPointer(result), nullptr) << c.text;
    EXPECT_STREQ(static_cast<const char*>(ArgPointer(result)), c.text);
    Free(ArgPointer(result));
  }
  // The caller's side leaves an argument out as an all-zero record, through the library's slot.
  const TextBlock given = CallCommand(kTable, kCell, 4, std::nullopt);
  EXPECT_EQ(g_slot.library, 2);
  ASSERT_EQ(g_slot.records.size(), 2u);
  EXPECT_EQ(g_slot.records[1].type, DataType::None);
  EXPECT_STREQ(given.block, "4:7");
  Free(given.block);
}

// Every portable command, called with every argument left out, answers a record of the type its
// row declares, and nothing it answers leaks.
TEST(CommandCodecs, EveryPortableCommandCopesWithNoArgumentsAndAnswersItsDeclaredType) {
  using namespace cmd;
  const CommandInfo* const commands[] = {
      &kTextLength, &kTextLeft, &kTextRight, &kTextMiddle, &kFindText, &kFindTextReverse, &kReplaceText,
      &kSplitText,  &kToText,   &kToByteSet, &kToByte,     &kBitOr,    &kGetHour,         &kGetMinute};
  for (const CommandInfo* command : commands) {
    std::vector<ArgRecord> absent(command->argumentTypes.size());
    ArgRecord result{};
    command->entry(&result, static_cast<int>(absent.size()), absent.data());
    EXPECT_EQ(result.type, command->resultType) << command->name;
    if (result.type == (DataType::Text | DataType::ArrayFlag)) {
      FreeTextArray(ArgPointer(result));
    } else if (result.type == DataType::Text || result.type == DataType::ByteSet) {
      Free(ArgPointer(result));
    }
  }
}

}  // namespace
}  // namespace tl
