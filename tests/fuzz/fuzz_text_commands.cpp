// Feeds arbitrary texts, positions and counts to every text command. Inputs are split into a
// text, a second text and a few integers; each result is checked against the bounds its
// command promises and freed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/command.h"
#include "commands/text.h"
#include "runtime/memory.h"
#include "runtime/text_pieces.h"
#include "tests/exact_text.h"

using namespace tl;
using namespace tl::cmd;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void FreeResult(const ArgRecord& r) {
  if (r.type == (DataType::Text | DataType::ArrayFlag)) {
    auto* block = static_cast<int32_t*>(ArgPointer(r));
    Check(block && block[0] == 1 && block[1] >= 0);
    FreeTextArray(block);
  } else if (r.type == DataType::Text || r.type == DataType::ByteSet) {
    Free(ArgPointer(r));
  }
}

ArgRecord Run(CommandFn command, std::initializer_list<ArgRecord> list) {
  ArgRecord args[6];
  size_t n = 0;
  for (const ArgRecord& a : list) args[n++] = a;
  ArgRecord result{};
  command(&result, static_cast<int>(n), args);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 12) return 0;
  int32_t numbers[3];
  std::memcpy(numbers, data, sizeof numbers);
  data += 12;
  size -= 12;
  // Texts never hold a zero byte: cut each at the first one. Each lies in a block of exactly its
  // bytes and terminator, so that a read past its end is caught.
  const std::string_view rest(reinterpret_cast<const char*>(data), size);
  const size_t cut = rest.size() / 2;
  auto upToZero = [](std::string_view s) { return s.substr(0, s.find('\0')); };
  const tl::test::ExactText firstText(upToZero(rest.substr(0, cut)), true);
  const tl::test::ExactText secondText(upToZero(rest.substr(cut)).substr(0, 8), true);  // short targets actually match
  const std::string_view first = firstText, second = secondText;
  const ArgRecord text = PointerArg(firstText.c_str(), DataType::Text);
  const ArgRecord target = PointerArg(secondText.c_str(), DataType::Text);
  const ArgRecord a = IntArg(numbers[0]), b = IntArg(numbers[1]), flag = BoolArg(numbers[2] & 1);
  const int32_t length = static_cast<int32_t>(first.size());

  for (ArgRecord r :
       {Run(kTextLeft.entry, {text, a}), Run(kTextRight.entry, {text, a}), Run(kTextMiddle.entry, {text, a, b})}) {
    Check(r.type == DataType::Text);
    Check(TextView(static_cast<const char*>(ArgPointer(r))).size() <= first.size());
    FreeResult(r);
  }
  for (CommandFn find : {kFindText.entry, kFindTextReverse.entry}) {
    for (ArgRecord r : {Run(find, {text, target}), Run(find, {text, target, a, flag})}) {
      const int32_t position = static_cast<int32_t>(r.low);
      Check(position == -1 || (position >= 1 && position <= std::max(length, 1)));
      if (position > 0 && !second.empty() && !(numbers[2] & 1)) {
        Check(first.compare(static_cast<size_t>(position - 1), second.size(), second) == 0);
      }
    }
  }
  FreeResult(Run(kReplaceText.entry, {text, target, text, a, b, flag}));
  FreeResult(Run(kReplaceText.entry, {text, target}));
  ArgRecord pieces = Run(kSplitText.entry, {text, target, numbers[2] & 2 ? a : ArgRecord{}});
  size_t total = 0;
  for (char* element : ArrayTextElements(ArgPointer(pieces))) total += TextView(element).size();
  Check(total <= first.size());
  FreeResult(pieces);
  // The same cut on the text alone, without its terminator, as the list's line loading hands it.
  const tl::test::ExactText bare(first), bareDelimiter(second);
  size_t bareTotal = 0;
  for (std::string_view piece : tl::SplitPieces(bare, bareDelimiter)) bareTotal += piece.size();
  Check(bareTotal <= first.size());
  FreeResult(Run(kToByteSet.entry, {text}));
  FreeResult(Run(kToText.entry, {text}));
  Check(Run(kToByte.entry, {text}).low <= 255);
  return 0;
}
