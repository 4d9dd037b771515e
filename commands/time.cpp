#include "commands/time.h"

#include <cmath>
#include <cstdio>

#include "runtime/calendar.h"

namespace tl::cmd {

std::string DateTimeToText(double value) {
  const DateTimeParts p = DecomposeDateTime(value);
  char buffer[96];
  int n = std::snprintf(buffer, sizeof buffer, "%d年%d月%d日", p.year, p.month, p.day);
  const size_t room = sizeof buffer - static_cast<size_t>(n);
  if (p.second != 0) {
    n += std::snprintf(buffer + n, room, "%d时%d分%d秒", p.hour, p.minute, p.second);
  } else if (p.minute != 0) {
    n += std::snprintf(buffer + n, room, "%d时%d分", p.hour, p.minute);
  } else if (p.hour != 0) {
    n += std::snprintf(buffer + n, room, "%d时", p.hour);
  }
  return std::string(buffer, static_cast<size_t>(n));
}

int32_t GetHour(DateTime value) { return DecomposeDateTime(value.days).hour; }

int32_t GetMinute(DateTime value) { return DecomposeDateTime(value.days).minute; }

}  // namespace tl::cmd
