#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "commands/declared_call.h"
#include "runtime/dll_call.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/program_header.h"
#include "runtime/requests.h"
#include "runtime/runtime_error.h"
#include "runtime/service_slots.h"
#include "runtime/unit_events.h"
#include "tests/win/dialog_finder.h"

namespace tl {
namespace {

// The core command a handler uses, reaching the runtime through its request entry as the
// program's libraries do.
int32_t CallDeclaredCommand(std::vector<ArgRecord> args) {
  SetRuntimeRequest(RuntimeRequest);
  ArgRecord result{};
  cmd::kCallDeclared.entry(&result, static_cast<int>(args.size()), args.data());
  EXPECT_EQ(result.type, DataType::Int);
  return static_cast<int32_t>(result.low);
}

// ---- Child scenarios: the test program re-launched with --dll-child=NAME ---------------------

std::wstring MarkerPath(const wchar_t* scenario, const wchar_t* stage) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"tl_dll_" + scenario + L"_" + stage;
}

void Mark(const wchar_t* scenario, const wchar_t* stage) {
  CloseHandle(CreateFileW(MarkerPath(scenario, stage).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

// What the runtime's reporter does: the error box, then exit code -1.
[[noreturn]] void BoxReporter(int code, std::string_view message) {
  MessageBoxW(nullptr, Widen(RuntimeErrorText(code, message)).c_str(), Widen("错误").c_str(), MB_OK | MB_ICONERROR);
  ExitProcess(static_cast<UINT>(-1));
}

void RunChildScenario(const std::wstring& scenario) {
  SetErrorReporter(BoxReporter);
  static const char* const kKernel[] = {"kernel32.dll"};
  static const char* const kMulDiv[] = {"MulDiv"};
  static const char* const kUser[] = {"user32.dll"};
  static const char* const kEmpty[] = {""};
  static const char* const kMissing[] = {"NoSuchEntryTl"};
  const wchar_t* name = scenario.c_str();
  if (scenario == L"short") {
    SetDllDeclarations(kKernel, kMulDiv);
    Mark(name, L"declared");
    const uint32_t args[] = {6, 7};  // MulDiv takes three
    tl_CallDllChecked(0, args, 2);
  } else if (scenario == L"short_command") {
    SetDllDeclarations(kKernel, kMulDiv);
    Mark(name, L"declared");
    CallDeclaredCommand({IntArg(0), IntArg(6), IntArg(7)});
  } else if (scenario == L"missing") {
    SetDllDeclarations(kUser, kMissing);
    Mark(name, L"declared");
    CallDllChecked(0);
  } else if (scenario == L"missing_standard") {
    SetDllDeclarations(kEmpty, kMissing);
    Mark(name, L"declared");
    CallDllChecked(0);
  }
  Mark(name, L"returned");
  ExitProcess(0);
}

const bool g_isChild = [] {
  const std::wstring line = GetCommandLineW();
  const size_t at = line.find(L"--dll-child=");
  if (at != std::wstring::npos) RunChildScenario(line.substr(at + 12));
  return false;
}();

struct ChildOutcome {
  std::string title;
  std::string text;
  DWORD exitCode = 0;
  bool declared = false;
  bool returned = false;
};

std::string TextOf(HWND w) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(w, buffer, 1024);
  return Narrow(buffer);
}

ChildOutcome RunChild(const wchar_t* scenario) {
  DeleteFileW(MarkerPath(scenario, L"declared").c_str());
  DeleteFileW(MarkerPath(scenario, L"returned").c_str());
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(exe) + L"\" --dll-child=" + scenario;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ChildOutcome outcome;
  if (!CreateProcessW(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    ADD_FAILURE() << "cannot start the child";
    return outcome;
  }
  HWND box = nullptr;
  for (int i = 0; i < 1000 && !box; ++i) {
    if (WaitForSingleObject(pi.hProcess, 10) == WAIT_OBJECT_0) break;
    box = test::FindDialog(pi.dwProcessId);
  }
  if (box) {
    outcome.title = TextOf(box);
    outcome.text = TextOf(GetDlgItem(box, 65535));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
  GetExitCodeProcess(pi.hProcess, &outcome.exitCode);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  outcome.declared = GetFileAttributesW(MarkerPath(scenario, L"declared").c_str()) != INVALID_FILE_ATTRIBUTES;
  outcome.returned = GetFileAttributesW(MarkerPath(scenario, L"returned").c_str()) != INVALID_FILE_ATTRIBUTES;
  return outcome;
}

TEST(DllCallErrors, ADeclarationOneArgumentShortEndsWithError6AfterTheCall) {
  for (const wchar_t* scenario : {L"short", L"short_command"}) {
    const ChildOutcome out = RunChild(scenario);
    EXPECT_EQ(out.title, "错误");
    EXPECT_EQ(out.text, "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
    EXPECT_EQ(out.exitCode, static_cast<DWORD>(-1));
    EXPECT_TRUE(out.declared);
    EXPECT_FALSE(out.returned);
  }
}

TEST(DllCallErrors, AMissingEntryIsReportedAtTheFirstCallNamingLibraryAndEntry) {
  ChildOutcome out = RunChild(L"missing");
  EXPECT_TRUE(out.declared);  // declaring did not resolve anything
  EXPECT_EQ(out.text, "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“user32.dll”中的输出命令“NoSuchEntryTl”\r\n");
  EXPECT_EQ(out.exitCode, static_cast<DWORD>(-1));
  EXPECT_FALSE(out.returned);

  out = RunChild(L"missing_standard");
  EXPECT_EQ(out.text, "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件中的输出命令“NoSuchEntryTl”\r\n");
  EXPECT_EQ(out.exitCode, static_cast<DWORD>(-1));
}

// ---- In-process resolution and calls --------------------------------------------------------

class DllCalls : public ::testing::Test {
 protected:
  void TearDown() override { SetDllDeclarations({}, {}); }
  void Declare(std::vector<const char*> libraries, std::vector<const char*> entries) {
    libraries_ = std::move(libraries);
    entries_ = std::move(entries);
    SetDllDeclarations(libraries_, entries_);
  }
  std::vector<const char*> libraries_, entries_;
};

// The ordinal under which a module exports a name, read from its export directory.
WORD OrdinalOf(HMODULE module, const char* name) {
  auto* base = reinterpret_cast<const uint8_t*>(module);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    if (std::string(reinterpret_cast<const char*>(base + names[i])) == name) {
      return static_cast<WORD>(ordinals[i] + exports->Base);
    }
  }
  return 0;
}

TEST_F(DllCalls, LibrarySearchAndOrdinals) {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  HMODULE user = GetModuleHandleW(L"user32.dll");
  const WORD ordinal = OrdinalOf(kernel, "MulDiv");
  ASSERT_NE(ordinal, 0);
  const std::string byOrdinal = "#" + std::to_string(ordinal);
  const std::string wrapped = "#" + std::to_string(ordinal + 65536);
  Declare({"", "", "user32", "kernel32.dll", "kernel32", "C:\\windows\\system32\\user32.dll"},
          {"SetWindowLongA", "MulDiv", "GetCursorPos", byOrdinal.c_str(), wrapped.c_str(), "SetCursorPos"});
  EXPECT_EQ(ResolveDllCommand(0), reinterpret_cast<void*>(GetProcAddress(user, "SetWindowLongA")));
  EXPECT_EQ(ResolveDllCommand(1), reinterpret_cast<void*>(GetProcAddress(kernel, "MulDiv")));
  EXPECT_EQ(ResolveDllCommand(2), reinterpret_cast<void*>(GetProcAddress(user, "GetCursorPos")));
  EXPECT_EQ(ResolveDllCommand(3), reinterpret_cast<void*>(GetProcAddress(kernel, "MulDiv")));
  EXPECT_EQ(ResolveDllCommand(4), ResolveDllCommand(3));
  EXPECT_EQ(ResolveDllCommand(5), reinterpret_cast<void*>(GetProcAddress(user, "SetCursorPos")));
}

TEST_F(DllCalls, CallsPassTheArgumentsUntouchedAndReturnTheNativeResult) {
  Declare({"kernel32.dll", "user32", "user32.dll"}, {"MulDiv", "GetCursorPos", "SetCursorPos"});
  EXPECT_EQ(static_cast<int32_t>(CallDllChecked(0, 6, 7, 3)), 14);
  EXPECT_EQ(static_cast<int32_t>(CallDllChecked(0, -10, 3, 2)), -15);
  CallDllChecked(2, 321, 123);
  int32_t point[2] = {0, 0};
  CallDllChecked(1, point);
  EXPECT_EQ(point[0], 321);
  EXPECT_EQ(point[1], 123);
  // Slot 1 entered the way the application enters it: the index, then the function's own
  // arguments, cleaned by the callee.
  using Slot1 = int(__stdcall*)(uint32_t index, int a, int b, int c);
  EXPECT_EQ(reinterpret_cast<Slot1>(tl_CallDllCommand)(0, 100, 3, 4), 75);
}

// The command hands its words to the runtime in order and answers the function's own result.
TEST_F(DllCalls, TheCoreCommandCallsADeclarationByIndexWithItsWords) {
  Declare({"kernel32.dll", "user32", "user32.dll"}, {"MulDiv", "GetCursorPos", "SetCursorPos"});
  EXPECT_EQ(CallDeclaredCommand({IntArg(0), IntArg(100), IntArg(3), IntArg(4)}), 75);
  EXPECT_EQ(CallDeclaredCommand({IntArg(0), IntArg(-10), IntArg(3), IntArg(2)}), -15);
  CallDeclaredCommand({IntArg(2), IntArg(222), IntArg(111)});
  int32_t point[2] = {0, 0};
  CallDeclaredCommand({IntArg(1), IntArg(static_cast<int32_t>(PointerWord(point)))});
  EXPECT_EQ(point[0], 222);
  EXPECT_EQ(point[1], 111);
}

TEST_F(DllCalls, StartUpTakesTheHeadersTableAndFillsSlot1) {
  static const char* const libraries[] = {"user32.dll", ""};
  static const char* const entries[] = {"GetWindowLongA", "SetWindowLongA"};
  ProgramHeader header{};
  header.dllCount = 2;
  header.dllLibraryNames = libraries;
  header.dllEntryNames = entries;
  InstallDllCalls(header);
  EXPECT_EQ(Services().CallDllCommand, reinterpret_cast<void*>(&tl_CallDllCommand));
  HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  const auto style = static_cast<int32_t>(CallDllChecked(0, w, -20));
  EXPECT_TRUE(style & WS_EX_TOOLWINDOW);
  CallDllChecked(1, w, -20, style | WS_EX_LAYERED);
  EXPECT_TRUE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_LAYERED);
  DestroyWindow(w);
}

TEST_F(DllCalls, AnIndexResolvedTwiceLoadsItsLibraryOnce) {
  // A library that nothing in this process has loaded yet.
  struct Candidate {
    const char* library;
    const char* entry;
  };
  static constexpr Candidate kCandidates[] = {
      {"cabinet.dll", "DllGetVersion"}, {"hlink.dll", "HlinkCreateBrowseContext"},
      {"wldap32.dll", "ldap_initW"}, {"dbghelp.dll", "ImagehlpApiVersion"}};
  const Candidate* chosen = nullptr;
  for (const Candidate& c : kCandidates) {
    if (!GetModuleHandleW(Widen(c.library).c_str())) {
      chosen = &c;
      break;
    }
  }
  ASSERT_NE(chosen, nullptr) << "every candidate library is already loaded";
  const std::wstring name = Widen(chosen->library);
  Declare({chosen->library}, {chosen->entry});
  void* first = ResolveDllCommand(0);
  EXPECT_EQ(ResolveDllCommand(0), first);
  EXPECT_NE(GetModuleHandleW(name.c_str()), nullptr);
  // One release undoes every load: had it been loaded twice it would still be here.
  ReleaseDllLibraries();
  EXPECT_EQ(GetModuleHandleW(name.c_str()), nullptr);
}

}  // namespace
}  // namespace tl
