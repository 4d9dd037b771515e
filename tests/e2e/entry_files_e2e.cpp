// The entry files as a person's data: what a start shows from them, what the files hold after
// the program has saved, and that nothing the files held is ever lost or shifted: not by a
// crash in the middle of a save, a file another program changed or could not be read, a line
// break inside an entry, or a directory the program cannot write to.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "tests/e2e/driver.h"
#include "tests/e2e/main_window_fixture.h"

namespace tl::e2e {
namespace {

const std::wstring kEntries = L"bugaun.txt";
const std::wstring kTimes = L"jilusjian.txt";

HWND ListOf(HWND main) { return main ? FindChild(main, L"SysListView32") : nullptr; }

// The started program's list shows these entries in its first column and, when given, these
// times in its second; a list that is not there is a fatal failure.
void ExpectListShows(RunningProgram& program, const std::vector<std::wstring>& entries,
                     const std::optional<std::vector<std::wstring>>& times = std::nullopt) {
  HWND list = ListOf(program.MainWindow());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListColumn(list, 0), entries);
  if (times) {
    EXPECT_EQ(ListColumn(list, 1), *times);
  }
}

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

std::vector<std::wstring> SortedNames(const ProgramDirectory& dir) {
  std::vector<std::wstring> names = dir.Names();
  std::sort(names.begin(), names.end());
  return names;
}

// Another program (tests/e2e/file_holder.cpp) holding a file open with the sharing given
// ("none", "read" or "all"), after writing the text into it when one is given ("|" writes a line
// break). It lets go when released or at the end of the scope.
class FileHolder {
 public:
  FileHolder(const std::wstring& path, const std::wstring& sharing, const std::optional<std::wstring>& text = {}) {
    static int sequence = 0;
    const std::wstring events =
        L"tallyleaf-file-holder-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++sequence);
    held_ = CreateEventW(nullptr, TRUE, FALSE, (events + L".held").c_str());
    release_ = CreateEventW(nullptr, TRUE, FALSE, (events + L".release").c_str());
    std::wstring command = L"\"" + std::wstring(FILE_HOLDER_EXE) + L"\" \"" + path + L"\" " + sharing + L" " + events;
    if (text) command += L" \"" + *text + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(FILE_HOLDER_EXE, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_)) {
      ADD_FAILURE() << "could not start file_holder.exe: error " << GetLastError();
      return;
    }
    HANDLE waits[] = {held_, process_.hProcess};
    holding_ = WaitForMultipleObjects(2, waits, FALSE, 10000) == WAIT_OBJECT_0;
  }
  ~FileHolder() {
    Release();
    CloseHandle(held_);
    CloseHandle(release_);
  }
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;

  bool holding() const { return holding_; }
  // Closes the file and waits for the holder to end; true when it held the file and ended well.
  bool Release() {
    if (!process_.hProcess) return false;
    SetEvent(release_);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 99);
    GetExitCodeProcess(process_.hProcess, &code);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = {};
    const bool held = holding_;
    holding_ = false;
    return held && code == 0;
  }

 private:
  HANDLE held_ = nullptr;
  HANDLE release_ = nullptr;
  PROCESS_INFORMATION process_{};
  bool holding_ = false;
};

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
  ASSERT_NO_FATAL_FAILURE(ExpectListShows(program, {L"写PPt", L"买菜 [提醒]交电费"},
                                          std::vector<std::wstring>{L"2019年5月3日9时5分", L"2019年5月3日"}));
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
  ASSERT_NO_FATAL_FAILURE(ExpectListShows(program, {L"first", L"", L"last"}));
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
  ASSERT_NO_FATAL_FAILURE(ExpectListShows(program, {L"one\ntwo\n"}));
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

