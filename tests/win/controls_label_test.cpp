#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>

#include "controls/label.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/value.h"
#include "tests/win/control_host.h"
#include "tests/win/unit_entries.h"

namespace tl {
namespace {

using namespace tl::test;

// The label's client area as it paints it, one COLORREF per pixel.
std::vector<COLORREF> Capture(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x) pixels.push_back(GetPixel(memory, x, y));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return pixels;
}

size_t CountColour(const std::vector<COLORREF>& pixels, COLORREF colour) {
  return static_cast<size_t>(std::count(pixels.begin(), pixels.end(), colour));
}

size_t CountInk(const std::vector<COLORREF>& pixels, COLORREF background) {
  return pixels.size() - CountColour(pixels, background);
}

class LabelTest : public HostWindowTest {
 protected:
  LabelTest()
      : HostWindowTest({.title = L"label test", .style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                        .windowClass = L"STATIC"}) {}

  std::unique_ptr<Unit> Make(const LabelBlock& block, int32_t width = 278, int32_t height = 28) {
    return CreateShownUnit(kLabelType, block.Write(), {parent_, 100, 0, 0, width, height, 0x52010001, 0x16012245});
  }
  void WriteCaption(Unit& unit, const char* caption) {
    EXPECT_EQ(WritePropertyEntry(kLabelType, &unit, 0, PropertyValue{reinterpret_cast<uint32_t>(caption), 0}), 0);
  }
};

LabelBlock TitleLabel() {
  LabelBlock b;
  b.caption = "Tallyleaf";
  b.font = FontRecord(-13);
  b.textColour = 0xFFFFFF;
  b.backColour = 0;
  b.horizontalAlign = 1;
  b.verticalAlign = 1;
  return b;
}

TEST_F(LabelTest, IsARuntimeDrawnDragHandleWhoseNativeTextIsTheCaption) {
  auto unit = Make(TitleLabel());
  ASSERT_TRUE(unit);
  wchar_t cls[32];
  GetClassNameW(unit->hwnd(), cls, 32);
  EXPECT_STREQ(cls, L"_RT_Label");
  EXPECT_TRUE(unit->IsDragHandle());
  WriteCaption(*unit, "事件：");
  wchar_t text[32];
  GetWindowTextW(unit->hwnd(), text, 32);
  EXPECT_EQ(Narrow(text), "事件：");
  PropertyValue v = ReadPropertyEntry(kLabelType, unit.get(), 0);
  EXPECT_EQ(TextView(reinterpret_cast<const char*>(v.low)), "事件：");
  Free(reinterpret_cast<void*>(v.low));
  EXPECT_EQ(LabelBlock::Read(unit->PropertyData())->caption, "事件：");
}

// Missing glyphs all draw as the same empty box: two different characters drawing differently
// shows that real glyphs were found, under whatever locale the test runs in.
TEST_F(LabelTest, ChineseCaptionsDrawRealGlyphsWithTheStoredAndTheDefaultFont) {
  for (bool defaultFont : {false, true}) {
    LabelBlock b = TitleLabel();
    if (defaultFont) b.font.clear();
    b.caption = "标";
    auto unit = Make(b);
    ASSERT_TRUE(unit);
    const std::vector<COLORREF> first = Capture(unit->hwnd());
    WriteCaption(*unit, "签");
    const std::vector<COLORREF> second = Capture(unit->hwnd());
    EXPECT_GT(CountInk(first, RGB(0, 0, 0)), 20u) << "default font: " << defaultFont;
    EXPECT_GT(CountInk(second, RGB(0, 0, 0)), 20u);
    EXPECT_NE(first, second) << "default font: " << defaultFont;
  }
}

TEST_F(LabelTest, TextEffectsDrawTheirCopies) {
  LabelBlock b = TitleLabel();
  b.backColour = RGB(128, 128, 128);
  b.caption = "提醒 Tallyleaf";
  auto count = [&](int32_t effect, uint32_t textColour, COLORREF wanted) {
    b.textEffect = effect;
    b.textColour = textColour;
    auto unit = Make(b);
    return CountColour(Capture(unit->hwnd()), wanted);
  };
  EXPECT_EQ(count(0, 0xFFFFFF, RGB(0, 0, 0)), 0u);
  EXPECT_GT(count(3, 0xFFFFFF, RGB(0, 0, 0)), 10u) << "a black shadow";
  EXPECT_EQ(count(0, 0, RGB(255, 255, 255)), 0u);
  EXPECT_GT(count(1, 0, RGB(255, 255, 255)), 10u) << "a white copy beneath, raised";
  EXPECT_GT(count(2, 0, RGB(255, 255, 255)), 10u) << "a white copy in place, engraved";
}

TEST_F(LabelTest, EmptyCaptionShowsOnlyTheBackground) {
  auto unit = Make(TitleLabel());
  ASSERT_TRUE(unit);
  EXPECT_GT(CountInk(Capture(unit->hwnd()), RGB(0, 0, 0)), 20u);
  WriteCaption(*unit, "");
  const std::vector<COLORREF> pixels = Capture(unit->hwnd());
  EXPECT_EQ(CountColour(pixels, RGB(0, 0, 0)), pixels.size());
}

TEST_F(LabelTest, WrappedCaptionIsCentredVerticallyAndTheDefaultBackgroundIsTheFaceColour) {
  LabelBlock b;
  b.wordWrap = 1;
  b.verticalAlign = 1;
  b.caption = "作者\r\n\r\nTallyleaf 0.0.1.6";
  auto unit = Make(b, 288, 200);
  ASSERT_TRUE(unit);
  const std::vector<COLORREF> pixels = Capture(unit->hwnd());
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  size_t firstInk = pixels.size(), lastInk = 0;
  for (size_t i = 0; i < pixels.size(); ++i) {
    if (pixels[i] != face) {
      firstInk = std::min(firstInk, i / 288);
      lastInk = std::max(lastInk, i / 288);
    }
  }
  ASSERT_LT(firstInk, lastInk);
  EXPECT_GT(firstInk, 40u);
  EXPECT_LT(lastInk, 160u);
  EXPECT_LT(std::abs(static_cast<int>(firstInk) - static_cast<int>(199 - lastInk)), 12);
}

}  // namespace
}  // namespace tl
