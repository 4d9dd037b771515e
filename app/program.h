// The application's program header and the constants it points at.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/constant_texts.h"
#include "runtime/program_header.h"

namespace tl::app {

// The application's constant area: pointers into it are never freed or resized in place.
// The declared DLL functions' names live in it too, so the declaration table points at constants.
struct Constants {
  char emptyText[4];
  int32_t emptyByteSet[2];  // {1, 0}: also the empty one-dimensional array
  char user32Dll[11];       // "user32.dll"
  char user32[7];           // "user32"
  char getWindowLong[15];   // "GetWindowLongA"
  char setWindowLong[15];   // "SetWindowLongA"
  char setLayeredWindowAttributes[27];
  char getCursorPos[13];
  char clientToScreen[15];
  char setCursorPos[13];
  char getFocus[9];
  char postMessage[13];
  ConstantTextBlock texts;  // the literal texts of app/constant_texts.h
};
extern const Constants kConstants;

// A listed literal text as it lies in the constant area: safe to hand to a caller that frees.
consteval const char* ConstantText(std::string_view text) {
  return &kConstants.texts[ConstantTextOffset(text)];
}

// The declared DLL functions, by their index in the declaration table.
namespace declared {
inline constexpr uint32_t GetWindowLongA = 0, SetWindowLongA = 1, SetLayeredWindowAttributes = 2, GetCursorPos = 3,
                          ClientToScreen = 4, SetCursorPos = 5, GetFocus = 6, PostMessageA = 7, Count = 8;
}  // namespace declared

extern const ProgramHeader kProgramHeader;

}  // namespace tl::app
