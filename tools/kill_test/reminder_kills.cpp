// The kill test's reminder situations: reminders set far ahead, changed and deleted until the
// kill, and kills around the telling of reminders due in the next minute with the two starts that
// check it.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tools/kill_test/kill_test.h"

namespace tl::kill_test {

using namespace e2e;

namespace {

// A minute as the reminder rows show it: year, month, day, hour and minute, without leading zeros.
std::array<std::wstring, 5> MinuteParts(const SYSTEMTIME& t) {
  return {std::to_wstring(t.wYear), std::to_wstring(t.wMonth), std::to_wstring(t.wDay), std::to_wstring(t.wHour),
          std::to_wstring(t.wMinute)};
}

void SleepUntil(Instant at) {
  const Instant now = Now();
  if (at > now) Sleep(static_cast<DWORD>(at - now));
}

// Waits for a second of the minute in this span.
void WaitForSecondBetween(int first, int last) {
  SYSTEMTIME now;
  for (GetLocalTime(&now); now.wSecond < first || now.wSecond > last; GetLocalTime(&now)) Sleep(200);
}

}  // namespace

std::thread KillTest::Watcher(const std::atomic<bool>& killed, BoxWatch& watch) {
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

HWND KillTest::Question(const RunningProgram& program, const std::wstring& text) {
  HWND box = nullptr;
  WaitUntil([&] { return !Alive(program) || (box = program.WaitForMessageBox(0)); }, 3000);
  const std::wstring said = box ? BoxText(box) : L"";
  if (said == text) return box;
  // A box that vanishes as it is read went with the program.
  if (box && Alive(program)) {
    std::printf("  the program said %s\n  instead of %s\n", Shown(Gbk(said)).c_str(), Shown(Gbk(text)).c_str());
  }
  return nullptr;
}

int KillTest::KeptRowOf(const std::wstring& key) const {
  const Reminders& rows = reminders_.rows();
  const auto row = std::find_if(rows.begin(), rows.end(), [&](const Reminder& r) { return r.key == key; });
  return row == rows.end() ? -1 : static_cast<int>(row - rows.begin());
}

std::vector<int> KillTest::ReminderCandidates(bool fresh) const {
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

bool KillTest::FreeARow(const RunningProgram& program, HWND list) {
  if (entries_.empty()) return false;
  return EditRow(program, list, std::uniform_int_distribution<int>(0, static_cast<int>(entries_.size()) - 1)(random_), false, 0);
}

SYSTEMTIME KillTest::FarMinute() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  t = SecondsLater(t, std::uniform_int_distribution<int>(7, 3000)(random_) * 86400);
  t.wHour = static_cast<WORD>(std::uniform_int_distribution<int>(0, 23)(random_));
  t.wMinute = static_cast<WORD>(std::uniform_int_distribution<int>(0, 59)(random_));
  t.wSecond = 0;
  return t;
}

HWND KillTest::OpenReminderWindow(const RunningProgram& program, HWND main, HWND list, int row, const std::wstring& key) {
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

bool KillTest::ConfirmMinute(const RunningProgram& program, HWND list, HWND window, int row, const std::wstring& key,
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

bool KillTest::ChangeReminders(const RunningProgram& program, HWND main, HWND list) {
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

bool KillTest::DeleteReminder(const RunningProgram& program, HWND main, HWND list) {
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
    // The list may have lost every row to kills between a delete and an add.
    if (rows.empty() || entries_.empty()) return false;
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

bool KillTest::SettleReminders(const RunningProgram& program, const Reminders& rows) {
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

void KillTest::AnnouncementCycle() {
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

bool KillTest::SetDueReminders(const RunningProgram& program, HWND main, HWND list) {
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

void KillTest::KillAroundAnnouncement(RunningProgram& program, HWND main, HWND list) {
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

void KillTest::KillStartTelling() {
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

void KillTest::CheckTelling() {
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

void KillTest::LearnBoxMs(std::chrono::steady_clock::time_point started, const BoxWatch::Box& box) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(box.seen - started).count();
  boxMs_ = static_cast<int>((boxMs_ * 4 + ms) / 5);
}

void KillTest::AnswerTelling(const RunningProgram& program, HWND list, const BoxWatch::Box& box) {
  const Rows next = Unmarked(entries_, TellsOf(box.text).keys);
  if (next != entries_) Expect(next, times_);
  AnswerMessageBox(box.hwnd, IDOK);
  if (next != entries_) Settle(program, list, next, times_);
}

void KillTest::EndProgram(RunningProgram& program, HWND main, HWND list) {
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

}  // namespace tl::kill_test
