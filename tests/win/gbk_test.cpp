#include <gtest/gtest.h>

#include <windows.h>

#include "runtime/gbk.h"
#include "runtime/typed_text.h"

namespace tl {
namespace {

TEST(Gbk, ConvertsAsCodePage936WhateverTheSystemCodePage) {
  EXPECT_EQ(Widen("错误"), L"\u9519\u8BEF");
  EXPECT_EQ(Narrow(L"\u9519\u8BEF"), "错误");
  EXPECT_EQ(Narrow(Widen("事件：a1")), "事件：a1");
  EXPECT_EQ(Widen(""), L"");
}

// Code page 936 holds the euro sign as 0x80 and U+F8F5 as 0xFF; what it lacks is named, never
// replaced by a look-alike ("best fit") or "?" unnoticed.
TEST(Gbk, TheCodePagesOwnSingleBytesRoundTripAndWhatItLacksIsNamed) {
  EXPECT_EQ(Narrow(L"1200\u20AC"), "1200\x80");
  EXPECT_EQ(Widen("1200\x80"), L"1200\u20AC");
  EXPECT_EQ(Narrow(L"\uF8F5"), "\xFF");
  EXPECT_EQ(Widen("\xFF"), L"\uF8F5");
  const struct {
    const wchar_t* typed;
    const wchar_t* unsavable;
  } cases[] = {
      {L"\u623F\u79DF1200\u20AC", L""},                                   // 房租1200€
      {L"a?b", L""},                                                          // a question mark typed as such
      {L"\U0001F34E\u2713a\U0001F34E", L"\U0001F34E\u2713"},             // each once, a surrogate pair whole
      {L"x\u00B2", L"\u00B2"},                                              // ² has a best fit, 2
      {L"\u00A9\u2122\u00E7\u00F1\uAC00\u4DAE", L"\u00A9\u2122\u00E7\u00F1\uAC00\u4DAE"},  // © ™ ç ñ 가 䶮
      {L"\xD800", L"\xD800"},                                                // a lone surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(UnsavableCharacters(c.typed), c.unsavable) << c.typed;
  EXPECT_EQ(Narrow(L"x\u00B2"), "x?") << "no best fit: what is stored shows as what it is";
}

TEST(Gbk, WindowTextsRoundTripThroughTheWideApi) {
  HWND w = CreateWindowExW(0, L"STATIC", Widen("点击此处添加事件").c_str(), WS_POPUP, 0, 0, 10, 10,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(w, nullptr);
  wchar_t buffer[64];
  GetWindowTextW(w, buffer, 64);
  EXPECT_EQ(Narrow(buffer), "点击此处添加事件");
  DestroyWindow(w);
}

}  // namespace
}  // namespace tl
