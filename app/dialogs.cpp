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

int32_t WindowHandle(const UnitRef& unit) { return Call(cmd::kGetWindowHandle, unit); }

bool AskForText(const char* prompt, const char* title, const char* initial, OwnedText& answer) {
  char* received = nullptr;
  const bool confirmed = Call(cmd::kInputBox, prompt, title, initial, VariableRef{&received, DataType::Text},
                              std::nullopt, ArgRecord{});
  if (confirmed) answer = OwnedText(received);
  return confirmed;
}

}  // namespace tl::app
