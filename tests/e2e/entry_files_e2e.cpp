// The entry files as a person's data: what a start shows from them, what the files hold after
// the program has saved, and that nothing the files held is ever lost or shifted: not by a
// crash in the middle of a save, a file another program changed or could not be read, a line
// break inside an entry, or a directory the program cannot write to.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "tests/e2e/driver.h"

namespace tl::e2e {
namespace {

const std::wstring kEntries = L"bugaun.txt";
const std::wstring kTimes = L"jilusjian.txt";

HWND ListOf(HWND main) { return main ? FindChild(main, L"SysListView32") : nullptr; }

// Waits until a save has written the file with exactly these bytes.
bool Holds(const ProgramDirectory& dir, const std::wstring& name, const std::string& bytes, DWORD timeoutMs = 3000) {
  return WaitUntil([&] { return dir.Read(name) == bytes; }, timeoutMs);
}

FILETIME LastWrite(const ProgramDirectory& dir, const std::wstring& name) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(dir.File(name).c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

bool operator==(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

bool HasBackup(const ProgramDirectory& dir, const std::wstring& backup) {
  const auto names = dir.Names();
  return std::find(names.begin(), names.end(), backup) != names.end();
}

TEST(EntryFiles, MissingFilesAreCreatedEmptyForAnEmptyList) {
  ProgramDirectory dir;
  RunningProgram program(dir);
  HWND list = ListOf(program.MainWindow());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListItemCount(list), 0);
  EXPECT_TRUE(Holds(dir, kEntries, ""));
  EXPECT_TRUE(Holds(dir, kTimes, ""));
}

TEST(EntryFiles, ChineseEntriesAndTimesLoadAndComeBackByteForByte) {
  ProgramDirectory dir;
  const std::string entries = Gbk(L"写PPt\r\n买菜 [提醒]交电费\r\n");
  const std::string times = Gbk(L"2019年5月3日9时5分\r\n2019年5月3日\r\n");
  dir.Write(kEntries, entries);
  dir.Write(kTimes, times);
  RunningProgram program(dir);
  HWND list = ListOf(program.MainWindow());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListColumn(list, 0), (std::vector<std::wstring>{L"写PPt", L"买菜 [提醒]交电费"}));
  EXPECT_EQ(ListColumn(list, 1), (std::vector<std::wstring>{L"2019年5月3日9时5分", L"2019年5月3日"}));
  // Deleted by another program: written again from the list within a second.
  dir.Remove(kEntries);
  dir.Remove(kTimes);
  EXPECT_TRUE(Holds(dir, kEntries, entries, 1000));
  EXPECT_TRUE(Holds(dir, kTimes, times, 1000));
}

TEST(EntryFiles, AnEmptyLineInTheMiddleAndALastLineWithoutItsEnd) {
  ProgramDirectory dir;
  dir.Write(kEntries, "first\r\n\r\nlast");
  RunningProgram program(dir);
  HWND list = ListOf(program.MainWindow());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListColumn(list, 0), (std::vector<std::wstring>{L"first", L"", L"last"}));
  EXPECT_TRUE(Holds(dir, kEntries, "first\r\n\r\nlast\r\n"));
  EXPECT_TRUE(Holds(dir, kTimes, "\r\n\r\n\r\n")) << "a missing time file leaves column 1 empty";
  EXPECT_EQ(program.VisibleTopLevelWindows().size(), 1u) << "nothing was lost, so nothing is told";
}

TEST(EntryFiles, AListThatEqualsTheFilesWritesNothing) {
  ProgramDirectory dir;
  dir.Write(kEntries, "a\r\nb\r\n");
  dir.Write(kTimes, "t1\r\nt2\r\n");
  const FILETIME entriesBefore = LastWrite(dir, kEntries), timesBefore = LastWrite(dir, kTimes);
  RunningProgram program(dir);
  ASSERT_NE(ListOf(program.MainWindow()), nullptr);
  Sleep(1000);
  EXPECT_TRUE(LastWrite(dir, kEntries) == entriesBefore);
  EXPECT_TRUE(LastWrite(dir, kTimes) == timesBefore);
  EXPECT_EQ(dir.Names().size(), 2u) << "no temporary or backup file either";
  // Truncated by another program: the list is written back.
  dir.Write(kEntries, "");
  EXPECT_TRUE(Holds(dir, kEntries, "a\r\nb\r\n", 1000));
}

TEST(EntryFiles, AnEditedEntryReachesTheFileAndTheTimesStayPaired) {
  ProgramDirectory dir;
  dir.Write(kEntries, Gbk(L"一\r\n二\r\n三\r\n"));
  dir.Write(kTimes, "t1\r\nt2\r\nt3\r\n");
  RunningProgram program(dir);
  HWND list = ListOf(program.MainWindow());
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(EditListItem(list, 1, L"改了"));
  EXPECT_TRUE(Holds(dir, kEntries, Gbk(L"一\r\n改了\r\n三\r\n")));
  EXPECT_EQ(dir.Read(kTimes), "t1\r\nt2\r\nt3\r\n") << "the k-th lines still pair up";
}

// A file that does not load exactly is copied aside, once, before it is first replaced.
void ExpectBackupTold(RunningProgram& program, const ProgramDirectory& dir, const std::wstring& backup,
                      const std::string& original) {
  HWND box = program.WaitForMessageBox();
  ASSERT_NE(box, nullptr) << "the user is told";
  EXPECT_NE(MessageBoxText(box).find(backup), std::wstring::npos) << "and where the original is kept";
  EXPECT_EQ(dir.Read(backup), original);
  AnswerMessageBox(box, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_EQ(program.WaitForMessageBox(500), nullptr) << "told once";
}

TEST(EntryFiles, BareLineFeedsLoadAsOneRowAndTheOriginalIsKept) {
  ProgramDirectory dir;
  dir.Write(kEntries, "one\ntwo\n");
  RunningProgram program(dir);
  HWND list = ListOf(program.MainWindow());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListColumn(list, 0), std::vector<std::wstring>{L"one\ntwo\n"});
  ExpectBackupTold(program, dir, L"bugaun.备份1.txt", "one\ntwo\n");
  EXPECT_TRUE(Holds(dir, kEntries, "one two \r\n"));
}

TEST(EntryFiles, ThreeTimesForTwoEntriesShowTwoAndTheThirdIsKeptAside) {
  ProgramDirectory dir;
  dir.Write(kEntries, "a\r\nb\r\n");
  dir.Write(kTimes, "t1\r\nt2\r\nt3\r\n");
  RunningProgram program(dir);
  HWND list = ListOf(program.MainWindow());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListColumn(list, 1), (std::vector<std::wstring>{L"t1", L"t2"}));
  ExpectBackupTold(program, dir, L"jilusjian.备份1.txt", "t1\r\nt2\r\nt3\r\n");
  EXPECT_TRUE(Holds(dir, kTimes, "t1\r\nt2\r\n"));
  EXPECT_EQ(dir.Read(kEntries), "a\r\nb\r\n");
}

