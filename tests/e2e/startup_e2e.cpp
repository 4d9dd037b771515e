// The program as a person starts and ends it: the main window's place, size, opacity and
// layout, a close box and Alt+F4 that do nothing, 关闭程序, one running copy per directory by
// whatever path it is started, and the end of the user's session.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "runtime/top_level_windows.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/main_window_fixture.h"

namespace tl::e2e {
namespace {

constexpr WPARAM kCloseProgramCommand = 20003;
constexpr WPARAM kDeleteEntryCommand = 20006;

int Width(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return r.right - r.left;
}

bool BringForward(HWND main) {
  return WaitUntil([&] {
    if (GetForegroundWindow() != main) SetForegroundWindow(main);
    return GetForegroundWindow() == main;
  });
}

TEST(Startup, MainWindowStartsCentred250WideAloneAtOpacity200AndLaysItsButtonsOut) {
  RunningProgram program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return Width(main) == 250; })) << Width(main);
  // Centred as created, 284 x 440; narrowed with its left edge kept, and its height set by the
  // first shrink tick with its top kept.
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  RECT place;
  GetWindowRect(main, &place);
  EXPECT_EQ(place.left, (1024 - 284) / 2);
  EXPECT_EQ(place.top, (768 - 440) / 2);
  // Owned by a hidden window, so no taskbar button; the other windows load on demand.
  HWND owner = GetWindow(main, GW_OWNER);
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(ClassOf(owner), L"_RT_HideOwner");
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_EQ(program.VisibleTopLevelWindows(), std::vector<HWND>{main});

  EXPECT_EQ(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_LAYERED, WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(main, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 200);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

  HWND list = FindChild(main, L"SysListView32");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(PlaceInParent(list).right - PlaceInParent(list).left, 250);
  struct Expected {
    const wchar_t* caption;
    int left;
  };
  for (const Expected& e : {Expected{L"计算机\r\n", 5}, Expected{L"百度网", 80}, Expected{L"记事本\r\n", 158}}) {
    HWND button = FindChild(main, L"Button", e.caption);
    ASSERT_NE(button, nullptr);
    const RECT r = PlaceInParent(button);
    EXPECT_EQ(r.left, e.left) << WindowTitle(button);
    EXPECT_EQ(r.right - r.left, 78) << WindowTitle(button);
  }
  HWND add = FindChild(main, L"Button", L"点击此处添加事件");
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(PlaceInParent(add).right - PlaceInParent(add).left, 250);
}

TEST(Startup, ANarrowerWindowIsWidenedTo203AndLaidOutForIt) {
  RunningProgram program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Width(main) == 250; }));
  RECT r;
  GetWindowRect(main, &r);
  SetWindowPos(main, nullptr, 0, 0, 150, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitUntil([&] { return Width(main) == 203; })) << Width(main);
  HWND portal = FindChild(main, L"Button", L"百度网");
  ASSERT_NE(portal, nullptr);
  // Laid out for the 203-pixel list: 203 / 3.1 and 203 / 3.2, truncated.
  EXPECT_TRUE(WaitUntil([&] { return PlaceInParent(portal).left == 65; })) << PlaceInParent(portal).left;
  EXPECT_EQ(PlaceInParent(portal).right - PlaceInParent(portal).left, 63);
}

