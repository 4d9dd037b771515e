#include "commands/file_system.h"

namespace tl::cmd {
namespace {

HANDLE RealOpen(const wchar_t* name, DWORD access, DWORD share, DWORD disposition) {
  return CreateFileW(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}
BOOL RealRead(HANDLE file, void* bytes, DWORD count, DWORD* done) {
  return ::ReadFile(file, bytes, count, done, nullptr);
}
BOOL RealWrite(HANDLE file, const void* bytes, DWORD count, DWORD* done) {
  return ::WriteFile(file, bytes, count, done, nullptr);
}
BOOL RealReplace(const wchar_t* source, const wchar_t* target) {
  return MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}
BOOL RealFlush(HANDLE file) { return FlushFileBuffers(file); }
BOOL RealRemove(const wchar_t* name) { return DeleteFileW(name); }
BOOL RealAttributes(const wchar_t* name, WIN32_FILE_ATTRIBUTE_DATA* data) {
  return GetFileAttributesExW(name, GetFileExInfoStandard, data);
}

constexpr FileSystem kReal{RealOpen, RealRead, RealWrite, RealFlush, RealReplace, RealRemove, RealAttributes};
const FileSystem* inUse = &kReal;

}  // namespace

const FileSystem& Files() { return *inUse; }
const FileSystem& RealFiles() { return kReal; }
void UseFiles(const FileSystem* files) { inUse = files ? files : &kReal; }

}  // namespace tl::cmd
