// Drives the real program from outside: starts tallyleaf.exe from a fresh directory and finds,
// reads and operates its windows, the way a person's input would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tl::e2e {

class RunningProgram {
 public:
  RunningProgram();  // copies the program into a fresh directory and starts it there
  ~RunningProgram();  // ends it if it is still running and removes the directory
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  const std::wstring& directory() const { return directory_; }
  DWORD processId() const { return process_.dwProcessId; }
  // The visible top-level window of this process with this (UTF-16) title, waiting up to timeoutMs.
  HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs = 10000) const;
  std::vector<HWND> VisibleTopLevelWindows() const;
  // Waits for the process to end; returns its exit code, or STILL_ACTIVE after the timeout.
  DWORD WaitForExit(DWORD timeoutMs = 10000) const;

 private:
  std::wstring directory_;
  PROCESS_INFORMATION process_{};
};

std::wstring WindowTitle(HWND hwnd);

}  // namespace tl::e2e
