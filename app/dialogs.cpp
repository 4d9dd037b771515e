#include "app/dialogs.h"

#include <optional>

#include "app/command_calls.h"
#include "commands/dialogs.h"

namespace tl::app {

int32_t ShowMessage(const char* text, int32_t flags, const char* title) {
  const std::optional<TextArgument> givenTitle = title ? std::optional<TextArgument>(title) : std::nullopt;
  return Call(cmd::kMessageBox, Encode<std::string_view>(text), flags, givenTitle, ArgRecord{});
}

bool OpenWindow(const UnitRef& window, bool modal, const UnitRef* owner) {
  return Call(cmd::kLoadWindow, window, owner ? std::optional<UnitRef>(*owner) : std::nullopt, modal);
}

void CloseWindow(const UnitRef& window, bool atOnce) { Call(cmd::kCloseWindow, window, atOnce); }

void SetFocus(const UnitRef& unit) { Call(cmd::kSetFocus, unit); }

void RefreshDisplay(const UnitRef& unit) { Call(cmd::kRefreshDisplay, unit); }

int32_t WindowHandle(const UnitRef& unit) { return Call(cmd::kGetWindowHandle, unit); }

void PopupMenu(const UnitRef& anyUnitOfWindow, const UnitRef& menu) { Call(cmd::kPopupMenu, anyUnitOfWindow, menu); }

bool InputBox(const char* prompt, const char* title, const char* initial, Text& answer) {
  char* received = nullptr;
  const bool confirmed = Call(cmd::kInputBox, prompt, title, initial, VariableRef{&received, DataType::Text},
                              std::nullopt, ArgRecord{});
  if (confirmed) answer = Text(received);
  return confirmed;
}

}  // namespace tl::app
