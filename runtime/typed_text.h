// Text the user typed, on its way into the program's GBK: kept exactly, or refused with a word.
// Windows only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tl {

// The characters of the text that code page 936 cannot hold, each once, in the order they first
// appear (a surrogate pair is one character); empty when it holds them all.
std::wstring UnsavableCharacters(std::wstring_view utf16);

// Tells the user, in a box owned by `owner`, that these characters cannot be kept.
void TellUnsavable(HWND owner, std::wstring_view characters);

// Whether typed text can be kept as it is. When it cannot, the user is told which characters are
// in the way and false is answered: the caller keeps the text open for the user to change.
bool AcceptTypedText(HWND owner, std::wstring_view typed);

}  // namespace tl
