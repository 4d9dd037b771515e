#include "tools/kill_test/program_windows.h"

#include <commctrl.h>

#include <algorithm>

namespace tl::kill_test {
namespace {

// The child of the reminder window of this class at this place of its client area.
HWND ChildAt(HWND window, const wchar_t* className, int left, int top) {
  HWND child = nullptr;
  while ((child = FindWindowExW(window, child, className, nullptr))) {
    const RECT r = e2e::PlaceInParent(child);
    if (r.left == left && r.top == top) return child;
  }
  return nullptr;
}

// The text the system keeps for another process's window, read without a message to the
// program (which may be being killed), up to a length no key or box text reaches.
std::wstring WholeText(HWND hwnd) {
  std::wstring text(1 << 16, L'\0');
  text.resize(static_cast<size_t>(std::max(0, GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size())))));
  return text;
}

}  // namespace

void SetText(HWND box, const std::wstring& text) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK, 2000, &ignored);
}

std::wstring BoxText(HWND box) { return WholeText(GetDlgItem(box, 0xFFFF)); }

HWND ReminderWindow(const e2e::RunningProgram& program) {
  for (HWND hwnd : program.TopLevelWindows()) {
    if (e2e::FindChild(hwnd, L"Button", L"确认提醒")) return hwnd;
  }
  return nullptr;
}

std::wstring ReminderCaption(HWND window) { return WholeText(ChildAt(window, L"_RT_Label", 8, 8)); }

bool FillReminderMinute(HWND window, const SYSTEMTIME& minute) {
  HWND hour = ChildAt(window, L"Edit", 80, 96), minuteBox = ChildAt(window, L"Edit", 132, 96);
  HWND picker = e2e::FindChild(window, DATETIMEPICK_CLASSW);
  if (!hour || !minuteBox || !picker || !e2e::SetDatePickerValue(picker, minute)) return false;
  SetText(hour, std::to_wstring(minute.wHour));
  SetText(minuteBox, std::to_wstring(minute.wMinute));
  return true;
}

Reminders ShownReminders(const e2e::RunningProgram& program) {
  HWND window = ReminderWindow(program);
  HWND list = window ? e2e::FindChild(window, WC_LISTVIEWW) : nullptr;
  Reminders rows;
  for (int row = 0, count = list ? e2e::ListItemCount(list) : 0; row < count; ++row) {
    Reminder& r = rows.emplace_back();
    r.key = e2e::ListItemText(list, row, 0);
    for (int c = 0; c < 5; ++c) r.when[static_cast<size_t>(c)] = e2e::ListItemText(list, row, c + 1);
  }
  return rows;
}

void BoxWatch::Look() {
  const std::vector<HWND> boxes = program_.MessageBoxes();
  const std::lock_guard<std::mutex> lock(mutex_);
  for (HWND box : boxes) {
    if (!showing_.contains(box)) all_.push_back({box, BoxText(box), std::chrono::steady_clock::now()});
  }
  showing_ = std::set<HWND>(boxes.begin(), boxes.end());
}

std::vector<BoxWatch::Box> BoxWatch::Take() {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Box> fresh(all_.begin() + static_cast<std::ptrdiff_t>(taken_), all_.end());
  taken_ = all_.size();
  return fresh;
}

std::vector<BoxWatch::Box> BoxWatch::All() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return all_;
}

}  // namespace tl::kill_test
