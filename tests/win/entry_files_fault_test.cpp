// Every file call of every entry-file situation, failed in every way: the k-th call of the
// situation fails with a chosen error (and later calls go through), or the process stops there
// (no later call reaches the disk). Then the program starts again from what is on disk, as it
// would after a crash, and the pair must be a state the list had, never mixed, every file that
// held bytes the list did not must survive in a backup, and a change the user made must reach the
// disk once the fault is gone. Real files, real list view, in the program's own runtime.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/app_handlers.h"
#include "app/entry_files.h"
#include "app/program.h"
#include "commands/file_system.h"
#include "forms/ids.h"
#include "runtime/runtime.h"
#include "runtime/runtime_state.h"
#include "runtime/window_unit.h"
#include "tests/win/program_fixture.h"
#include "tests/win/temporary_directory.h"

namespace tl::app {
namespace {

enum class Fault { DiskFull, SharingViolation, AccessDenied, PathNotFound, Stop };
constexpr Fault kFaults[] = {Fault::DiskFull, Fault::SharingViolation, Fault::AccessDenied, Fault::PathNotFound,
                             Fault::Stop};
const char* Name(Fault f) {
  constexpr const char* names[] = {"disk full", "sharing violation", "access denied", "path not found", "stop"};
  return names[static_cast<int>(f)];
}
DWORD ErrorOf(Fault f) {
  constexpr DWORD codes[] = {ERROR_DISK_FULL, ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED, ERROR_PATH_NOT_FOUND,
                             ERROR_ACCESS_DENIED};
  return codes[static_cast<int>(f)];
}

// The file table the tests put in place: counts every call and fails the chosen one.
struct Injector {
  int calls = 0;
  int failAt = 0;  // 0: none
  Fault fault = Fault::DiskFull;
  bool stopped = false;

