#include "app/entry_text.h"

namespace tl::app {

void AppendLine(std::string& out, std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += ' ';
    } else {
      out += c;
    }
  }
  out += kLineEnd;
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