TEST(EntryFiles, AZeroByteOrUtf8TextIsKeptAsABackupThatNeverOverwritesAnEarlierOne) {
  ProgramDirectory dir;
  const std::string withZero("a\r\n\0b\r\n", 7);
  dir.Write(kEntries, withZero);
  dir.Write(L"bugaun.备份1.txt", "an earlier backup");
  {
    RunningProgram program(dir);
    ASSERT_NE(program.MainWindow(), nullptr);
    ExpectBackupTold(program, dir, L"bugaun.备份2.txt", withZero);
    EXPECT_TRUE(Holds(dir, kEntries, "a\r\n"));
    PostMessageW(program.MainWindow(), WM_COMMAND, 20003, 0);
    ASSERT_EQ(program.WaitForExit(), 0u);
  }
  EXPECT_EQ(dir.Read(L"bugaun.备份1.txt"), "an earlier backup");
  // Saved as UTF-8 by another editor: "中" ends in a byte that GBK reads as a lead byte.
  const std::string utf8 = "\xe4\xb8\xad\r\n";
  dir.Write(kEntries, utf8);
  RunningProgram again(dir);
  ASSERT_NE(again.MainWindow(), nullptr);
  ExpectBackupTold(again, dir, L"bugaun.备份3.txt", utf8);
}

