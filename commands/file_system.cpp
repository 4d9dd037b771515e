#include "commands/file_system.h"

namespace tl::cmd {
namespace {

HANDLE RealOpen(const wchar_t* name, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  return CreateFileW(name, access, share, nullptr, disposition, flags, nullptr);
}
BOOL RealRead(HANDLE file, void* bytes, DWORD count, DWORD* done) {
  return ::ReadFile(file, bytes, count, done, nullptr);
}
BOOL RealWrite(HANDLE file, const void* bytes, DWORD count, DWORD* done) {
  return ::WriteFile(file, bytes, count, done, nullptr);
}
BOOL RealFlush(HANDLE file) { return FlushFileBuffers(file); }
BOOL RealClose(HANDLE file) { return CloseHandle(file); }
BOOL RealSize(HANDLE file, LARGE_INTEGER* size) { return GetFileSizeEx(file, size); }
BOOL RealIdentify(HANDLE file, BY_HANDLE_FILE_INFORMATION* info) { return GetFileInformationByHandle(file, info); }
BOOL RealReplace(const wchar_t* source, const wchar_t* target) {
  return MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}
BOOL RealRemove(const wchar_t* name) { return DeleteFileW(name); }
BOOL RealAttributes(const wchar_t* name, WIN32_FILE_ATTRIBUTE_DATA* data) {
  return GetFileAttributesExW(name, GetFileExInfoStandard, data);
}
// A fresh object leaves the last error at 0, so that the caller can tell it from one that existed.
HANDLE RealNameObject(const wchar_t* name) {
  SetLastError(ERROR_SUCCESS);
  return CreateMutexW(nullptr, FALSE, name);
}
BOOL RealSetDirectory(const wchar_t* name) { return SetCurrentDirectoryW(name); }

constexpr FileSystem kReal{RealOpen,    RealRead,     RealWrite,   RealFlush,      RealClose,
                           RealSize,    RealIdentify, RealReplace, RealRemove,     RealAttributes,
                           RealNameObject, RealSetDirectory};
const FileSystem* inUse = &kReal;

}  // namespace

const FileSystem& Files() { return *inUse; }
const FileSystem& RealFiles() { return kReal; }
void UseFiles(const FileSystem* files) { inUse = files ? files : &kReal; }

}  // namespace tl::cmd