// Held by another program that shares nothing: nothing loads and the user is told once. While
// the list stays untouched nothing is written over the pair, and once the file can be read it
// loads as a start would, with the pair unchanged and no backup made.
TEST(EntryFiles, AFileHeldAtStartWithoutSharingLoadsOnceItCanBeRead) {
  ProgramDirectory dir;
  dir.Write(kEntries, Gbk(L"留着\r\nsecond\r\n"));
  dir.Write(kTimes, "t1\r\nt2\r\n");
  const FILETIME entriesBefore = LastWrite(dir, kEntries), timesBefore = LastWrite(dir, kTimes);
  FileHolder holder(dir.File(kEntries), L"none");
  ASSERT_TRUE(holder.holding());
  RunningProgram program(dir);
  HWND list = ListOf(program.MainWindow());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListItemCount(list), 0) << "could not be read";
  HWND box = program.WaitForMessageBox();
  ASSERT_NE(box, nullptr) << "the user is told";
  EXPECT_NE(MessageBoxText(box).find(L"“bugaun.txt”无法读取"), std::wstring::npos) << Gbk(MessageBoxText(box));
  AnswerMessageBox(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_EQ(program.WaitForMessageBox(1500), nullptr) << "told once";
  EXPECT_EQ(ListItemCount(list), 0);
  EXPECT_EQ(dir.Read(kTimes), "t1\r\nt2\r\n") << "the times that did load are not written without their entries";
  EXPECT_EQ(SortedNames(dir), (std::vector<std::wstring>{kEntries, kTimes})) << "no temporary, no backup";

  ASSERT_TRUE(holder.Release());
  EXPECT_TRUE(WaitUntil([&] { return ListColumn(list, 0) == std::vector<std::wstring>{L"留着", L"second"}; }))
      << "loaded once it could be read";
  EXPECT_EQ(ListColumn(list, 1), (std::vector<std::wstring>{L"t1", L"t2"}));
  EXPECT_EQ(program.WaitForMessageBox(1000), nullptr) << "it loaded whole: nothing more to tell";
  EXPECT_EQ(dir.Read(kEntries), Gbk(L"留着\r\nsecond\r\n"));
  EXPECT_EQ(dir.Read(kTimes), "t1\r\nt2\r\n");
  EXPECT_TRUE(LastWrite(dir, kEntries) == entriesBefore) << "not rewritten";
  EXPECT_TRUE(LastWrite(dir, kTimes) == timesBefore) << "not rewritten";
  EXPECT_EQ(SortedNames(dir), (std::vector<std::wstring>{kEntries, kTimes})) << "no backup";
}

// Held by another program that lets others read it (and write, and delete): it loads at once.
TEST(EntryFiles, AFileHeldAtStartWithSharingLoadsAtOnce) {
  for (const wchar_t* sharing : {L"read", L"all"}) {
    SCOPED_TRACE(Gbk(sharing));
    ProgramDirectory dir;
    dir.Write(kEntries, "a\r\nb\r\n");
    dir.Write(kTimes, "t1\r\nt2\r\n");
    FileHolder holder(dir.File(kEntries), sharing);
    ASSERT_TRUE(holder.holding());
    RunningProgram program(dir);
    ASSERT_NO_FATAL_FAILURE(ExpectListShows(program, {L"a", L"b"}, std::vector<std::wstring>{L"t1", L"t2"}));
    EXPECT_EQ(program.WaitForMessageBox(1500), nullptr) << "nothing to tell";
    EXPECT_EQ(dir.Read(kEntries), "a\r\nb\r\n");
    EXPECT_EQ(SortedNames(dir), (std::vector<std::wstring>{kEntries, kTimes}));
  }
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
  struct Interrupted {
    const char* killed;
    std::vector<std::pair<std::wstring, std::string>> files;
    std::vector<std::wstring> entries, times;
  };
  const Interrupted cases[] = {
      // The old pair stays.
      {"before the first replacement",
       {{kEntries, "old\r\n"}, {kTimes, "old time\r\n"}, {L"jilusjian.txt.new", "new time\r\nnew time 2\r\n"},
        {L"bugaun.txt.new", "new\r\nnew 2\r\n"}},
       {L"old"}, {L"old time"}},
      // The new time file is in place, the entry file follows.
      {"between the replacements",
       {{kEntries, "old\r\n"}, {kTimes, "new time\r\nnew time 2\r\n"}, {L"bugaun.txt.new", "new\r\nnew 2\r\n"}},
       {L"new", L"new 2"}, {L"new time", L"new time 2"}},
  };
  for (const Interrupted& save : cases) {
    SCOPED_TRACE(save.killed);
    ProgramDirectory dir;
    for (const auto& [name, content] : save.files) dir.Write(name, content);
    RunningProgram program(dir);
    ASSERT_NO_FATAL_FAILURE(ExpectListShows(program, save.entries, save.times));
    EXPECT_EQ(dir.Names().size(), 2u);
  }
}

