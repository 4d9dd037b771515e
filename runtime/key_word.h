// The key word that key events carry: the virtual-key code with the keypad's digits and
// operators folded onto the main keyboard's, plus modifier bits. Portable.
#pragma once

#include <cstdint>

namespace tl {

namespace KeyBit {
inline constexpr uint32_t Ctrl = 0x2000;
inline constexpr uint32_t Shift = 0x4000;
inline constexpr uint32_t Alt = 0x8000;
}  // namespace KeyBit

inline constexpr uint32_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12;

constexpr uint32_t KeyWord(uint32_t virtualKey, bool ctrl, bool shift, bool alt) {
  uint32_t key = virtualKey & 0xFF;
  if (key >= 0x60 && key <= 0x69) key -= 0x30;  // keypad digits
  else if (key == 0x6D) key = 189;              // keypad minus, point and slash
  else if (key == 0x6E) key = 190;
  else if (key == 0x6F) key = 191;
  const uint32_t base = key;
  if (ctrl && base != kVkControl) key |= KeyBit::Ctrl;
  if (shift && base != kVkShift) key |= KeyBit::Shift;
  if (alt && base != kVkMenu) key |= KeyBit::Alt;
  return key;
}

// The key event's two arguments: the key code (low 13 bits) and the key state (1 Ctrl,
// 2 Shift, 4 Alt).
constexpr uint32_t KeyCode(uint32_t keyWord) { return keyWord & 0x1FFF; }
constexpr uint32_t KeyState(uint32_t keyWord) {
  return ((keyWord & KeyBit::Ctrl) ? 1u : 0u) | ((keyWord & KeyBit::Shift) ? 2u : 0u) |
         ((keyWord & KeyBit::Alt) ? 4u : 0u);
}

}  // namespace tl