TEST(Startup, CloseBoxAndAltF4LeaveItRunningAndCloseProgramExitsWithZero) {
  RunningProgram program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(program.WaitForExit(500), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_TRUE(IsWindowVisible(main));

  ASSERT_TRUE(BringForward(main));
  INPUT keys[4] = {};
  for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[3].ki.wVk = VK_MENU;
  keys[1].ki.wVk = keys[2].ki.wVk = VK_F4;
  keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(4, keys, sizeof(INPUT)), 4u);
  EXPECT_EQ(program.WaitForExit(500), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_TRUE(IsWindowVisible(main));

  PostMessageW(main, WM_COMMAND, kCloseProgramCommand, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Startup, ASecondStartInTheSameDirectoryShowsTheFirstAndEnds) {
  ProgramDirectory directory;
  RunningProgram first(directory);
  HWND main = first.MainWindow();
  ASSERT_NE(main, nullptr);
  RunningProgram other;  // another directory: runs alongside
  ASSERT_NE(other.MainWindow(), nullptr);
  ASSERT_TRUE(BringForward(other.MainWindow()));

  RunningProgram second(directory);
  EXPECT_EQ(second.WaitForExit(), 0u);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; })) << "the running copy comes forward";
  EXPECT_EQ(first.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(other.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
}

// ---- Other paths to the same directory ------------------------------------------------------

// The Unix name of a Windows path under Wine, or empty elsewhere.
std::wstring UnixName(const std::wstring& path) {
  using UnixNameFn = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixNameFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  char* name = unixName ? unixName(path.c_str()) : nullptr;
  if (!name) return {};
  std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, name, -1, wide.data(), static_cast<int>(wide.size()));
  HeapFree(GetProcessHeap(), 0, name);
  wide.pop_back();  // the terminator
  while (wide.size() > 1 && wide.back() == L'/') wide.pop_back();
  return wide;
}

// Wine hands a Unix program started from a Windows one to the system. Its process handle cannot
// be waited for, so callers wait for what it does.
bool StartUnixTool(const wchar_t* tool, const std::wstring& arguments) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring command = std::wstring(tool) + L" " + arguments;
  const std::wstring program = std::wstring(L"Z:\\bin\\") + tool;
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &started)) {
    return false;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// Another path to a directory for as long as it lives: a symbolic link beside it, or a drive
// letter of its own. Wine 8 makes neither itself (CreateSymbolicLinkW answers success and makes
// nothing; DefineDosDeviceW makes no drive), so they are made the way Wine reads them: a Unix
// symbolic link, beside the directory or in the prefix's dosdevices folder. Null when that fails.
class DirectoryAlias {
 public:
  static std::unique_ptr<DirectoryAlias> Link(const std::wstring& target) {
    return Make(target + L"-link", UnixName(target) + L"-link", target);
  }
  static std::unique_ptr<DirectoryAlias> Drive(const std::wstring& target) {
    const DWORD used = GetLogicalDrives();
    wchar_t letter = L'P';
    while (letter <= L'Y' && (used & (1u << (letter - L'A')))) ++letter;
    const std::wstring cDrive = UnixName(L"C:\\");  // .../dosdevices/c:
    if (letter > L'Y' || cDrive.empty()) return nullptr;
    const std::wstring dosDevices = cDrive.substr(0, cDrive.find_last_of(L'/') + 1);
    return Make(std::wstring{letter, L':'}, dosDevices + static_cast<wchar_t>(towlower(letter)) + L":", target);
  }
  ~DirectoryAlias() {
    if (StartUnixTool(L"rm", Quoted(unixLink_))) {
      WaitUntil([&] { return GetFileAttributesW((path_ + L"\\").c_str()) == INVALID_FILE_ATTRIBUTES; });
    }
  }
  const std::wstring& path() const { return path_; }

 private:
  DirectoryAlias(std::wstring path, std::wstring unixLink) : path_(std::move(path)), unixLink_(std::move(unixLink)) {}
  static std::unique_ptr<DirectoryAlias> Make(std::wstring path, std::wstring unixLink, const std::wstring& target) {
    const std::wstring unixTarget = UnixName(target);
    if (unixTarget.empty()) return nullptr;
    auto alias = std::unique_ptr<DirectoryAlias>(new DirectoryAlias(std::move(path), std::move(unixLink)));
    if (!StartUnixTool(L"ln", L"-s " + Quoted(unixTarget) + L" " + Quoted(alias->unixLink_))) return nullptr;
    const std::wstring program = alias->path_ + L"\\tallyleaf.exe";
    return WaitUntil([&] { return GetFileAttributesW(program.c_str()) != INVALID_FILE_ATTRIBUTES; }) ? std::move(alias) : nullptr;
  }

  std::wstring path_;
  std::wstring unixLink_;
};

// The main windows of every running copy.
std::vector<HWND> VisibleMainWindowsOfAnyProcess() {
  std::vector<HWND> found;
  for (HWND hwnd : TopLevelWindows()) {
    if (IsWindowVisible(hwnd) && WindowTitle(hwnd) == L"Tallyleaf") found.push_back(hwnd);
  }
  return found;
}

// The first copy runs from the directory and another window is in front; a second start through
// the other path ends with 0, the first stays the only copy and comes forward.
void ExpectOneCopyWhenStartedThrough(const ProgramDirectory& directory, const std::wstring& alias) {
  RunningProgram first(directory);
  HWND main = first.MainWindow();
  ASSERT_NE(main, nullptr);
  HWND elsewhere = CreateWindowExW(0, L"STATIC", L"elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 200, 100,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(BringForward(elsewhere));

  RunningProgram second(alias);
  EXPECT_EQ(second.WaitForExit(), 0u) << "the second start ends";
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; })) << "the running copy comes forward";
  EXPECT_EQ(first.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(VisibleMainWindowsOfAnyProcess(), std::vector<HWND>{main}) << "one copy runs";
  DestroyWindow(elsewhere);
}

