// Date-times and the time commands. A date-time is an OLE Automation day count: whole days
// since 30 December 1899 with the time of day as the fraction. The decomposition and the text
// form are portable; Now and Delay need the platform (time_win.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "runtime/args.h"
#include "runtime/calendar.h"
#include "runtime/value.h"

namespace tl::cmd {

// "%d年%d月%d日" followed by the shortest time part: "%d时%d分%d秒", "%d时%d分", "%d时" or nothing.
std::string DateTimeToText(double value);

void GetHour(ArgRecord* result, int argc, ArgRecord* args);
void GetMinute(ArgRecord* result, int argc, ArgRecord* args);
// Windows only.
void Now(ArgRecord* result, int argc, ArgRecord* args);
void Delay(ArgRecord* result, int argc, ArgRecord* args);

}  // namespace tl::cmd
