// SplitText and JoinTexts over a 5 MB entry-file-like text: lines of GBK text ending in
// "\r\n". Prints the best of several runs. Built in the host tree, whose sanitizers slow it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/command.h"
#include "commands/text.h"
#include "runtime/memory.h"

using namespace tl;
using Clock = std::chrono::steady_clock;

int main() {
  std::string text;
  for (int i = 0; text.size() < 5u * 1024 * 1024; ++i) {
    text += "[提醒]快去要钱吧，事件 " + std::to_string(i) + " abcdefghij\r\n";
  }
  const char* delimiter = "\r\n";
  constexpr int kRuns = 5;
  double bestSplit = 1e9, bestJoin = 1e9;
  size_t pieces = 0, joined = 0;
  for (int run = 0; run < kRuns; ++run) {
    ArgRecord args[2] = {PointerArg(text.c_str(), DataType::Text), PointerArg(delimiter, DataType::Text)};
    ArgRecord result{};
    auto t0 = Clock::now();
    cmd::kSplitText.entry(&result, 2, args);
    auto t1 = Clock::now();
    void* array = ArgPointer(result);
    std::span<char* const> elements = ArrayTextElements(array);
    pieces = elements.size();
    std::vector<const char*> parts(elements.begin(), elements.end());
    auto t2 = Clock::now();
    char* all = JoinTexts(parts);
    auto t3 = Clock::now();
    joined = TextView(all).size();
    Free(all);
    FreeTextArray(array);
    bestSplit = std::min(bestSplit, std::chrono::duration<double, std::milli>(t1 - t0).count());
    bestJoin = std::min(bestJoin, std::chrono::duration<double, std::milli>(t3 - t2).count());
  }
  const double mb = static_cast<double>(text.size()) / (1024.0 * 1024.0);
  std::printf("text: %.2f MB, %zu lines\n", mb, pieces);
  std::printf("SplitText at \\r\\n: best of %d %.1f ms (%.0f MB/s)\n", kRuns, bestSplit, mb / (bestSplit / 1000));
  std::printf("JoinTexts of the %zu pieces (%zu bytes): best of %d %.1f ms (%.0f MB/s)\n", pieces, joined, kRuns,
              bestJoin, mb / (bestJoin / 1000));
  return 0;
}
