#include <gtest/gtest.h>

#include <windows.h>

#include "runtime/gbk.h"

namespace tl {
namespace {

TEST(Gbk, ConvertsAsCodePage936WhateverTheSystemCodePage) {
  EXPECT_EQ(Widen("错误"), L"\u9519\u8BEF");
  EXPECT_EQ(Narrow(L"\u9519\u8BEF"), "错误");
  EXPECT_EQ(Narrow(Widen("事件：a1")), "事件：a1");
  EXPECT_EQ(Widen(""), L"");
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