// Under Wine a start through the short name learns its long path from the system, so that case
// alone would not tell a claim by path text from a claim of the folder; the link and the drive
// letter do.
TEST(Startup, ASecondStartThroughAnotherPathToTheDirectoryShowsTheFirstAndEnds) {
  {
    ProgramDirectory directory;
    const std::unique_ptr<DirectoryAlias> link = DirectoryAlias::Link(directory.path());
    ASSERT_NE(link, nullptr) << "no symbolic link could be made";
    ExpectOneCopyWhenStartedThrough(directory, link->path());
  }
  {
    ProgramDirectory directory;
    wchar_t shortName[MAX_PATH];
    const DWORD length = GetShortPathNameW(directory.path().c_str(), shortName, MAX_PATH);
    ASSERT_TRUE(length > 0 && length < MAX_PATH);
    const std::wstring alias(shortName, length);
    ASSERT_NE(alias, directory.path()) << "the directory's name is long: it has a short one";
    ExpectOneCopyWhenStartedThrough(directory, alias);
  }
  {
    ProgramDirectory directory;
    const std::unique_ptr<DirectoryAlias> drive = DirectoryAlias::Drive(directory.path());
    ASSERT_NE(drive, nullptr) << "no drive letter could be made";
    ExpectOneCopyWhenStartedThrough(directory, drive->path());
  }
}

// Where the lock file cannot be opened for another reason than another copy (here a folder
// takes its name, as a read-only medium would refuse it), the program still runs, and the
// directory is still claimed: a second start shows the first and ends instead of writing the
// same files.
TEST(Startup, ADirectoryWhoseLockFileCannotBeMadeStillRunsOneCopy) {
  ProgramDirectory directory;
  ASSERT_TRUE(CreateDirectoryW(directory.File(L"tallyleaf.lock").c_str(), nullptr));
  RunningProgram program(directory);
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(program.WaitForMessageBox(1000), nullptr) << "claimed without a word";
  RunningProgram second(directory);
  EXPECT_EQ(second.WaitForExit(), 0u) << "the second copy finds the first";
  EXPECT_EQ(program.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
}

// The name another copy would claim the directory by: made of its volume and file index.
std::wstring ClaimNameOf(const std::wstring& directory) {
  HANDLE handle = CreateFileW((directory + L"\\").c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &info);
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  if (!known) return {};
  wchar_t name[64];
  swprintf(name, 64, L"Local\\Tallyleaf.%08lX.%08lX.%08lX", info.dwVolumeSerialNumber, info.nFileIndexHigh,
           info.nFileIndexLow);
  return name;
}

// Where the directory can be claimed in no way (a folder takes the lock file's name and another
// object the claim's), the program shows the entries, says that it will not save, and leaves the
// files as they are whatever the user does.
TEST(Startup, ADirectoryThatCannotBeClaimedIsShownButNeverWritten) {
  ProgramDirectory directory;
  const std::string entries = Gbk(L"买牛奶\r\n交房租\r\n"), times = Gbk(L"2024年1月1日\r\n2024年1月2日\r\n");
  directory.Write(L"bugaun.txt", entries);
  directory.Write(L"jilusjian.txt", times);
  ASSERT_TRUE(CreateDirectoryW(directory.File(L"tallyleaf.lock").c_str(), nullptr));
  const std::wstring claim = ClaimNameOf(directory.path());
  ASSERT_FALSE(claim.empty());
  HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, claim.c_str());
  ASSERT_NE(squatter, nullptr);

  RunningProgram program(directory);
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  HWND box = program.WaitForMessageBox();
  ASSERT_NE(box, nullptr) << "the user is told";
  EXPECT_NE(MessageBoxText(box).find(L"对事件的改动不会保存"), std::wstring::npos) << Gbk(MessageBoxText(box));
  AnswerMessageBox(box, IDOK);
  HWND list = FindChild(main, L"SysListView32");
  EXPECT_EQ(ListColumn(list), (std::vector<std::wstring>{L"买牛奶", L"交房租"}));

  SelectListItem(list, 0);
  PostMessageW(main, WM_COMMAND, kDeleteEntryCommand, 0);
  ASSERT_TRUE(WaitUntil([&] { return ListItemCount(list) == 1; }));
  Pump(1500);
  EXPECT_EQ(directory.Read(L"bugaun.txt"), entries);
  EXPECT_EQ(directory.Read(L"jilusjian.txt"), times);
  std::vector<std::wstring> names = directory.Names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"bugaun.txt", L"jilusjian.txt"})) << "no temporary, no backup";
  program.Kill();
  CloseHandle(squatter);
}

