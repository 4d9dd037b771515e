// Runs the test thread's messages, so that posted and timed work happens.
#pragma once

#include <windows.h>

namespace tl::test {

// Dispatches this thread's messages, typed keys turned into characters, until the given time
// has passed; runs what is queued at least once, even for no time. A quit is dropped: the
// test's own loop goes on.
void Pump(DWORD milliseconds = 50);

// Dispatches the messages queued now, typed keys turned into characters, as the runtime's round
// does when a command asks for one: a quit is put back for the loop around and ends the round.
void RunQueued();

// Dispatches the posted messages queued now and nothing else: what a message loop takes before
// it paints.
void RunPosted();

}  // namespace tl::test