// Written by another program while this one runs: what it wrote goes to the next free backup and
// the user is told, then the file holds the list again. A writer that keeps the file open with
// full sharing may delay the replacement (Wine cannot replace a file another process has open;
// Windows can) but changes nothing else.
TEST(EntryFiles, AFileAnotherProgramWritesWhileRunningIsKeptThenHoldsTheList) {
  ProgramDirectory dir;
  dir.Write(kEntries, "a\r\nb\r\n");
  dir.Write(kTimes, "t1\r\nt2\r\n");
  dir.Write(L"bugaun.备份1.txt", "an earlier backup");
  RunningProgram program(dir);
  HWND list = ListOf(program.MainWindow());
  ASSERT_NE(list, nullptr);
  dir.Write(kEntries, Gbk(L"别人写的\r\n"));
  ExpectBackupTold(program, dir, L"bugaun.备份2.txt", Gbk(L"别人写的\r\n"));
  EXPECT_TRUE(Holds(dir, kEntries, "a\r\nb\r\n"));
  EXPECT_EQ(dir.Read(kTimes), "t1\r\nt2\r\n");
  {
    FileHolder writer(dir.File(kEntries), L"all", L"third|line|");
    ASSERT_TRUE(writer.holding());
    ExpectBackupTold(program, dir, L"bugaun.备份3.txt", "third\r\nline\r\n");
  }
  EXPECT_TRUE(Holds(dir, kEntries, "a\r\nb\r\n"));
  EXPECT_EQ(dir.Read(kTimes), "t1\r\nt2\r\n");
  EXPECT_EQ(ListColumn(list, 0), (std::vector<std::wstring>{L"a", L"b"})) << "the list is not changed by it";
  EXPECT_EQ(dir.Read(L"bugaun.备份1.txt"), "an earlier backup");
  EXPECT_EQ(SortedNames(dir).size(), 5u) << "three backups and the pair, no temporary";
}

// Answers notices until the question whether to close anyway shows; that box, or null.
HWND WaitForCloseQuestion(const RunningProgram& program) {
  for (int shown = 0; shown < 3; ++shown) {
    HWND box = program.WaitForMessageBox(8000);
    if (!box || MessageBoxText(box).find(L"仍要关闭程序吗") != std::wstring::npos) return box;
    AnswerMessageBox(box, IDOK);
    WaitUntil([&] { return !IsWindow(box); });
  }
  return nullptr;
}

// 关闭程序 saves before it ends; when that save fails it asks, 否 keeps the program running and
// saving, 是 ends it anyway.
TEST(EntryFiles, ClosingWhileSavesFailAsksAndNoKeepsSaving) {
  ProgramDirectory dir;
  dir.Write(kEntries, "x\r\n");
  RunningProgram program(dir);
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(Holds(dir, kTimes, "\r\n"));
  const std::wstring blocker = dir.File(L"jilusjian.txt.new");
  // A directory where the time file's temporary goes makes every save fail.
  ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
  dir.Remove(kTimes);
  PostMessageW(main, WM_COMMAND, 20003, 0);
  HWND question = WaitForCloseQuestion(program);
  ASSERT_NE(question, nullptr) << "asked whether to close anyway";
  AnswerMessageBox(question, IDNO);
  EXPECT_EQ(program.WaitForExit(1500), STILL_ACTIVE) << "否 keeps it running";
  EXPECT_TRUE(IsWindow(main) && IsWindowVisible(main));
  // Still saving: the failures go on and are told, and once the fault is gone the files follow.
  HWND told = program.WaitForMessageBox(6000);
  ASSERT_NE(told, nullptr) << "the failing saves are told";
  EXPECT_NE(MessageBoxText(told).find(L"事件没有能够保存"), std::wstring::npos) << Gbk(MessageBoxText(told));
  ASSERT_TRUE(RemoveDirectoryW(blocker.c_str()));
  EXPECT_TRUE(Holds(dir, kTimes, "\r\n", 5000)) << "kept saving";
  AnswerMessageBox(told, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(told); }));

  ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
  dir.Remove(kTimes);
  PostMessageW(main, WM_COMMAND, 20003, 0);
  question = WaitForCloseQuestion(program);
  ASSERT_NE(question, nullptr) << "asked again while the fault is still there";
  AnswerMessageBox(question, IDYES);
  EXPECT_EQ(program.WaitForExit(), 0u) << "是 ends it";
  EXPECT_EQ(dir.Read(kEntries), "x\r\n") << "what was saved stays";
  RemoveDirectoryW(blocker.c_str());
}

