// Date-times and the time commands. A date-time is an OLE Automation day count: whole days
// since 30 December 1899 with the time of day as the fraction. The decomposition and the text
// form are portable; Now and Delay need the platform (time_win.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "runtime/calendar.h"
#include "runtime/command.h"

namespace tl::cmd {

// "%d年%d月%d日" followed by the shortest time part: "%d时%d分%d秒", "%d时%d分", "%d时" or nothing.
std::string DateTimeToText(double value);

int32_t GetHour(DateTime value);
int32_t GetMinute(DateTime value);

inline constexpr auto kGetHour = MakeCommand<GetHour>("GetHour");
inline constexpr auto kGetMinute = MakeCommand<GetMinute>("GetMinute");

// Windows only: the clock and the wait.
DateTime Now();
// Keeps the program's windows alive for the time given.
void Delay(int32_t milliseconds);

inline constexpr auto kNow = MakeCommand<Now>("Now");
inline constexpr auto kDelay = MakeCommand<Delay>("Delay");

}  // namespace tl::cmd
