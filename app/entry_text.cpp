#include "app/entry_text.h"

#include <algorithm>

namespace tl::app {

namespace {

// Appends the text from `at` to its zero byte (or `end`) as one line; answers where it stopped.
const char* AppendTextLine(std::string& out, const char* at, const char* const end) {
  auto stops = [](char c) { return c == '\0' || c == '\r' || c == '\n'; };
  for (const char* stop = std::find_if(at, end, stops);; stop = std::find_if(at, end, stops)) {
    out.append(at, stop);
    if (stop == end || *stop == '\0') {
      out += kLineEnd;
      return stop;
    }
    out += ' ';
    const bool crLf = *stop == '\r' && stop + 1 != end && stop[1] == '\n';
    at = stop + (crLf ? 2 : 1);
  }
}

}  // namespace

void AppendLine(std::string& out, std::string_view text) { AppendTextLine(out, text.data(), text.data() + text.size()); }

void ColumnLines(std::string_view rowTexts, std::span<std::string> lines) {
  for (std::string& column : lines) column.clear();
  if (rowTexts.size() < 4) return;
  uint32_t columns = 0;
  for (int i = 3; i >= 0; --i) columns = (columns << 8) | static_cast<uint8_t>(rowTexts[static_cast<size_t>(i)]);
  if (columns == 0) return;
  const char* at = rowTexts.data() + 4;
  const char* const end = rowTexts.data() + rowTexts.size();
  for (uint32_t column = 0; at != end; column = column + 1 == columns ? 0 : column + 1) {
    at = column < lines.size() ? AppendTextLine(lines[column], at, end) : std::find(at, end, '\0');
    if (at != end) ++at;  // past the text's zero byte
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