// The pair on disk read the way a start reads it: a lone entry temporary is a replacement whose
// time file is already in place; with both temporaries no replacement has begun.
struct DiskPair {
  std::string entries, times;
  bool fromTemporary = false;
  friend bool operator==(const DiskPair&, const DiskPair&) = default;
};

// The four files, each missing or with its bytes; nothing when one could not be read.
std::optional<std::array<std::optional<std::string>, 4>> LookAtPair(const ProgramDirectory& dir) {
  std::array<std::optional<std::string>, 4> files;
  const std::wstring names[] = {kEntries, kTimes, L"bugaun.txt.new", L"jilusjian.txt.new"};
  for (size_t i = 0; i < files.size(); ++i) {
    const bool exists = GetFileAttributesW(dir.File(names[i]).c_str()) != INVALID_FILE_ATTRIBUTES;
    files[i] = dir.Read(names[i]);
    if (exists != files[i].has_value()) return std::nullopt;
  }
  return files;
}

// Whose view of the pair: a start's, which takes a lone entry temporary as the entry file, or
// that of any other program reading the two files (a backup, a sync tool), temporaries aside;
// both note a lone entry temporary.
enum class View { Start, Reader };

// Nothing while a save is moving the files (two looks in a row differ).
std::optional<DiskPair> PairOnDisk(const ProgramDirectory& dir, View view = View::Start) {
  const auto first = LookAtPair(dir), second = LookAtPair(dir);
  if (!first || first != second) return std::nullopt;
  const auto& [entries, times, entryTemporary, timeTemporary] = *first;
  const bool lone = entryTemporary && !timeTemporary;
  return DiskPair{lone && view == View::Start ? *entryTemporary : entries.value_or(""), times.value_or(""), lone};
}

// Looks at the pair every few milliseconds on a thread of its own, keeping each new sight.
class PairSampler {
 public:
  explicit PairSampler(const ProgramDirectory& dir, View view = View::Start)
      : thread_([this, &dir, view] {
          while (!stop_) {
            if (std::optional<DiskPair> pair = PairOnDisk(dir, view)) {
              const std::lock_guard lock(mutex_);
              if (samples_.empty() || !(samples_.back() == *pair)) samples_.push_back(*pair);
              ++looks_;
            }
            Sleep(5);
          }
        }) {}
  ~PairSampler() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::vector<DiskPair> samples() {
    const std::lock_guard lock(mutex_);
    return samples_;
  }
  int looks() {
    const std::lock_guard lock(mutex_);
    return looks_;
  }

