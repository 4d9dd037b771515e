// Reads arbitrary bytes as an entry file the way a start loads it (cut at a zero byte, split at
// CR LF) and writes the rows back the way a save does. A file that would not come back whole
// must never be reported as loaded exactly (nor one that is not plain GBK), and a written line
// must hold exactly one line end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/entry_text.h"

using namespace tl::app;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The rows a load makes of the file: pieces between CR LF, the last one only when not empty.
std::vector<std::string_view> Rows(std::string_view text) {
  std::vector<std::string_view> rows;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find(kLineEnd, at);
    if (end == std::string_view::npos) {
      rows.push_back(text.substr(at));
      break;
    }
    rows.push_back(text.substr(at, end - at));
    at = end + kLineEnd.size();
  }
  return rows;
}

// Every CR starts a CR LF and every LF ends one, and no zero byte cuts the text short.
bool PlainLines(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\0') return false;
    if (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')) return false;
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
  }
  return true;
}

void CheckLine(std::string_view text) {
  std::string line;
  AppendLine(line, text);
  Check(line.ends_with(kLineEnd));
  Check(line.find_first_of("\r\n") == line.size() - kLineEnd.size());
}

// Saves happen at the times the bytes give; the user is told at most once per failing stretch.
void CheckFailureNotice(std::string_view bytes) {
  SaveFailureNotice notice;
  double now = 0;
  bool toldSinceSuccess = false;
  for (unsigned char b : bytes) {
    now += (b >> 1) * 0.1;
    const bool saved = b & 1;
    const bool tell = notice.Record(saved, now);
    Check(!(tell && (saved || toldSinceSuccess)));
    toldSinceSuccess = saved ? false : toldSinceSuccess || tell;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  const std::string_view text = file.substr(0, file.find('\0'));
  std::string saved;
  for (std::string_view row : Rows(text)) {
    CheckLine(row);
    AppendLine(saved, row);
  }
  const bool exact = LoadedExactly(file, saved);
  // Exact means nothing of the file is lost when the save replaces it.
  if (exact) Check(saved.starts_with(file));
  if (PlainLines(file) && IsPlainGbk(file)) Check(exact);
  if (exact) Check(IsPlainGbk(file));
  CheckFailureNotice(file.substr(0, 64));
  const std::string name(text.substr(0, 64));
  Check(BackupName(name, 1) != name && TemporaryName(name) != name);
  return 0;
}
