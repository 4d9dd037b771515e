// The dialog and window commands as the application uses them: message and input boxes, loading
// and closing the program's windows, and acting on a unit's native window.
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
void CloseWindow(const UnitRef& window, bool atOnce = false);
void SetFocus(const UnitRef& unit);
void RefreshDisplay(const UnitRef& unit);
int32_t WindowHandle(const UnitRef& unit);
void PopupMenu(const UnitRef& anyUnitOfWindow, const UnitRef& menu);
// The input box; a confirmed input replaces `answer`, a cancelled one leaves it alone.
bool InputBox(const char* prompt, const char* title, const char* initial, Text& answer);

}  // namespace tl::app
