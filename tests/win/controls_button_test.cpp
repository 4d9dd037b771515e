#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/button.h"
#include "controls/input_device.h"
#include "runtime/gbk.h"
#include "runtime/unit_events.h"
#include "tests/win/control_host.h"
#include "tests/win/pointer_input.h"
#include "tests/win/recording_runtime.h"
#include "tests/win/unit_entries.h"

namespace tl {
namespace {

using namespace tl::test;

class ButtonTest : public RecordingHostWindowTest {
 protected:
  ButtonTest()
      : RecordingHostWindowTest({.title = L"button test",
                                 .style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                                 .exStyle = WS_EX_TOPMOST}) {}

  std::unique_ptr<Unit> Make(const std::vector<uint8_t>& bytes, uint32_t extraStyle = WS_TABSTOP) {
    return CreateShownUnit(kButtonType, bytes, {parent_, 150, 20, 30, 88, 24, 0x52010001, 0x16012398, extraStyle});
  }
  std::wstring Text(HWND w) {
    wchar_t buffer[64];
    GetWindowTextW(w, buffer, 64);
    return buffer;
  }
};

ButtonBlock Portal() {
  ButtonBlock b;
  b.caption = "百度网";
  return b;
}

TEST_F(ButtonTest, ClickRaisesEventZeroOfItsUnitButNotWhenDisabled) {
  auto unit = Make(Portal().Write());
  ASSERT_TRUE(unit);
  SendMessageW(unit->hwnd(), BM_CLICK, 0, 0);
  ASSERT_EQ(FiredEvents().size(), 1u);
  EXPECT_EQ(FiredEvents()[0].window, 0x52010001u);
  EXPECT_EQ(FiredEvents()[0].unit, 0x16012398u);
  EXPECT_EQ(FiredEvents()[0].index, 0);
  EXPECT_EQ(FiredEvents()[0].argCount, 0);

  EnableWindow(unit->hwnd(), FALSE);
  SendMessageW(unit->hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(FiredEvents().size(), 1u);
}

TEST_F(ButtonTest, ClicksStillCountAfterTheButtonMovesIntoAnotherParent) {
  auto unit = Make(Portal().Write());
  ASSERT_TRUE(unit);
  HWND frame = CreateWindowExW(0, ControlHostClass(), L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, parent_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  SetParent(unit->hwnd(), frame);
  SendMessageW(unit->hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(FiredEvents().size(), 1u);
  SendMessageW(parent_, WM_COMMAND, MAKEWPARAM(150, BN_CLICKED), reinterpret_cast<LPARAM>(unit->hwnd()));
  EXPECT_EQ(FiredEvents().size(), 1u) << "the old parent no longer holds the button";
  unit.reset();
  SendMessageW(frame, WM_COMMAND, MAKEWPARAM(150, BN_CLICKED), 0);
  EXPECT_EQ(FiredEvents().size(), 1u);
}

TEST_F(ButtonTest, APointerClickRaisesTheEvent) {
  auto unit = Make(Portal().Write());
  ASSERT_TRUE(unit);
  SetForegroundWindow(parent_);
  Pump(50);
  RECT r;
  GetWindowRect(unit->hwnd(), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ClickAtPointer();
  Pump(200);
  ASSERT_EQ(FiredEvents().size(), 1u);
  EXPECT_EQ(FiredEvents()[0].index, 0);
}

TEST_F(ButtonTest, EmptyBlockCaptionWritesAndLineBreaks) {
  auto hidden = Make({});
  ASSERT_TRUE(hidden);
  EXPECT_EQ(Text(hidden->hwnd()), Widen("按钮"));

  ButtonBlock b;
  b.caption = "记事本\r\n";
  auto unit = Make(b.Write());
  ASSERT_TRUE(unit);
  EXPECT_EQ(Text(unit->hwnd()), Widen("记事本\r\n"));
  EXPECT_TRUE(GetWindowLongW(unit->hwnd(), GWL_STYLE) & BS_MULTILINE);
  EXPECT_TRUE(GetWindowLongW(unit->hwnd(), GWL_STYLE) & WS_TABSTOP);

  const char* caption = "缩放";
  EXPECT_EQ(WritePropertyEntry(kButtonType, unit.get(), 10 - 8, PropertyValue{reinterpret_cast<uint32_t>(caption), 0}),
            0);
  EXPECT_EQ(Text(unit->hwnd()), Widen("缩放"));
  EXPECT_EQ(WritePropertyEntry(kButtonType, unit.get(), 9 - 8, PropertyValue{1, 0}), 1)
      << "the kind is fixed at creation";
  const auto data = ButtonBlock::Read(unit->PropertyData());
  EXPECT_EQ(data->caption, "缩放");
  EXPECT_EQ(data->kind, 1);
}

std::vector<uint8_t> TwoByTwoBitmap() {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = 2;
  info.biHeight = 2;
  info.biPlanes = 1;
  info.biBitCount = 24;
  const uint8_t pixels[16] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + sizeof pixels;
  std::vector<uint8_t> bytes(file.bfSize);
  std::memcpy(bytes.data(), &file, sizeof file);
  std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
  std::memcpy(bytes.data() + file.bfOffBits, pixels, sizeof pixels);
  return bytes;
}

// The bytes with the 32-bit word at `offset` replaced.
std::vector<uint8_t> WithWord(std::vector<uint8_t> bytes, size_t offset, uint32_t word) {
  std::memcpy(bytes.data() + offset, &word, 4);
  return bytes;
}

TEST_F(ButtonTest, PictureShowsWhenItIsABitmapAndMalformedPicturesAreIgnored) {
  ButtonBlock b;
  b.picture = TwoByTwoBitmap();
  auto unit = Make(b.Write());
  ASSERT_TRUE(unit);
  EXPECT_TRUE(GetWindowLongW(unit->hwnd(), GWL_STYLE) & BS_BITMAP);
  EXPECT_NE(SendMessageW(unit->hwnd(), BM_GETIMAGE, IMAGE_BITMAP, 0), 0);

  // Cut short, a width no file could hold, and a colour count that the file has no room for (GDI
  // would read the table past its end).
  std::vector<std::pair<std::string, std::vector<uint8_t>>> malformed;
  for (size_t cut : {size_t{10}, size_t{54}, b.picture.size() - 1}) {
    malformed.emplace_back("cut at " + std::to_string(cut), std::vector<uint8_t>(b.picture.begin(), b.picture.begin() + cut));
  }
  malformed.emplace_back("huge width", WithWord(b.picture, 18, 0x7FFFFFFF));
  malformed.emplace_back("unbacked colours", WithWord(b.picture, 46, 256));
  for (const auto& [what, picture] : malformed) {
    ButtonBlock broken;
    broken.picture = picture;
    auto plain = Make(broken.Write());
    ASSERT_TRUE(plain) << what;
    EXPECT_FALSE(GetWindowLongW(plain->hwnd(), GWL_STYLE) & BS_BITMAP) << what;
  }
}

TEST_F(ButtonTest, InputDeviceIsAnInvisibleObjectWithoutEvents) {
  EXPECT_EQ(kInputDeviceType.stateFlags, 0x8000u);
  std::unique_ptr<Unit> unit(
      CreateUnitEntry(kInputDeviceType, {}, {parent_, 130, 392, 96, 56, 48, 0x52010001, 0x1601224F}));
  ASSERT_TRUE(unit);
  EXPECT_FALSE(IsWindowVisible(unit->hwnd()));
  EXPECT_TRUE(unit->PropertyData().empty());
  SendMessageW(unit->hwnd(), WM_LBUTTONDOWN, 0, 0);
  EXPECT_TRUE(FiredEvents().empty());
  const uint8_t future[4] = {2, 0, 0, 0};
  EXPECT_EQ(CreateUnitEntry(kInputDeviceType, future, {parent_, 130, 0, 0, 1, 1, 1, 2}), nullptr);
}

}  // namespace
}  // namespace tl
