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
  // Texts never hold a zero byte: cut each at the first one.
  const std::string_view rest(reinterpret_cast<const char*>(data), size);
  const size_t cut = rest.size() / 2;
  const std::string first(rest.substr(0, cut).substr(0, rest.substr(0, cut).find('\0')));
  std::string second(rest.substr(cut).substr(0, rest.substr(cut).find('\0')));
  if (second.size() > 8) second.resize(8);  // short targets actually match
  const ArgRecord text = PointerArg(first.c_str(), DataType::Text);
  const ArgRecord target = PointerArg(second.c_str(), DataType::Text);
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
  FreeResult(Run(kToByteSet.entry, {text}));
  FreeResult(Run(kToText.entry, {text}));
  Check(Run(kToByte.entry, {text}).low <= 255);
  return 0;
}
