#include "runtime/typed_text.h"

#include "runtime/gbk.h"

namespace tl {
namespace {

bool Holds(std::wstring_view utf16) {
  BOOL usedDefault = FALSE;
  WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0,
                      nullptr, &usedDefault);
  return !usedDefault;
}

size_t CharacterLength(std::wstring_view text, size_t at) {
  const bool pair = IS_HIGH_SURROGATE(text[at]) && at + 1 < text.size() && IS_LOW_SURROGATE(text[at + 1]);
  return pair ? 2 : 1;
}

}  // namespace

std::wstring UnsavableCharacters(std::wstring_view utf16) {
  std::wstring found;
  if (utf16.empty() || Holds(utf16)) return found;
  for (size_t at = 0; at < utf16.size();) {
    const std::wstring_view character = utf16.substr(at, CharacterLength(utf16, at));
    if (!Holds(character) && found.find(character) == std::wstring::npos) found += character;
    at += character.size();
  }
  return found;
}

void TellUnsavable(HWND owner, std::wstring_view characters) {
  const std::wstring message =
      L"\u201C" + std::wstring(characters) + L"\u201D无法保存到文件中（文件使用GBK编码）。\n请删去或换成其他字符后再确认。";
  MessageBoxW(owner, message.c_str(), L"无法保存", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}

bool AcceptTypedText(HWND owner, std::wstring_view typed) {
  const std::wstring unsavable = UnsavableCharacters(typed);
  if (!unsavable.empty()) TellUnsavable(owner, unsavable);
  return unsavable.empty();
}

}  // namespace tl
