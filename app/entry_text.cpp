#include "app/entry_text.h"

#include <algorithm>
#include <cstring>

#include "runtime/gbk_char.h"
#include "runtime/row_texts.h"
#include "runtime/text_pieces.h"

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

void EntryLines::Build(std::string_view rowTexts) {
  for (size_t c = 0; c < kColumns; ++c) {
    lines_[c].clear();
    starts_[c].clear();
  }
  RowTextsReader reader(rowTexts);
  columns_ = std::min<size_t>(reader.columns(), kColumns);
  std::string_view text;
  uint32_t column = 0;
  while (reader.Next(text, column)) {
    if (column >= kColumns) continue;
    starts_[column].push_back(lines_[column].size());
    AppendLine(lines_[column], text);
  }
  rows_ = static_cast<int32_t>(starts_[0].size());
  whole_ = true;
  for (size_t c = 0; c < kColumns; ++c) {
    whole_ = whole_ && starts_[c].size() == (c < columns_ ? static_cast<size_t>(rows_) : 0);
    starts_[c].push_back(lines_[c].size());
  }
}

namespace {

// How many bytes of the text are CR, LF or zero, four at a time: a word with no byte below 0x0E
// holds none of them, and most words of a text hold none.
size_t BreakCount(std::string_view text) {
  auto counted = [](char c) { return c == '\r' || c == '\n' || c == '\0'; };
  size_t count = 0, at = 0;
  for (; at + 4 <= text.size(); at += 4) {
    uint32_t word;
    std::memcpy(&word, text.data() + at, 4);
    if (((word - 0x0E0E0E0Eu) & ~word & 0x80808080u) == 0) continue;
    count += static_cast<size_t>(std::count_if(text.data() + at, text.data() + at + 4, counted));
  }
  return count + static_cast<size_t>(std::count_if(text.data() + at, text.data() + text.size(), counted));
}

}  // namespace

void EntryLines::BuildFromTexts(size_t listColumns, const std::array<std::string_view, kColumns>& texts) {
  columns_ = std::clamp<size_t>(listColumns, 1, kColumns);
  for (size_t c = 0; c < kColumns; ++c) {
    lines_[c].clear();
    starts_[c].clear();
    if (c < columns_) {
      const std::vector<std::string_view> pieces = SplitPieces(texts[c], kLineEnd);
      if (c == 0) rows_ = static_cast<int32_t>(pieces.size());
      FillColumn(c, texts[c], pieces);
    }
    starts_[c].push_back(lines_[c].size());
  }
  whole_ = true;
}

// A column's lines: the pieces of `text` (its cut at line ends) for the rows they reach, then
// empty lines. When no piece holds a line break or a zero byte, the lines are the text itself.
void EntryLines::FillColumn(size_t column, std::string_view text, std::span<const std::string_view> pieces) {
  std::string& lines = lines_[column];
  std::vector<size_t>& starts = starts_[column];
  const auto rows = static_cast<size_t>(rows_);
  const size_t used = std::min(rows, pieces.size());
  starts.reserve(rows + 1);
  // The text up to the last used piece's end, with the line end after it if there is one.
  const char* end = used == 0 ? text.data() : pieces[used - 1].data() + pieces[used - 1].size();
  const bool lastEnded = end != text.data() + text.size();
  if (lastEnded && used > 0) end += kLineEnd.size();
  const std::string_view head(text.data(), static_cast<size_t>(end - text.data()));
  // Each cut accounts for one CR and one LF: any other break or zero byte is inside a piece.
  const size_t cuts = used - (used > 0 && !lastEnded ? 1 : 0);
  if (BreakCount(head) == 2 * cuts) {
    lines.reserve(head.size() + (rows - cuts) * kLineEnd.size());
    lines.assign(head);
    if (cuts < used) lines += kLineEnd;
    for (size_t row = 0; row < used; ++row) starts.push_back(static_cast<size_t>(pieces[row].data() - text.data()));
  } else {
    for (size_t row = 0; row < used; ++row) {
      starts.push_back(lines.size());
      AppendLine(lines, pieces[row]);
    }
  }
  for (size_t row = used; row < rows; ++row) {
    starts.push_back(lines.size());
    lines += kLineEnd;
  }
}

