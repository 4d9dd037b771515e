#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "commands/shell.h"
#include "runtime/gbk.h"
#include "tests/win/control_host.h"

namespace tl::cmd {
namespace {

using namespace tl::test;

ArgRecord Text(const char* s) { return PointerArg(s, DataType::Text); }

template <typename... A>
void Call(CommandFn command, A... arg) {
  ArgRecord args[] = {arg...};
  ArgRecord result{};
  command(&result, sizeof...(A), args);
}

struct Clicks {
  int leftDown = 0, leftUp = 0, rightDown = 0, rightUp = 0;
  POINT at{};
};
Clicks g_clicks;

LRESULT CALLBACK CountClicks(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_LBUTTONDOWN:
      ++g_clicks.leftDown;
      g_clicks.at = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      ClientToScreen(w, &g_clicks.at);
      break;
    case WM_LBUTTONUP: ++g_clicks.leftUp; break;
    case WM_RBUTTONDOWN: ++g_clicks.rightDown; break;
    case WM_RBUTTONUP: ++g_clicks.rightUp; break;
  }
  return DefWindowProcW(w, m, wp, lp);
}

class InputCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = CountClicks;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TlClickTarget";  // no CS_DBLCLKS: every press arrives as a press
    RegisterClassW(&wc);
    window_ = CreateWindowExW(WS_EX_TOPMOST, L"TlClickTarget", L"target", WS_POPUP | WS_VISIBLE, 100, 100, 200,
                              200, nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(window_);
    Pump(100);
    g_clicks = {};
  }
  void TearDown() override { DestroyWindow(window_); }
  HWND window_ = nullptr;
};

TEST_F(InputCommands, OmittedClickTypeGivesExactlyOneLeftClickAtThePoint) {
  Call(kSimulateMouseClick.entry, IntArg(150), IntArg(170));
  Pump(300);
  EXPECT_EQ(g_clicks.leftDown, 1);
  EXPECT_EQ(g_clicks.leftUp, 1);
  EXPECT_EQ(g_clicks.rightDown, 0);
  EXPECT_EQ(g_clicks.at.x, 150);
  EXPECT_EQ(g_clicks.at.y, 170);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 150);
  EXPECT_EQ(p.y, 170);
}

TEST_F(InputCommands, ClickTypesSelectButtonAndCount) {
  Call(kSimulateMouseClick.entry, IntArg(150), IntArg(150), IntArg(2));
  Pump(300);
  EXPECT_EQ(g_clicks.rightDown, 1);
  EXPECT_EQ(g_clicks.rightUp, 1);
  EXPECT_EQ(g_clicks.leftDown, 0);
  g_clicks = {};
  Call(kSimulateMouseClick.entry, IntArg(160), IntArg(150), IntArg(1));
  Pump(300);
  EXPECT_EQ(g_clicks.leftDown, 2);
  EXPECT_EQ(g_clicks.leftUp, 2);
}

TEST_F(InputCommands, KeysFromTextsDropTheShiftStateAndReleaseInOrder) {
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 180, 24, window_, nullptr, nullptr,
                              nullptr);
  SetFocus(edit);
  Call(kSimulateKey.entry, Text("A"));
  Pump(200);
  Call(kSimulateKey.entry, IntArg(VK_SHIFT), Text("b"));
  Pump(200);
  Call(kSimulateKey.entry, IntArg('1'), ArgRecord{}, IntArg('2'));
  Pump(200);
  wchar_t text[32] = {};
  GetWindowTextW(edit, text, 32);
  EXPECT_EQ(std::wstring(text), L"aB12");
}

std::string ReadAll(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  char buffer[4096];
  DWORD n = 0;
  ::ReadFile(h, buffer, sizeof buffer, &n, nullptr);
  CloseHandle(h);
  return std::string(buffer, n);
}

// Wine hands web addresses to the programs listed under WineBrowser\Browsers; a script there
// records them next to itself.
TEST(ShellCommands, OpenWebAddressReachesTheBrowser) {
  const std::string script = TL_BROWSER_SCRIPT;
  std::wstring capture = L"Z:" + Widen(script.substr(0, script.rfind('/'))) + L"/browser_capture.txt";
  for (auto& c : capture) c = c == L'/' ? L'\\' : c;
  DeleteFileW(capture.c_str());
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  const std::wstring value = Widen(script);
  RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);

  Call(kOpenWebAddress.entry, Text("http://example.com/tallyleaf?q=1"));
  std::string seen;
  for (int i = 0; i < 100 && seen.empty(); ++i) {
    Sleep(100);
    seen = ReadAll(capture);
  }
  EXPECT_NE(seen.find("http://example.com/tallyleaf?q=1"), std::string::npos) << seen;
}

TEST(ShellCommands, ExecuteRunsVerbsInTheWorkingDirectory) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = std::wstring(temp) + L"tl_exec_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::string dirText = Narrow(dir);
  // Operation 4 ("open") of a program with parameters, hidden, in the given directory.
  Call(kExecute.entry, IntArg(4), Text("cmd.exe"), Text("/c echo open> opened.txt"), Text(dirText.c_str()), IntArg(1));
  // Operation 0: the file type's default action, which for a batch file is to run it.
  const std::wstring batch = dir + L"\\run.bat";
  HANDLE h = CreateFileW(batch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const char body[] = "echo default> defaulted.txt\r\n";
  DWORD written;
  ::WriteFile(h, body, sizeof body - 1, &written, nullptr);
  CloseHandle(h);
  const std::string batchText = Narrow(batch);
  Call(kExecute.entry, IntArg(0), Text(batchText.c_str()), ArgRecord{}, Text(dirText.c_str()), IntArg(1));
  std::string opened, defaulted;
  for (int i = 0; i < 100 && (opened.empty() || defaulted.empty()); ++i) {
    Sleep(100);
    opened = ReadAll(dir + L"\\opened.txt");
    defaulted = ReadAll(dir + L"\\defaulted.txt");
  }
  EXPECT_EQ(opened.substr(0, 4), "open");
  EXPECT_EQ(defaulted.substr(0, 7), "default");
  DeleteFileW((dir + L"\\opened.txt").c_str());
  DeleteFileW((dir + L"\\defaulted.txt").c_str());
  DeleteFileW(batch.c_str());
  RemoveDirectoryW(dir.c_str());
}

}  // namespace
}  // namespace tl::cmd
