#include "tools/kill_test/reminder_states.h"

#include <algorithm>
#include <cstdio>

namespace tl::kill_test {
namespace {

const std::wstring kReminderFile = L"tixing.txt";
const char* const kTellingNames[] = {"before the kill", "by the start after it", "by the start after that"};

}  // namespace

Instant InstantOf(const SYSTEMTIME& time) {
  FILETIME file;
  SystemTimeToFileTime(&time, &file);
  return static_cast<Instant>((static_cast<ULONGLONG>(file.dwHighDateTime) << 32 | file.dwLowDateTime) / 10000);
}

Instant Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return InstantOf(now);
}

void ReminderStates::Follow(const Reminders& rows) {
  rows_ = rows;
  Expect(rows);
}

void ReminderStates::Expect(const Reminders& rows) { recent_.emplace(ReminderFileBytes(rows), rows); }

void ReminderStates::LookAtFile(const e2e::ProgramDirectory& dir, const char* after) {
  const std::optional<std::string> bytes = dir.Read(kReminderFile);
  // No file is no reminder, until the program has written one.
  const std::string empty = ReminderFileBytes({});
  const auto state = bytes ? recent_.find(*bytes) : fileSeen_ ? recent_.end() : recent_.find(empty);
  fileSeen_ = fileSeen_ || bytes;
  foundKnown_ = state != recent_.end();
  if (foundKnown_) {
    ++intact_;
    found_ = state->second;
  } else {
    ++(bytes && WholeReminderFile(*bytes) ? foreign_ : torn_);
    std::printf("after a kill (%s): the reminder file is %s\n  it holds: %s\n  the rows:%s\n  states since the start before: %zu\n",
                after, bytes && WholeReminderFile(*bytes) ? "whole but no state the rows had" : "not whole",
                Shown(bytes).c_str(), ShownReminderRows(rows_).c_str(), recent_.size());
    found_.clear();
  }
  recent_ = {{bytes.value_or(empty), found_}};
}

std::vector<std::wstring> ReminderStates::DueKept() const {
  std::vector<std::wstring> keys;
  for (const Reminder& r : found_) {
    if (!r.announced && std::any_of(dueRows_.begin(), dueRows_.end(), [&](const Due& d) { return d.reminder.key == r.key; })) {
      keys.push_back(r.key);
    }
  }
  return keys;
}

std::vector<std::wstring> ReminderStates::ExpectMissedAtStart() {
  const std::vector<std::wstring> due = DueKept();
  Reminders kept;
  for (const Reminder& r : found_) {
    if (!r.announced && std::find(due.begin(), due.end(), r.key) == due.end()) kept.push_back({r.key, r.when});
  }
  Expect(kept);
  return due;
}

// The due reminders share one instant: a start tells them all as missed or shows them all.
std::vector<std::wstring> ReminderStates::CheckStart(const Reminders& shown, Instant before, Instant after) {
  const std::vector<std::wstring> due = DueKept();
  Reminders early, late;
  for (const Reminder& r : found_) {
    if (r.announced) continue;
    early.push_back({r.key, r.when});
    if (std::find(due.begin(), due.end(), r.key) == due.end()) late.push_back({r.key, r.when});
  }
  const bool mayBeEarly = due.empty() || before < dueAt_, mayBeLate = !due.empty() && after >= dueAt_;
  std::vector<std::wstring> missed;
  if (mayBeLate && SameRows(shown, late)) {
    missed = due;
  } else if (foundKnown_ && !(mayBeEarly && SameRows(shown, early))) {
    ++unlike_;
    std::printf("a start shows other reminders than the file keeps\n  shown:%s\n  kept: %s\n", ShownReminderRows(shown).c_str(),
                ShownReminderRows(early).c_str());
  }
  Follow(shown);
  return missed;
}

void ReminderStates::SetDue(const Reminders& rows, Instant at) {
  for (const Reminder& r : rows) dueRows_.push_back({r});
  dueAt_ = at;
}

void ReminderStates::ExpectAnnouncements() {
  Reminders rows = rows_;
  for (Reminder& r : rows) {
    if (!DueOf(r.key)) continue;
    r.announced = true;
    Expect(rows);
  }
}

ReminderStates::Due* ReminderStates::DueOf(const std::wstring& key) {
  const auto due = std::find_if(dueRows_.begin(), dueRows_.end(), [&](const Due& d) { return d.reminder.key == key; });
  return due == dueRows_.end() ? nullptr : &*due;
}

void ReminderStates::Told(const std::wstring& boxText, Telling when) {
  const Tells tells = TellsOf(boxText);
  std::vector<Due*> told;
  for (const std::wstring& key : tells.keys) {
    told.push_back(DueOf(key));
    if (told.back()) ++atMinute_;
  }
  for (const std::wstring& line : tells.missed) {
    const auto due = std::find_if(dueRows_.begin(), dueRows_.end(), [&](const Due& d) { return MissedLine(d.reminder) == line; });
    told.push_back(due == dueRows_.end() ? nullptr : &*due);
    if (told.back()) ++atStart_;
  }
  for (Due* due : told) {
    if (due) {
      ++due->told[static_cast<int>(when)];
      ++(when == Telling::BeforeKill ? beforeKill_ : afterKill_);
    } else {
      ++notDue_;
      std::printf("a reminder not due was told %s: %s\n", kTellingNames[static_cast<int>(when)], Shown(e2e::Gbk(boxText)).c_str());
    }
  }
}

void ReminderStates::EndDue(const char* kill) {
  for (const Due& d : dueRows_) {
    const int told = d.told[0] + d.told[1] + d.told[2];
    ++due_;
    ++(told == 1 ? once_ : told == 0 ? never_ : twice_);
    if (told != 1) {
      std::printf("a due reminder was told %d times around a kill %s (%d before the kill, %d by the start after it, %d by the"
                  " start after that): %s\n",
                  told, kill, d.told[0], d.told[1], d.told[2], Shown(e2e::Gbk(d.reminder.key)).c_str());
    }
  }
  dueRows_.clear();
}

void ReminderStates::PrintFigures() const {
  std::printf("reminder files after a kill or an end: %d a state the rows had, %d torn, %d foreign; starts showing other"
              " reminder rows than kept %d\n",
              intact_, torn_, foreign_, unlike_);
  std::printf("reminders due %d: told once %d, twice %d, never %d (of the tellings %d before a kill, %d after it; %d in a"
              " start's box, %d at their minute); reminders told though not due %d\n",
              due_, once_, twice_, never_, beforeKill_, afterKill_, atStart_, atMinute_, notDue_);
}

bool ReminderStates::Held() const {
  return torn_ == 0 && foreign_ == 0 && unlike_ == 0 && twice_ == 0 && never_ == 0 && notDue_ == 0;
}

}  // namespace tl::kill_test
