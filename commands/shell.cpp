#include "commands/shell.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "runtime/gbk.h"
#include "runtime/late_bound.h"

namespace tl::cmd {
namespace {

// The address opened when the caller gives none.
constexpr std::wstring_view kDefaultAddress = L"about:blank";

constexpr std::array<const wchar_t*, 6> kVerbs = {nullptr, L"edit", L"explore", L"find", L"open", L"print"};
constexpr std::array<int, 7> kShowModes = {SW_SHOWNORMAL, SW_HIDE,           SW_SHOWNORMAL, SW_SHOWMINIMIZED,
                                           SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE, SW_MINIMIZE};

// A key given as a virtual-key code, or as a text whose first character is looked up on the
// current keyboard layout (the shift state it would need is dropped).
WORD VirtualKeyOf(const ArgRecord& key) {
  if (key.type == DataType::Text) {
    const std::wstring text = Widen(Codec<std::string_view>::Decode(key));
    if (text.empty()) return 0;
    const SHORT scan = VkKeyScanW(text[0]);
    return scan == -1 ? 0 : static_cast<WORD>(scan & 0xFF);
  }
  return key.type == DataType::None ? 0 : static_cast<WORD>(key.low & 0xFF);
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

INPUT MouseInput(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;  // no move flag: at the pointer's position
  return in;
}

void Send(std::vector<INPUT>& inputs) {
  if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::wstring OptionalText(std::optional<std::string_view> text) { return text ? Widen(*text) : std::wstring(); }

}  // namespace

void SimulateKey(const ArgRecord& key1, const ArgRecord& key2, const ArgRecord& key3) {
  const WORD keys[3] = {VirtualKeyOf(key1), VirtualKeyOf(key2), VirtualKeyOf(key3)};
  std::vector<INPUT> inputs;
  // Pressed in order, then released in the same order; key 1 is sent even when it is 0.
  for (bool up : {false, true}) {
    for (size_t i = 0; i < 3; ++i) {
      if (i == 0 || keys[i] != 0) inputs.push_back(KeyInput(keys[i], up));
    }
  }
  Send(inputs);
}

void SimulateMouseClick(int32_t x, int32_t y, std::optional<int32_t> kind) {
  SetCursorPos(x, y);
  const bool right = kind == 2 || kind == 3;
  const int clicks = kind == 1 || kind == 3 ? 2 : 1;
  std::vector<INPUT> inputs;
  for (int i = 0; i < clicks; ++i) {
    inputs.push_back(MouseInput(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN));
    inputs.push_back(MouseInput(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP));
  }
  Send(inputs);
}

void OpenWebAddress(std::optional<std::string_view> given) {
  const std::wstring address = given ? Widen(*given) : std::wstring(kDefaultAddress);
  // An empty address would make the shell open the current directory instead.
  if (address.empty()) return;
  HWND owner = FindWindowW(nullptr, L"Microsoft Internet Explorer");
  late::ShellExecuteW(owner, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Execute(int32_t operation, std::string_view fileName, std::optional<std::string_view> parameterText,
             std::optional<std::string_view> directoryName, std::optional<int32_t> showMode) {
  const wchar_t* verb = operation >= 1 && operation < static_cast<int32_t>(kVerbs.size()) ? kVerbs[operation] : nullptr;
  const std::wstring file = Widen(fileName);
  const std::wstring parameters = OptionalText(parameterText);
  const std::wstring directory = OptionalText(directoryName);
  const int32_t mode = showMode.value_or(2);
  const int show = mode >= 1 && mode < static_cast<int32_t>(kShowModes.size()) ? kShowModes[mode] : SW_SHOWNORMAL;
  late::ShellExecuteW(nullptr, verb, file.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                directory.empty() ? nullptr : directory.c_str(), show);
}

}  // namespace tl::cmd