  // True when this call is to fail.
  bool Hit() {
    ++calls;
    if (stopped) return true;
    if (calls != failAt) return false;
    stopped = fault == Fault::Stop;
    SetLastError(ErrorOf(fault));
    return true;
  }
};
Injector injector;

const cmd::FileSystem kInjecting{
    [](const wchar_t* name, DWORD access, DWORD share, DWORD disposition) {
      return injector.Hit() ? INVALID_HANDLE_VALUE : cmd::RealFiles().open(name, access, share, disposition);
    },
    [](HANDLE file, void* bytes, DWORD count, DWORD* done) -> BOOL {
      *done = 0;
      return !injector.Hit() && cmd::RealFiles().read(file, bytes, count, done);
    },
    [](HANDLE file, const void* bytes, DWORD count, DWORD* done) -> BOOL {
      *done = 0;
      if (!injector.Hit()) return cmd::RealFiles().write(file, bytes, count, done);
      // A full disk takes the first half before it refuses the rest.
      if (!injector.stopped && injector.fault == Fault::DiskFull && count > 1) {
        cmd::RealFiles().write(file, bytes, count / 2, done);
        SetLastError(ERROR_DISK_FULL);
      }
      return FALSE;
    },
    [](HANDLE file) -> BOOL { return !injector.Hit() && cmd::RealFiles().flush(file); },
    [](const wchar_t* source, const wchar_t* target) -> BOOL {
      return !injector.Hit() && cmd::RealFiles().replace(source, target);
    },
    [](const wchar_t* name) -> BOOL { return !injector.Hit() && cmd::RealFiles().remove(name); },
    [](const wchar_t* name, WIN32_FILE_ATTRIBUTE_DATA* data) -> BOOL {
      return !injector.Hit() && cmd::RealFiles().attributes(name, data);
    },
};

// ---- files on disk, read and written without the seam ---------------------------------------

std::wstring Wide(const std::string& gbk) {
  std::wstring out(gbk.size() + 1, L'\0');
  const int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), out.data(),
                                    static_cast<int>(out.size()));
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

std::optional<std::string> Contents(const std::string& name) {
  HANDLE file = CreateFileW(Wide(name).c_str(), GENERIC_READ, cmd::kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

void Put(const std::string& name, const std::string& bytes) {
  HANDLE file = CreateFileW(Wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// Every file in the current directory, by name.
std::vector<std::string> Listing() {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(L"*", &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    char name[MAX_PATH * 2];
    const int n = WideCharToMultiByte(936, 0, found.cFileName, -1, name, sizeof name, nullptr, nullptr);
    if (n > 0) names.emplace_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// ---- the list's states ----------------------------------------------------------------------

struct Row {
  std::string text, time;
};
using Rows = std::vector<Row>;

// The pair a save of these rows writes: entries, then times.
std::pair<std::string, std::string> PairOf(const Rows& rows) {
  std::string entries, times;
  for (const Row& r : rows) {
    entries += r.text + "\r\n";
    times += r.time + "\r\n";
  }
  return {entries, times};
}

const ListUnit kList(ids::EntryList);

Rows ListRows() {
  Rows rows;
  for (int32_t r = 0; r < kList.ItemCount(); ++r) {
    rows.push_back({std::string(kList.ItemText(r, 0).view()), std::string(kList.ItemText(r, 1).view())});
  }
  return rows;
}

void ClearList() {
  for (int32_t r = kList.ItemCount() - 1; r >= 0; --r) kList.DeleteItem(r);
}

const Rows kThree = {{"买菜", "2026年1月1日8时0分0秒"}, {"写PPt", "2026年1月2日9时30分0秒"}, {"[提醒]交电费", ""}};

// ---- situations ----------------------------------------------------------------------------

// What a situation starts from and does. `start` lays the disk out with the real file calls;
// `act` is what runs under injection, against the program that `start` left running.
struct Situation {
  const char* name;
  std::function<void()> start;
  // Answers true when it reported the list saved.
  std::function<bool(EntryFiles&)> act;
  // Bytes another program wrote, or that did not load exactly: they must survive somewhere.
  std::vector<std::string> mustSurvive;
  // For a start: the lists the disk may hold and a start may load. Other situations start from a
  // list that was saved, and may hold it or the list the act left.
  std::vector<Rows> states;
};

void PutPair(const Rows& rows) {
  const auto [entries, times] = PairOf(rows);
  Put(kEntryFile, entries);
  Put(kTimeFile, times);
}

// A second apart, so that every tick looks at the files.
void Tick(EntryFiles& files, double& now) { files.Tick(kList, now += 1); }

// A running program whose list holds `rows`, saved and settled.
EntryFiles* running = nullptr;
double clock = 1000;

void StartRunning(const Rows& rows) {
  PutPair(rows);
  running->Load(kList);
  Tick(*running, clock);
}

std::vector<Situation> Situations() {
  const Rows added = [] {
    Rows r = kThree;
    r.push_back({"新的事件", "2026年3月3日10时0分0秒"});
    return r;
  }();
  auto startThen = [](const Rows& rows, std::function<void()> change) {
    return Situation{"", [rows] { StartRunning(rows); },
                     [change](EntryFiles& files) {
                       change();
                       Tick(files, clock);
                       return false;
                     },
                     {},
                     {}};
  };
  std::vector<Situation> all;
  auto add = [&](const char* name, Situation s) {
    s.name = name;
    all.push_back(std::move(s));
  };
  auto startAndLoad = [](EntryFiles& files) {
    RecoverInterruptedSave();
    files.Load(kList);
    Tick(files, clock);
    return false;
  };
  auto tick = [](EntryFiles& files) {
    Tick(files, clock);
    return false;
  };
  add("first start", {"", [] {}, startAndLoad, {}, {{}}});
  add("start beside a time temporary",
      {"", [] {
         PutPair(kThree);
         Put(TemporaryName(kTimeFile), "half a time fi");
       },
       startAndLoad, {}, {kThree}});
  add("start beside both temporaries",
      {"", [] {
         PutPair(kThree);
         const auto [entries, times] = PairOf({kThree[0]});
         Put(TemporaryName(kTimeFile), times);
         Put(TemporaryName(kEntryFile), entries);
       },
       startAndLoad, {}, {kThree}});
  add("start beside an entry temporary",
      {"", [added] {
         PutPair(kThree);
         const auto [entries, times] = PairOf(added);
         Put(kTimeFile, times);
         Put(TemporaryName(kEntryFile), entries);
       },
       startAndLoad, {}, {added}});
  add("save after an add", startThen(kThree, [] {
        const int32_t row = kList.InsertItem(std::nullopt, "新的事件");
        kList.SetItemText(row, 1, "2026年3月3日10时0分0秒");
      }));
  add("save after an edit", startThen(kThree, [] { kList.SetItemText(1, 0, "写PPt，周五前"); }));
  add("save after a delete", startThen(kThree, [] { kList.DeleteItem(0); }));
  add("save after an insert", startThen(kThree, [] {
        kList.InsertItem(0, "插在最前");
        kList.SetItemText(0, 1, "2026年3月4日7时0分0秒");
      }));
  add("save after a delete and an add", startThen(kThree, [] {
        kList.DeleteItem(0);
        const int32_t row = kList.InsertItem(std::nullopt, "补上一条");
        kList.SetItemText(row, 1, "2026年3月5日7时0分0秒");
      }));
  const std::string invalid = "a\x81\x20" "b\r\nok\r\n";
  add("first save over a file that did not load exactly",
      {"", [invalid] {
         Put(kEntryFile, invalid);
         Put(kTimeFile, "t\r\n");
         running->Load(kList);
       },
       [](EntryFiles& files) {
         kList.SetItemText(1, 0, "ok, changed");
         Tick(files, clock);
         return false;
       },
       {invalid},
       {}});
  const std::string foreign = "别的程序写的\r\n";
  add("a file changed by another program",
      {"", [foreign] {
         StartRunning(kThree);
         Sleep(20);  // a later write time than the program's own save
         Put(kEntryFile, foreign);
       },
       tick, {foreign}, {}});
  add("the last save before the end", {"", [] { StartRunning(kThree); },
                                       [](EntryFiles& files) {
                                         kList.SetItemText(2, 0, "改过的");
                                         return files.SaveNow(kList, clock += 0.01);
                                       },
                                       {},
                                       {}});
  return all;
}

// ---- the run -------------------------------------------------------------------------------

class EntryFileFaults : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::LoadApplication();
    test::LoadWindowOrFail(ids::MainWindow.window);
    if (::testing::Test::HasFatalFailure()) return;
    // Nothing here is looked at: a hidden window spares every row change its painting.
    ShowWindow(LoadedWindow(*FindWindowDefinition(ids::MainWindow.window))->hwnd(), SW_HIDE);
    root_ = test::MakeTemporaryDirectory(L"tl_faults_");
  }
  static void TearDownTestSuite() { test::RemoveTemporaryDirectory(root_); }

  // A fresh, empty directory and a fresh program.
  void Begin() {
    cmd::UseFiles(nullptr);
    ClearList();
    SetCurrentDirectoryW(root_.c_str());
    for (const std::string& name : Listing()) DeleteFileW(Wide(name).c_str());
    program_.emplace();
    running = &*program_;
  }

  // Runs the situation's act with the k-th call failing; answers the calls the act made.
  int Act(const Situation& s, int failAt, Fault fault) {
    Begin();
    s.start();
    before_ = DiskPair();
    beforeRows_ = ListRows();
    injector = Injector{0, failAt, fault, false};
    cmd::UseFiles(&kInjecting);
    claimedSaved_ = s.act(*program_);
    afterRows_ = ListRows();
    const int calls = injector.calls;
    cmd::UseFiles(nullptr);
    return calls;
  }

  // The pair on disk as a start reads it: a replacement a crash left unfinished counts as done.
  static std::string DiskPair() {
    const std::optional<std::string> pending = Contents(TemporaryName(kEntryFile));
    const bool entryPending = pending && !Contents(TemporaryName(kTimeFile));
    return (entryPending ? *pending : Contents(kEntryFile).value_or("")) + "|" + Contents(kTimeFile).value_or("");
  }
  static std::string PairText(const Rows& rows) {
    const auto [entries, times] = PairOf(rows);
    return entries + "|" + times;
  }

  // Records a broken promise of this run; the first few are shown at the end.
  void Expect(bool holds, const std::string& what) {
    if (holds) return;
    if (!violated_) ++violations_;
    violated_ = true;
    if (problems_.size() < 5) problems_.push_back(where_ + ": " + what);
  }

  // The checks after one run: the pair on disk, a restart from it, and the bytes to keep.
  void Check(const Situation& s, int point, Fault fault) {
    where_ = std::string(s.name) + ", call " + std::to_string(point) + ", " + Name(fault);
    violated_ = false;
    std::set<std::string> states;
    for (const Rows& rows : s.states) states.insert(PairText(rows));
    if (s.states.empty()) states = {before_, PairText(beforeRows_), PairText(afterRows_)};
    const bool stopped = fault == Fault::Stop;
    const std::string disk = DiskPair();
    Expect(states.count(disk) == 1, "the pair on disk is no state the list had:\n" + disk);
    Expect(!claimedSaved_ || disk == PairText(afterRows_), "a save reported success that is not on disk");
    if (!stopped) {
      // The fault is gone: the next ticks catch up.
      for (int i = 0; i < 3; ++i) Tick(*program_, clock);
      const Rows settled = ListRows();
      Expect(states.count(PairText(settled)) == 1, "the running list is no state the files had");
      Expect(DiskPair() == PairText(settled), "the list did not reach the disk");
    }
    // A new start from what is on disk.
    ClearList();
    program_.emplace();
    RecoverInterruptedSave();
    program_->Load(kList);
    const std::string loaded = PairText(ListRows());
    // A pair the list wrote loads as those rows; the pair found at the start loads as it did then.
    Expect(loaded == DiskPair() || (disk == before_ && s.states.empty()), "a restart loaded other rows than the disk holds");
    Tick(*program_, clock);
    Expect(Contents(kEntryFile).value_or("") + "|" + Contents(kTimeFile).value_or("") == loaded,
           "the restarted program's first save left the pair behind its list");
    for (const std::string& bytes : s.mustSurvive) {
      bool kept = false;
      for (const std::string& name : Listing()) kept = kept || Contents(name) == bytes;
      Expect(kept, "bytes the list did not hold are gone");
    }
    ++runs_;
  }

  static std::wstring root_;
  std::optional<EntryFiles> program_;
  std::string before_;
  Rows beforeRows_, afterRows_;
  bool claimedSaved_ = false;
  std::string where_;
  bool violated_ = false;
  int runs_ = 0, violations_ = 0;
  std::vector<std::string> problems_;
};
std::wstring EntryFileFaults::root_;

TEST_F(EntryFileFaults, EveryCallOfEverySituationFailsInEveryWayAndNothingIsLostOrMixed) {
  const std::vector<Situation> situations = Situations();
  int points = 0;
  for (const Situation& s : situations) {
    const int calls = Act(s, 0, Fault::DiskFull);
    ASSERT_GT(calls, 0) << s.name;
    Check(s, 0, Fault::DiskFull);
    ASSERT_FALSE(violated_) << "without a fault: " << problems_.back();
    for (int k = 1; k <= calls; ++k) {
      for (Fault fault : kFaults) {
        Act(s, k, fault);
        Check(s, k, fault);
      }
    }
    points += calls;
  }
  std::printf("fault test: %zu situations, %d points, %zu kinds, %d runs, %d violations\n", situations.size(),
              points, std::size(kFaults), runs_, violations_);
  std::string shown;
  for (const std::string& p : problems_) shown += "\n" + p;
  EXPECT_EQ(violations_, 0) << shown;
}

// A file far larger than any list is not loaded, and survives whole as a backup the user is told of
// before the (empty) list replaces it.
TEST_F(EntryFileFaults, AFileTooLargeToLoadIsKeptWholeBeforeItIsReplaced) {
  Begin();
  const LONGLONG size = kLargestLoadedFile + 4096;
  HANDLE file = CreateFileW(Wide(kEntryFile).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end{};
  end.QuadPart = size - 6;
  SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
  DWORD written = 0;
  WriteFile(file, "tail\r\n", 6, &written, nullptr);
  CloseHandle(file);
  program_->Load(kList);
  EXPECT_EQ(kList.ItemCount(), 0);
  Tick(*program_, clock);
  const std::optional<std::string> backup = Contents(BackupName(kEntryFile, 1));
  ASSERT_TRUE(backup.has_value());
  EXPECT_EQ(static_cast<LONGLONG>(backup->size()), size);
  EXPECT_TRUE(backup->ends_with("tail\r\n"));
  EXPECT_EQ(Contents(kEntryFile), "");
  const std::vector<std::string> notices = program_->TakeNotices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("bugaun.备份1.txt"), std::string::npos) << notices[0];
}

// A start makes the save's lines of the files' own texts instead of reading the rows back: whatever
// the files held, the first save after an edit and an add writes the lines that reading every row
// of the list gives.
TEST_F(EntryFileFaults, AStartsLinesAreTheLinesItsRowsGive) {
  using namespace std::string_literals;
  const std::pair<std::string, std::string> pairs[] = {
      {"买菜\r\n写PPt\r\n交电费\r\n", "t1\r\nt2\r\nt3\r\n"},
      {"a\r\nb", "t1\r\nt2"},                         // last lines without their line end
      {"a\nb\r\nc\rd\r\ne\r\n", "t1\r\n\r\nt3\r\n"},  // lone breaks inside entries, an empty time
      {"a\r\nb\0c\r\nd\r\n"s, "t1\r\n"},               // a zero byte ends the text; fewer times than rows
      {"a\x81\r\nb\r\nc\r\nd\r\n", "t1\r\nt2\r\nt3\r\nt4\r\nt5\r\n"},  // a lead byte takes the CR; more times
      {"\r\n\r\nx\r\n\x81", ""},                      // empty lines, a lead byte at the very end
  };
  for (const auto& [entries, times] : pairs) {
    Begin();
    Put(kEntryFile, entries);
    Put(kTimeFile, times);
    program_->Load(kList);
    const int32_t rows = kList.ItemCount();
    ASSERT_GE(rows, 2) << entries;
    kList.SetItemText(rows / 2, 0, "改过的");
    const int32_t added = kList.InsertItem(std::nullopt, "新的事件");
    kList.SetItemText(added, 1, "2026年3月3日10时0分0秒");
    ASSERT_TRUE(program_->SaveNow(kList, clock += 1)) << entries;
    const OwnedByteSet rowTexts = kList.RowTexts();
    EntryLines read;
    read.Build({reinterpret_cast<const char*>(rowTexts.bytes().data()), rowTexts.bytes().size()});
    EXPECT_EQ(Contents(kEntryFile), read.column(0)) << entries;
    EXPECT_EQ(Contents(kTimeFile), read.column(1)) << entries;
  }
}

}  // namespace
}  // namespace tl::app
