#include "runtime/top_level_windows.h"

namespace tl {
namespace {

BOOL CALLBACK Collect(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

struct ReachSearch {
  RECT rect;
  bool found;
};

BOOL CALLBACK SearchWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto* search = reinterpret_cast<ReachSearch*>(data);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  RECT common;
  if (GetMonitorInfoW(monitor, &info) && IntersectRect(&common, &search->rect, &info.rcWork)) search->found = true;
  return !search->found;
}

}  // namespace

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

DWORD ProcessOfWindow(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

UINT BringIntoReachMessage() {
  static const UINT message = RegisterWindowMessageW(L"Tallyleaf.BringIntoReach");
  return message;
}

bool InReach(const RECT& rect) {
  ReachSearch search{rect, false};
  EnumDisplayMonitors(nullptr, nullptr, SearchWorkArea, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace tl
