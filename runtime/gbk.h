// The one place where GBK meets the platform's UTF-16: code page 936, named explicitly.
#pragma once

#include <string>
#include <string_view>

namespace tl {

inline constexpr unsigned kGbkCodePage = 936;

std::wstring Widen(std::string_view gbk);
std::string Narrow(std::wstring_view utf16);

}  // namespace tl
