// The entry files' text rules: line breaks inside an entry, what counts as a file given back
// exactly, how a start settles an interrupted save, backup names, and when a failing save is told.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "app/entry_text.h"
#include "runtime/row_texts.h"
#include "runtime/text_pieces.h"
#include "tests/exact_text.h"

namespace tl::app {
namespace {

std::string Lines(std::initializer_list<std::string_view> texts) {
  std::string out;
  for (std::string_view text : texts) AppendLine(out, text);
  return out;
}

TEST(EntryLines, EveryLineEndsInCrLfAndNoLineBreakSurvivesInsideAnEntry) {
  EXPECT_EQ(Lines({}), "");
  EXPECT_EQ(Lines({"a", "", "写PPt"}), "a\r\n\r\n写PPt\r\n");
  // CR LF, a lone LF and a lone CR each become one space: the pair keeps its line count.
  EXPECT_EQ(Lines({"one\r\ntwo", "x\ny", "p\rq", "\r\n\n\r"}), "one two\r\nx y\r\np q\r\n   \r\n");
  // A CR just before the end of the text is a lone CR.
  EXPECT_EQ(Lines({"end\r"}), "end \r\n");
}

TEST(EntryLines, LinearInTheSizeOfTheList) {
  std::string out;
  const std::string row(100, 'x');
  for (int i = 0; i < 100000; ++i) AppendLine(out, row);
  EXPECT_EQ(out.size(), 100000u * 102u);
}

// Each case builds over the previous case's lines, as a save builds over the previous save's.
std::string ColumnOf(std::string_view rowTexts, uint32_t column) {
  static EntryLines lines;
  lines.Build(RowTextsBlock(2, {"earlier", "lines"}));
  lines.Build(rowTexts);
  return lines.column(column);
}

TEST(EntryLines, OneLinePerRowOfTheAskedColumnWrittenAsEveryLineIs) {
  const std::string rows = RowTextsBlock(2, {"买菜", "2024年3月5日", "", "", "one\r\ntwo", "t3"});
  EXPECT_EQ(ColumnOf(rows, 0), "买菜\r\n\r\none two\r\n");
  EXPECT_EQ(ColumnOf(rows, 1), "2024年3月5日\r\n\r\nt3\r\n");
  EXPECT_EQ(ColumnOf(RowTextsBlock(1, {"a", "b"}), 1), "") << "a column the list does not have";
  EXPECT_EQ(ColumnOf(RowTextsBlock(2, {"a\r", "b\n"}), 1), "b \r\n") << "a break just before a text's end";
  EXPECT_EQ(ColumnOf(RowTextsBlock(3, {"a", "b", "c", "d", "e", "f"}), 1), "b\r\ne\r\n");
  EXPECT_EQ(ColumnOf(RowTextsBlock(2, {}), 0), "") << "an empty list";
  EXPECT_EQ(ColumnOf(RowTextsBlock(1, {"x"}).substr(0, 6), 0), "x\r\n") << "a last text without its zero byte";
  EXPECT_EQ(ColumnOf("\2\0", 0), "") << "too short to hold the count";
  EXPECT_EQ(ColumnOf(RowTextsBlock(0, {"x"}), 0), "");
  // The count is read low byte first: 258 columns, so row two's first text is the 259th.
  std::string wide = RowTextsBlock(258, {});
  for (int i = 0; i < 2 * 258; ++i) (wide += std::to_string(i)) += '\0';
  EXPECT_EQ(ColumnOf(wide, 0), "0\r\n258\r\n");
}

// The list as a model: random insertions, deletions and text changes, each batch replayed on the
// lines and the touched rows' texts given again; the lines must equal lines built anew.
TEST(EntryLines, ReplayedChangesGiveTheLinesABuildWould) {
  std::vector<std::array<std::string, 2>> rows;
  auto block = [&] {
    std::string out = RowTextsBlock(2, {});
    for (const auto& row : rows) (((out += row[0]) += '\0') += row[1]) += '\0';
    return out;
  };
  std::mt19937 random(20261208);
  auto text = [&] {
    static const char* const kPieces[] = {"买菜", "a", "\r\n", "\n", "\r", "2024年3月5日", ""};
    std::string t;
    for (int n = random() % 4; n > 0; --n) t += kPieces[random() % std::size(kPieces)];
    return t;
  };
  EntryLines lines;
  lines.Build(block());
  for (int batch = 0; batch < 200; ++batch) {
    std::vector<RowChange> changes;
    for (int n = 1 + random() % 5; n > 0; --n) {
      const auto count = static_cast<int32_t>(rows.size());
      const int kind = count == 0 ? 0 : static_cast<int>(random() % 3);
      if (kind == 0) {
        const int32_t at = static_cast<int32_t>(random() % (count + 1));
        rows.insert(rows.begin() + at, {text(), text()});
        changes.push_back({RowChangeKind::Inserted, at});
      } else if (kind == 1) {
        const int32_t at = static_cast<int32_t>(random() % count);
        rows.erase(rows.begin() + at);
        changes.push_back({RowChangeKind::Deleted, at});
      } else {
        const int32_t at = static_cast<int32_t>(random() % count);
        rows[static_cast<size_t>(at)][random() % 2] = text();
        changes.push_back({RowChangeKind::TextSet, at});
      }
    }
    const std::optional<std::vector<int32_t>> touched = lines.Replay(changes);
    ASSERT_TRUE(touched) << "batch " << batch;
    for (int32_t row : *touched) {
      for (size_t c = 0; c < 2; ++c) lines.SetText(row, c, rows[static_cast<size_t>(row)][c]);
    }
    EntryLines built;
    built.Build(block());
    ASSERT_EQ(lines.column(0), built.column(0)) << "batch " << batch;
    ASSERT_EQ(lines.column(1), built.column(1)) << "batch " << batch;
    ASSERT_EQ(lines.rows(), static_cast<int32_t>(rows.size()));
  }
  EXPECT_FALSE(lines.Replay(std::vector<RowChange>{{RowChangeKind::Deleted, lines.rows()}})) << "a row it does not have";
  lines.Build(RowTextsBlock(2, {"only the title"}));
  EXPECT_FALSE(lines.Replay(std::vector<RowChange>{{RowChangeKind::TextSet, 0}})) << "rows whose texts were not all read";
}

// A load into an empty list as a model: a row per line of the entry text, the time text's lines
// given to the rows from the first on, each row's text ending at a zero byte as every text of
// the runtime does. The lines built from the two texts must be the lines built from those rows,
// for a list of any number of columns, and must take a changed text where the built ones do.
TEST(EntryLines, BuiltFromTheLoadedTextsAsFromTheRowsTheListMakesOfThem) {
  std::mt19937 random(20261209);
  auto text = [&] {
    static const char* const kPieces[] = {"买菜", "a", "\r\n", "\r\n", "\n", "\r", "\x81", "\x80", "\xFF", "2024年3月5日"};
    std::string t;
    for (int n = random() % 12; n > 0; --n) t += kPieces[random() % std::size(kPieces)];
    if (random() % 4 == 0) t.insert(random() % (t.size() + 1), 1, '\0');
    return t;
  };
  auto upToZero = [](std::string_view piece) { return piece.substr(0, piece.find('\0')); };
  for (int round = 0; round < 2000; ++round) {
    const std::string entryBytes = text(), timeBytes = text();
    const test::ExactText entries(entryBytes), times(timeBytes);
    const size_t columns = random() % 4;
    const std::vector<std::string_view> titles = SplitPieces(entries, "\r\n"), lines = SplitPieces(times, "\r\n");
    const auto held = static_cast<uint32_t>(std::max<size_t>(columns, 1));
    std::string block = RowTextsBlock(held, {});
    for (size_t row = 0; row < titles.size(); ++row) {
      (block += upToZero(titles[row])) += '\0';
      if (held > 1) (block += row < lines.size() ? upToZero(lines[row]) : "") += '\0';
      for (uint32_t c = 2; c < held; ++c) block += '\0';
    }
    EntryLines built, loaded;
    built.Build(block);
    loaded.BuildFromTexts(columns, {entries, times});
    const std::string where =
        "entries \"" + entryBytes + "\", times \"" + timeBytes + "\", columns " + std::to_string(columns);
    ASSERT_EQ(loaded.rows(), built.rows()) << where;
    ASSERT_EQ(loaded.column(0), built.column(0)) << where;
    ASSERT_EQ(loaded.column(1), built.column(1)) << where;
    if (built.rows() == 0) continue;
    const auto row = static_cast<int32_t>(random() % static_cast<uint32_t>(built.rows()));
    const size_t column = random() % 2;
    built.SetText(row, column, "改过");
    loaded.SetText(row, column, "改过");
    ASSERT_EQ(loaded.column(column), built.column(column)) << where << ", row " << row;
  }
}

TEST(LoadedExactly, OnlyAMissingLastLineEndIsForgiven) {
  EXPECT_TRUE(LoadedExactly(std::nullopt, "anything\r\n")) << "a missing file holds nothing to lose";
  EXPECT_TRUE(LoadedExactly("", ""));
  EXPECT_TRUE(LoadedExactly("a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n"));
  EXPECT_TRUE(LoadedExactly("a\r\n\r\nb", "a\r\n\r\nb\r\n"));
  // Bare line feeds load as one row whose saved form has spaces instead.
  EXPECT_FALSE(LoadedExactly("a\nb\n", "a b \r\n"));
  // A zero byte ends the text: what followed it would be lost.
  EXPECT_FALSE(LoadedExactly(std::string_view("a\r\n\0b\r\n", 7), "a\r\n"));
  // More times than entries: the extra lines would be dropped.
  EXPECT_FALSE(LoadedExactly("t1\r\nt2\r\nt3\r\n", "t1\r\nt2\r\n"));
  EXPECT_FALSE(LoadedExactly("a\r\n", "a\r\n\r\n")) << "only one missing line end is forgiven";
  EXPECT_FALSE(LoadedExactly("a\r", "a \r\n")) << "a last line ending in a bare CR is altered";
  EXPECT_TRUE(LoadedExactly(test::Exact("\xB7\xBF\xD7\xE2" "1200\x80\r\nx\r\n"), "\xB7\xBF\xD7\xE2" "1200\x80\r\nx\r\n"));
}

TEST(LoadedExactly, TextThatIsNotPlainGbkIsNeverGivenBack) {
  const struct {
    std::string_view bytes;
    bool plain;
    const char* why;
  } cases[] = {
      {"\xC4\xE3\xBA\xC3 a\r\n", true, "characters and ASCII"},
      {"\x81\x40\xFE\xFE", true, "the first and last pairs"},
      {"1200\x80\r\n", true, "the euro sign is one byte of its own"},
      {"\x80", true, "alone as well"},
      {"a\xFF\r\n\xFF", true, "and so is 0xFF"},
      {"\xFF\x40", true, "0xFF is no lead byte, whatever follows"},
      {"\x80\xC4\xE3", true, "a character right after the euro sign"},
      {"a\x81\x20" "b\r\n", false, "a trail byte below 0x40"},
      {"\x81\x7F", false, "0x7F is no trail byte"},
      {"ab\xC4", false, "a lead byte without its trail"},
      {"a\x81\xFF", false, "0xFF is no trail byte"},
      {"\xEF\xBB\xBF" "a\r\n", false, "UTF-8's mark, although its bytes pair as GBK"},
      {"\xFE\xFF" "a", false, "UTF-16's mark"},
      {std::string_view("a\0b", 3), false, "a zero byte"},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPlainGbk(test::Exact(c.bytes)), c.plain) << c.why;
  EXPECT_FALSE(LoadedExactly("\xEF\xBB\xBF" "a\r\n", "\xEF\xBB\xBF" "a\r\n")) << "kept although written back";
}

TEST(TimesLoadedExactly, ATimeFileMayStopBeforeTheRows) {
  EXPECT_TRUE(TimesLoadedExactly(std::nullopt, "\r\n"));
  EXPECT_TRUE(TimesLoadedExactly("", "\r\n\r\n")) << "no times at all";
  EXPECT_TRUE(TimesLoadedExactly("t1\r\n", "t1\r\n\r\n\r\n"));
  EXPECT_TRUE(TimesLoadedExactly("t1", "t1\r\n\r\n")) << "and its last line may lack its end";
  EXPECT_TRUE(TimesLoadedExactly("t1\r\n\r\n", "t1\r\n\r\n\r\n"));
  EXPECT_FALSE(TimesLoadedExactly("t1\r\nt2\r\n", "t1\r\n")) << "more times than rows lose the last";
  EXPECT_FALSE(TimesLoadedExactly("t1\r\n", "t1\r\nt2\r\n")) << "only empty lines may follow";
  EXPECT_FALSE(TimesLoadedExactly("t", "t1\r\n")) << "a line cut short is no line";
  EXPECT_FALSE(TimesLoadedExactly("t1\x81\r\n", "t1\x81\r\n\r\n"));
}

TEST(PairRecovery, AStartFinishesOrDiscardsWhatAKillLeft) {
  EXPECT_EQ(RecoveryFor(false, false), PairRecovery::Nothing);
  EXPECT_EQ(RecoveryFor(true, false), PairRecovery::DiscardTimeTemporary);
  EXPECT_EQ(RecoveryFor(true, true), PairRecovery::DiscardBoth);
  EXPECT_EQ(RecoveryFor(false, true), PairRecovery::FinishEntryReplacement);
}

// A replacement a start finishes must not write over an entry file edited after it, nor pair
// entries with times they were not written with.
TEST(PairRecovery, AnUnfinishedReplacementIsFinishedOnlyOverAnOlderMatchingEntryFile) {
  struct Case {
    const char* pending;
    const char* times;
    int64_t pendingWritten, entryWritten;
    bool safe;
  };
  const Case cases[] = {
      {"a\r\nb\r\n", "t1\r\nt2\r\n", 20, 10, true},
      {"a\r\nb\r\n", "t1\r\nt2\r\n", 20, 20, false},  // the same time tells nothing
      {"a\r\nb\r\n", "t1\r\nt2\r\n", 20, 21, false},  // edited after the replacement
      {"a\r\nb\r\n", "t1\r\n", 20, 10, false},          // times of another state
      {"a\r\n", "t1\r\nt2\r\n", 20, 10, false},
      {"", "", 20, 10, true},                               // an empty list
      {"a\r\nb", "t1\r\nt2\r\n", 20, 10, true},         // a last line without its end
      {"\r\n\r\n", "t1\r\n\r\n", 20, 10, true},           // empty lines count
      {"a\nb\r\n", "t1\r\nt2\r\n", 20, 10, false},       // a lone LF breaks no line
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FinishesSafely(c.pending, c.times, c.pendingWritten, c.entryWritten), c.safe)
        << c.pending << " | " << c.times << " at " << c.pendingWritten << "/" << c.entryWritten;
  }
}

TEST(FileNames, TemporariesAndBackupsSitBesideTheFile) {
  EXPECT_EQ(TemporaryName("bugaun.txt"), "bugaun.txt.new");
  EXPECT_EQ(BackupName("bugaun.txt", 1), "bugaun.备份1.txt");
  EXPECT_EQ(BackupName("jilusjian.txt", 12), "jilusjian.备份12.txt");
  EXPECT_EQ(BackupName("plain", 2), "plain.备份2");
}

TEST(SaveFailureNotice, ToldOnceAfterAWhileAndAgainOnlyAfterASuccess) {
  SaveFailureNotice notice;
  EXPECT_FALSE(notice.Record(true, 0));
  EXPECT_FALSE(notice.Record(false, 10));
  EXPECT_FALSE(notice.Record(false, 12.9));
  EXPECT_TRUE(notice.Record(false, 13));
  EXPECT_FALSE(notice.Record(false, 20)) << "told once";
  EXPECT_FALSE(notice.Record(true, 21));
  EXPECT_FALSE(notice.Record(false, 22));
  EXPECT_TRUE(notice.Record(false, 25)) << "a success in between starts a new count";
  // Short failures between successes are never told.
  SaveFailureNotice brief;
  for (int t = 0; t < 20; t += 2) {
    EXPECT_FALSE(brief.Record(false, t));
    EXPECT_FALSE(brief.Record(true, t + 1));
  }
}

}  // namespace
}  // namespace tl::app
