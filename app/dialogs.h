// The dialog and window commands as the application uses them: message and input boxes, loading
// the program's windows, and a unit's native window handle. The others it calls as they are.
#pragma once

#include <cstdint>

#include "app/runtime_values.h"
#include "runtime/command.h"

namespace tl::app {

// MessageBox's flags: 0 OK, 4 Yes/No, 52 Yes/No with the exclamation icon; the answer is the
// button code (5 Yes, 6 No).
int32_t ShowMessage(const char* text, int32_t flags = 0, const char* title = nullptr);
// Loads one of the program's windows, owned by the owner's window when one is given.
bool OpenWindow(const UnitRef& window, bool modal, const UnitRef* owner = nullptr);
// The unit's native window handle as a number.
int32_t WindowHandle(const UnitRef& unit);
// The input box; a confirmed input replaces `answer`, a cancelled one leaves it alone.
bool AskForText(const char* prompt, const char* title, const char* initial, OwnedText& answer);

}  // namespace tl::app
