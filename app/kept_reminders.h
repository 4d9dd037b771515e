// The reminder file as the reminder list's mirror on disk: read once at start, written after
// every change of the rows and before every announcement. Held apart from the handlers so that a
// test can start it afresh, as a new run of the program would.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "app/entry_text.h"
#include "app/reminder_file.h"
#include "app/runtime_values.h"
#include "commands/file.h"

namespace tl::app {

class ReminderFileMirror {
 public:
  // Discards a replacement a killed save left unfinished: the file itself is whole.
  void Recover();
  // The kept reminders; none from a file that is missing, damaged, another program's or
  // unreadable. Such a file is kept as a backup before it is first replaced.
  std::vector<KeptReminder> Load();
  // Writes the reminders, and those held until they are told; false when the disk does not hold
  // them (the save is then owed).
  bool Save(std::span<const KeptReminder> reminders, double nowSeconds);
  bool owed() const { return owed_; }
  // Never writes the file from now on: another copy of the program may be writing it.
  void WorkReadOnly() { readOnly_ = true; }
  // What the user is to be told, oldest first; each notice is handed out once.
  std::vector<std::string> TakeNotices();
  void Tell(std::string notice);
  // Reminders whose minute passed while the program was not running, told by this notice: every
  // save keeps them, as not announced, until the box that tells them is about to show, so that a
  // start killed before it tells them again and one killed after never does.
  void TellMissed(std::vector<KeptReminder> missed, std::string notice);
  // Just before a box shows the notices handed out: the missed reminders among them are no longer
  // kept. Answers whether there were any (a save must follow).
  bool ForgetTold();

 private:
  enum class Keep { Nothing, NotRead, ChangedElsewhere };
  bool KeepBackup();
  void NoteOutsideChange();

  cmd::FileStamp stamp_;  // as this program's last replacement left it
  std::string written_;   // what that replacement wrote
  Keep keep_ = Keep::Nothing;
  bool owed_ = false;
  bool readOnly_ = false;
  SaveFailureNotice failure_;
  std::vector<std::string> notices_;
  std::vector<KeptReminder> missed_;
  bool missedHandedOut_ = false;
};

ReminderFileMirror& MainReminderFile();

}  // namespace tl::app
