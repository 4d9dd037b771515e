#include "tests/win/pointer_input.h"

#include <vector>

namespace tl::test {

void ClickAtPointer(bool right, int times) {
  const DWORD press = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  const DWORD release = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  std::vector<INPUT> input(2 * static_cast<size_t>(times));
  for (size_t i = 0; i < input.size(); ++i) {
    input[i].type = INPUT_MOUSE;
    input[i].mi.dwFlags = i % 2 ? release : press;
  }
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

}  // namespace tl::test
