#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>

#include "controls/edit_box.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/value.h"
#include "tests/win/control_host.h"
#include "tests/win/unit_entries.h"

namespace tl {
namespace {

using namespace tl::test;

std::string TakeText(PropertyValue v) {
  std::string text(TextView(reinterpret_cast<const char*>(v.low)));
  Free(reinterpret_cast<void*>(v.low));
  return text;
}

class EditBoxTest : public HostWindowTest {
 protected:
  EditBoxTest()
      : HostWindowTest({.title = L"edit test", .style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN}) {}

  std::unique_ptr<Unit> Make(const EditBoxBlock& block, int32_t left = 10) {
    return CreateShownUnit(kEditBoxType, block.Write(),
                           {parent_, 100, left, 10, 80, 32, 0x52012449, 0x16012475, WS_TABSTOP});
  }
  std::string Content(Unit& unit) {
    return TakeText(ReadPropertyEntry(kEditBoxType, &unit, 0));
  }
  int Write(Unit& unit, int32_t number, PropertyValue value) {
    return WritePropertyEntry(kEditBoxType, &unit, number, value);
  }
};

EditBoxBlock HourBox() {
  EditBoxBlock b;
  b.inputMode = EditInputMode::ShortInteger;
  b.font = FontRecord(-27);
  return b;
}

TEST_F(EditBoxTest, ShortIntegerModeRefusesTypedLettersAndKeepsTheRange) {
  auto unit = Make(HourBox());
  ASSERT_TRUE(unit);
  for (wchar_t c : std::wstring(L"a1b-2时3")) SendMessageW(unit->hwnd(), WM_CHAR, c, 0);
  EXPECT_EQ(Content(*unit), "123") << "a '-' after digits would not make a number either";
  SetWindowTextW(unit->hwnd(), L"");
  for (wchar_t c : std::wstring(L"-99999")) SendMessageW(unit->hwnd(), WM_CHAR, c, 0);
  EXPECT_EQ(Content(*unit), "-32768");
  SendMessageW(unit->hwnd(), EM_SETSEL, 0, -1);
  SendMessageW(unit->hwnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"x40000y"));
  EXPECT_EQ(Content(*unit), "32767") << "pasted or replaced text obeys the same rule";
  const char* written = "12三4";
  Write(*unit, 0, PropertyValue{reinterpret_cast<uint32_t>(written), 0});
  EXPECT_EQ(Content(*unit), "124");
}

TEST_F(EditBoxTest, TypedKeysReachTheFreeTextBoxButLettersNeverTheShortIntegerBox) {
  EditBoxBlock free;
  auto text = Make(free, 10);
  auto hour = Make(HourBox(), 120);
  ASSERT_TRUE(text && hour);
  SetForegroundWindow(parent_);
  auto type = [&](HWND target, const char* keys) {
    SetFocus(target);
    Pump(20);
    std::vector<INPUT> inputs;
    for (const char* k = keys; *k; ++k) {
      const WORD vk = *k == '-' ? VK_OEM_MINUS : static_cast<WORD>(*k);
      INPUT down{};
      down.type = INPUT_KEYBOARD;
      down.ki.wVk = vk;
      INPUT up = down;
      up.ki.dwFlags = KEYEVENTF_KEYUP;
      inputs.push_back(down);
      inputs.push_back(up);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Pump(150);
  };
  type(text->hwnd(), "AB1");
  EXPECT_EQ(Content(*text), "ab1");
  type(hour->hwnd(), "Q1X2Z");
  EXPECT_EQ(Content(*hour), "12");
}

TEST_F(EditBoxTest, ColoursFontAndReCreationFromThePropertyData) {
  EditBoxBlock b;
  b.textColour = RGB(200, 0, 0);
  b.backColour = RGB(0, 0, 90);
  b.content = "事件：第一行";
  auto unit = Make(b);
  ASSERT_TRUE(unit);
  HDC dc = GetDC(unit->hwnd());
  const LRESULT brush = SendMessageW(parent_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(unit->hwnd()));
  EXPECT_NE(brush, 0);
  EXPECT_EQ(GetTextColor(dc), RGB(200, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 90));
  ReleaseDC(unit->hwnd(), dc);

  EXPECT_FALSE(unit->ClaimsKey(VK_RETURN));
  EXPECT_EQ(Write(*unit, 15 - 8, PropertyValue{1, 0}), 1) << "multi-line needs a new control";
  EXPECT_EQ(Write(*unit, 10 - 8, PropertyValue{0x00FF00, 0}), 0);
  SetWindowTextW(unit->hwnd(), Widen("用户输入").c_str());
  const std::vector<uint8_t> data = unit->PropertyData();
  const std::optional<EditBoxBlock> again = EditBoxBlock::Read(data);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->content, "用户输入");
  EXPECT_EQ(again->multiLine, 1);
  EXPECT_EQ(again->textColour, 0x00FF00u);

  unit.reset();
  std::unique_ptr<Unit> rebuilt(CreateUnitEntry(kEditBoxType, data, {parent_, 100, 10, 10, 200, 80, 1, 2}));
  ASSERT_TRUE(rebuilt);
  EXPECT_TRUE(GetWindowLongW(rebuilt->hwnd(), GWL_STYLE) & ES_MULTILINE);
  EXPECT_TRUE(rebuilt->ClaimsKey(VK_RETURN));
  EXPECT_EQ(Content(*rebuilt), "用户输入");
}

TEST_F(EditBoxTest, PasswordModeMasksWithTheStoredCharacter) {
  EditBoxBlock b;
  b.inputMode = EditInputMode::Password;
  auto unit = Make(b);
  ASSERT_TRUE(unit);
  EXPECT_TRUE(GetWindowLongW(unit->hwnd(), GWL_STYLE) & ES_PASSWORD);
  EXPECT_EQ(SendMessageW(unit->hwnd(), EM_GETPASSWORDCHAR, 0, 0), L'*');
  const char* dot = "●";
  EXPECT_EQ(Write(*unit, 19 - 8, PropertyValue{reinterpret_cast<uint32_t>(dot), 0}), 0);
  EXPECT_EQ(static_cast<wchar_t>(SendMessageW(unit->hwnd(), EM_GETPASSWORDCHAR, 0, 0)), Widen("●")[0]);
  EXPECT_EQ(TakeText(ReadPropertyEntry(kEditBoxType, unit.get(), 19 - 8)), "●");
  EditBoxBlock plain;
  auto free = Make(plain, 120);
  EXPECT_FALSE(GetWindowLongW(free->hwnd(), GWL_STYLE) & ES_PASSWORD) << "the character has no effect in mode 0";
}

TEST_F(EditBoxTest, SpinArrowsCountTheNumberAndFollowTheBox) {
  EditBoxBlock b;
  b.spinControl = 1;
  b.spinMaximum = 23;
  b.content = "5";
  auto unit = Make(b);
  ASSERT_TRUE(unit);
  HWND arrows = FindWindowExW(parent_, nullptr, L"msctls_updown32", nullptr);
  ASSERT_NE(arrows, nullptr);
  EXPECT_TRUE(IsWindowVisible(arrows));
  EXPECT_EQ(SendMessageW(arrows, UDM_GETBUDDY, 0, 0), reinterpret_cast<LRESULT>(unit->hwnd()));
  SendMessageW(unit->hwnd(), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(Content(*unit), "6");
  Write(*unit, 23 - 8, PropertyValue{3, 0});
  EXPECT_EQ(Content(*unit), "3") << "the value is kept within the new range";
  RECT box, spin;
  SetWindowPos(unit->hwnd(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  GetWindowRect(unit->hwnd(), &box);
  GetWindowRect(arrows, &spin);
  EXPECT_EQ(spin.left, box.right);
  EXPECT_EQ(spin.top, box.top);
  ShowWindow(unit->hwnd(), SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(arrows));
  EXPECT_EQ(Write(*unit, 21 - 8, PropertyValue{0, 0}), 1);
  unit.reset();
  EXPECT_FALSE(IsWindow(arrows));
}

TEST_F(EditBoxTest, NewerBlockVersionsFailCreation) {
  std::vector<uint8_t> bytes = EditBoxBlock{}.Write();
  bytes[0] = 3;
  EXPECT_EQ(CreateUnitEntry(kEditBoxType, bytes, {parent_, 100, 0, 0, 10, 10, 1, 2}), nullptr);
  auto empty = std::unique_ptr<Unit>(CreateUnitEntry(kEditBoxType, {}, {parent_, 100, 0, 0, 10, 10, 1, 2}));
  ASSERT_TRUE(empty);
  EXPECT_EQ(Content(*empty), "");
}

}  // namespace
}  // namespace tl
