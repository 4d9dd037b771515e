// Desktop automation and shell commands: synthetic keys and clicks, opening web addresses and
// running the shell's verbs on files. Windows only.
#pragma once

#include <optional>
#include <string_view>

#include "runtime/command.h"

namespace tl::cmd {

// The library's position in the program's library table.
inline constexpr int32_t kShellLibrary = 4;

// Presses, then releases, up to three keys, each a virtual-key code or a text whose first
// character names the key.
void SimulateKey(const ArgRecord& key1, const ArgRecord& key2, const ArgRecord& key3);
// Clicks at (x, y): `kind` 0 left, 1 left double, 2 right, 3 right double.
void SimulateMouseClick(int32_t x, int32_t y, std::optional<int32_t> kind);
// Opens the address (about:blank when none is given) in the user's browser.
void OpenWebAddress(std::optional<std::string_view> address);
// Runs a shell verb (1 edit, 2 explore, 3 find, 4 open, 5 print; otherwise the default) on a
// file, with the show mode given (2 normal when none is given).
void Execute(int32_t operation, std::string_view file, std::optional<std::string_view> parameters,
             std::optional<std::string_view> directory, std::optional<int32_t> showMode);

inline constexpr auto kSimulateKey = MakeCommand<SimulateKey>("SimulateKey", kShellLibrary);
inline constexpr auto kSimulateMouseClick = MakeCommand<SimulateMouseClick>("SimulateMouseClick", kShellLibrary);
inline constexpr auto kOpenWebAddress = MakeCommand<OpenWebAddress>("OpenWebAddress", kShellLibrary);
inline constexpr auto kExecute = MakeCommand<Execute>("Execute", kShellLibrary);

}  // namespace tl::cmd
