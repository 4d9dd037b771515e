// Every file call of every entry-file situation, failed in every way: the k-th call of the
// situation fails with a chosen error (and later calls go through), or the process stops there
// (no later call reaches the disk). Then the program starts again from what is on disk, as it
// would after a crash, and the pair must be a state the list had, never mixed, every file that
// held bytes the list did not must survive in a backup, and a change the user made must reach the
// disk once the fault is gone. Real files, real list view, in the program's own runtime.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cstdio>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/app_handlers.h"
#include "app/entry_files.h"
#include "app/kept_reminders.h"
#include "app/reminder_file.h"
#include "app/program.h"
#include "commands/file_system.h"
#include "commands/instance.h"
#include "forms/ids.h"
#include "runtime/window_map.h"
#include "runtime/window_unit.h"
#include "tests/win/program_fixture.h"
#include "tests/win/temporary_directory.h"

namespace tl::app {
namespace {

// How a chosen call goes wrong: it fails with an error (for one call, three, or every call
// until the fault is released), the process stops there (no later call reaches the disk), the
// call takes effect but reports failure (a network share whose reply was lost), a look says
// "not found" for a name that is there, or another program writes one of the two files just
// before it.
enum class Effect { Fails, Stops, TakesEffectButFails, SaysNotFound, AnotherProgramWrites };
constexpr int kUntilReleased = 1 << 30;
struct Fault {
  const char* name;
  Effect effect;
  DWORD error = ERROR_SUCCESS;
  int lasts = 1;  // calls
  const char* file = nullptr;  // what another program writes
  bool writesOnly = false;     // only writes fail, as on a full disk that still answers looks
};
const Fault kFaults[] = {
    {"disk full", Effect::Fails, ERROR_DISK_FULL},
    {"sharing violation", Effect::Fails, ERROR_SHARING_VIOLATION},
    {"access denied", Effect::Fails, ERROR_ACCESS_DENIED},
    {"path not found", Effect::Fails, ERROR_PATH_NOT_FOUND},
    {"stop", Effect::Stops, ERROR_ACCESS_DENIED, kUntilReleased},
    {"sharing violation for 3 calls", Effect::Fails, ERROR_SHARING_VIOLATION, 3},
    {"disk full until released", Effect::Fails, ERROR_DISK_FULL, kUntilReleased},
    {"done but reported failed", Effect::TakesEffectButFails, ERROR_NETNAME_DELETED},
    {"not found although there", Effect::SaysNotFound, ERROR_FILE_NOT_FOUND},
    {"another program writes the entry file", Effect::AnotherProgramWrites, ERROR_SUCCESS, 1, kEntryFile},
    {"another program writes the time file", Effect::AnotherProgramWrites, ERROR_SUCCESS, 1, kTimeFile},
};
const Fault kStopped = {"stopped", Effect::Stops, ERROR_ACCESS_DENIED, kUntilReleased};
const Fault kSecondFault = {"and a full disk later", Effect::Fails, ERROR_DISK_FULL};

enum class Kind { Open, Read, Write, Flush, Close, Size, Identify, Replace, Remove, Attributes, NameObject, SetDirectory };
struct CallMade {
  Kind kind;
  std::wstring name;  // the file named, or the replacement's target; empty for a handle
};

// Whether a fault can hit a call of this kind: a lie only fits the calls that can tell it.
bool Fits(const Fault& fault, const CallMade& call) {
  switch (fault.effect) {
    case Effect::TakesEffectButFails: return call.kind == Kind::Replace || call.kind == Kind::Remove;
    case Effect::SaysNotFound: return call.kind == Kind::Attributes;
    default: return true;
  }
}

std::wstring Wide(const std::string& gbk);

// Writes a file the way another program does, sharing it with every other; false when it could
// not be opened.
bool WriteAsAnotherProgram(const std::string& name, const std::string& bytes) {
  HANDLE file = CreateFileW(Wide(name).c_str(), GENERIC_WRITE, cmd::kShareAll, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return written == bytes.size();
}

// What another program writes before the given call: a length no save of the list gives.
std::string ForeignBytes(int call) { return "别的程序在第" + std::to_string(call) + "次调用前写的，长一些\r\n"; }

// The file table the tests put in place: counts and records every call, and makes the planned
// faults happen.
struct Injector {
  struct Planned {
    int at;
    const Fault* fault;
  };
  int calls = 0;
  std::vector<Planned> planned;
  bool stopped = false;
  bool released = false;
  bool foreignWritten = false;
  std::vector<CallMade> made;

  // The fault that hits this call, if any; another program's write happens first.
  const Fault* Hit(Kind kind, const wchar_t* name) {
    ++calls;
    made.push_back({kind, name ? name : L""});
    if (stopped) return &kStopped;
    for (const Planned& p : planned) {
      const bool within = calls >= p.at && calls - p.at < p.fault->lasts && !released;
      if (!within || (p.fault->writesOnly && kind != Kind::Write)) continue;
      if (p.fault->effect == Effect::AnotherProgramWrites) {
        foreignWritten = WriteAsAnotherProgram(p.fault->file, ForeignBytes(calls));
        continue;
      }
      stopped = p.fault->effect == Effect::Stops;
      SetLastError(p.fault->error);
      return p.fault;
    }
    return nullptr;
  }
  bool Lies(const Fault* f, Effect effect) const { return f && f->effect == effect && !stopped; }
};
Injector injector;

const cmd::FileSystem kInjecting{
    [](const wchar_t* name, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
      return injector.Hit(Kind::Open, name) ? INVALID_HANDLE_VALUE
                                            : cmd::RealFiles().open(name, access, share, disposition, flags);
    },
    [](HANDLE file, void* bytes, DWORD count, DWORD* done) -> BOOL {
      *done = 0;
      return !injector.Hit(Kind::Read, nullptr) && cmd::RealFiles().read(file, bytes, count, done);
    },
    [](HANDLE file, const void* bytes, DWORD count, DWORD* done) -> BOOL {
      *done = 0;
      const Fault* f = injector.Hit(Kind::Write, nullptr);
      if (!f) return cmd::RealFiles().write(file, bytes, count, done);
      // A full disk takes the first half before it refuses the rest.
      if (!injector.stopped && f->error == ERROR_DISK_FULL && count > 1) {
        cmd::RealFiles().write(file, bytes, count / 2, done);
        SetLastError(ERROR_DISK_FULL);
      }
      return FALSE;
    },
    [](HANDLE file) -> BOOL { return !injector.Hit(Kind::Flush, nullptr) && cmd::RealFiles().flush(file); },
    // The handle goes whatever the fault, as it does when a process ends.
    [](HANDLE file) -> BOOL {
      const Fault* f = injector.Hit(Kind::Close, nullptr);
      cmd::RealFiles().close(file);
      if (f) SetLastError(f->error);
      return !f;
    },
    [](HANDLE file, LARGE_INTEGER* size) -> BOOL {
      return !injector.Hit(Kind::Size, nullptr) && cmd::RealFiles().size(file, size);
    },
    [](HANDLE file, BY_HANDLE_FILE_INFORMATION* info) -> BOOL {
      return !injector.Hit(Kind::Identify, nullptr) && cmd::RealFiles().identify(file, info);
    },
    [](const wchar_t* source, const wchar_t* target) -> BOOL {
      const Fault* f = injector.Hit(Kind::Replace, target);
      if (!f) return cmd::RealFiles().replace(source, target);
      if (injector.Lies(f, Effect::TakesEffectButFails)) cmd::RealFiles().replace(source, target);
      SetLastError(f->error);
      return FALSE;
    },
    [](const wchar_t* name) -> BOOL {
      const Fault* f = injector.Hit(Kind::Remove, name);
      if (!f) return cmd::RealFiles().remove(name);
      if (injector.Lies(f, Effect::TakesEffectButFails)) cmd::RealFiles().remove(name);
      SetLastError(f->error);
      return FALSE;
    },
    [](const wchar_t* name, WIN32_FILE_ATTRIBUTE_DATA* data) -> BOOL {
      const Fault* f = injector.Hit(Kind::Attributes, name);
      if (!f) return cmd::RealFiles().attributes(name, data);
      SetLastError(f->error);
      return FALSE;
    },
    [](const wchar_t* name) -> HANDLE {
      return injector.Hit(Kind::NameObject, name) ? nullptr : cmd::RealFiles().nameObject(name);
    },
    [](const wchar_t* name) -> BOOL {
      return !injector.Hit(Kind::SetDirectory, name) && cmd::RealFiles().setDirectory(name);
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

std::string Hex(const std::string& bytes) {
  std::string out;
  char digits[4];
  for (unsigned char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02x ", c);
    out += digits;
  }
  return out;
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
    files.Recover();
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
  const std::string edited = "关着程序时在编辑器里改的\r\n";
  add("start beside an entry temporary older than the entry file",
      {"", [added, edited] {
         PutPair(kThree);
         const auto [entries, times] = PairOf(added);
         Put(kTimeFile, times);
         Put(TemporaryName(kEntryFile), entries);
         Sleep(20);  // edited after the save that could not finish
         Put(kEntryFile, edited);
       },
       startAndLoad, {edited}, {added}});
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

  // Runs the situation's act with the planned faults; answers the calls the act made. A fault
  // that lasts until released is released once the act is over.
  int Act(const Situation& s, std::vector<Injector::Planned> plan) {
    Begin();
    s.start();
    before_ = DiskPair();
    beforeRows_ = ListRows();
    injector = Injector{};
    injector.planned = std::move(plan);
    cmd::UseFiles(&kInjecting);
    claimedSaved_ = s.act(*program_);
    afterRows_ = ListRows();
    injector.released = true;
    const int calls = injector.calls;
    if (injector.stopped) cmd::UseFiles(nullptr);
    return calls;
  }

  // The pair on disk as a start reads it: a replacement a crash left unfinished counts as done.
  static std::string DiskPair() {
    const std::optional<std::string> pending = Contents(TemporaryName(kEntryFile));
    const bool entryPending = pending && !Contents(TemporaryName(kTimeFile));
    return (entryPending ? *pending : Contents(kEntryFile).value_or("")) + "|" + Contents(kTimeFile).value_or("");
  }
  // The two files as any other program reads them (a backup, a sync tool), temporaries aside.
  static std::string ReaderPair() {
    return Contents(kEntryFile).value_or("") + "|" + Contents(kTimeFile).value_or("");
  }
  static bool ReplacementPending() {
    return Contents(TemporaryName(kEntryFile)) && !Contents(TemporaryName(kTimeFile));
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
    const std::string kind = what.substr(0, what.find('\n'));
    if (kinds_.insert(kind).second) problems_.push_back(where_ + ": " + what);
  }

  // The checks after one run: the pair on disk as a start and as any reader sees it, the catch-up
  // once the fault is gone, a restart from the disk, and the bytes to keep.
  void Check(const Situation& s, const std::string& where, const std::vector<std::string>& foreign) {
    where_ = where;
    violated_ = false;
    std::set<std::string> states;
    for (const Rows& rows : s.states) states.insert(PairText(rows));
    if (s.states.empty()) states = {before_, PairText(beforeRows_), PairText(afterRows_)};
    const bool stopped = injector.stopped;
    // Another program's bytes stand in for one file until the program has kept them.
    if (foreign.empty()) {
      const std::string disk = DiskPair();
      Expect(states.count(disk) == 1, "the pair on disk is no state the list had:\n" + disk);
      Expect(!claimedSaved_ || disk == PairText(afterRows_), "a save reported success that is not on disk");
      // Only a replacement left between its two steps shows a reader times of another state.
      if (ReplacementPending()) {
        ++readerSawPending_;
      } else {
        Expect(states.count(ReaderPair()) == 1, "a reader of the two files sees a pair the list never had:\n" + ReaderPair());
      }
    }
    cmd::UseFiles(nullptr);
    if (!stopped) {
      // The fault is gone: the next ticks catch up.
      for (int i = 0; i < 3; ++i) Tick(*program_, clock);
      const Rows settled = ListRows();
      // A start may have loaded what another program wrote.
      Expect(states.count(PairText(settled)) == 1 || !foreign.empty(), "the running list is no state the files had");
      Expect(DiskPair() == PairText(settled), "the list did not reach the disk");
      Expect(ReaderPair() == PairText(settled), "a reader does not see the list once the fault is gone");
    }
    // A new start from what is on disk.
    ClearList();
    program_.emplace();
    program_->Recover();
    program_->Load(kList);
    const std::string loaded = PairText(ListRows());
    // A pair the list wrote loads as those rows; the pair found at the start loads as it did then.
    Expect(loaded == DiskPair() || (DiskPair() == before_ && s.states.empty()) || !foreign.empty(),
           "a restart loaded other rows than the disk holds");
    Tick(*program_, clock);
    Expect(ReaderPair() == PairText(ListRows()),
           "the restarted program's first save left the pair behind its list:\n" + Hex(ReaderPair()) + "\nlist:\n" +
               Hex(PairText(ListRows())));
    // Another program's write may itself have destroyed what the situation held: then only its
    // own bytes are owed.
    std::vector<std::string> kept = foreign.empty() ? s.mustSurvive : foreign;
    for (const std::string& bytes : kept) {
      bool found = false;
      for (const std::string& name : Listing()) {
        found = found || (!name.ends_with(".new") && Contents(name).value_or("").find(bytes) != std::string::npos);
      }
      Expect(found, "bytes the list did not hold are not in a file or backup");
    }
    ++runs_;
  }

  // Runs and checks the situation with the plan; a point another program's write cannot be
  // guarded at is counted and left out.
  void Try(const Situation& s, std::vector<Injector::Planned> plan, const std::string& where) {
    Act(s, plan);
    std::vector<std::string> foreign;
    for (const Injector::Planned& p : plan) {
      if (p.fault->effect == Effect::AnotherProgramWrites && injector.foreignWritten) foreign.push_back(ForeignBytes(p.at));
    }
    Check(s, where, foreign);
  }

  static std::wstring root_;
  std::optional<EntryFiles> program_;
  std::string before_;
  Rows beforeRows_, afterRows_;
  bool claimedSaved_ = false;
  std::string where_;
  bool violated_ = false;
  int runs_ = 0, violations_ = 0, readerSawPending_ = 0, unguarded_ = 0;
  std::vector<std::string> problems_;  // the first run of each kind of violation
  std::set<std::string> kinds_;
};
std::wstring EntryFileFaults::root_;

// Whether nothing can see another program's write before call `at` of these calls: it lands
// after the last look at its file before a replacement of that file. That instant, like the one
// between the two replacements, is the price of replacing a file by name.
bool Unguarded(const std::vector<CallMade>& made, int at, const Fault& fault) {
  const std::wstring file = Wide(fault.file);
  for (size_t i = static_cast<size_t>(at - 1); i < made.size(); ++i) {
    if (made[i].name != file) continue;
    if (made[i].kind == Kind::Attributes) return false;
    if (made[i].kind == Kind::Replace) return true;
  }
  return false;
}

constexpr int kSecondFaultWithin = 24;

TEST_F(EntryFileFaults, EveryCallOfEverySituationFailsInEveryWayAndNothingIsLostOrMixed) {
  const std::vector<Situation> situations = Situations();
  int points = 0;
  for (const Situation& s : situations) {
    Act(s, {});
    const std::vector<CallMade> made = injector.made;
    const int calls = injector.calls;
    ASSERT_GT(calls, 0) << s.name;
    Check(s, std::string(s.name) + ", no fault", {});
    ASSERT_FALSE(violated_) << "without a fault: " << problems_.back();
    for (int k = 1; k <= calls; ++k) {
      const std::string at = std::string(s.name) + ", call " + std::to_string(k) + ", ";
      for (const Fault& fault : kFaults) {
        if (!Fits(fault, made[k - 1])) continue;
        if (fault.effect == Effect::AnotherProgramWrites && Unguarded(made, k, fault)) {
          ++unguarded_;
          continue;
        }
        Try(s, {{k, &fault}}, at + fault.name);
      }
      // Two faults in one save: a sharing violation, then a full disk at a later call that
      // replaces, removes or looks.
      for (int j = k + 1; j <= calls && j - k <= kSecondFaultWithin; ++j) {
        const Kind kind = made[j - 1].kind;
        if (kind != Kind::Replace && kind != Kind::Remove && kind != Kind::Attributes) continue;
        Try(s, {{k, &kFaults[1]}, {j, &kSecondFault}}, at + "sharing violation, call " + std::to_string(j) + " disk full");
      }
    }
    points += calls;
  }
  std::printf(
      "fault test: %zu situations, %d points, %zu kinds and pairs of faults, %d runs, %d violations; "
      "%d runs left a replacement between its two steps, %d writes of another program at an unguarded instant\n",
      situations.size(), points, std::size(kFaults), runs_, violations_, readerSawPending_, unguarded_);
  std::string shown;
  for (const std::string& p : problems_) shown += "\n" + p;
  EXPECT_EQ(violations_, 0) << shown;
}

// ---- the directory's claim --------------------------------------------------------------------

// Each call of a claim goes wrong in each way, then another copy claims the same directory with
// every call working. One of the two writes the directory, never both; a fault that does not
// last never shuts a copy out as if another ran; and a claim that failed holds nothing.
TEST_F(EntryFileFaults, EveryCallOfTheDirectoryClaimFailsInEveryWayAndOneCopyWrites) {
  const std::wstring directory = root_ + L"\\";
  auto claims = [&](std::vector<Injector::Planned> plan) {
    Begin();
    injector = Injector{};
    injector.planned = std::move(plan);
    cmd::UseFiles(&kInjecting);
    const cmd::DirectoryClaim first = cmd::ClaimDirectory(directory);
    injector.released = true;
    cmd::UseFiles(nullptr);
    const cmd::DirectoryClaim second = cmd::ClaimDirectory(directory);
    for (const cmd::DirectoryClaim& c : {first, second}) {
      if (c.lock != INVALID_HANDLE_VALUE) CloseHandle(c.lock);
      if (c.named) CloseHandle(c.named);
    }
    return std::pair{first.claim, second.claim};
  };
  const auto [alone, next] = claims({});
  ASSERT_EQ(alone, cmd::Claim::Claimed);
  ASSERT_EQ(next, cmd::Claim::Taken);
  const std::vector<CallMade> made = injector.made;
  int runs = 0, unclaimed = 0;
  std::string problems;
  for (size_t k = 1; k <= made.size(); ++k) {
    for (const Fault& fault : kFaults) {
      if (!Fits(fault, made[k - 1]) || fault.effect == Effect::AnotherProgramWrites) continue;
      const auto [first, second] = claims({{static_cast<int>(k), &fault}});
      ++runs;
      unclaimed += first == cmd::Claim::Unclaimed;
      const cmd::Claim expected = first == cmd::Claim::Claimed ? cmd::Claim::Taken : cmd::Claim::Claimed;
      if (first == cmd::Claim::Taken || second != expected) {
        problems += "\ncall " + std::to_string(k) + ", " + fault.name + ": answered " +
                    std::to_string(static_cast<int>(first)) + " then " + std::to_string(static_cast<int>(second));
      }
    }
  }
  std::printf("claim fault test: %zu calls, %d runs, %d left the directory unclaimed (read-only, told)\n",
              made.size(), runs, unclaimed);
  EXPECT_EQ(problems, "");
}

// ---- the reminder file ----------------------------------------------------------------------

// The reminder file's mirror through the same faults: the k-th call of each situation goes wrong
// in each way, then a new run starts from the disk. The file must read as the reminders before
// the save or after it, a save reported done must be on disk, a failed save must land once the
// fault is gone, a reminder kept as announced must never come back as pending, and bytes the
// program did not write (a damaged file, another program's write) must survive in the file or a
// backup, never only in a temporary.

const std::string kReminders(kReminderFileName);

const Fault kReminderFaults[] = {
    kFaults[0], kFaults[1], kFaults[2], kFaults[3], kFaults[4], kFaults[5], kFaults[6], kFaults[7], kFaults[8],
    {"another program writes the reminder file", Effect::AnotherProgramWrites, ERROR_SUCCESS, 1, kReminderFileName.data()},
};

using Kept = std::vector<KeptReminder>;

KeptReminder Reminder(const char* key, std::array<std::string, 5> when, bool announced = false) {
  return {key, std::move(when), announced};
}

const Kept kSet = {
    Reminder("[提醒]交电费", {"2099", "1", "2", "8", "0"}),
    Reminder("写周报", {"2099", "3", "4", "9", "30"}),
    Reminder("取快递\r\n带\\证件\t两张", {"2099", "12", "31", "23", "59"}),
};

// The reminders a start keeps of those it loaded: the announced ones are done with.
Kept StillAhead(const Kept& loaded) {
  Kept ahead;
  for (const KeptReminder& r : loaded) {
    if (!r.announced) ahead.push_back(r);
  }
  return ahead;
}

// What a run of the mirror did: whether it reported its save done, and the reminders it holds.
struct ReminderOutcome {
  bool claimed = false;
  Kept list;
  bool loadedOther = false;  // a start that did not load what the file held
};

struct ReminderSituation {
  const char* name;
  // Lays the disk out with the real file calls and leaves the running mirror, if any.
  std::function<void(std::optional<ReminderFileMirror>&)> start;
  // Runs under injection; may start the mirror afresh, as a new run does.
  std::function<ReminderOutcome(std::optional<ReminderFileMirror>&)> act;
  std::vector<std::string> mustSurvive;
};

// A running program that set these reminders and saved them.
void SavedRunning(std::optional<ReminderFileMirror>& mirror, const Kept& set) {
  mirror.emplace();
  mirror->Recover();
  mirror->Load();
  mirror->Save(set, 0);
}

// A start as the program makes it: the left-over temporary goes, the file loads, and the list the
// start keeps is saved when it differs from the file or the file is owed a save.
ReminderOutcome StartFromDisk(std::optional<ReminderFileMirror>& mirror) {
  mirror.emplace();
  mirror->Recover();
  const Kept loaded = mirror->Load();
  const std::optional<std::string> bytes = Contents(kReminders);
  const auto onDisk = bytes ? ReadReminderFile(*bytes) : std::optional<Kept>(Kept{});
  ReminderOutcome out{false, StillAhead(loaded), !onDisk || *onDisk != loaded};
  if (out.list.size() != loaded.size() || mirror->owed()) out.claimed = mirror->Save(out.list, 0);
  return out;
}

std::vector<ReminderSituation> ReminderSituations() {
  auto saveOf = [](Kept before, Kept after) {
    return ReminderSituation{"", [before](auto& mirror) { SavedRunning(mirror, before); },
                             [after](auto& mirror) { return ReminderOutcome{mirror->Save(after, 1), after}; },
                             {}};
  };
  Kept changed = kSet, deleted = kSet, announced = kSet, dropped = kSet;
  changed[1].when[4] = "45";
  deleted.erase(deleted.begin());
  announced[0].announced = true;
  dropped[2].announced = true;
  const std::string damaged = "Tallyleaf 提醒 1\r\n待提醒\t2099\t1\t2\t8\t0\r\n坏了的一行\r\n";
  const std::string foreign = "别的程序写的提醒\r\n";
  std::vector<ReminderSituation> all;
  auto add = [&](const char* name, ReminderSituation s) {
    s.name = name;
    all.push_back(std::move(s));
  };
  add("first save of a reminder set", saveOf({}, {kSet[0]}));
  add("save after a reminder changed", saveOf(kSet, changed));
  add("save after a reminder deleted", saveOf(kSet, deleted));
  add("save marking a reminder announced", saveOf(kSet, announced));
  add("start beside a left-over temporary",
      {"", [dropped](auto&) {
         Put(kReminders, ReminderFileText(dropped));
         Put(TemporaryName(kReminders), ReminderFileText(Kept{kSet[0]}).substr(0, 20));
       },
       StartFromDisk, {}});
  add("start beside a damaged file", {"", [damaged](auto&) { Put(kReminders, damaged); }, StartFromDisk, {damaged}});
  add("save over a file another program wrote",
      {"", [foreign](auto& mirror) {
         SavedRunning(mirror, kSet);
         Sleep(20);  // a later write time than the program's own save
         Put(kReminders, foreign);
       },
       [changed](auto& mirror) { return ReminderOutcome{mirror->Save(changed, 1), changed}; }, {foreign}});
  return all;
}

// Runs every situation at every call with every fault, and checks each run.
class ReminderFaultRuns {
 public:
  explicit ReminderFaultRuns(std::wstring root) : root_(std::move(root)) {}

  void Begin() {
    cmd::UseFiles(nullptr);
    SetCurrentDirectoryW(root_.c_str());
    for (const std::string& name : Listing()) DeleteFileW(Wide(name).c_str());
    mirror_.reset();
  }

  // The situation's act under the plan; answers the calls it made.
  std::vector<CallMade> Act(const ReminderSituation& s, std::vector<Injector::Planned> plan) {
    Begin();
    s.start(mirror_);
    before_ = Contents(kReminders);
    injector = Injector{};
    injector.planned = std::move(plan);
    cmd::UseFiles(&kInjecting);
    outcome_ = s.act(mirror_);
    injector.released = true;
    cmd::UseFiles(nullptr);
    return injector.made;
  }

  void Expect(bool holds, const std::string& what) {
    if (holds) return;
    if (!violated_) ++violations_;
    violated_ = true;
    if (kinds_.insert(what.substr(0, what.find('\n'))).second) problems_.push_back(where_ + ": " + what);
  }

  // Keys that the file before the act held as announced.
  std::set<std::string> AnnouncedBefore() const {
    std::set<std::string> keys;
    const auto kept = before_ ? ReadReminderFile(*before_) : std::nullopt;
    for (const KeptReminder& r : kept.value_or(Kept{})) {
      if (r.announced) keys.insert(r.key);
    }
    return keys;
  }

  void Check(const ReminderSituation& s, const std::string& where, const std::optional<std::string>& foreign) {
    where_ = where;
    violated_ = false;
    const bool stopped = injector.stopped;
    const std::string after = ReminderFileText(outcome_.list);
    std::set<std::string> announced = AnnouncedBefore();
    for (const KeptReminder& r : outcome_.list) {
      if (r.announced && outcome_.claimed) announced.insert(r.key);
    }
    // Another program's write may itself have destroyed what the situation held: then only its
    // own bytes are owed.
    // A start that did not load what the file held, and ran on, owes the file's bytes too.
    std::vector<std::string> survive = foreign ? std::vector{*foreign} : s.mustSurvive;
    if (outcome_.loadedOther && before_ && !foreign && !stopped) survive.push_back(*before_);

    const std::optional<std::string> disk = Contents(kReminders);
    Expect(disk == before_ || disk == after || (foreign && disk == foreign),
           "the reminder file is neither the reminders before the save nor after it:\n" + Hex(disk.value_or("(none)")));
    Expect(!outcome_.claimed || foreign || disk == after, "a save reported done is not on disk");
    if (!stopped) {
      // The fault is gone: the owed save, or the run's next one, lands.
      const bool saved = mirror_->Save(outcome_.list, 2);
      Expect(saved, "a save failed after the fault was gone");
      for (const KeptReminder& r : outcome_.list) {
        if (r.announced && saved) announced.insert(r.key);
      }
      Expect(Contents(kReminders) == after, "the reminders did not reach the disk once the fault was gone:\n" +
                                                Hex(Contents(kReminders).value_or("(none)")));
      Expect(!Contents(TemporaryName(kReminders)), "a temporary is left beside a file that was saved");
    }
    // A new run starts from the disk.
    const std::optional<std::string> found = Contents(kReminders);
    mirror_.emplace();
    mirror_->Recover();
    const Kept loaded = mirror_->Load();
    const auto readable = found ? ReadReminderFile(*found) : std::optional<Kept>(Kept{});
    Expect(loaded == readable.value_or(Kept{}), "a restart loaded other reminders than the file holds");
    Expect(!Contents(TemporaryName(kReminders)), "a restart left the temporary in place");
    for (const KeptReminder& r : loaded) {
      Expect(r.announced || announced.count(r.key) == 0, "a reminder kept as announced is pending again after a restart");
    }
    // Its first save keeps what it could not read.
    Expect(mirror_->Save(StillAhead(loaded), 3), "the restarted run could not save");
    Expect(Contents(kReminders) == ReminderFileText(StillAhead(loaded)), "the restarted run's save is not on disk");
    for (const std::string& bytes : survive) {
      bool kept = false;
      for (const std::string& name : Listing()) {
        kept = kept || (!name.ends_with(".new") && Contents(name).value_or("").find(bytes) != std::string::npos);
      }
      Expect(kept, "bytes the program did not write are in no file or backup:\n" + Hex(bytes));
    }
    ++runs_;
  }

  void Try(const ReminderSituation& s, std::vector<Injector::Planned> plan, const std::string& where) {
    Act(s, plan);
    std::optional<std::string> foreign;
    for (const Injector::Planned& p : plan) {
      if (p.fault->effect == Effect::AnotherProgramWrites && injector.foreignWritten) foreign = ForeignBytes(p.at);
    }
    Check(s, where, foreign);
  }

  std::wstring root_;
  std::optional<ReminderFileMirror> mirror_;
  std::optional<std::string> before_;
  ReminderOutcome outcome_;
  std::string where_;
  bool violated_ = false;
  int runs_ = 0, violations_ = 0, unguarded_ = 0;
  std::vector<std::string> problems_;
  std::set<std::string> kinds_;
};

TEST_F(EntryFileFaults, EveryCallOfEveryReminderFileSituationFailsInEveryWayAndNothingIsLost) {
  ReminderFaultRuns runs(root_);
  const std::vector<ReminderSituation> situations = ReminderSituations();
  int points = 0;
  for (const ReminderSituation& s : situations) {
    const std::vector<CallMade> made = runs.Act(s, {});
    ASSERT_FALSE(made.empty()) << s.name;
    runs.Check(s, std::string(s.name) + ", no fault", std::nullopt);
    ASSERT_FALSE(runs.violated_) << "without a fault: " << runs.problems_.back();
    const int calls = static_cast<int>(made.size());
    for (int k = 1; k <= calls; ++k) {
      const std::string at = std::string(s.name) + ", call " + std::to_string(k) + ", ";
      for (const Fault& fault : kReminderFaults) {
        if (!Fits(fault, made[k - 1])) continue;
        if (fault.effect == Effect::AnotherProgramWrites && Unguarded(made, k, fault)) {
          ++runs.unguarded_;
          continue;
        }
        runs.Try(s, {{k, &fault}}, at + fault.name);
      }
      // A sharing violation, then a full disk at a later replacement, removal or look.
      for (int j = k + 1; j <= calls && j - k <= kSecondFaultWithin; ++j) {
        const Kind kind = made[j - 1].kind;
        if (kind != Kind::Replace && kind != Kind::Remove && kind != Kind::Attributes) continue;
        runs.Try(s, {{k, &kFaults[1]}, {j, &kSecondFault}}, at + "sharing violation, call " + std::to_string(j) + " disk full");
      }
    }
    points += calls;
  }
  std::printf("reminder fault test: %zu situations, %d points, %zu kinds and pairs of faults, %d runs, %d violations; "
              "%d writes of another program at an unguarded instant\n",
              situations.size(), points, std::size(kReminderFaults), runs.runs_, runs.violations_, runs.unguarded_);
  std::string shown;
  for (const std::string& p : runs.problems_) shown += "\n" + p;
  EXPECT_EQ(runs.violations_, 0) << shown;
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

// What the user is told when saving keeps failing says why: a read-only entry file, a folder in
// the way of a file the save writes, a full disk.
TEST_F(EntryFileFaults, AFailingSaveSaysWhatStandsInItsWay) {
  struct Case {
    const char* what;
    std::function<void()> block;
    std::function<void()> unblock;
    const char* told;
  };
  const Fault diskFull = {"disk full", Effect::Fails, ERROR_DISK_FULL, kUntilReleased, nullptr, true};
  const Case cases[] = {
      {"a read-only entry file", [] { SetFileAttributesW(Wide(kEntryFile).c_str(), FILE_ATTRIBUTE_READONLY); },
       [] { SetFileAttributesW(Wide(kEntryFile).c_str(), FILE_ATTRIBUTE_NORMAL); }, "“bugaun.txt”是只读的"},
      {"a folder in the way", [] { CreateDirectoryW(Wide(TemporaryName(kTimeFile)).c_str(), nullptr); },
       [] { RemoveDirectoryW(Wide(TemporaryName(kTimeFile)).c_str()); }, "名为“jilusjian.txt.new”的文件夹"},
      {"a full disk",
       [&diskFull] {
         injector = Injector{};
         injector.planned = {{1, &diskFull}};
         cmd::UseFiles(&kInjecting);
       },
       [] { cmd::UseFiles(nullptr); }, "磁盘已满"},
  };
  for (const Case& c : cases) {
    Begin();
    StartRunning(kThree);
    program_->TakeNotices();
    c.block();
    kList.SetItemText(0, 0, "改了");
    std::string told;
    for (int i = 0; i < 5; ++i) {
      Tick(*program_, clock);
      for (const std::string& notice : program_->TakeNotices()) told += notice;
    }
    c.unblock();
    EXPECT_NE(told.find("事件没有能够保存"), std::string::npos) << c.what << ": " << told;
    EXPECT_NE(told.find(c.told), std::string::npos) << c.what << ": " << told;
    Tick(*program_, clock);
    EXPECT_EQ(ReaderPair(), PairText(ListRows())) << c.what << ": saved once it is out of the way";
  }
}

// A backup name taken in any form is passed over; with every number taken the oldest backup
// gives way, the user is told, and the save goes on.
TEST_F(EntryFileFaults, BackupsNeverBlockASave) {
  const std::string invalid = "a\x81\x20" "b\r\n";
  struct Case {
    const char* what;
    int taken;         // backup numbers taken before the save, from 1
    bool folders;      // by folders rather than files
    int expectedAt;    // the backup the file goes to
  };
  const Case cases[] = {
      {"a folder takes the first name", 1, true, 2},
      {"files take the first names", 3, false, 4},
      {"every number is taken", kLastBackup, false, 1},
  };
  for (const Case& c : cases) {
    Begin();
    for (int n = 1; n <= c.taken; ++n) {
      const std::wstring name = Wide(BackupName(kEntryFile, n));
      if (c.folders) {
        CreateDirectoryW(name.c_str(), nullptr);
        continue;
      }
      HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      // Backup 1 is the oldest by its time, so that it is the one to give way.
      const FILETIME written{static_cast<DWORD>(n), 0x01d00000u};
      SetFileTime(file, nullptr, nullptr, &written);
      CloseHandle(file);
    }
    Put(kEntryFile, invalid);
    Put(kTimeFile, "t\r\n");
    program_->Load(kList);
    Tick(*program_, clock);
    EXPECT_EQ(Contents(BackupName(kEntryFile, c.expectedAt)), invalid) << c.what;
    EXPECT_EQ(ReaderPair(), PairText(ListRows())) << c.what << ": the save went on";
    std::string told;
    for (const std::string& notice : program_->TakeNotices()) told += notice;
    EXPECT_NE(told.find(BackupName(kEntryFile, c.expectedAt)), std::string::npos) << c.what << ": " << told;
    EXPECT_EQ(told.find("被覆盖") != std::string::npos, c.taken == kLastBackup) << c.what << ": " << told;
    for (int n = 1; n <= c.taken && c.folders; ++n) RemoveDirectoryW(Wide(BackupName(kEntryFile, n)).c_str());
  }
}

}  // namespace
}  // namespace tl::app
