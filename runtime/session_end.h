// The end of the user's session, as every window of the runtime hears of it. Windows only.
#pragma once

#include <windows.h>

namespace tl {

// What a window of the runtime does with WM_ENDSESSION: when the session really ends (wParam
// TRUE), runs the session-end callbacks in registration order, while the windows still exist.
// They run once however many windows get the message, and not once the program is ending.
void SessionEnding(WPARAM endsSession);

}  // namespace tl
