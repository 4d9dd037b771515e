#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "commands/dialogs.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "tests/win/dialog_finder.h"
#include "tests/win/message_pump.h"

namespace tl::cmd {
namespace {

// The first visible dialog of this process, waited for up to two seconds.
std::string WindowText(HWND w) {
  wchar_t buffer[512] = {};
  GetWindowTextW(w, buffer, 512);
  return Narrow(buffer);
}

using test::DialogDriver;

ArgRecord Text(const char* s) { return PointerArg(s, DataType::Text); }

int32_t RunMessageBox(std::vector<ArgRecord> args, std::function<void(HWND)> answer) {
  ArgRecord result{};
  {
    DialogDriver driver(std::move(answer));
    kMessageBox.entry(&result, static_cast<int>(args.size()), args.data());
  }
  EXPECT_EQ(result.type, DataType::Int);
  return static_cast<int32_t>(result.low);
}

void Press(HWND dialog, int id) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

TEST(MessageBoxCommand, YesAndNoAreButtonCodesFiveAndSix) {
  std::string shown, title;
  EXPECT_EQ(RunMessageBox({Text("是否删除"), IntArg(MB_YESNO), ArgRecord{}, ArgRecord{}},
                          [&](HWND d) {
                            shown = WindowText(GetDlgItem(d, 65535));
                            title = WindowText(d);
                            EXPECT_NE(GetDlgItem(d, IDYES), nullptr);
                            Press(d, IDYES);
                          }),
            5);
  EXPECT_EQ(shown, "是否删除");
  EXPECT_EQ(title, "信息：");
  EXPECT_EQ(RunMessageBox({Text("x"), IntArg(52), Text("提示")}, [](HWND d) { Press(d, IDNO); }), 6);
  EXPECT_EQ(RunMessageBox({Text("x"), IntArg(MB_OK)}, [](HWND d) { Press(d, IDOK); }), 0);
}

TEST(MessageBoxCommand, ShowsValuesInTheirTextForm) {
  std::string shown;
  auto read = [&](HWND d) {
    shown = WindowText(GetDlgItem(d, 65535));
    Press(d, IDOK);
  };
  RunMessageBox({BoolArg(true), IntArg(0)}, read);
  EXPECT_EQ(shown, "真");
  RunMessageBox({DateTimeArg(43588.0 + 9.0 / 24 + 5.0 / 1440), IntArg(0)}, read);
  EXPECT_EQ(shown, "2019年5月3日9时5分");
  RunMessageBox({DoubleArg(6.0), IntArg(0)}, read);
  EXPECT_EQ(shown, "6");
}

TEST(MessageBoxCommand, OwnerGivenAsAHandleIsDisabledWhileOpen) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               nullptr, nullptr);
  bool ownerEnabled = true;
  HWND dialogOwner = nullptr;
  RunMessageBox({Text("x"), IntArg(0), ArgRecord{}, IntArg(static_cast<int32_t>(reinterpret_cast<uintptr_t>(owner)))},
                [&](HWND d) {
                  ownerEnabled = IsWindowEnabled(owner);
                  dialogOwner = GetWindow(d, GW_OWNER);
                  Press(d, IDOK);
                });
  EXPECT_FALSE(ownerEnabled);
  EXPECT_EQ(dialogOwner, owner);
  DestroyWindow(owner);
}

TEST(MessageBoxCommand, TaskModalUnlessSystemModal) {
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               nullptr, nullptr);
  bool enabledWhileOpen = true;
  auto look = [&](HWND d) {
    enabledWhileOpen = IsWindowEnabled(other);
    Press(d, IDOK);
  };
  RunMessageBox({Text("x"), IntArg(0)}, look);
  EXPECT_FALSE(enabledWhileOpen);  // 0x2000 was added: the thread's windows wait for the box
  RunMessageBox({Text("x"), IntArg(MB_SYSTEMMODAL)}, look);
  EXPECT_TRUE(enabledWhileOpen);
  EXPECT_TRUE(IsWindowEnabled(other));
  DestroyWindow(other);
}

// Whether the window lies above the other in the desktop's stacking order.
bool Above(HWND upper, HWND lower) {
  for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == lower) return true;
  }
  return false;
}

// An always-on-top window of this thread, as the program's main window is when a box opens: the
// display reports its activation later, and handling that report raises it, so the test waits
// until it has been handled.
HWND AlwaysOnTopWindow() {
  HWND w = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"on top", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr,
                           nullptr, nullptr, nullptr);
  for (int i = 0; i < 100 && GetForegroundWindow() != w; ++i) {
    test::Pump(0);
    Sleep(10);
  }
  Sleep(50);
  test::Pump(0);
  return w;
}

