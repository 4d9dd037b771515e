// Runs the test thread's messages for a while, so that posted and timed work happens.
#pragma once

#include <windows.h>

namespace tl::test {

// Dispatches this thread's messages, typed keys turned into characters, until the given time
// has passed; runs what is queued at least once, even for no time.
void Pump(DWORD milliseconds = 50);

}  // namespace tl::test