TEST(EntryFiles, AFileLockedAtStartIsBackedUpBeforeItIsReplaced) {
  ProgramDirectory dir;
  dir.Write(kEntries, "kept\r\n");
  HANDLE lock = CreateFileW(dir.File(kEntries).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  RunningProgram program(dir);
  HWND list = ListOf(program.MainWindow());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListItemCount(list), 0) << "could not be read";
  // Saving fails while the file stays locked, and after a while the user is told why.
  HWND box = program.WaitForMessageBox(8000);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find(L"“bugaun.txt”无法读取"), std::wstring::npos) << Gbk(MessageBoxText(box));
  AnswerMessageBox(box, IDOK);
  CloseHandle(lock);
  EXPECT_EQ(dir.Read(kEntries), "kept\r\n") << "not replaced while it could not be kept";
  // The backup notice names the copy.
  for (int i = 0; i < 2 && !HasBackup(dir, L"bugaun.备份1.txt"); ++i) {
    if (HWND told = program.WaitForMessageBox(4000)) AnswerMessageBox(told, IDOK);
  }
  EXPECT_TRUE(WaitUntil([&] { return dir.Read(L"bugaun.备份1.txt") == std::string("kept\r\n"); }));
  EXPECT_TRUE(Holds(dir, kEntries, ""));
}

TEST(EntryFiles, AFailingSaveIsToldOnceAndRetriedUntilItWorks) {
  ProgramDirectory dir;
  dir.Write(kEntries, "x\r\n");
  RunningProgram program(dir);
  ASSERT_NE(program.MainWindow(), nullptr);
  ASSERT_TRUE(Holds(dir, kTimes, "\r\n"));
  // A directory where the time file's temporary goes: every save fails from now on.
  ASSERT_TRUE(CreateDirectoryW(dir.File(L"jilusjian.txt.new").c_str(), nullptr));
  dir.Remove(kTimes);
  EXPECT_EQ(program.WaitForMessageBox(1500), nullptr) << "not told at the first failure";
  HWND box = program.WaitForMessageBox(5000);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find(L"保存"), std::wstring::npos) << WindowTitle(box);
  AnswerMessageBox(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_EQ(program.WaitForMessageBox(4000), nullptr) << "told once";
  EXPECT_FALSE(dir.Exists(kTimes));
  RemoveDirectoryW(dir.File(L"jilusjian.txt.new").c_str());
  EXPECT_TRUE(Holds(dir, kTimes, "\r\n")) << "kept trying";
}

TEST(EntryFiles, AStartFinishesOrUndoesAnInterruptedSaveAsOneStep) {
  {
    // Killed before the first replacement: the old pair stays.
    ProgramDirectory dir;
    dir.Write(kEntries, "old\r\n");
    dir.Write(kTimes, "old time\r\n");
    dir.Write(L"jilusjian.txt.new", "new time\r\nnew time 2\r\n");
    dir.Write(L"bugaun.txt.new", "new\r\nnew 2\r\n");
    RunningProgram program(dir);
    HWND list = ListOf(program.MainWindow());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ListColumn(list, 0), std::vector<std::wstring>{L"old"});
    EXPECT_EQ(ListColumn(list, 1), std::vector<std::wstring>{L"old time"});
    EXPECT_EQ(dir.Names().size(), 2u);
  }
  {
    // Killed between the replacements: the new time file is in place, the entry file follows.
    ProgramDirectory dir;
    dir.Write(kEntries, "old\r\n");
    dir.Write(kTimes, "new time\r\nnew time 2\r\n");
    dir.Write(L"bugaun.txt.new", "new\r\nnew 2\r\n");
    RunningProgram program(dir);
    HWND list = ListOf(program.MainWindow());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ListColumn(list, 0), (std::vector<std::wstring>{L"new", L"new 2"}));
    EXPECT_EQ(ListColumn(list, 1), (std::vector<std::wstring>{L"new time", L"new time 2"}));
    EXPECT_EQ(dir.Names().size(), 2u);
  }
}

}  // namespace
}  // namespace tl::e2e
