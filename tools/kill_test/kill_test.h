// The kill test's state and steps: the run, its starts and the entry pair's situations in
// kill_test.cpp, the reminder situations in reminder_kills.cpp.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
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

namespace tl::kill_test {

using e2e::ProgramDirectory;
using e2e::RunningProgram;

// Reminders set far ahead are deleted again from this many on.
constexpr size_t kMostReminders = 5;
constexpr WPARAM kCloseProgram = 20003, kAddReminder = 20011, kDeleteReminder = 20012;
inline const std::wstring kPlaceholder = L"输入内容， 列如：写PPt";

enum class Situation { Plain, InputBox, InPlaceEdit, Backup, Cleanup, Reminders, Announcement };
constexpr int kSituations = 7;

using Rows = std::vector<std::wstring>;

// A pair as it lies on disk: the time file's bytes and the entry file's.
struct Pair {
  std::string times, entries;
  auto operator<=>(const Pair&) const = default;
};

std::string Joined(const Rows& texts);
std::string ShownRows(const Rows& rows);
SYSTEMTIME SecondsLater(SYSTEMTIME t, int seconds);
// The rows once the program took the markers of these reminders off: every entry that reads as
// a reminder's entry text marked.
Rows Unmarked(Rows rows, const std::vector<std::wstring>& keys);
Pair UnmarkedPair(const Pair& pair, const std::vector<std::wstring>& keys);
// A message answered within two seconds, or 0.
LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class KillTest {
 public:
  KillTest();

  void Cycle(Situation situation);

  // What the last kill left, and what the start after it shows: the same checks once more.
  void CheckLast();

  bool Report() const;

 private:
  Pair Current() const { return {Joined(times_), Joined(entries_)}; }

  // The state counts once the list holds it, before the change's save can begin.
  void Expect(const Rows& entries, const Rows& times) { recent_.insert({Joined(times), Joined(entries)}); }

  bool Alive(const RunningProgram& program) const { return WaitForSingleObject(program.process(), 0) == WAIT_TIMEOUT; }

  // Reads what the last kill left the way a start reads it, before anything starts: a lone entry
  // temporary is the entry file. Judges the disk for the situation of that kill; the start that
  // follows completes the verdict (Judge). The pair found is where the next changes start from.
  void LookAtDisk();

  // The start after a kill (or an end): its main window, and what it shows judged against what
  // the kill left.
  bool StartJudged(const RunningProgram& program, Instant before, HWND& main, HWND& list);

  // Whether the start shows the pair found on disk, times and entries, less the markers of the
  // reminders it tells as missed.
  bool ShowsFound(HWND list, const std::vector<std::wstring>& missed);

  // Credits the start's finding to the situation of the kill before it (the first start
  // follows no kill).
  void Judge(bool shown);

  // The bytes this tool wrote before the last kill: in the file still, or in a backup whole.
  void CheckKept();

  bool Enter(Situation situation, const RunningProgram& program, HWND main, HWND list);

  // Another program rewrites one of the files while this one runs, idle: the next tick must copy
  // what it wrote to a backup before replacing it. Long lines make the copy take a while.
  bool Rewrite(const RunningProgram& program);

  // Until the kill: a backup the program reports must already hold what was written.
  void WatchForReport(const RunningProgram& program, const std::atomic<bool>& killed);

  // Left-over temporaries beside the files, as a kill during a save leaves them, and a start
  // killed while it settles them: both temporaries (a save stopped before its first replacement:
  // both must go, the entry file's first), a lone entry temporary beside a time file already
  // replaced (a save stopped between its replacements: it must be finished), or a lone time
  // temporary (a clean-up stopped halfway: it must go).
  // What the last kill left, if it left temporaries, is such a start already, and is settled as
  // it is.
  void CleanupCycle();

  // Whether the list shows these rows (the last row's time one of `lastTimes` when given); the
  // model follows what it shows. A program being killed answers nothing, and that is not a
  // change lost.
  bool Settle(const RunningProgram& program, HWND list, const Rows& entries, const Rows& times,
              const std::set<std::wstring>* lastTimes = nullptr);

  bool Change(const RunningProgram& program, HWND main, HWND list, HWND addButton, Situation situation, int i);

  bool EditRow(const RunningProgram& program, HWND list, int row, bool inPlace, int i);

  bool EditRowTo(const RunningProgram& program, HWND list, int row, bool inPlace, const std::wstring& text);

  // 插入事件 or the add button: the first placeholder row goes, a placeholder row stamped with
  // the current time is appended and opened for typing; then a text is typed, or the placeholder
  // left as it is.
  bool AddRow(const RunningProgram& program, HWND list, HWND main, HWND addButton, bool slowly, int i);

  // 删除事件 on a row the list selects first.
  bool DeleteRow(const RunningProgram& program, HWND main, HWND list, int row);

  // Kills the program after this many milliseconds. Wine can wait forever on memory of another
  // process that is being terminated: no kill lands while a row is being read. Nor does it wait
  // for a read to end and strike right after it, when the program has long finished saving: it
  // tries again a moment later. A watch given looks at the boxes a last time just before.
  std::thread Killer(RunningProgram& program, std::atomic<bool>& killed, int afterMs, BoxWatch* watch = nullptr);

  // ---- the reminder situations (reminder_kills.cpp) ----

  // Looks at the program's boxes every millisecond until the kill.
  std::thread Watcher(const std::atomic<bool>& killed, BoxWatch& watch);

  // Waits for the program's message box while it runs; null unless it says this.
  HWND Question(const RunningProgram& program, const std::wstring& text);

  int KeptRowOf(const std::wstring& key) const;

  // The rows a reminder can be set for as the marking expects: text not marked, not the
  // placeholder, on no other row; `fresh`, with no reminder of that key kept.
  std::vector<int> ReminderCandidates(bool fresh) const;

  // A row that can have a reminder: one edited to a new text.
  bool FreeARow(const RunningProgram& program, HWND list);

  // A minute between weeks and years ahead: no reminder for it falls due during the run.
  SYSTEMTIME FarMinute();

  // 添加提醒事件 on a row: the reminder window once it names the row's entry.
  HWND OpenReminderWindow(const RunningProgram& program, HWND main, HWND list, int row, const std::wstring& key);

  // The minute typed into the reminder window and 确认提醒: a new reminder is appended and marks
  // its entry (the row's); one whose key is kept is changed in its row once the program has asked.
  bool ConfirmMinute(const RunningProgram& program, HWND list, HWND window, int row, const std::wstring& key,
                     const SYSTEMTIME& minute);

  // A reminder set far ahead, and now and then at once changed to another minute while the
  // window still names its entry; or one deleted; from the most rows on, always a delete.
  bool ChangeReminders(const RunningProgram& program, HWND main, HWND list);

  // 删除提醒事件 on a marked entry whose reminder is kept (the first row of its text): the program
  // asks, and 是 deletes the row and takes that entry's marker off. A reminder whose entry lost
  // the marker (edited, or a kill before the marker was saved) is reached by typing the marker
  // back first, as a person would.
  bool DeleteReminder(const RunningProgram& program, HWND main, HWND list);

  // Whether 提醒事件's rows show these; the model follows what they show.
  bool SettleReminders(const RunningProgram& program, const Reminders& rows);

  // Kills around the telling of reminders due in the next minute, then two starts: the first
  // must tell each one not told before the kill exactly once, the second nothing. The kills
  // alternate between the run that announces them at their minute and, after that run was ended
  // before their minute, a start that tells them as missed.
  void AnnouncementCycle();

  // One to three reminders for the next minute set through the reminder window, each on an entry
  // that has none; those set are due.
  bool SetDueReminders(const RunningProgram& program, HWND main, HWND list);

  // The run announces the due reminders at second 10 of their minute, one box after the other as
  // each is answered (after a while); the kill strikes at random from a few seconds before the
  // first to about when the last would show. Other rows are edited before the minute and while a
  // box is open. The boxes seen before the kill have told their reminders.
  void KillAroundAnnouncement(RunningProgram& program, HWND main, HWND list);

  // Once the due reminders' instant has passed, a start tells them in one box; the kill strikes
  // at random around it: half the kills anywhere from the start to a while after the box, half
  // close around it. The box, if seen before the kill, has told them.
  void KillStartTelling();

  // The two starts after a kill around the telling of due reminders: the first tells each one not
  // told before the kill once, in its box at start or at its minute; the second tells nothing.
  // Each is ended with 关闭程序 once a few seconds passed without a box.
  void CheckTelling();

  void LearnBoxMs(std::chrono::steady_clock::time_point started, const BoxWatch::Box& box);

  // Answers a box that tells reminders; an announcement's entries lose the marker once answered.
  void AnswerTelling(const RunningProgram& program, HWND list, const BoxWatch::Box& box);

  // 关闭程序, which saves what the list shows.
  void EndProgram(RunningProgram& program, HWND main, HWND list);

  // ---- state ----

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

}  // namespace tl::kill_test
