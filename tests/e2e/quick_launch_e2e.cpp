// The quick-launch buttons: the portal address reaches the browser, the notepad document is
// created when missing, kept when present, and opened in the editor Wine associates with ".txt".
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "runtime/top_level_windows.h"
#include "tests/e2e/driver.h"

namespace tl::e2e {
namespace {

HWND OtherProgramsWindow(const std::wstring& titlePart, DWORD notProcess) {
  HWND found = nullptr;
  WaitUntil([&] {
    for (HWND hwnd : TopLevelWindows()) {
      if (ProcessOfWindow(hwnd) != notProcess && IsWindowVisible(hwnd) &&
          WindowTitle(hwnd).find(titlePart) != std::wstring::npos) {
        found = hwnd;
        return true;
      }
    }
    return false;
  }, 15000);
  return found;
}

void EndProcessOf(HWND hwnd) {
  if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ProcessOfWindow(hwnd))) {
    TerminateProcess(h, 0);
    WaitForSingleObject(h, 5000);
    CloseHandle(h);
  }
}

void Click(HWND main, const wchar_t* caption) {
  HWND button = FindChild(main, L"Button", caption);
  ASSERT_NE(button, nullptr) << caption;
  PostMessageW(button, BM_CLICK, 0, 0);
}

const std::wstring kDocument = L"记事本文档.txt";

TEST(QuickLaunch, NotepadCreatesAMissingDocumentEmptyAndOpensIt) {
  ProgramDirectory dir;
  RunningProgram program(dir);
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  Click(main, L"记事本\r\n");
  EXPECT_TRUE(WaitUntil([&] { return dir.Read(kDocument) == std::string(); }));
  HWND editor = OtherProgramsWindow(L"记事本文档", program.processId());
  ASSERT_NE(editor, nullptr) << "the associated editor shows the document";
  EndProcessOf(editor);
}

TEST(QuickLaunch, NotepadLeavesAnExistingDocumentAsItWas) {
  ProgramDirectory dir;
  const std::string notes = "my notes\r\n" + Gbk(L"别丢了");
  dir.Write(kDocument, notes);
  RunningProgram program(dir);
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  Click(main, L"记事本\r\n");
  HWND editor = OtherProgramsWindow(L"记事本文档", program.processId());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(dir.Read(kDocument), notes);
  EndProcessOf(editor);
}

TEST(QuickLaunch, PortalOpensTheAddressInTheBrowserAndCalculatorDoesNothing) {
  std::wstring capture = TL_BROWSER_CAPTURE;
  DeleteFileW(capture.c_str());
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  const std::wstring script = TL_BROWSER_SCRIPT;
  RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(script.c_str()),
                 static_cast<DWORD>((script.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);

  RunningProgram program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  Click(main, L"计算机\r\n");
  Click(main, L"百度网");
  std::string seen;
  WaitUntil([&] {
    HANDLE h = CreateFileW(capture.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    char buffer[1024];
    DWORD n = 0;
    ::ReadFile(h, buffer, sizeof buffer, &n, nullptr);
    CloseHandle(h);
    seen.assign(buffer, n);
    return !seen.empty();
  }, 10000);
  EXPECT_EQ(seen.substr(0, seen.find('\n')), "https://www.baidu.com/?tn=tallyleaf");
  EXPECT_EQ(program.VisibleTopLevelWindows(), std::vector<HWND>{main}) << "the calculator button starts nothing";
}

}  // namespace
}  // namespace tl::e2e
