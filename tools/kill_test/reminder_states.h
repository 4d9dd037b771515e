// What this tool knows of the reminder rows across kills: the rows the program holds now, every
// state they had since the last start (the reminder file must hold one of them after a kill),
// what a start must show of them, and, for reminders set to fall due, each time one is told.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tools/kill_test/reminder_texts.h"

namespace tl::kill_test {

// Milliseconds of the local clock, which the program reads.
using Instant = long long;
Instant InstantOf(const SYSTEMTIME& time);
Instant Now();

// When a box that tells reminders was seen: before the kill, by the start after it, or by the
// start after that, which must tell nothing.
enum class Telling { BeforeKill, AfterKill, SecondStart };

class ReminderStates {
 public:
  const Reminders& rows() const { return rows_; }
  // The rows the program holds from now on; the file may hold them.
  void Follow(const Reminders& rows);
  // A state the rows may come to hold before the next kill.
  void Expect(const Reminders& rows);

  // Judges the reminder file a kill or an end left: whole, and a state the rows had since the
  // start before. What it holds is where the next start begins.
  void LookAtFile(const e2e::ProgramDirectory& dir, const char* after);
  // Judges what a start that began between these instants shows in 提醒事件: the reminders the
  // file keeps as not announced, less the due ones it tells instead when their instant has passed.
  // Answers the keys it told as missed; their entries lose the marker at start.
  std::vector<std::wstring> CheckStart(const Reminders& shown, Instant before, Instant after);
  // The keys a start from the file found tells as missed once their instant has passed.
  std::vector<std::wstring> DueKept() const;
  // For a start after that instant that may be killed before it shows anything: the rows it
  // keeps without the due ones may be saved. Answers their keys; their entries lose the marker.
  std::vector<std::wstring> ExpectMissedAtStart();

  // Rows just set to be announced at this instant, each to be told exactly once from now on.
  void SetDue(const Reminders& rows, Instant at);
  Instant dueAt() const { return dueAt_; }
  size_t dueCount() const { return dueRows_.size(); }
  // The states the file passes through as the program announces the due rows, one by one.
  void ExpectAnnouncements();
  // A message box of the program: the due reminders it tells are counted.
  void Told(const std::wstring& boxText, Telling when);
  // The verdict on the due reminders: told once, twice or never, after this kill.
  void EndDue(const char* kill);

  void PrintFigures() const;
  // Every reminder file whole and a state the rows had, every start showing the rows kept, every
  // due reminder told exactly once and nothing else told.
  bool Held() const;
  int due() const { return due_; }
  int once() const { return once_; }
  int twice() const { return twice_; }
  int never() const { return never_; }
  int torn() const { return torn_; }
  int foreign() const { return foreign_; }

 private:
  struct Due {
    Reminder reminder;
    int told[3] = {};
  };
  Due* DueOf(const std::wstring& key);

  Reminders rows_;
  // Every state since the last start, by the file's bytes for it.
  std::map<std::string, Reminders> recent_{{ReminderFileBytes({}), {}}};
  Reminders found_;
  bool foundKnown_ = true, fileSeen_ = false;
  std::vector<Due> dueRows_;
  Instant dueAt_ = 0;
  int intact_ = 0, torn_ = 0, foreign_ = 0, unlike_ = 0;
  int due_ = 0, once_ = 0, twice_ = 0, never_ = 0, notDue_ = 0, atMinute_ = 0, atStart_ = 0, beforeKill_ = 0, afterKill_ = 0;
};

}  // namespace tl::kill_test
