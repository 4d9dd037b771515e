#include "app/entry_text.h"

#include <algorithm>

namespace tl::app {

void AppendLine(std::string& out, std::string_view text) {
  auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
  const char* at = text.data();
  const char* const end = at + text.size();
  for (const char* lineBreak = std::find_if(at, end, isBreak); lineBreak != end;
       lineBreak = std::find_if(at, end, isBreak)) {
    out.append(at, lineBreak);
    out += ' ';
    const bool crLf = *lineBreak == '\r' && lineBreak + 1 != end && lineBreak[1] == '\n';
    at = lineBreak + (crLf ? 2 : 1);
  }
  out.append(at, end);
  out += kLineEnd;
}

std::string ColumnLines(std::string_view rowTexts, uint32_t column) {
  std::string out;
  if (rowTexts.size() < 4) return out;
  uint32_t columns = 0;
  for (int i = 3; i >= 0; --i) columns = (columns << 8) | static_cast<uint8_t>(rowTexts[static_cast<size_t>(i)]);
  if (columns == 0 || column >= columns) return out;
  out.reserve(rowTexts.size() / columns + rowTexts.size() / 8);
  uint32_t at = 0;  // the column of the text that starts here
  for (size_t start = 4; start < rowTexts.size();) {
    const size_t end = std::min(rowTexts.find('\0', start), rowTexts.size());
    if (at == column) AppendLine(out, rowTexts.substr(start, end - start));
    at = at + 1 == columns ? 0 : at + 1;
    start = end + 1;
  }
  return out;
}

bool LoadedExactly(std::optional<std::string_view> fileBytes, std::string_view saved) {
  if (!fileBytes) return true;
  if (*fileBytes == saved) return true;
  return saved.size() == fileBytes->size() + kLineEnd.size() && saved.starts_with(*fileBytes) &&
         saved.ends_with(kLineEnd) && !fileBytes->ends_with(kLineEnd);
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
