// The entry files' text rules that need no window: how a line is written, when a loaded file
// came back exactly, how an interrupted save of the pair is finished, where backups go, and when
// a failing save is worth telling the user about. Portable.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/row_texts.h"

namespace tl::app {

inline constexpr std::string_view kLineEnd = "\r\n";

// Appends one line of an entry file: the text with each line break (CR LF, a lone CR, a lone LF)
// replaced by a space, so that the k-th lines of the two files always describe the same row,
// then the line end. Like every text of the runtime, the text ends at a zero byte.
void AppendLine(std::string& out, std::string_view text);

// The entry files' lines, one text per column of the list (at most kColumns), kept beside the
// list: built once from every row's texts (or, at a load, from the texts the list was filled
// with), then patched with the list's changes, so that a save costs what changed rather than the
// whole list. Each column's text has a line per row holding
// that column's text, written as by AppendLine; a column the list does not have has no lines.
class EntryLines {
 public:
  static constexpr size_t kColumns = 2;

  // Every line anew from every row's texts as the list view answers them in one read (see
  // runtime/row_texts.h). The storage of the previous lines is kept, so a save of a large list
  // does not take fresh memory every time.
  void Build(std::string_view rowTexts);
  // Every line anew from the texts a list of `listColumns` columns was just filled with, one a
  // column, each cut at CR LF as the list cuts it (SplitPieces): a row per piece of the first, and
  // a later column's pieces given to the rows from the first on (rows past its last piece read
  // empty, pieces past the last row are left out). The lines Build gives for that list's rows,
  // without reading them back; a list without a report still has its title column.
  void BuildFromTexts(size_t listColumns, const std::array<std::string_view, kColumns>& texts);
  // Replays the list's changes since the lines were right, a row inserted as an empty line for
  // now. Answers the rows, as numbered after the last change, whose texts are to be given again
  // with SetText; nothing when the changes do not fit the lines, which must then be built anew.
  std::optional<std::vector<int32_t>> Replay(std::span<const RowChange> changes);
  void SetText(int32_t row, size_t column, std::string_view text);

  const std::string& column(size_t c) const { return lines_[c]; }
  int32_t rows() const { return rows_; }

 private:
  void FillColumn(size_t column, std::string_view text, std::span<const std::string_view> pieces);
  bool InsertRow(int32_t row);
  bool DeleteRow(int32_t row);

  std::array<std::string, kColumns> lines_;
  // Where each row's line starts in its column's text, then where the text ends.
  std::array<std::vector<size_t>, kColumns> starts_;
  size_t columns_ = 0;  // the columns the list has, up to kColumns
  int32_t rows_ = 0;
  bool whole_ = false;  // every column has a line for every row
};

// Whether bytes are text as this program writes it: GBK (a lead byte 0x81 to 0xFE followed by a
// trail byte 0x40 to 0x7E or 0x80 to 0xFE; every other byte a character of its own, the euro
// sign 0x80 and 0xFF among them) with no zero byte and no byte-order mark of UTF-8 or UTF-16.
bool IsPlainGbk(std::string_view bytes);

// Whether the list loaded from a file gives the file back: the file is plain GBK and the text a
// save writes equals its bytes, or lacks nothing but a line end the file's last line did not
// have. A missing file is always given back (there is nothing to lose).
bool LoadedExactly(std::optional<std::string_view> fileBytes, std::string_view saved);
// The same for the time file, whose lines may also stop before the rows do: the rows past its
// end get empty times, and the save's empty lines for them lose nothing.
bool TimesLoadedExactly(std::optional<std::string_view> fileBytes, std::string_view saved);

// A save writes both temporary files whole, then replaces the time file, then the entry file.
// What a start finds left over tells how far it got.
enum class PairRecovery {
  Nothing,                 // no save was interrupted
  DiscardTimeTemporary,    // killed while the time file's temporary was written
  DiscardBoth,             // killed before the first replacement: the old pair is whole
  FinishEntryReplacement,  // killed between the replacements: the new entry file is complete
};
PairRecovery RecoveryFor(bool timeTemporaryExists, bool entryTemporaryExists);

// Whether a replacement of the entry file left unfinished may be finished without first keeping
// the entry file it would replace: not when the entry file may have been written after the
// replacement (`entryWritten` not earlier than `pendingWritten`, in any unit: file times are
// coarse, and two writes a moment apart can show the same time), nor when the replacement's lines
// are not as many as the time file's, which it was meant to pair with.
bool FinishesSafely(std::string_view pending, std::string_view times, int64_t pendingWritten, int64_t entryWritten);
// The lines a file's text loads as: one per line end, and a last one that has none if it is not
// empty.
size_t LineCount(std::string_view text);

// The temporary file a save writes beside a file.
std::string TemporaryName(std::string_view fileName);
// The n-th backup beside a file: "bugaun.txt" gives "bugaun.备份1.txt".
std::string BackupName(std::string_view fileName, int n);
// The last backup number. When every number is taken the oldest backup gives way.
inline constexpr int kLastBackup = 9999;

// Tells once when saving has failed for a while, and again only after a success in between.
class SaveFailureNotice {
 public:
  static constexpr double kPatienceSeconds = 3.0;
  // Records one save's outcome at the given time (seconds); true when the user is to be told now.
  bool Record(bool saved, double nowSeconds);

 private:
  std::optional<double> failingSince_;
  bool told_ = false;
};

}  // namespace tl::app
