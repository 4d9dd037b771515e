// The program's windows as this tool drives them from outside: text put into a box, the reminder
// window found, filled for a minute and its rows read.
#pragma once

#include <windows.h>

#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tools/kill_test/reminder_texts.h"

namespace tl::kill_test {

void SetText(HWND box, const std::wstring& text);
// A message box's whole text, however long.
std::wstring BoxText(HWND box);

// The reminder window, shown or hidden; null while it is not loaded.
HWND ReminderWindow(const e2e::RunningProgram& program);
// The text of the label naming the entry: the key a confirmation gives its reminder.
std::wstring ReminderCaption(HWND window);
// The date picker set to the minute's day, the hour and minute boxes to its time. Works in the
// program's memory: no kill may strike meanwhile.
bool FillReminderMinute(HWND window, const SYSTEMTIME& minute);
// The rows of the reminder list, which 提醒事件 shows; none while the window is not loaded.
// Reads the program's memory: no kill may strike meanwhile.
Reminders ShownReminders(const e2e::RunningProgram& program);

// The message boxes a program shows, each noted once, with its text, by the look that first finds
// it showing. Looks may come from several threads.
class BoxWatch {
 public:
  struct Box {
    HWND hwnd;
    std::wstring text;
    std::chrono::steady_clock::time_point seen;
  };
  explicit BoxWatch(const e2e::RunningProgram& program) : program_(program) {}
  void Look();
  // The boxes noted since the last time they were taken.
  std::vector<Box> Take();
  std::vector<Box> All();

 private:
  const e2e::RunningProgram& program_;
  std::mutex mutex_;
  std::set<HWND> showing_;
  std::vector<Box> all_;
  size_t taken_ = 0;
};

}  // namespace tl::kill_test
