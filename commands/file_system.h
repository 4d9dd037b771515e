// The one way the file commands reach the file system: a small table of the platform's file
// calls. The program runs on the real one; a test swaps in a table that fails a chosen call, to
// prove that no failure at any point loses or mixes the entry files.
#pragma once

#include <windows.h>

namespace tl::cmd {

struct FileSystem {
  // CreateFileW with no security attributes or template; `flags` as CreateFileW's.
  HANDLE (*open)(const wchar_t* name, DWORD access, DWORD share, DWORD disposition, DWORD flags);
  BOOL (*read)(HANDLE file, void* bytes, DWORD count, DWORD* done);
  BOOL (*write)(HANDLE file, const void* bytes, DWORD count, DWORD* done);
  BOOL (*flush)(HANDLE file);
  // Closing can report a late write error.
  BOOL (*close)(HANDLE file);
  BOOL (*size)(HANDLE file, LARGE_INTEGER* size);
  // The volume and file index that make a file or directory the same whatever path reaches it.
  BOOL (*identify)(HANDLE file, BY_HANDLE_FILE_INFORMATION* info);
  // The source takes the target's place in one step, written through to the disk.
  BOOL (*replace)(const wchar_t* source, const wchar_t* target);
  BOOL (*remove)(const wchar_t* name);
  BOOL (*attributes)(const wchar_t* name, WIN32_FILE_ATTRIBUTE_DATA* data);
  // A named object of the session: null when it cannot be made; the last error is
  // ERROR_ALREADY_EXISTS when another process made it first.
  HANDLE (*nameObject)(const wchar_t* name);
  BOOL (*setDirectory)(const wchar_t* name);
};

// The table in use.
const FileSystem& Files();
// The platform's own calls.
const FileSystem& RealFiles();
// Puts a table in place; nullptr puts the platform's back. The table must outlive its use.
void UseFiles(const FileSystem* files);

// A handle opened through the table, closed through it when it goes.
class OpenFile {
 public:
  OpenFile(const wchar_t* name, DWORD access, DWORD share, DWORD disposition, DWORD flags = FILE_ATTRIBUTE_NORMAL)
      : h_(Files().open(name, access, share, disposition, flags)) {}
  OpenFile(OpenFile&& other) noexcept : h_(other.Release()) {}
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile() {
    if (valid()) Files().close(h_);
  }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  // Closing can report a late write error; the caller learns of it.
  bool Close() {
    const bool ok = Files().close(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }
  // Hands the handle over to be kept open for the life of the process.
  HANDLE Release() {
    const HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }

 private:
  HANDLE h_;
};

// Other programs may go on reading, writing, renaming or deleting a file this program reads.
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace tl::cmd