std::optional<std::vector<int32_t>> EntryLines::Replay(std::span<const RowChange> changes) {
  std::vector<int32_t> dirty;  // kept in order
  auto shift = [&](int32_t from, int32_t by) {
    for (int32_t& row : dirty) {
      if (row >= from) row += by;
    }
  };
  for (const RowChange& change : changes) {
    const auto at = std::lower_bound(dirty.begin(), dirty.end(), change.row);
    const bool known = at != dirty.end() && *at == change.row;
    switch (change.kind) {
      case RowChangeKind::Inserted:
        if (!InsertRow(change.row)) return std::nullopt;
        shift(change.row, 1);
        dirty.insert(std::lower_bound(dirty.begin(), dirty.end(), change.row), change.row);
        break;
      case RowChangeKind::Deleted:
        if (!DeleteRow(change.row)) return std::nullopt;
        if (known) dirty.erase(at);
        shift(change.row + 1, -1);
        break;
      case RowChangeKind::TextSet:
        if (!whole_ || change.row < 0 || change.row >= rows_) return std::nullopt;
        if (!known) dirty.insert(at, change.row);
        break;
    }
  }
  return dirty;
}

bool EntryLines::InsertRow(int32_t row) {
  if (!whole_ || row < 0 || row > rows_) return false;
  for (size_t c = 0; c < columns_; ++c) {
    std::vector<size_t>& starts = starts_[c];
    const size_t at = starts[static_cast<size_t>(row)];
    lines_[c].insert(at, kLineEnd);
    starts.insert(starts.begin() + row, at);
    for (size_t r = static_cast<size_t>(row) + 1; r < starts.size(); ++r) starts[r] += kLineEnd.size();
  }
  ++rows_;
  return true;
}

bool EntryLines::DeleteRow(int32_t row) {
  if (!whole_ || row < 0 || row >= rows_) return false;
  for (size_t c = 0; c < columns_; ++c) {
    std::vector<size_t>& starts = starts_[c];
    const size_t at = starts[static_cast<size_t>(row)];
    const size_t length = starts[static_cast<size_t>(row) + 1] - at;
    lines_[c].erase(at, length);
    starts.erase(starts.begin() + row);
    for (size_t r = static_cast<size_t>(row); r < starts.size(); ++r) starts[r] -= length;
  }
  --rows_;
  return true;
}

void EntryLines::SetText(int32_t row, size_t column, std::string_view text) {
  if (!whole_ || column >= columns_ || row < 0 || row >= rows_) return;
  std::string line;
  AppendLine(line, text);
  std::vector<size_t>& starts = starts_[column];
  const auto r = static_cast<size_t>(row);
  const size_t length = starts[r + 1] - starts[r];
  lines_[column].replace(starts[r], length, line);
  for (size_t later = r + 1; later < starts.size(); ++later) starts[later] = starts[later] - length + line.size();
}

bool IsPlainGbk(std::string_view bytes) {
  for (std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
    if (bytes.starts_with(mark)) return false;
  }
  for (size_t at = 0; at < bytes.size(); at += CharLength(bytes, at)) {
    if (bytes[at] == '\0') return false;
    if (!IsLeadByte(bytes[at])) continue;
    if (at + 1 == bytes.size()) return false;
    const auto trail = static_cast<uint8_t>(bytes[at + 1]);
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

size_t LineCount(std::string_view text) {
  size_t lines = 0;
  for (size_t at = text.find(kLineEnd); at != std::string_view::npos; at = text.find(kLineEnd)) {
    ++lines;
    text.remove_prefix(at + kLineEnd.size());
  }
  return lines + (text.empty() ? 0 : 1);
}

bool FinishesSafely(std::string_view pending, std::string_view times, int64_t pendingWritten, int64_t entryWritten) {
  return entryWritten < pendingWritten && LineCount(pending) == LineCount(times);
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