 private:
  std::mutex mutex_;
  std::vector<DiskPair> samples_;
  int looks_ = 0;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

void PrintTo(const DiskPair& pair, std::ostream* out) {
  *out << "{entries \"" << pair.entries << "\", times \"" << pair.times << "\""
       << (pair.fromTemporary ? ", entries from bugaun.txt.new}" : "}");
}

constexpr int kDeleteItem = 2;

// The fixture's steps, open to the helpers that several tests share.
class EntryFilesAtWork : public MainWindowTest {
 public:
  void Begin(const std::vector<ListRow>& rows) { Start(rows); }
  const ProgramDirectory& directory() const { return directory_; }
  RunningProgram& program() { return MainWindowTest::program(); }
  std::vector<ListRow> ListRows() { return Rows(); }
  bool FilesHold(const std::vector<ListRow>& rows) { return MainWindowTest::FilesHold(rows); }
  void DeleteRow(int row) { ChooseFromListMenu(RowPoint(row), kDeleteItem); }
  // Adds a row with the add button and types its text; answers the rows after.
  std::vector<ListRow> AddRow(const std::wstring& text) {
    ExpandWindow();
    LeftClick(CentreOf(addButton_));
    if (!WaitUntil([&] { return InPlaceEdit() != nullptr; })) return {};
    TypeText(text);
    PressKey(VK_RETURN);
    WaitUntil([&] { return InPlaceEdit() == nullptr; });
    return Rows();
  }
};

// The entry file held by a program that lets others read (and write) but not delete it, as a
// sync tool does: saves cannot replace it, so nothing is replaced. Whatever moment the disk is
// looked at, by a start or by any reader of the two files, the pair is one the list had; the
// user is told after a few seconds, and after the release the files catch up with the list.
void EntryFilesHeldWithoutDeleteSharing(EntryFilesAtWork& test, const std::wstring& sharing) {
  const std::vector<ListRow> first = {{L"a", L"t1"}, {L"b", L"t2"}, {L"c", L"t3"}};
  ASSERT_NO_FATAL_FAILURE(test.Begin(first));
  std::vector<std::vector<ListRow>> states = {first};
  FileHolder holder(test.directory().File(kEntries), sharing);
  ASSERT_TRUE(holder.holding());
  PairSampler sampler(test.directory()), reader(test.directory(), View::Reader);

  test.DeleteRow(1);
  const std::vector<ListRow> deleted = {{L"a", L"t1"}, {L"c", L"t3"}};
  ASSERT_TRUE(WaitUntil([&] { return test.ListRows() == deleted; }));
  states.push_back(deleted);
  EXPECT_EQ(test.program().WaitForMessageBox(1500), nullptr) << "not told at the first failure";
  HWND box = test.program().WaitForMessageBox(6000);
  ASSERT_NE(box, nullptr) << "told that saving fails";
  const std::wstring told = MessageBoxText(box);
  EXPECT_NE(told.find(L"事件没有能够保存"), std::wstring::npos) << Gbk(told);
  EXPECT_NE(told.find(L"被其他程序占用"), std::wstring::npos) << "and why: " << Gbk(told);
  AnswerMessageBox(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));

  // An add after the delete brings the count back: new times beside old entries would show.
  const std::vector<ListRow> last = test.AddRow(L"新的 d");
  ASSERT_EQ(last.size(), 3u);
  EXPECT_EQ(last[2].text, L"新的 d");
  states.push_back(last);
  Pump(1000);
  EXPECT_EQ(test.directory().Read(kEntries), EntryFileTexts(first).first) << "not replaced while held";

  ASSERT_TRUE(holder.Release());
  EXPECT_TRUE(test.FilesHold(last)) << "caught up after the release";
  EXPECT_TRUE(WaitUntil([&] { return SortedNames(test.directory()).size() == 2u; })) << "no temporary left";
  sampler.Stop();
  reader.Stop();

  std::vector<DiskPair> allowed;
  for (const auto& rows : states) {
    const auto [texts, times] = EntryFileTexts(rows);
    allowed.push_back({texts, times});
  }
  const auto same = [](const DiskPair& a, const DiskPair& b) { return a.entries == b.entries && a.times == b.times; };
  for (PairSampler* view : {&sampler, &reader}) {
    EXPECT_GT(view->looks(), 100) << "the disk was looked at often";
    for (const DiskPair& sample : view->samples()) {
      // A reader that looks in the instant between the two replacements of the catch-up sees the
      // new times beside the old entries; a start would finish the replacement.
      if (view == &reader && sample.fromTemporary) continue;
      EXPECT_TRUE(std::any_of(allowed.begin(), allowed.end(), [&](const DiskPair& a) { return same(a, sample); }))
          << "a pair the list never had: " << ::testing::PrintToString(sample);
    }
  }
}

