// The one way the file commands reach the file system: a small table of the platform's file
// calls. The program runs on the real one; a test swaps in a table that fails a chosen call, to
// prove that no failure at any point loses or mixes the entry files.
#pragma once

#include <windows.h>

namespace tl::cmd {

struct FileSystem {
  // CreateFileW with no security attributes, template or special flags.
  HANDLE (*open)(const wchar_t* name, DWORD access, DWORD share, DWORD disposition);
  BOOL (*read)(HANDLE file, void* bytes, DWORD count, DWORD* done);
  BOOL (*write)(HANDLE file, const void* bytes, DWORD count, DWORD* done);
  BOOL (*flush)(HANDLE file);
  // The source takes the target's place in one step, written through to the disk.
  BOOL (*replace)(const wchar_t* source, const wchar_t* target);
  BOOL (*remove)(const wchar_t* name);
  BOOL (*attributes)(const wchar_t* name, WIN32_FILE_ATTRIBUTE_DATA* data);
};

// The table in use.
const FileSystem& Files();
// The platform's own calls.
const FileSystem& RealFiles();
// Puts a table in place; nullptr puts the platform's back. The table must outlive its use.
void UseFiles(const FileSystem* files);

// A handle opened through the table, closed when it goes.
class OpenFile {
 public:
  OpenFile(const wchar_t* name, DWORD access, DWORD share, DWORD disposition)
      : h_(Files().open(name, access, share, disposition)) {}
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile() {
    if (valid()) CloseHandle(h_);
  }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  // Closing can report a late write error; the caller learns of it.
  bool Close() {
    const bool ok = CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

// Other programs may go on reading, writing, renaming or deleting a file this program reads.
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace tl::cmd
