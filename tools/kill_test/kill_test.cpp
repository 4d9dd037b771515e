// Kills the real program at random instants and checks after each kill what the next start
// finds: both files whole, every line ended by CR LF, and the pair (times and entries together,
// a lone entry temporary read as the entry file, as a start reads it) equal to a state the list
// had since the start before the kill; then that the start shows exactly that pair. Between kills
// the rows change: texts edited, rows added (插入事件 and the add button, each stamping its row
// with the current time and opening it for typing), rows deleted (删除事件), and a delete followed
// by an add that keeps the row count, so that times of one state beside entries of another show.
// The kills rotate through situations: nothing else open, the input box (编辑事件) open, an
// in-place edit open, a file rewritten by this tool so that the program must back it up (the
// kill follows within a few ticks; what this tool wrote must survive whole, in the file or in a
// backup, and a backup the program reported must hold it), a start beside left-over temporaries
// that it must clean up or finish (the kill strikes during that start), and reminders being set
// far ahead, changed and deleted through the reminder window (the reminder file must then hold a
// state the reminder rows had, and the next start show it in 提醒事件). A few kills, spread over
// the run, strike around the telling of reminders due in the next minute (each needs its own
// minute of the clock): in the run that announces them at their minute, or in a start that tells
// them as missed; the next start must tell each one not told before the kill exactly once, and a
// start after that nothing. Prints the kills, intact pairs, torn and mixed pairs per situation,
// what was kept, and how often each due reminder was told.
//   tools/wine-session.sh wine build/win32/tools/kill_test/kill_test.exe [kills (1000)] [kills during announcements (5)]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iterator>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/e2e/driver.h"
#include "tools/kill_test/program_windows.h"
#include "tools/kill_test/reminder_states.h"

using namespace tl::e2e;
using namespace tl::kill_test;

namespace {

constexpr int kFirstRows = 6, kFewestRows = 3, kMostRows = 9;
// Reminders set far ahead are deleted again from this many on.
constexpr size_t kMostReminders = 5;
constexpr WPARAM kCloseProgram = 20003, kEditEntry = 20005, kDeleteEntry = 20006, kInsertEntry = 20007,
                 kAddReminder = 20011, kDeleteReminder = 20012;
const std::wstring kPlaceholder = L"输入内容， 列如：写PPt";
const std::wstring kEntryFile = L"bugaun.txt", kTimeFile = L"jilusjian.txt";
const std::wstring kEntryTemporary = L"bugaun.txt.new", kTimeTemporary = L"jilusjian.txt.new";

enum class Situation { Plain, InputBox, InPlaceEdit, Backup, Cleanup, Reminders, Announcement };
constexpr int kSituations = 7;
constexpr const char* kSituationNames[] = {"nothing else open", "input box open",    "in-place edit open",
                                           "backup being made", "clean-up at start", "reminders changing",
                                           "reminders told"};

using Rows = std::vector<std::wstring>;

// A pair as it lies on disk: the time file's bytes and the entry file's.
struct Pair {
  std::string times, entries;
  auto operator<=>(const Pair&) const = default;
};

std::string Joined(const Rows& texts) {
  std::string out;
  for (const std::wstring& text : texts) out += Gbk(text) + "\r\n";
  return out;
}

std::vector<std::string> Lines(const std::string& file) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < file.size();) {
    const size_t end = file.find("\r\n", at);
    if (end == std::string::npos) break;
    lines.push_back(file.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

std::string ShownRows(const Rows& rows) { return Shown(Joined(rows)); }

bool Whole(const std::string& file) {
  if (file.empty()) return true;
  if (!file.ends_with("\r\n")) return false;
  for (size_t i = 0; i < file.size(); ++i) {
    const bool lineEnd = file[i] == '\r' || file[i] == '\n';
    if (lineEnd && (file[i] == '\n' ? i == 0 || file[i - 1] != '\r' : i + 1 >= file.size() || file[i + 1] != '\n')) {
      return false;
    }
  }
  return true;
}

// The program's text of a date-time: the date, then the time down to its last unit that is not
// zero.
std::wstring TimeText(const SYSTEMTIME& t) {
  std::wstring text = std::to_wstring(t.wYear) + L"年" + std::to_wstring(t.wMonth) + L"月" + std::to_wstring(t.wDay) + L"日";
  if (t.wSecond != 0) {
    text += std::to_wstring(t.wHour) + L"时" + std::to_wstring(t.wMinute) + L"分" + std::to_wstring(t.wSecond) + L"秒";
  } else if (t.wMinute != 0) {
    text += std::to_wstring(t.wHour) + L"时" + std::to_wstring(t.wMinute) + L"分";
  } else if (t.wHour != 0) {
    text += std::to_wstring(t.wHour) + L"时";
  }
  return text;
}

SYSTEMTIME SecondsLater(SYSTEMTIME t, int seconds) {
  t.wMilliseconds = 0;
  FILETIME file;
  SystemTimeToFileTime(&t, &file);
  ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
  ticks.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ULL;
  file = {ticks.LowPart, ticks.HighPart};
  FileTimeToSystemTime(&file, &t);
  return t;
}

// A minute as the reminder rows show it: year, month, day, hour and minute, without leading zeros.
std::array<std::wstring, 5> MinuteParts(const SYSTEMTIME& t) {
  return {std::to_wstring(t.wYear), std::to_wstring(t.wMonth), std::to_wstring(t.wDay), std::to_wstring(t.wHour),
          std::to_wstring(t.wMinute)};
}

std::wstring Wide(const std::string& gbk) {
  if (gbk.empty()) return {};
  const int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), text.data(), n);
  return text;
}

// The rows once the program took the markers of these reminders off: every entry that reads as
// a reminder's entry text marked.
Rows Unmarked(Rows rows, const std::vector<std::wstring>& keys) {
  for (const std::wstring& key : keys) {
    const std::wstring text = EntryTextOfKey(key);
    std::replace(rows.begin(), rows.end(), kMarker + text, text);
  }
  return rows;
}

Pair UnmarkedPair(const Pair& pair, const std::vector<std::wstring>& keys) {
  if (keys.empty()) return pair;
  Rows entries;
  for (const std::string& line : Lines(pair.entries)) entries.push_back(Wide(line));
  return {pair.times, Joined(Unmarked(entries, keys))};
}

void SleepUntil(Instant at) {
  const Instant now = Now();
  if (at > now) Sleep(static_cast<DWORD>(at - now));
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_BLOCK, 2000, &answer)) return 0;
  return static_cast<LRESULT>(answer);
}