TEST_F(EntryFilesAtWork, AHeldEntryFileNeverLeavesAMixedPairAndCatchesUpAfterTheRelease) {
  EntryFilesHeldWithoutDeleteSharing(*this, L"read");
}

TEST_F(EntryFilesAtWork, AnEntryFileHeldAsASyncToolHoldsItShowsEveryReaderOnlyPairsTheListHad) {
  EntryFilesHeldWithoutDeleteSharing(*this, L"readwrite");
}

// Held without sharing at start, and the user adds a row before it can be read: the file is not
// replaced while it is held; once released, what it held goes to a backup, the user is told where,
// and only then does the file hold the list.
TEST_F(EntryFilesAtWork, AFileHeldAtStartAndChangedMeanwhileIsKeptBeforeItIsReplaced) {
  const std::string original = Gbk(L"原来的\r\n");
  directory_.Write(kEntries, original);
  std::optional<FileHolder> holder(std::in_place, directory_.File(kEntries), L"none");
  ASSERT_TRUE(holder->holding());
  program_.emplace(directory_);
  main_ = program().MainWindow();
  ASSERT_NE(main_, nullptr);
  list_ = FindChild(main_, L"SysListView32");
  addButton_ = FindChild(main_, L"Button", L"点击此处添加事件");
  ASSERT_TRUE(list_ && addButton_);
  HWND box = program().WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find(L"“bugaun.txt”无法读取"), std::wstring::npos) << Gbk(MessageBoxText(box));
  AnswerMessageBox(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));

  ExpandWindow();
  LeftClick(CentreOf(addButton_));
  ASSERT_TRUE(WaitUntil([&] { return ListItemCount(list_) == 1; })) << "a row is added";
  Pump(1000);
  EXPECT_FALSE(directory_.Exists(L"bugaun.备份1.txt")) << "it cannot be copied while held";
  ASSERT_TRUE(holder->Release());
  EXPECT_EQ(directory_.Read(kEntries), original) << "not replaced while it was held";

  // Every notice is answered; one of them names the backup.
  std::wstring told;
  const bool settled = WaitUntil(
      [&] {
        if (HWND notice = program().MessageBoxes().empty() ? nullptr : program().MessageBoxes().front()) {
          told += MessageBoxText(notice);
          AnswerMessageBox(notice, IDOK);
          WaitUntil([&] { return !IsWindow(notice); });
        }
        return told.find(L"bugaun.备份1.txt") != std::wstring::npos && ListItemCount(list_) == 1 &&
               directory_.Read(kEntries) == EntryFileTexts(Rows()).first;
      },
      10000);
  EXPECT_TRUE(settled) << "told where the file is kept, and the files follow the list: " << Gbk(told);
  EXPECT_EQ(directory_.Read(L"bugaun.备份1.txt"), original) << "what the file held is kept";
  EXPECT_EQ(directory_.Read(kTimes), EntryFileTexts(Rows()).second);
}

// 关闭程序 ends an open in-place edit as Enter would and saves what was typed before it ends.
TEST_F(EntryFilesAtWork, ClosingWithAnOpenEditSavesTheTypedText) {
  Start({{L"a", L"t1"}});
  LeftClick(CentreOf(addButton_));
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() != nullptr; }));
  const std::vector<ListRow> opened = Rows();
  ASSERT_EQ(opened.size(), 2u);
  TypeText(L"关前写的");
  ASSERT_TRUE(WaitUntil([&] { return InPlaceEdit() && ControlText(InPlaceEdit()) == L"关前写的"; }));
  PostMessageW(main_, WM_COMMAND, 20003, 0);
  EXPECT_EQ(program().WaitForExit(), 0u);
  EXPECT_EQ(directory_.Read(kEntries), Gbk(L"a\r\n关前写的\r\n")) << "the typed text, not the placeholder";
  EXPECT_EQ(directory_.Read(kTimes), "t1\r\n" + Gbk(opened[1].time) + "\r\n");
}

}  // namespace
}  // namespace tl::e2e
