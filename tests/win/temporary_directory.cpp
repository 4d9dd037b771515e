#include "tests/win/temporary_directory.h"

#include <windows.h>

namespace tl::test {
namespace {

std::wstring TemporaryRoot() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return temp;
}

}  // namespace

std::wstring MakeTemporaryDirectory(const std::wstring& prefix) {
  const std::wstring path = TemporaryRoot() + prefix + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(path.c_str(), nullptr);
  return path;
}

std::wstring EnterTemporaryDirectory(const std::wstring& prefix) {
  const std::wstring path = MakeTemporaryDirectory(prefix);
  SetCurrentDirectoryW(path.c_str());
  return path;
}

void RemoveTemporaryDirectory(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do DeleteFileW((path + L"\\" + found.cFileName).c_str());
    while (FindNextFileW(h, &found));
    FindClose(h);
  }
  SetCurrentDirectoryW(TemporaryRoot().c_str());
  RemoveDirectoryW(path.c_str());
}

}  // namespace tl::test
