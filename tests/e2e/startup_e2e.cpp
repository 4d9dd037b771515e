#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace tl::e2e {
namespace {

// Until the application's handlers are bound, nothing refuses the close box: closing the only
// window ends the message loop, and the runtime ends the program with exit code 0.
TEST(Startup, MainWindowIsTopmostOwnedAndClosingItEndsTheProgram) {
  RunningProgram program;
  HWND main = program.WaitForWindow(L"Tallyleaf");
  ASSERT_NE(main, nullptr) << "no Tallyleaf window appeared";
  EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(GetWindow(main, GW_OWNER), nullptr) << "owned by the hidden owner: no taskbar button";
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
  EXPECT_FALSE(IsWindow(main));
}

std::vector<std::wstring> LowerCaseModulePaths(DWORD processId) {
  std::vector<std::wstring> paths;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) return paths;
  HMODULE modules[512];
  DWORD bytes = 0;
  if (EnumProcessModules(process, modules, sizeof modules, &bytes)) {
    for (DWORD i = 0; i < std::min<DWORD>(bytes / sizeof(HMODULE), 512); ++i) {
      wchar_t path[MAX_PATH];
      DWORD length = GetModuleFileNameExW(process, modules[i], path, MAX_PATH);
      std::wstring lower(path, length);
      std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t c) { return std::towlower(c); });
      paths.push_back(lower);
    }
  }
  CloseHandle(process);
  return paths;
}

// The manifest makes the system load common controls 6 from the side-by-side store instead of
// the version 5 library in the system directory.
TEST(Startup, ProgramRunsWithCommonControls6) {
  RunningProgram program;
  ASSERT_NE(program.WaitForWindow(L"Tallyleaf"), nullptr);
  std::vector<std::wstring> comctl;
  for (const std::wstring& path : LowerCaseModulePaths(program.processId())) {
    if (path.ends_with(L"\\comctl32.dll")) comctl.push_back(path);
  }
  ASSERT_EQ(comctl.size(), 1u);
  EXPECT_NE(comctl[0].find(L"\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6."),
            std::wstring::npos)
      << "loaded from the system directory: the manifest was not honoured";
}

}  // namespace
}  // namespace tl::e2e
