// The time commands as the application uses them.
#pragma once

#include "app/command_calls.h"
#include "commands/text.h"
#include "commands/time.h"

namespace tl::app {

// The date-time now.
inline double DateTimeNow() { return Call(cmd::kNow).days; }
// The date-time's text as ToText gives it ("2024年1月2日3时4分").
inline OwnedText DateTimeText(double dateTime) { return Call(cmd::kToText, Encode<DateTime>({dateTime})); }
// The date-time now in seconds, for intervals between saves.
inline double NowSeconds() { return DateTimeNow() * static_cast<double>(kSecondsPerDay); }

}  // namespace tl::app