// ---- The end of the session ------------------------------------------------------------------

constexpr WPARAM kShowRemindersCommand = 20010;

class SessionEnd : public MainWindowTest {
 protected:
  // The reminder window once it shows.
  HWND ShowReminderWindow(int entry) {
    SelectListItem(list_, entry);
    PostMessageW(main_, WM_COMMAND, kShowRemindersCommand, 0);
    HWND window = nullptr;
    WaitUntil([&] {
      for (HWND hwnd : program().VisibleTopLevelWindows()) {
        if (FindChild(hwnd, L"Button", L"确认提醒")) window = hwnd;
      }
      return window != nullptr;
    });
    return window;
  }
  // The window's answer to a sent message (at log-off the system sends ENDSESSION_LOGOFF);
  // nothing when none came.
  static std::optional<LRESULT> Tell(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam = ENDSESSION_LOGOFF) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_BLOCK, 5000, &answer)) return std::nullopt;
    return static_cast<LRESULT>(answer);
  }
};

TEST_F(SessionEnd, NoWindowRefusesTheLogOffAndAnEntryEditedJustBeforeItsEndIsOnDisk) {
  const std::vector<ListRow> rows = {{L"一", L"2019年5月3日"}, {L"二", L"2019年5月4日"}};
  Start(rows);
  HWND reminders = ShowReminderWindow(0);
  ASSERT_NE(reminders, nullptr) << "the reminder window shows";

  // The system asks every top-level window of the program, hidden ones too.
  for (HWND hwnd : program().TopLevelWindows()) {
    EXPECT_EQ(Tell(hwnd, WM_QUERYENDSESSION, 0), TRUE) << Utf8(ClassOf(hwnd)) << " " << Utf8(WindowTitle(hwnd));
  }
  EXPECT_EQ(Tell(reminders, WM_QUERYENDSESSION, 0), TRUE) << "the window whose close box only hides it";
  EXPECT_TRUE(IsWindowVisible(reminders)) << "being asked closes and hides nothing";

  // The Enter that ends the edit and the end of the session are queued together as sent
  // messages, which the program handles one after the other before any timer tick, and the
  // process ends as soon as the end is told: only the save at the session's end can put the edit
  // on disk.
  HWND edit = reinterpret_cast<HWND>(SendMessageW(list_, LVM_EDITLABELW, 1, 0));
  ASSERT_NE(edit, nullptr);
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"二，改过"));
  ASSERT_TRUE(SendNotifyMessageW(edit, WM_KEYDOWN, VK_RETURN, 1));
  EXPECT_TRUE(Tell(main_, WM_ENDSESSION, TRUE).has_value());
  program().Kill();  // what the system does once the program's windows have heard

  const auto [texts, times] = EntryFileTexts({rows[0], {L"二，改过", rows[1].time}});
  EXPECT_EQ(directory_.Read(L"bugaun.txt"), texts);
  EXPECT_EQ(directory_.Read(L"jilusjian.txt"), times);
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
