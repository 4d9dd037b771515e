// The steps the program's files are kept with, each one call of the file commands or a few: a
// look at a file, a whole read, a flushed write, a replacement, a removal, and a backup that is
// never refused a name. The entry pair and the reminder file are saved with them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/runtime_values.h"
#include "commands/file.h"

namespace tl::app {

using cmd::FileStamp;

enum class Presence { Missing, Present, Unknown };
Presence PresenceOf(const std::string& name);
FileStamp StampOf(const std::string& name);
cmd::NameKind KindOf(const std::string& name);

OwnedByteSet ReadBytes(const char* name);
// A file's bytes when it can be read whole now, no longer than `largest`: as long as it was
// before and after the read, and unchanged by the read.
std::optional<OwnedByteSet> ReadWhole(const std::string& name, int64_t largest);
// The text goes as it is: no line holds a zero byte.
bool WriteFlushed(const std::string& name, const std::string& text);
bool Replace(const std::string& source, const char* target);
// True when the file is gone, whether or not it was there.
bool Remove(const std::string& name);

// Copies a file to the first backup name of `name` that is taken in no form (no file, no
// folder); with every number taken, over the oldest backup file, through a temporary so that the
// oldest stays whole until the copy is. Answers the backup's name and whether an old backup gave
// way.
std::optional<std::pair<std::string, bool>> CopyToBackup(const std::string& from, const char* name);

std::string Quoted(std::string_view name);
// What the user is told of a file kept as a backup, and why.
std::string KeptNotice(std::string_view why, const char* name, const std::string& backup);
// What the user is told when the last backup number was reached and the oldest backup gave way.
std::string OldestBackupNotice(const std::string& backup);

}  // namespace tl::app
