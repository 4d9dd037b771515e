// Loads arbitrary bytes as an entry file and a time file the way a start does: each file's byte
// set made a text (cut at a zero byte) and split at CR LF by the text command, GBK-aware; the
// rows' texts answered by the list in one block and turned into the save's lines, which the lines
// built from the files' own texts must equal. A pair that is judged loaded exactly must come back
// whole, and plain GBK lines always must be.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "app/entry_text.h"
#include "runtime/command.h"
#include "runtime/row_texts.h"
#include "commands/text.h"
#include "runtime/memory.h"
#include "tests/exact_text.h"

using namespace tl;
using namespace tl::cmd;
using tl::app::kLineEnd;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The file's lines as a start gets them: ToText of its byte set, then SplitText at CR LF.
std::vector<std::string> LoadedLines(std::string_view file) {
  std::vector<uint8_t> set(8 + file.size());
  const int32_t head[2] = {1, static_cast<int32_t>(file.size())};
  std::memcpy(set.data(), head, sizeof head);
  std::memcpy(set.data() + 8, file.data(), file.size());
  ArgRecord bytes = PointerArg(file.empty() ? nullptr : set.data(), DataType::ByteSet), text{};
  kToText.entry(&text, 1, &bytes);
  ArgRecord split[3] = {text, PointerArg("\r\n", DataType::Text), {}}, pieces{};
  kSplitText.entry(&pieces, 3, split);
  auto* array = static_cast<int32_t*>(ArgPointer(pieces));
  std::vector<std::string> lines;
  for (int32_t i = 0; i < array[1]; ++i) {
    const char* piece = reinterpret_cast<char**>(array + 2)[i];
    lines.emplace_back(piece ? piece : "");
  }
  FreeTextArray(array);
  Free(ArgPointer(text));
  return lines;
}

// The block the list answers for its rows: two columns.
std::string RowTexts(const std::vector<std::string>& entries, const std::vector<std::string>& times) {
  std::string block = tl::RowTextsBlock(2, {});
  for (size_t row = 0; row < entries.size(); ++row) {
    (block += entries[row]) += '\0';
    (block += row < times.size() ? times[row] : "") += '\0';
  }
  return block;
}

// Every CR starts a CR LF and every LF ends one.
bool PlainLineEnds(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')) return false;
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
  }
  return true;
}

// Given back: the lines equal the file, or add only the line end its last line lacked.
bool Whole(std::string_view file, std::string_view lines) {
  return lines == file || (lines.size() == file.size() + kLineEnd.size() && lines.starts_with(file));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t cut = std::min<size_t>(data[0], input.size());
  // Each file in a block of exactly its size, so that a read past its end is caught.
  const tl::test::ExactText entryBlock(input.substr(cut)), timeBlock(input.substr(0, cut));
  const std::string_view entryFile = entryBlock, timeFile = timeBlock;
  const std::vector<std::string> entries = LoadedLines(entryFile), times = LoadedLines(timeFile);
  tl::app::EntryLines built;
  built.Build(RowTexts(entries, times));
  const std::string& entryLines = built.column(0);
  const std::string& timeLines = built.column(1);
  // A start builds the same lines from the files' texts, without reading the rows back.
  tl::app::EntryLines loaded;
  auto upToZero = [](std::string_view file) { return tl::test::ExactText(file.substr(0, file.find('\0'))); };
  const tl::test::ExactText entryText = upToZero(entryFile), timeText = upToZero(timeFile);
  loaded.BuildFromTexts(2, {entryText.view(), timeText.view()});
  Check(loaded.column(0) == entryLines && loaded.column(1) == timeLines && loaded.rows() == built.rows());

  const bool entriesExact = tl::app::LoadedExactly(entryFile, entryLines);
  if (entriesExact) Check(Whole(entryFile, entryLines));
  if (tl::app::IsPlainGbk(entryFile) && PlainLineEnds(entryFile)) Check(entriesExact);

  // The rows past the time file's end save as empty lines; what the file held comes first.
  const bool timesExact = tl::app::TimesLoadedExactly(timeFile, timeLines);
  if (timesExact) {
    std::string_view saved = timeLines;
    while (saved.size() > timeFile.size() + kLineEnd.size() && saved.ends_with("\r\n\r\n")) {
      saved.remove_suffix(kLineEnd.size());
    }
    Check(Whole(timeFile, saved) || (timeFile.empty() && saved == kLineEnd));
  }
  if (tl::app::IsPlainGbk(timeFile) && PlainLineEnds(timeFile) && times.size() <= entries.size()) Check(timesExact);
  return 0;
}