TEST(MessageBoxCommand, WithoutAnOwnerOpensAboveTheProgramsAlwaysOnTopWindow) {
  HWND onTop = AlwaysOnTopWindow();
  bool above = false;
  RunMessageBox({Text("x"), IntArg(0)}, [&](HWND d) {
    above = Above(d, onTop);
    Press(d, IDOK);
  });
  EXPECT_TRUE(above);
  DestroyWindow(onTop);
}

class InputBoxCommand : public ::testing::Test {
 protected:
  // Runs InputBox on the variable; the driver sees the dialog first.
  bool Run(std::vector<ArgRecord> args, std::function<void(HWND)> answer) {
    ArgRecord result{};
    {
      DialogDriver driver(std::move(answer));
      kInputBox.entry(&result, static_cast<int>(args.size()), args.data());
    }
    EXPECT_EQ(result.type, DataType::Bool);
    return result.low != 0;
  }
  static void Type(HWND d, const char* text) { SetDlgItemTextW(d, 1001, Widen(text).c_str()); }
  static SIZE ClientSize(HWND d) {
    RECT r;
    GetClientRect(d, &r);
    return {r.right, r.bottom};
  }
};

TEST_F(InputBoxCommand, CancelLeavesTheTextVariableUntouched) {
  char* variable = NewText("旧文本");
  char* const before = variable;
  EXPECT_FALSE(Run({ArgRecord{}, ArgRecord{}, Text("初始"), PointerArg(&variable, DataType::Text)},
                   [](HWND d) {
                     Type(d, "changed");
                     Press(d, IDCANCEL);
                   }));
  EXPECT_EQ(variable, before);
  EXPECT_STREQ(variable, "旧文本");
  // The close box counts as Cancel.
  EXPECT_FALSE(Run({ArgRecord{}, ArgRecord{}, ArgRecord{}, PointerArg(&variable, DataType::Text)},
                   [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }));
  EXPECT_EQ(variable, before);
  Free(variable);
}

TEST_F(InputBoxCommand, ConfirmStoresANewCopyAndTheLayoutsFollowThePrompt) {
  char* variable = NewText("old");
  std::string caption, prompt, initial;
  DWORD selStart = 1, selEnd = 0;
  SIZE large{}, small{};
  EXPECT_TRUE(Run({Text("请输入要更改的文本"), Text("修改文本"), Text("初始值"), PointerArg(&variable, DataType::Text)},
                  [&](HWND d) {
                    caption = WindowText(d);
                    prompt = WindowText(GetDlgItem(d, 1000));
                    initial = WindowText(GetDlgItem(d, 1001));
                    SendMessageW(GetDlgItem(d, 1001), EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                                 reinterpret_cast<LPARAM>(&selEnd));
                    large = ClientSize(d);
                    Type(d, "新的事件");
                    Press(d, IDOK);
                  }));
  EXPECT_EQ(caption, "修改文本");
  EXPECT_EQ(prompt, "请输入要更改的文本");
  EXPECT_EQ(initial, "初始值");
  EXPECT_EQ(selStart, 0u);
  EXPECT_EQ(selEnd, 3u);  // all three characters selected
  ASSERT_NE(variable, nullptr);
  EXPECT_STREQ(variable, "新的事件");

  EXPECT_TRUE(Run({ArgRecord{}, ArgRecord{}, ArgRecord{}, PointerArg(&variable, DataType::Text)}, [&](HWND d) {
    caption = WindowText(d);
    small = ClientSize(d);
    EXPECT_EQ(GetDlgItem(d, 1000), nullptr);
    Press(d, IDOK);
  }));
  EXPECT_EQ(caption, "请输入：");
  EXPECT_LT(small.cx, large.cx);
  EXPECT_LT(small.cy, large.cy);
  Free(variable);
}

// Without an owner given, the box belongs to the active window: above it, which waits for it.
TEST_F(InputBoxCommand, WithoutAnOwnerTheActiveWindowOwnsTheBox) {
  HWND onTop = AlwaysOnTopWindow();
  SetActiveWindow(onTop);
  ASSERT_EQ(GetActiveWindow(), onTop);
  char* variable = nullptr;
  HWND owner = nullptr;
  bool above = false, ownerEnabled = true;
  EXPECT_FALSE(Run({ArgRecord{}, ArgRecord{}, ArgRecord{}, PointerArg(&variable, DataType::Text)}, [&](HWND d) {
    owner = GetWindow(d, GW_OWNER);
    above = Above(d, onTop);
    ownerEnabled = IsWindowEnabled(onTop);
    Press(d, IDCANCEL);
  }));
  EXPECT_EQ(owner, onTop);
  EXPECT_TRUE(above);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(onTop)) << "enabled again once answered";
  DestroyWindow(onTop);
}

