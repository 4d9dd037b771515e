// The file commands: whole-file reads and writes of byte sets, and the program's directory.
// Windows only; file names are GBK texts, widened at the call.
#pragma once

#include <string>

#include "runtime/args.h"

namespace tl::cmd {

void ReadFile(ArgRecord* result, int argc, ArgRecord* args);
void WriteFile(ArgRecord* result, int argc, ArgRecord* args);
void GetRunDirectory(ArgRecord* result, int argc, ArgRecord* args);

// (name, byte sets or texts...) -> bool: WriteFile that reports success only once the bytes
// reached the disk (flushed before the file is closed); a text is written without its end.
void WriteFileFlushed(ArgRecord* result, int argc, ArgRecord* args);
// (source, target) -> bool: the source takes the target's place in one step; a crash leaves
// either the old or the new target.
void ReplaceFileWith(ArgRecord* result, int argc, ArgRecord* args);
// (source, target) -> bool: copies, but never over an existing target; true once the copy
// reached the disk, and a copy that fails leaves no target behind.
void CopyToNewFile(ArgRecord* result, int argc, ArgRecord* args);
// (name) -> bool.
void RemoveFile(ArgRecord* result, int argc, ArgRecord* args);
// (name) -> long: the byte length, -1 when there is no such file, -2 when the file could not be
// looked at (it may or may not be there).
void FileLength(ArgRecord* result, int argc, ArgRecord* args);
// (name) -> byte set of 16 bytes: the byte length, then the last-write time in 100 ns steps,
// each in 8 bytes, low byte first; both -1 when there is no such file, both -2 when it could not
// be looked at. One look at the file tells whether it changed.
void FileStamp(ArgRecord* result, int argc, ArgRecord* args);

// The executable's directory without a trailing backslash ("C:" for a program in a root).
const std::string& ProgramDirectory();

}  // namespace tl::cmd
