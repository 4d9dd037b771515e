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
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tools/kill_test/kill_test.h"

namespace tl::kill_test {

using namespace e2e;

namespace {

constexpr int kFirstRows = 6, kFewestRows = 3, kMostRows = 9;
constexpr WPARAM kEditEntry = 20005, kDeleteEntry = 20006, kInsertEntry = 20007;
const std::wstring kEntryFile = L"bugaun.txt", kTimeFile = L"jilusjian.txt";
const std::wstring kEntryTemporary = L"bugaun.txt.new", kTimeTemporary = L"jilusjian.txt.new";

constexpr const char* kSituationNames[] = {"nothing else open", "input box open",    "in-place edit open",
                                           "backup being made", "clean-up at start", "reminders changing",
                                           "reminders told"};

}  // namespace

std::string Joined(const Rows& texts) {
  std::string out;
  for (const std::wstring& text : texts) out += Gbk(text) + "\r\n";
  return out;
}

namespace {

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

}  // namespace

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

std::string ShownRows(const Rows& rows) { return Shown(Joined(rows)); }

namespace {

std::wstring Wide(const std::string& gbk) {
  if (gbk.empty()) return {};
  const int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), text.data(), n);
  return text;
}

}  // namespace

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

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_BLOCK, 2000, &answer)) return 0;
  return static_cast<LRESULT>(answer);
}

namespace {

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

}  // namespace

KillTest::KillTest() {
  for (int i = 0; i < kFirstRows; ++i) {
    entries_.push_back(L"条目" + std::to_wstring(i));
    times_.push_back(L"2024年1月" + std::to_wstring(i + 1) + L"日");
  }
  dir_.Write(kEntryFile, Joined(entries_));
  dir_.Write(kTimeFile, Joined(times_));
  recent_.insert(Current());
}

void KillTest::Cycle(Situation situation) {
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

void KillTest::CheckLast() {
  LookAtDisk();
  const Instant before = Now();
  RunningProgram program(dir_);
  HWND main = nullptr, list = nullptr;
  StartJudged(program, before, main, list);
}

bool KillTest::Report() const {
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

void KillTest::LookAtDisk() {
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

bool KillTest::StartJudged(const RunningProgram& program, Instant before, HWND& main, HWND& list) {
  main = program.MainWindow(20000);
  list = main ? FindChild(main, L"SysListView32") : nullptr;
  if (!list) return false;
  const std::vector<std::wstring> missed = reminders_.CheckStart(ShownReminders(program), before, Now());
  Judge(ShowsFound(list, missed));
  return true;
}

bool KillTest::ShowsFound(HWND list, const std::vector<std::wstring>& missed) {
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

void KillTest::Judge(bool shown) {
  if (previous_ >= 0 && diskIntact_ && shown) ++intact_[previous_];
}

void KillTest::CheckKept() {
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

bool KillTest::Enter(Situation situation, const RunningProgram& program, HWND main, HWND list) {
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

bool KillTest::Rewrite(const RunningProgram& program) {
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

void KillTest::WatchForReport(const RunningProgram& program, const std::atomic<bool>& killed) {
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

void KillTest::CleanupCycle() {
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

bool KillTest::Settle(const RunningProgram& program, HWND list, const Rows& entries, const Rows& times,
            const std::set<std::wstring>* lastTimes) {
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

bool KillTest::Change(const RunningProgram& program, HWND main, HWND list, HWND addButton, Situation situation, int i) {
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

bool KillTest::EditRow(const RunningProgram& program, HWND list, int row, bool inPlace, int i) {
  return EditRowTo(program, list, row, inPlace, L"改" + std::to_wstring(edits_) + L"-" + std::to_wstring(i));
}

bool KillTest::EditRowTo(const RunningProgram& program, HWND list, int row, bool inPlace, const std::wstring& text) {
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

bool KillTest::AddRow(const RunningProgram& program, HWND list, HWND main, HWND addButton, bool slowly, int i) {
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

bool KillTest::DeleteRow(const RunningProgram& program, HWND main, HWND list, int row) {
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

std::thread KillTest::Killer(RunningProgram& program, std::atomic<bool>& killed, int afterMs, BoxWatch* watch) {
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

}  // namespace tl::kill_test

int main(int argc, char** argv) {
  const int kills = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int announced = argc > 2 ? std::atoi(argv[2]) : 5;
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // progress shows while it runs
  using tl::kill_test::Situation;
  tl::kill_test::KillTest test;
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
