#include "app/entry_text.h"

#include <algorithm>

#include "runtime/row_texts.h"

namespace tl::app {

// Each line break (CR LF, a lone CR, a lone LF) becomes a space.
void AppendLine(std::string& out, std::string_view text) {
  text = text.substr(0, text.find('\0'));
  auto breaks = [](char c) { return c == '\r' || c == '\n'; };
  const char* at = text.data();
  const char* const end = at + text.size();
  for (const char* stop = std::find_if(at, end, breaks); stop != end; stop = std::find_if(at, end, breaks)) {
    out.append(at, stop);
    out += ' ';
    const bool crLf = *stop == '\r' && stop + 1 != end && stop[1] == '\n';
    at = stop + (crLf ? 2 : 1);
  }
  out.append(at, end);
  out += kLineEnd;
}

void ColumnLines(std::string_view rowTexts, std::span<std::string> lines) {
  for (std::string& column : lines) column.clear();
  RowTextsReader reader(rowTexts);
  std::string_view text;
  uint32_t column = 0;
  while (reader.Next(text, column)) {
    if (column < lines.size()) AppendLine(lines[column], text);
  }
}

bool IsPlainGbk(std::string_view bytes) {
  for (std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
    if (bytes.starts_with(mark)) return false;
  }
  auto byte = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint8_t b = byte(i);
    if (b == 0 || b == 0x80 || b == 0xFF) return false;
    if (b < 0x80) continue;
    if (++i == bytes.size()) return false;
    const uint8_t trail = byte(i);
    if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
  }
  return true;
}

namespace {

// The saved text equals the file's bytes, or lacks nothing but a missing last line end.
bool GivesBack(std::string_view file, std::string_view saved) {
  if (file == saved) return true;
  return saved.size() == file.size() + kLineEnd.size() && saved.starts_with(file) && saved.ends_with(kLineEnd) &&
         !file.ends_with(kLineEnd);
}

}  // namespace

bool LoadedExactly(std::optional<std::string_view> fileBytes, std::string_view saved) {
  return !fileBytes || (IsPlainGbk(*fileBytes) && GivesBack(*fileBytes, saved));
}

bool TimesLoadedExactly(std::optional<std::string_view> fileBytes, std::string_view saved) {
  if (!fileBytes) return true;
  if (!IsPlainGbk(*fileBytes)) return false;
  auto onlyLineEnds = [](std::string_view text) {
    for (; text.starts_with(kLineEnd); text.remove_prefix(kLineEnd.size())) {
    }
    return text.empty();
  };
  // What the file gave back is followed by nothing but the empty lines of the rows past its end.
  for (const size_t kept : {fileBytes->size(), fileBytes->size() + kLineEnd.size()}) {
    if (kept > saved.size()) continue;
    const std::string_view head = saved.substr(0, kept), tail = saved.substr(kept);
    const bool wholeLines = head.empty() || head.ends_with(kLineEnd);
    if (wholeLines && onlyLineEnds(tail) && GivesBack(*fileBytes, head)) return true;
  }
  return false;
}

PairRecovery RecoveryFor(bool timeTemporaryExists, bool entryTemporaryExists) {
  if (timeTemporaryExists && entryTemporaryExists) return PairRecovery::DiscardBoth;
  if (entryTemporaryExists) return PairRecovery::FinishEntryReplacement;
  if (timeTemporaryExists) return PairRecovery::DiscardTimeTemporary;
  return PairRecovery::Nothing;
}

std::string TemporaryName(std::string_view fileName) { return std::string(fileName) + ".new"; }

std::string BackupName(std::string_view fileName, int n) {
  const size_t dot = fileName.rfind('.');
  const std::string_view stem = fileName.substr(0, dot), extension = dot == std::string_view::npos ? "" : fileName.substr(dot);
  return std::string(stem) + ".备份" + std::to_string(n) + std::string(extension);
}

bool SaveFailureNotice::Record(bool saved, double nowSeconds) {
  if (saved) {
    failingSince_.reset();
    told_ = false;
    return false;
  }
  if (!failingSince_) failingSince_ = nowSeconds;
  if (told_ || nowSeconds - *failingSince_ < kPatienceSeconds) return false;
  told_ = true;
  return true;
}

}  // namespace tl::app