// Writes a file as another program would, holding it alone while it writes so that no reader
// sees it half written; a file the program holds open is tried again.
bool WriteAlone(const std::wstring& path, const std::string& bytes) {
  for (int attempt = 0; attempt < 400; ++attempt) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      Sleep(5);
      continue;
    }
    DWORD written = 0;
    const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(h);
    return ok;
  }
  return false;
}

bool Present(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Waits for a second of the minute in this span.
void WaitForSecondBetween(int first, int last) {
  SYSTEMTIME now;
  for (GetLocalTime(&now); now.wSecond < first || now.wSecond > last; GetLocalTime(&now)) Sleep(200);
}

// The backup names a notice of the program gives, in its order.
std::vector<std::wstring> BackupsNamed(const std::wstring& notice) {
  std::vector<std::wstring> names;
  const std::wstring lead = L"已保存为“";
  for (size_t at = notice.find(lead); at != std::wstring::npos; at = notice.find(lead, at)) {
    at += lead.size();
    const size_t end = notice.find(L"”", at);
    if (end == std::wstring::npos) break;
    names.push_back(notice.substr(at, end - at));
  }
  return names;
}

class KillTest {
 public:
  KillTest() {
    for (int i = 0; i < kFirstRows; ++i) {
      entries_.push_back(L"条目" + std::to_wstring(i));
      times_.push_back(L"2024年1月" + std::to_wstring(i + 1) + L"日");
    }
    dir_.Write(kEntryFile, Joined(entries_));
    dir_.Write(kTimeFile, Joined(times_));
    recent_.insert(Current());
  }

  void Cycle(Situation situation) {
    if (situation == Situation::Announcement) {
      AnnouncementCycle();
      return;
    }
    const int s = static_cast<int>(situation);
    LookAtDisk();
    if (situation == Situation::Cleanup) {
      CleanupCycle();
      return;
    }
    const Instant before = Now();
    RunningProgram program(dir_);
    ++kills_[s];
    HWND main = nullptr, list = nullptr;
    if (!StartJudged(program, before, main, list)) {
      std::printf("start before kill %d (%s): no main window\n", kills_[s], kSituationNames[s]);
      previous_ = s;
      return;
    }
    if (!Enter(situation, program, main, list)) {
      ++notEntered_[s];
      std::printf("kill %d: the situation \"%s\" did not come about\n", kills_[s], kSituationNames[s]);
    }

    // A backup is begun within a tick or two of the rewrite: those kills are spread from the
    // rewrite to a while after the copy has been seen to begin. A change of the reminders takes
    // a few steps of the reminder window.
    const int after = situation == Situation::Backup ? std::uniform_int_distribution<int>(0, backupMs_ * 2)(random_)
                      : situation == Situation::Reminders ? std::uniform_int_distribution<int>(0, 1500)(random_)
                                                          : std::uniform_int_distribution<int>(0, 600)(random_);
    std::atomic<bool> killed{false};
    std::thread killer = Killer(program, killed, after);
    if (situation == Situation::Backup) {
      WatchForReport(program, killed);
    } else if (situation == Situation::Reminders) {
      while (!killed && ChangeReminders(program, main, list)) {
      }
    } else {
      HWND addButton = FindChild(main, L"Button", L"点击此处添加事件");
      for (int i = 0; !killed; ++i) {
        if (!Change(program, main, list, addButton, situation, i)) break;
      }
    }
    killer.join();
    previous_ = s;
  }

  // What the last kill left, and what the start after it shows: the same checks once more.
  void CheckLast() {
    LookAtDisk();
    const Instant before = Now();
    RunningProgram program(dir_);
    HWND main = nullptr, list = nullptr;
    StartJudged(program, before, main, list);
  }

  bool Report() const {
    int kills = 0, intact = 0, torn = 0, mixed = 0, unlike = 0;
    for (int s = 0; s < kSituations; ++s) {
      std::printf("%-20s kills %5d, intact pairs after them %5d, torn %d, mixed %d, shown otherwise %d, situation not reached %d;"
                  " temporaries left %d, the last state found %d\n",
                  kSituationNames[s], kills_[s], intact_[s], torn_[s], mixed_[s], unlike_[s], notEntered_[s], inSave_[s], latest_[s]);
      kills += kills_[s];
      intact += intact_[s];
      torn += torn_[s];
      mixed += mixed_[s];
      unlike += unlike_[s];
    }
    std::printf("changes: %d edits, %d adds, %d deletes, %d deletes followed by an add (and %d the list did not show as expected)\n",
                edits_, adds_, deletes_, swaps_, notTaken_);
    std::printf("kept bytes: %d files written by this tool, %d found whole afterwards (%d in the file, %d in a backup), %d lost;"
                " %d backups reported before the kill, %d of them not holding the bytes\n",
                keptWritten_, keptWritten_ - keptLost_, keptInFile_, keptInBackup_, keptLost_, reported_, reportedWrong_);
    std::printf("clean-up kills (%d of them beside temporaries an earlier kill left) left: both temporaries %d,"
                " the time file's only %d, the entry file's only %d, none %d; settled after about %d ms of a start\n",
                leftOverStarts_, leftBoth_, leftTime_, leftEntry_, leftNone_, settleMs_);
    std::printf("backups begun about %d ms after a rewrite\n", backupMs_);
    std::printf("reminder changes: %d set, %d changed, %d deleted (%d after the marker was typed back); missed reminders"
                " told about %d ms after a start\n",
                reminderSets_, reminderChanges_, reminderDeletes_, markersTyped_, boxMs_);
    reminders_.PrintFigures();
    const bool held = intact == kills && torn == 0 && mixed == 0 && unlike == 0 && keptLost_ == 0 && reportedWrong_ == 0 &&
                      reminders_.Held();
    std::printf("kills %d, intact pairs %d, torn %d, mixed %d; kills while reminders were set, changed and deleted %d, around"
                " their telling %d: reminders due %d, told once %d, told twice %d, never told %d; torn reminder files %d,"
                " foreign %d\ntarget (0 torn or mixed pairs, every kept byte surviving, every reminder file a state the"
                " rows had, every due reminder told exactly once) %s\n",
                kills, intact, torn, mixed, kills_[static_cast<int>(Situation::Reminders)],
                kills_[static_cast<int>(Situation::Announcement)], reminders_.due(), reminders_.once(), reminders_.twice(),
                reminders_.never(), reminders_.torn(), reminders_.foreign(), held ? "held" : "NOT held");
    return held;
  }

 private:
  Pair Current() const { return {Joined(times_), Joined(entries_)}; }

  // The state counts once the list holds it, before the change's save can begin.
  void Expect(const Rows& entries, const Rows& times) { recent_.insert({Joined(times), Joined(entries)}); }

  bool Alive(const RunningProgram& program) const { return WaitForSingleObject(program.process(), 0) == WAIT_TIMEOUT; }

  // Reads what the last kill left the way a start reads it, before anything starts: a lone entry
  // temporary is the entry file. Judges the disk for the situation of that kill; the start that
  // follows completes the verdict (Judge). The pair found is where the next changes start from.
  void LookAtDisk() {
    const std::optional<std::string> entryTemporary = dir_.Read(kEntryTemporary), timeTemporary = dir_.Read(kTimeTemporary);
    const bool lone = entryTemporary && !timeTemporary;
    const std::optional<std::string> entryFile = lone ? entryTemporary : dir_.Read(kEntryFile);
    const std::optional<std::string> timeFile = dir_.Read(kTimeFile);
    const bool whole = entryFile && timeFile && Whole(*entryFile) && Whole(*timeFile);
    const bool known = whole && recent_.count({*timeFile, *entryFile}) == 1;
    if (previous_ >= 0 && previous_ != static_cast<int>(Situation::Cleanup)) {
      if (entryTemporary || timeTemporary) ++inSave_[previous_];
      if (known && *entryFile == Joined(entries_) && *timeFile == Joined(times_)) ++latest_[previous_];
    }
    diskIntact_ = whole && known;
    if (previous_ >= 0) {
      if (!whole) ++torn_[previous_];
      else if (!known) ++mixed_[previous_];
    }
    if (!(whole && known)) {
      std::printf("after kill %d (%s): whole %d, a state the list had %d%s\n", starts_, previous_ >= 0 ? kSituationNames[previous_] : "-",
                  whole, known, lone ? " (entries from the lone bugaun.txt.new)" : "");
      std::printf("  entry file: %s\n  time file: %s\n  last state: %s\n                %s\n", Shown(entryFile).c_str(),
                  Shown(timeFile).c_str(), ShownRows(entries_).c_str(), ShownRows(times_).c_str());
      std::printf("  states since the start before it: %zu\n", recent_.size());
    }
    CheckKept();
    reminders_.LookAtFile(dir_, previous_ >= 0 ? kSituationNames[previous_] : "an end");
    found_ = {timeFile.value_or(""), entryFile.value_or("")};
    // What it found is where the next changes start from: one fault is counted once.
    recent_ = {found_};
    ++starts_;
  }

  // The start after a kill (or an end): its main window, and what it shows judged against what
  // the kill left.
  bool StartJudged(const RunningProgram& program, Instant before, HWND& main, HWND& list) {
    main = program.MainWindow(20000);
    list = main ? FindChild(main, L"SysListView32") : nullptr;
    if (!list) return false;
    const std::vector<std::wstring> missed = reminders_.CheckStart(ShownReminders(program), before, Now());
    Judge(ShowsFound(list, missed));
    return true;
  }

  // Whether the start shows the pair found on disk, times and entries, less the markers of the
  // reminders it tells as missed.
  bool ShowsFound(HWND list, const std::vector<std::wstring>& missed) {
    entries_ = ListColumn(list, 0);
    times_ = ListColumn(list, 1);
    const Pair expected = UnmarkedPair(found_, missed);
    recent_.insert(expected);
    const bool shown = Current() == expected;
    if (!shown) {
      std::printf("start %d shows other rows than the files hold\n  entries shown: %s\n  times shown:   %s\n", starts_,
                  ShownRows(entries_).c_str(), ShownRows(times_).c_str());
      if (previous_ >= 0) ++unlike_[previous_];
      recent_.insert(Current());
    }
    return shown;
  }

  // Credits the start's finding to the situation of the kill before it (the first start
  // follows no kill).
  void Judge(bool shown) {
    if (previous_ >= 0 && diskIntact_ && shown) ++intact_[previous_];
  }

  // The bytes this tool wrote before the last kill: in the file still, or in a backup whole.
  void CheckKept() {
    if (!kept_) return;
    const auto [name, bytes] = *std::exchange(kept_, std::nullopt);
    if (dir_.Read(name) == bytes) {
      ++keptInFile_;
      return;
    }
    const std::wstring stem = name.substr(0, name.find(L'.')) + L".备份";
    for (const std::wstring& other : dir_.Names()) {
      if (other.starts_with(stem) && dir_.Read(other) == bytes) {
        ++keptInBackup_;
        return;
      }
    }
    ++keptLost_;
    std::printf("after kill %d: the %zu bytes written into %s are neither in it nor in a backup\n  they were: %s\n", starts_,
                bytes.size(), Gbk(name).c_str(), Shown(bytes).c_str());
    std::printf("  %s now holds: %s\n", Gbk(name).c_str(), Shown(dir_.Read(name)).c_str());
  }

  bool Enter(Situation situation, const RunningProgram& program, HWND main, HWND list) {
    switch (situation) {
      case Situation::Plain:
      case Situation::InPlaceEdit:
      case Situation::Reminders: return true;
      case Situation::InputBox:
        SelectListItem(list, 0);
        PostMessageW(main, WM_COMMAND, kEditEntry, 0);
        return program.WaitForWindow(L"修改文本", 3000) != nullptr;
      case Situation::Backup: return Rewrite(program);
      case Situation::Cleanup:
      case Situation::Announcement: break;
    }
    return false;
  }

  // Another program rewrites one of the files while this one runs, idle: the next tick must copy
  // what it wrote to a backup before replacing it. Long lines make the copy take a while.
  bool Rewrite(const RunningProgram& program) {
    Pump(300);  // whatever the start owed is saved by now
    if (!Alive(program)) return false;
    const bool entries = rewrites_++ % 2 == 0;
    Rows rows;
    for (size_t row = 0; row < entries_.size(); ++row) {
      if (entries) {
        const int length = std::uniform_int_distribution<int>(1, 1500)(random_);
        rows.push_back(L"外来" + std::to_wstring(rewrites_) + L"-" + std::to_wstring(row) + L" " + std::wstring(length, L'记'));
      } else {
        rows.push_back(L"2023年" + std::to_wstring(row % 12 + 1) + L"月" + std::to_wstring(rewrites_ % 28 + 1) + L"日" +
                       std::to_wstring(rewrites_ % 24) + L"时" + std::to_wstring(row) + L"分1秒");
      }
    }
    const std::wstring name = entries ? kEntryFile : kTimeFile;
    const std::string bytes = Joined(rows);
    if (entries) Expect(rows, times_);
    else Expect(entries_, rows);
    const std::wstring backupStem = name.substr(0, name.find(L'.')) + L".备份";
    int n = 1;
    while (Present(dir_.File(backupStem + std::to_wstring(n) + L".txt"))) ++n;
    nextBackup_ = dir_.File(backupStem + std::to_wstring(n) + L".txt");
    if (!WriteAlone(dir_.File(name), bytes)) return false;
    rewrittenAt_ = std::chrono::steady_clock::now();
    kept_ = {name, bytes};
    ++keptWritten_;
    return true;
  }

  // Until the kill: a backup the program reports must already hold what was written.
  void WatchForReport(const RunningProgram& program, const std::atomic<bool>& killed) {
    int begunAt = -1;
    const auto learn = [&] { backupMs_ = begunAt >= 0 ? std::max(2, (backupMs_ * 4 + begunAt) / 5) : backupMs_ * 21 / 20 + 1; };
    while (!killed) {
      if (begunAt < 0 && Present(nextBackup_)) {
        begunAt = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - rewrittenAt_).count());
      }
      Sleep(1);
      const std::lock_guard<std::mutex> noKill(reading_);
      if (!kept_ || !Alive(program)) continue;
      const std::vector<HWND> boxes = program.MessageBoxes();
      if (boxes.empty()) continue;
      for (const std::wstring& backup : BackupsNamed(MessageBoxText(boxes.front()))) {
        ++reported_;
        const std::optional<std::string> bytes = dir_.Read(backup);
        if (bytes != kept_->second) {
          ++reportedWrong_;
          std::printf("backup %s was reported but holds %s\n  instead of %s\n", Gbk(backup).c_str(), Shown(bytes).c_str(),
                      Shown(kept_->second).c_str());
        }
      }
      break;
    }
    learn();
  }

  // Left-over temporaries beside the files, as a kill during a save leaves them, and a start
  // killed while it settles them: both temporaries (a save stopped before its first replacement:
  // both must go, the entry file's first), a lone entry temporary beside a time file already
  // replaced (a save stopped between its replacements: it must be finished), or a lone time
  // temporary (a clean-up stopped halfway: it must go).
  // What the last kill left, if it left temporaries, is such a start already, and is settled as
  // it is.
  void CleanupCycle() {
    const int s = static_cast<int>(Situation::Cleanup);
    ++kills_[s];
    // This start is killed before it shows anything: the disk alone decides for the kill before.
    Judge(true);
    const bool leftOver = Present(dir_.File(kEntryTemporary)) || Present(dir_.File(kTimeTemporary));
    const int variant = leftOver ? -1 : cleanups_ % 4;
    ++cleanups_;
    const size_t rows = Lines(found_.entries).size();
    Rows entries, times;
    for (size_t row = 0; row < rows; ++row) {
      entries.push_back(L"残留" + std::to_wstring(cleanups_) + L"-" + std::to_wstring(row));
      times.push_back(L"2022年" + std::to_wstring(row % 12 + 1) + L"月" + std::to_wstring(cleanups_ % 28 + 1) + L"日" +
                      std::to_wstring(row) + L"时");
    }
    std::wstring watched = leftOver && !Present(dir_.File(kEntryTemporary)) ? kTimeTemporary : kEntryTemporary;
    if (leftOver) ++leftOverStarts_;
    switch (variant) {
      case 0:
      case 2:
        dir_.Write(kTimeTemporary, Joined(times));
        dir_.Write(kEntryTemporary, Joined(entries));
        break;
      case 1:
        dir_.Write(kTimeFile, Joined(times));
        dir_.Write(kEntryTemporary, Joined(entries));
        recent_ = {{Joined(times), Joined(entries)}};
        break;
      case 3:
        dir_.Write(kTimeTemporary, Joined(times));
        watched = kTimeTemporary;
        break;
    }
    // Half the kills anywhere in the start up to a while after the temporaries are settled, half
    // close around that moment.
    const int after = std::uniform_int_distribution<int>(0, 1)(random_) == 0
                          ? std::uniform_int_distribution<int>(0, settleMs_ * 3 / 2)(random_)
                          : std::uniform_int_distribution<int>(settleMs_ * 4 / 5, settleMs_ * 6 / 5)(random_);
    std::atomic<bool> killed{false};
    std::atomic<int> goneAt{-1};
    const std::wstring watchedPath = dir_.File(watched);
    RunningProgram program(dir_);
    const auto started = std::chrono::steady_clock::now();
    std::thread watcher([&] {
      while (!killed) {
        if (!Present(watchedPath)) {
          goneAt = static_cast<int>(
              std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count());
          return;
        }
        Sleep(1);
      }
    });
    Sleep(after);
    program.Kill();
    killed = true;
    watcher.join();
    // The kills are spread over the start up to a little after the temporaries are settled.
    settleMs_ = goneAt >= 0 ? (settleMs_ * 4 + goneAt) / 5 : settleMs_ * 21 / 20;
    const bool entryLeft = Present(dir_.File(kEntryTemporary)), timeLeft = Present(dir_.File(kTimeTemporary));
    ++(entryLeft && timeLeft ? leftBoth_ : timeLeft ? leftTime_ : entryLeft ? leftEntry_ : leftNone_);
    previous_ = s;
  }

  // Whether the list shows these rows (the last row's time one of `lastTimes` when given); the
  // model follows what it shows. A program being killed answers nothing, and that is not a
  // change lost.
  bool Settle(const RunningProgram& program, HWND list, const Rows& entries, const Rows& times,
              const std::set<std::wstring>* lastTimes = nullptr) {
    Rows shownEntries, shownTimes;
    // The program saves what changed before the rows are read: a read waits for the save, and
    // no kill lands during a read.
    Pump(std::uniform_int_distribution<int>(5, 40)(random_));
    for (int look = 0; look < 3; ++look) {
      if (look > 0) Pump(100);
      const std::lock_guard<std::mutex> noKill(reading_);
      if (!Alive(program)) return false;
      shownEntries = ListColumn(list, 0);
      shownTimes = ListColumn(list, 1);
      bool same = shownEntries == entries && shownTimes.size() == times.size();
      for (size_t row = 0; same && row < times.size(); ++row) {
        const bool free = lastTimes && row + 1 == times.size();
        same = free ? lastTimes->count(shownTimes[row]) == 1 : shownTimes[row] == times[row];
      }
      if (same) {
        entries_ = shownEntries;
        times_ = shownTimes;
        return true;
      }
    }
    {
      const std::lock_guard<std::mutex> noKill(reading_);
      if (!Alive(program)) return false;
    }
    std::printf("  the list shows %s\n                %s\n  instead of    %s\n                %s\n", ShownRows(shownEntries).c_str(),
                ShownRows(shownTimes).c_str(), ShownRows(entries).c_str(), ShownRows(times).c_str());
    ++notTaken_;
    entries_ = shownEntries;
    times_ = shownTimes;
    Expect(entries_, times_);
    return false;
  }

  bool Change(const RunningProgram& program, HWND main, HWND list, HWND addButton, Situation situation, int i) {
    const int count = static_cast<int>(entries_.size());
    // The input box and the announcement hold the first row; the edits go to the others.
    if (situation != Situation::Plain && situation != Situation::InPlaceEdit) {
      if (count < 2) return false;
      return EditRow(program, list, std::uniform_int_distribution<int>(1, count - 1)(random_), false, i);
    }
    const bool inPlace = situation == Situation::InPlaceEdit;
    const int roll = std::uniform_int_distribution<int>(0, 9)(random_);
    if (roll < 4 && count > 0) return EditRow(program, list, std::uniform_int_distribution<int>(0, count - 1)(random_), inPlace, i);
    const bool mayDelete = count > kFewestRows, mayAdd = count < kMostRows;
    if (roll < 6 && mayAdd) return AddRow(program, list, main, addButton, inPlace, i);
    if (roll < 8 && mayDelete) return DeleteRow(program, main, list, std::uniform_int_distribution<int>(0, count - 1)(random_));
    // A delete and an add: the row count stays, the rows' times move.
    if (count == 0 || !DeleteRow(program, main, list, std::uniform_int_distribution<int>(0, count - 1)(random_))) return false;
    ++swaps_;
    return AddRow(program, list, main, addButton, inPlace, i);
  }

  bool EditRow(const RunningProgram& program, HWND list, int row, bool inPlace, int i) {
    return EditRowTo(program, list, row, inPlace, L"改" + std::to_wstring(edits_) + L"-" + std::to_wstring(i));
  }

  bool EditRowTo(const RunningProgram& program, HWND list, int row, bool inPlace, const std::wstring& text) {
    Rows next = entries_;
    next[row] = text;
    Expect(next, times_);
    if (inPlace) {
      // The edit box stays open a while, as when a person types.
      HWND edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_EDITLABELW, row, 0));
      if (!edit) return false;
      SetText(edit, text);
      Pump(std::uniform_int_distribution<int>(0, 150)(random_));
      PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
      if (!WaitUntil([&] { return !IsWindow(edit); }, 3000)) return false;
    } else if (!EditListItem(list, row, text)) {
      return false;
    }
    ++edits_;
    return Settle(program, list, next, times_);
  }

  // 插入事件 or the add button: the first placeholder row goes, a placeholder row stamped with
  // the current time is appended and opened for typing; then a text is typed, or the placeholder
  // left as it is.
  bool AddRow(const RunningProgram& program, HWND list, HWND main, HWND addButton, bool slowly, int i) {
    Rows entries = entries_, times = times_;
    const auto placeholder = std::find(entries.begin(), entries.end(), kPlaceholder);
    if (placeholder != entries.end()) {
      times.erase(times.begin() + (placeholder - entries.begin()));
      entries.erase(placeholder);
      Expect(entries, times);
    }
    entries.push_back(kPlaceholder);
    times.push_back(L"");
    Expect(entries, times);
    SYSTEMTIME before;
    GetLocalTime(&before);
    std::set<std::wstring> stamps;
    for (int second = 0; second <= 5; ++second) {
      times.back() = TimeText(SecondsLater(before, second));
      stamps.insert(times.back());
      Expect(entries, times);
    }
    const bool byButton = addButton && adds_ % 2 == 1;
    if (byButton) PostMessageW(addButton, BM_CLICK, 0, 0);
    else PostMessageW(main, WM_COMMAND, kInsertEntry, 0);
    ++adds_;
    HWND edit = nullptr;
    if (!WaitUntil([&] { return !Alive(program) || (edit = reinterpret_cast<HWND>(Ask(list, LVM_GETEDITCONTROL, 0, 0))); }, 3000)) {
      std::printf("  no row opened for typing after %s\n", byButton ? "the add button" : "插入事件");
    }
    if (!Settle(program, list, entries, times, &stamps) || !edit) return false;
    const bool type = std::uniform_int_distribution<int>(0, 2)(random_) > 0;
    Rows next = entries_;
    if (type) {
      next.back() = L"新" + std::to_wstring(adds_) + L"-" + std::to_wstring(i);
      Expect(next, times_);
      SetText(edit, next.back());
    }
    Pump(std::uniform_int_distribution<int>(0, slowly ? 150 : 20)(random_));
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    if (!WaitUntil([&] { return !IsWindow(edit); }, 3000)) return false;
    return Settle(program, list, next, times_);
  }

  // 删除事件 on a row the list selects first.
  bool DeleteRow(const RunningProgram& program, HWND main, HWND list, int row) {
    Rows entries = entries_, times = times_;
    entries.erase(entries.begin() + row);
    times.erase(times.begin() + row);
    Expect(entries, times);
    {
      const std::lock_guard<std::mutex> noKill(reading_);
      if (!Alive(program)) return false;
      SelectListItem(list, row);
    }
    if (Ask(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) != row) {
      if (Alive(program)) std::printf("  row %d could not be selected for 删除事件\n", row);
      return false;
    }
    PostMessageW(main, WM_COMMAND, kDeleteEntry, 0);
    ++deletes_;
    WaitUntil([&] { return !Alive(program) || Ask(list, LVM_GETITEMCOUNT, 0, 0) == static_cast<LRESULT>(entries.size()); }, 3000);
    return Settle(program, list, entries, times);
  }

  // Kills the program after this many milliseconds. Wine can wait forever on memory of another
  // process that is being terminated: no kill lands while a row is being read. Nor does it wait
  // for a read to end and strike right after it, when the program has long finished saving: it
  // tries again a moment later. A watch given looks at the boxes a last time just before.
  std::thread Killer(RunningProgram& program, std::atomic<bool>& killed, int afterMs, BoxWatch* watch = nullptr) {
    return std::thread([this, &program, &killed, afterMs, watch, seed = random_()] {
      Sleep(static_cast<DWORD>(std::max(0, afterMs)));
      std::mt19937 pause(seed);
      while (!reading_.try_lock()) Sleep(std::uniform_int_distribution<int>(1, 15)(pause));
      if (watch) watch->Look();
      program.Kill();
      killed = true;
      reading_.unlock();
    });
  }

  // Looks at the program's boxes every millisecond until the kill.
  std::thread Watcher(const std::atomic<bool>& killed, BoxWatch& watch) {
    return std::thread([this, &killed, &watch] {
      while (!killed) {
        {
          const std::lock_guard<std::mutex> noKill(reading_);
          if (!killed) watch.Look();
        }
        Sleep(1);
      }
    });
  }

  // Waits for the program's message box while it runs; null unless it says this.
  HWND Question(const RunningProgram& program, const std::wstring& text) {
    HWND box = nullptr;
    WaitUntil([&] { return !Alive(program) || (box = program.WaitForMessageBox(0)); }, 3000);
    if (!box || BoxText(box) == text) return box;
    std::printf("  the program said %s\n  instead of %s\n", Shown(Gbk(BoxText(box))).c_str(), Shown(Gbk(text)).c_str());
    return nullptr;
  }

  int KeptRowOf(const std::wstring& key) const {
    const Reminders& rows = reminders_.rows();
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const Reminder& r) { return r.key == key; });
    return row == rows.end() ? -1 : static_cast<int>(row - rows.begin());
  }

  // The rows a reminder can be set for as the marking expects: text not marked, not the
  // placeholder, on no other row; `fresh`, with no reminder of that key kept.
  std::vector<int> ReminderCandidates(bool fresh) const {
    std::vector<int> rows;
    for (int row = 0; row < static_cast<int>(entries_.size()); ++row) {
      const std::wstring& text = entries_[row];
      if (text.empty() || text.starts_with(kMarker) || text == kPlaceholder ||
          std::count(entries_.begin(), entries_.end(), text) != 1 ||
          (fresh && KeptRowOf(ReminderKey(times_[row], text)) >= 0)) {
        continue;
      }
      rows.push_back(row);
    }
    return rows;
  }

  // A row that can have a reminder: one edited to a new text.
  bool FreeARow(const RunningProgram& program, HWND list) {
    if (entries_.empty()) return false;
    return EditRow(program, list, std::uniform_int_distribution<int>(0, static_cast<int>(entries_.size()) - 1)(random_), false, 0);
  }

  // A minute between weeks and years ahead: no reminder for it falls due during the run.
  SYSTEMTIME FarMinute() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    t = SecondsLater(t, std::uniform_int_distribution<int>(7, 3000)(random_) * 86400);
    t.wHour = static_cast<WORD>(std::uniform_int_distribution<int>(0, 23)(random_));
    t.wMinute = static_cast<WORD>(std::uniform_int_distribution<int>(0, 59)(random_));
    t.wSecond = 0;
    return t;
  }

  // 添加提醒事件 on a row: the reminder window once it names the row's entry.
  HWND OpenReminderWindow(const RunningProgram& program, HWND main, HWND list, int row, const std::wstring& key) {
    {
      const std::lock_guard<std::mutex> noKill(reading_);
      if (!Alive(program)) return nullptr;
      SelectListItem(list, row);
    }
    PostMessageW(main, WM_COMMAND, kAddReminder, 0);
    HWND window = nullptr;
    WaitUntil([&] {
      window = ReminderWindow(program);
      return !Alive(program) || (window && IsWindowVisible(window) && ReminderCaption(window) == key);
    }, 3000);
    if (!Alive(program)) return nullptr;
    if (window && ReminderCaption(window) == key) return window;
    std::printf("  添加提醒事件 on row %d: the reminder window %s\n", row,
                window ? ("names " + Shown(Gbk(ReminderCaption(window)))).c_str() : "did not open");
    return nullptr;
  }

  // The minute typed into the reminder window and 确认提醒: a new reminder is appended and marks
  // its entry (the row's); one whose key is kept is changed in its row once the program has asked.
  bool ConfirmMinute(const RunningProgram& program, HWND list, HWND window, int row, const std::wstring& key,
                     const SYSTEMTIME& minute) {
    const Reminder set{key, MinuteParts(minute)};
    Reminders rows = reminders_.rows();
    const int kept = KeptRowOf(key);
    if (kept >= 0) rows[kept] = set;
    else rows.push_back(set);
    reminders_.Expect(rows);
    Rows marked = entries_;
    if (kept < 0) {
      marked[row] = kMarker + marked[row];
      Expect(marked, times_);
    }
    {
      const std::lock_guard<std::mutex> noKill(reading_);
      if (!Alive(program)) return false;
      if (!FillReminderMinute(window, minute)) {
        std::printf("  the reminder window's boxes could not be filled\n");
        return false;
      }
    }
    PostMessageW(FindChild(window, L"Button", L"确认提醒"), BM_CLICK, 0, 0);
    if (kept >= 0) {
      HWND box = Question(program, L"已有此事件提醒，是否更改");
      if (!box) return false;
      AnswerMessageBox(box, IDYES);
      ++reminderChanges_;
    } else {
      ++reminderSets_;
    }
    return SettleReminders(program, rows) && (kept >= 0 || Settle(program, list, marked, times_));
  }

  // A reminder set far ahead, and now and then at once changed to another minute while the
  // window still names its entry; or one deleted; from the most rows on, always a delete.
  bool ChangeReminders(const RunningProgram& program, HWND main, HWND list) {
    const size_t kept = reminders_.rows().size();
    if (kept >= kMostReminders || (kept > 0 && std::uniform_int_distribution<int>(0, 1)(random_) == 0)) {
      return DeleteReminder(program, main, list);
    }
    const std::vector<int> rows = ReminderCandidates(false);
    if (rows.empty()) return FreeARow(program, list);
    const int row = rows[std::uniform_int_distribution<size_t>(0, rows.size() - 1)(random_)];
    const std::wstring key = ReminderKey(times_[row], entries_[row]);
    HWND window = OpenReminderWindow(program, main, list, row, key);
    if (!window || !ConfirmMinute(program, list, window, row, key, FarMinute())) return false;
    return std::uniform_int_distribution<int>(0, 1)(random_) == 0 || ConfirmMinute(program, list, window, row, key, FarMinute());
  }

  // 删除提醒事件 on a marked entry whose reminder is kept (the first row of its text): the program
  // asks, and 是 deletes the row and takes that entry's marker off. A reminder whose entry lost
  // the marker (edited, or a kill before the marker was saved) is reached by typing the marker
  // back first, as a person would.
  bool DeleteReminder(const RunningProgram& program, HWND main, HWND list) {
    std::vector<std::pair<int, int>> marked;  // entry row, reminder row
    const auto collect = [&] {
      marked.clear();
      for (int entry = 0; entry < static_cast<int>(entries_.size()); ++entry) {
        if (!entries_[entry].starts_with(kMarker)) continue;
        const std::wstring text = entries_[entry].substr(kMarker.size());
        const Reminders& rows = reminders_.rows();
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const Reminder& r) { return EntryTextOfKey(r.key) == text; });
        if (row != rows.end()) marked.emplace_back(entry, static_cast<int>(row - rows.begin()));
      }
    };
    collect();
    if (marked.empty()) {
      const Reminders& rows = reminders_.rows();
      const Reminder& orphan = rows[std::uniform_int_distribution<size_t>(0, rows.size() - 1)(random_)];
      const int entry = std::uniform_int_distribution<int>(0, static_cast<int>(entries_.size()) - 1)(random_);
      if (!EditRowTo(program, list, entry, false, kMarker + EntryTextOfKey(orphan.key))) return false;
      ++markersTyped_;
      collect();
      if (marked.empty()) return false;
    }
    const auto [entry, row] = marked[std::uniform_int_distribution<size_t>(0, marked.size() - 1)(random_)];
    const std::wstring text = EntryTextOfKey(reminders_.rows()[row].key);
    {
      const std::lock_guard<std::mutex> noKill(reading_);
      if (!Alive(program)) return false;
      SelectListItem(list, entry);
    }
    if (Ask(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) != entry) return false;
    Reminders rows = reminders_.rows();
    rows.erase(rows.begin() + row);
    reminders_.Expect(rows);
    Rows unmarked = entries_;
    unmarked[entry] = text;
    Expect(unmarked, times_);
    PostMessageW(main, WM_COMMAND, kDeleteReminder, 0);
    HWND box = Question(program, L"删除“" + text + L"”的提醒事件吗？");
    if (!box) return false;
    AnswerMessageBox(box, IDYES);
    ++reminderDeletes_;
    return SettleReminders(program, rows) && Settle(program, list, unmarked, times_);
  }

  // Whether 提醒事件's rows show these; the model follows what they show.
  bool SettleReminders(const RunningProgram& program, const Reminders& rows) {
    Reminders shown;
    for (int look = 0; look < 3; ++look) {
      Pump(look == 0 ? std::uniform_int_distribution<int>(5, 40)(random_) : 100);
      const std::lock_guard<std::mutex> noKill(reading_);
      if (!Alive(program)) return false;
      shown = ShownReminders(program);
      if (SameRows(shown, rows)) {
        reminders_.Follow(rows);
        return true;
      }
    }
    {
      const std::lock_guard<std::mutex> noKill(reading_);
      if (!Alive(program)) return false;
    }
    std::printf("  the reminder rows show%s\n  instead of%s\n", ShownReminderRows(shown).c_str(), ShownReminderRows(rows).c_str());
    ++notTaken_;
    reminders_.Follow(shown);
    return false;
  }

  // Kills around the telling of reminders due in the next minute, then two starts: the first
  // must tell each one not told before the kill exactly once, the second nothing. The kills
  // alternate between the run that announces them at their minute and, after that run was ended
  // before their minute, a start that tells them as missed.
  void AnnouncementCycle() {
    const bool atStart = announcementCycles_++ % 2 == 1;
    LookAtDisk();
    WaitForSecondBetween(1, 30);
    {
      const Instant before = Now();
      RunningProgram program(dir_);
      HWND main = nullptr, list = nullptr;
      if (!StartJudged(program, before, main, list) || !SetDueReminders(program, main, list)) {
        ++notEntered_[static_cast<int>(Situation::Announcement)];
        std::printf("announcement kill %d: the reminders due were not set\n", announcementCycles_);
      }
      if (atStart) {
        EndProgram(program, main, list);
      } else {
        KillAroundAnnouncement(program, main, list);
      }
    }
    if (atStart) KillStartTelling();
    CheckTelling();
    reminders_.EndDue(atStart ? "of a start telling them as missed" : "in the run announcing them");
  }

  // One to three reminders for the next minute set through the reminder window, each on an entry
  // that has none; those set are due.
  bool SetDueReminders(const RunningProgram& program, HWND main, HWND list) {
    SYSTEMTIME due;
    GetLocalTime(&due);
    due = SecondsLater(due, 60);
    due.wSecond = 0;
    Reminders set;
    bool done = true;
    for (int count = std::uniform_int_distribution<int>(1, 3)(random_); done && count > 0; --count) {
      if (ReminderCandidates(true).empty()) FreeARow(program, list);
      const std::vector<int> rows = ReminderCandidates(true);
      if (rows.empty()) {
        std::printf("  no row can have a reminder: %s\n", ShownRows(entries_).c_str());
        done = false;
        break;
      }
      const int row = rows[std::uniform_int_distribution<size_t>(0, rows.size() - 1)(random_)];
      const std::wstring key = ReminderKey(times_[row], entries_[row]);
      HWND window = OpenReminderWindow(program, main, list, row, key);
      done = window && ConfirmMinute(program, list, window, row, key, due);
      if (KeptRowOf(key) >= 0) set.push_back(reminders_.rows()[KeptRowOf(key)]);
    }
    reminders_.SetDue(set, InstantOf(due) + 10000);
    reminders_.ExpectAnnouncements();
    return done;
  }

  // The run announces the due reminders at second 10 of their minute, one box after the other as
  // each is answered (after a while); the kill strikes at random from a few seconds before the
  // first to about when the last would show. Other rows are edited before the minute and while a
  // box is open. The boxes seen before the kill have told their reminders.
  void KillAroundAnnouncement(RunningProgram& program, HWND main, HWND list) {
    const int s = static_cast<int>(Situation::Announcement);
    ++kills_[s];
    const Instant dueAt = reminders_.dueAt(), quietFrom = dueAt - 7000;
    const int last = 2500 * static_cast<int>(reminders_.dueCount()) + 1000;
    const Instant killAt = dueAt + std::uniform_int_distribution<int>(-5000, last)(random_);
    BoxWatch watch(program);
    std::atomic<bool> killed{false};
    std::thread killer = Killer(program, killed, static_cast<int>(killAt - Now()), &watch);
    std::thread watcher = Watcher(killed, watch);
    std::deque<std::pair<BoxWatch::Box, Instant>> open;  // each box with when it is answered
    for (int i = 0; !killed && list;) {
      for (const BoxWatch::Box& box : watch.Take()) {
        open.emplace_back(box, Now() + std::uniform_int_distribution<int>(200, 1500)(random_));
      }
      if (!open.empty() && Now() >= open.front().second) {
        AnswerTelling(program, list, open.front().first);
        open.pop_front();
      } else if (Now() < quietFrom || !open.empty()) {
        Change(program, main, list, nullptr, Situation::Announcement, i++);
        Pump(std::uniform_int_distribution<int>(20, 300)(random_));
      } else {
        Pump(5);
      }
    }
    killer.join();
    watcher.join();
    for (const BoxWatch::Box& box : watch.All()) reminders_.Told(box.text, Telling::BeforeKill);
    previous_ = s;
  }

  // Once the due reminders' instant has passed, a start tells them in one box; the kill strikes
  // at random around it: half the kills anywhere from the start to a while after the box, half
  // close around it. The box, if seen before the kill, has told them.
  void KillStartTelling() {
    const int s = static_cast<int>(Situation::Announcement);
    SleepUntil(reminders_.dueAt() + std::uniform_int_distribution<int>(1000, 3000)(random_));
    LookAtDisk();
    // This start is killed before it shows anything: what it may save is expected at once.
    recent_.insert(UnmarkedPair(found_, reminders_.ExpectMissedAtStart()));
    const int after = std::uniform_int_distribution<int>(0, 1)(random_) == 0
                          ? std::uniform_int_distribution<int>(0, boxMs_ * 3 / 2)(random_)
                          : std::uniform_int_distribution<int>(boxMs_ * 4 / 5, boxMs_ * 6 / 5)(random_);
    RunningProgram program(dir_);
    const auto started = std::chrono::steady_clock::now();
    ++kills_[s];
    BoxWatch watch(program);
    std::atomic<bool> killed{false};
    std::thread killer = Killer(program, killed, after, &watch);
    std::thread watcher = Watcher(killed, watch);
    killer.join();
    watcher.join();
    const std::vector<BoxWatch::Box> boxes = watch.All();
    if (!boxes.empty()) LearnBoxMs(started, boxes.front());
    for (const BoxWatch::Box& box : boxes) reminders_.Told(box.text, Telling::BeforeKill);
    previous_ = s;
  }

  // The two starts after a kill around the telling of due reminders: the first tells each one not
  // told before the kill once, in its box at start or at its minute; the second tells nothing.
  // Each is ended with 关闭程序 once a few seconds passed without a box.
  void CheckTelling() {
    for (const Telling when : {Telling::AfterKill, Telling::SecondStart}) {
      LookAtDisk();
      const Instant before = Now();
      RunningProgram program(dir_);
      const auto started = std::chrono::steady_clock::now();
      BoxWatch watch(program);
      std::atomic<bool> ended{false};
      std::thread watcher = Watcher(ended, watch);
      HWND main = nullptr, list = nullptr;
      const bool shown = StartJudged(program, before, main, list);
      previous_ = -1;  // this start is ended, not killed
      if (shown) reminders_.ExpectAnnouncements();
      else std::printf("a start after a kill around reminders told: no main window\n");
      for (Instant quietAt = std::max(Now(), reminders_.dueAt()) + 3000; shown && Now() < quietAt; Pump(5)) {
        for (const BoxWatch::Box& box : watch.Take()) {
          if (!TellsOf(box.text).missed.empty()) LearnBoxMs(started, box);
          reminders_.Told(box.text, when);
          AnswerTelling(program, list, box);
          quietAt = std::max(quietAt, Now() + 2500);
        }
      }
      ended = true;
      watcher.join();
      EndProgram(program, main, list);
    }
  }

  void LearnBoxMs(std::chrono::steady_clock::time_point started, const BoxWatch::Box& box) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(box.seen - started).count();
    boxMs_ = static_cast<int>((boxMs_ * 4 + ms) / 5);
  }

  // Answers a box that tells reminders; an announcement's entries lose the marker once answered.
  void AnswerTelling(const RunningProgram& program, HWND list, const BoxWatch::Box& box) {
    const Rows next = Unmarked(entries_, TellsOf(box.text).keys);
    if (next != entries_) Expect(next, times_);
    AnswerMessageBox(box.hwnd, IDOK);
    if (next != entries_) Settle(program, list, next, times_);
  }

  // 关闭程序, which saves what the list shows.
  void EndProgram(RunningProgram& program, HWND main, HWND list) {
    if (list) {
      entries_ = ListColumn(list, 0);
      times_ = ListColumn(list, 1);
      Expect(entries_, times_);
    }
    PostMessageW(main, WM_COMMAND, kCloseProgram, 0);
    if (program.WaitForExit(10000) == STILL_ACTIVE) {
      std::printf("关闭程序 did not end the program\n");
      program.Kill();
    }
    previous_ = -1;
  }

  std::mutex reading_;  // held while reading the program's memory
  std::mt19937 random_{12345};
  ProgramDirectory dir_;
  Rows entries_, times_;
  // Every pair the list has had since the last start, beginning with what that start found.
  std::set<Pair> recent_;
  Pair found_;
  bool diskIntact_ = false;
  // The bytes this tool wrote into a file since the last start, until they are found again.
  std::optional<std::pair<std::wstring, std::string>> kept_;
  int kills_[kSituations] = {}, intact_[kSituations] = {}, torn_[kSituations] = {}, mixed_[kSituations] = {},
      unlike_[kSituations] = {}, notEntered_[kSituations] = {}, inSave_[kSituations] = {}, latest_[kSituations] = {};
  int starts_ = 0, edits_ = 0, adds_ = 0, deletes_ = 0, swaps_ = 0, notTaken_ = 0, previous_ = -1;
  std::wstring nextBackup_;
  std::chrono::steady_clock::time_point rewrittenAt_;
  int backupMs_ = 20;
  int rewrites_ = 0, keptWritten_ = 0, keptLost_ = 0, keptInFile_ = 0, keptInBackup_ = 0, reported_ = 0, reportedWrong_ = 0;
  int cleanups_ = 0, leftOverStarts_ = 0, settleMs_ = 400, leftBoth_ = 0, leftTime_ = 0, leftEntry_ = 0, leftNone_ = 0;
  ReminderStates reminders_;
  int reminderSets_ = 0, reminderChanges_ = 0, reminderDeletes_ = 0, markersTyped_ = 0, announcementCycles_ = 0;
  int boxMs_ = 1500;  // from a start to its box of missed reminders
};

}  // namespace

int main(int argc, char** argv) {
  const int kills = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int announced = argc > 2 ? std::atoi(argv[2]) : 5;
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // progress shows while it runs
  KillTest test;
  constexpr Situation kRotation[] = {Situation::Plain,  Situation::InputBox, Situation::InPlaceEdit,
                                     Situation::Backup, Situation::Cleanup,  Situation::Reminders};
  const int total = kills + announced;
  for (int kill = 0, rotated = 0; kill < total; ++kill) {
    // The announcement kills are spread evenly, one at the end of each of as many stretches.
    const bool announcement = (kill + 1) * announced / total > kill * announced / total;
    test.Cycle(announcement ? Situation::Announcement : kRotation[rotated++ % std::size(kRotation)]);
    if (kill % 50 == 49) std::printf("%d kills\n", kill + 1);
  }
  test.CheckLast();
  return test.Report() ? 0 : 1;
}