TEST_F(InputBoxCommand, NumericVariablesAndInputModes) {
  int32_t number = 7;
  double real = 0;
  uint8_t byte = 0;
  EXPECT_TRUE(Run({ArgRecord{}, ArgRecord{}, Text(" -42x"), PointerArg(&number, DataType::Int)},
                  [](HWND d) { Press(d, IDOK); }));
  EXPECT_EQ(number, -42);
  EXPECT_TRUE(Run({ArgRecord{}, ArgRecord{}, Text("300"), PointerArg(&byte, DataType::Byte)},
                  [](HWND d) { Press(d, IDOK); }));
  EXPECT_EQ(byte, 44);
  EXPECT_TRUE(Run({ArgRecord{}, ArgRecord{}, Text("2.5"), PointerArg(&real, DataType::Double)},
                  [](HWND d) { Press(d, IDOK); }));
  EXPECT_EQ(real, 2.5);

  // Mode 2 keeps only "-" and digits from what is typed; mode 9 is clamped to the password field.
  std::string typed;
  EXPECT_TRUE(Run({ArgRecord{}, ArgRecord{}, ArgRecord{}, PointerArg(&number, DataType::Int), IntArg(2)},
                  [&](HWND d) {
                    HWND edit = GetDlgItem(d, 1001);
                    for (wchar_t c : std::wstring(L"1a-.2")) SendMessageW(edit, WM_CHAR, c, 0);
                    typed = WindowText(edit);
                    Press(d, IDOK);
                  }));
  EXPECT_EQ(typed, "1-2");
  LONG style = 0;
  EXPECT_TRUE(Run({ArgRecord{}, ArgRecord{}, ArgRecord{}, PointerArg(&number, DataType::Int), IntArg(9)},
                  [&](HWND d) {
                    style = GetWindowLongW(GetDlgItem(d, 1001), GWL_STYLE);
                    Press(d, IDOK);
                  }));
  EXPECT_TRUE(style & ES_PASSWORD);
}

// A character the program's texts cannot hold is named in a box owned by the input box, which
// stays open with what was typed; nothing is stored until the text can be kept exactly.
TEST_F(InputBoxCommand, ConfirmingACharacterTheTextsCannotHoldIsToldAndTheBoxStaysOpen) {
  char* variable = NewText("old");
  std::wstring told, keptOpen;
  EXPECT_TRUE(Run({ArgRecord{}, ArgRecord{}, ArgRecord{}, PointerArg(&variable, DataType::Text)}, [&](HWND d) {
    SetDlgItemTextW(d, 1001, L"\u82F9\u679C\U0001F34E\u2713\U0001F34E");
    Press(d, IDOK);
    if (HWND warning = test::WaitForOwnedDialog(d, 2000)) {
      told.resize(256);
      told.resize(static_cast<size_t>(GetDlgItemTextW(warning, 65535, told.data(), 256)));
      Press(warning, IDOK);
    }
    Sleep(100);
    keptOpen.resize(64);
    keptOpen.resize(static_cast<size_t>(GetDlgItemTextW(d, 1001, keptOpen.data(), 64)));
    Type(d, "苹果\x80");
    Press(d, IDOK);
  }));
  EXPECT_EQ(told.substr(0, 5), L"\u201C\U0001F34E\u2713\u201D") << "each character once, in order";
  EXPECT_EQ(keptOpen, L"\u82F9\u679C\U0001F34E\u2713\U0001F34E");
  EXPECT_STREQ(variable, "苹果\x80") << "the euro sign is a character of the code page";
  Free(variable);
}

TEST(PointerCommands, MouseXAndYFollowTheCursor) {
  SetCursorPos(123, 234);
  ArgRecord x{}, y{};
  kMouseX.entry(&x, 0, nullptr);
  kMouseY.entry(&y, 0, nullptr);
  EXPECT_EQ(static_cast<int32_t>(x.low), 123);
  EXPECT_EQ(static_cast<int32_t>(y.low), 234);
}

}  // namespace
}  // namespace tl::cmd
