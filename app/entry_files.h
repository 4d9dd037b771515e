// The entry file and the time file as the main list's mirror on disk: loaded once at start, then
// brought up to date by every tick of the save timer. Held apart from the handlers so that a
// test can start the mirror afresh, as a new run of the program would.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/entry_text.h"
#include "app/list_unit.h"
#include "app/runtime_values.h"
#include "commands/file.h"

namespace tl::app {

inline constexpr const char* kEntryFile = "bugaun.txt";
inline constexpr const char* kTimeFile = "jilusjian.txt";
// A file longer than this is not loaded: it is kept as a backup before anything replaces it.
inline constexpr int64_t kLargestLoadedFile = 64 << 20;

using cmd::FileStamp;

class EntryFiles {
 public:
  // Finishes or discards what an interrupted save left behind, keeping first an entry file that
  // is newer than the replacement left unfinished or that does not pair with it; runs before the
  // load.
  void Recover();
  // Fills the list from the pair, reading the entries from a replacement a crashed save could not
  // finish, and notes which file holds bytes the list does not.
  void Load(const ListUnit& list);
  // Never writes the files from now on, and tells the user so.
  void WorkReadOnly();
  // One tick of the save timer at `nowSeconds`: saves when the list or a file changed, or a
  // save is owed.
  void Tick(const ListUnit& list, double nowSeconds);
  // Saves whatever the state; true when the disk holds the list afterwards.
  bool SaveNow(const ListUnit& list, double nowSeconds);
  // What the user is to be told, oldest first; each notice is handed out once.
  std::vector<std::string> TakeNotices();

 private:
  enum class Keep { Nothing, NotLoadedExactly, TooLarge, ChangedElsewhere, NewerThanReplacement };
  struct File {
    const char* name;
    uint32_t column;
    // As a replacement of this program left it, or as this program last saw it; never taken
    // from a look after a save that failed, which may show another program's writing.
    FileStamp stamp;
    Keep keep = Keep::Nothing;  // why its bytes must be kept before it is replaced
    bool unread = false;        // it could not be read whole at the load
    std::string source;         // the file the list was loaded from: the name, or a replacement left unfinished
  };
  enum class Outcome { Saved, NotKept, NotWritten };
  enum class Step { Done, NotKept, Failed };

  std::optional<OwnedByteSet> LoadFile(const ListUnit& list, File& file, const std::optional<std::string>& source);
  bool ReloadIfUnread(const ListUnit& list);
  bool Owed(uint32_t changeCount, const FileStamp& times, const FileStamp& entries) const;
  Outcome SaveChanges(const ListUnit& list, uint32_t changeCount, const FileStamp& times, const FileStamp& entries);
  void BuildLoadedLines(const ListUnit& list, const std::optional<OwnedByteSet>& entryBytes,
                        const std::optional<OwnedByteSet>& timeBytes);
  void BuildLines(const ListUnit& list, uint32_t changeCount);
  bool PatchLines(const ListUnit& list);
  void NoteOutsideChange(File& file, const FileStamp& now);
  bool KeepBackup(File& file);
  bool KeepCopy(const std::string& from, const char* name, Keep why);
  bool SettlePair();
  bool FinishEntryReplacement();
  Outcome WritePair();
  Step ReplaceWith(File& file, const std::string& temporary, const FileStamp& written);
  Outcome Save();
  void Record(Outcome outcome, double nowSeconds);
  std::string FailureNotice() const;

  File time_{kTimeFile, 1, {}, Keep::Nothing, false, kTimeFile};
  File entries_{kEntryFile, 0, {}, Keep::Nothing, false, kEntryFile};
  // The entry file as it was when it was kept before a replacement was finished over it: kept once.
  FileStamp keptBeforeFinishing_{-2, -2};
  bool readOnly_ = false;
  // The save's lines, one text per column, and the list's change count they hold.
  EntryLines lines_;
  uint32_t builtAt_ = 0;
  bool built_ = false;
  uint32_t loadedAt_ = 0;  // the list's change count right after the load
  static constexpr double kLookInterval = 0.25;  // seconds between looks at unchanged files
  double lookedAt_ = -kLookInterval;
  // A save is owed although nothing changed: after a load that did not match the disk, and
  // after a save that failed.
  bool owed_ = true;
  Outcome failedAs_ = Outcome::Saved;
  const File* failedFile_ = nullptr;  // the file that could not be kept
  SaveFailureNotice failure_;
  std::vector<std::string> notices_;
};

// The main list's mirror, the one the save timer and the end of the program use.
EntryFiles& MainEntryFiles();

}  // namespace tl::app
