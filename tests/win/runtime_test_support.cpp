#include "tests/win/runtime_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "runtime/program_header.h"
#include "runtime/requests.h"
#include "runtime/unit.h"
#include "runtime/unit_events.h"
#include "runtime/window_unit.h"
#include "tests/win/control_host.h"
#include "tests/win/dialog_finder.h"

namespace tl {
extern const UnitTypeDescriptor kMenuType;
}

namespace tl::test {
namespace {

std::array<std::function<HandlerResult(std::span<const uint32_t>)>, kHandlerSlots> g_answers;

template <int Slot>
HandlerResult Record(std::span<const uint32_t> args) {
  EventSourceRecord source{};
  RuntimeRequest(Request::CurrentEventSource, reinterpret_cast<intptr_t>(&source), 0);
  Calls().push_back({Slot, source.window, source.unit, {args.begin(), args.end()}});
  return g_answers[Slot] ? g_answers[Slot](args) : NoAnswer;
}

template <size_t... I>
constexpr std::array<Handler, sizeof...(I)> MakeHandlers(std::index_sequence<I...>) {
  return {&Record<static_cast<int>(I)>...};
}
const std::array<Handler, kHandlerSlots> kHandlers =
    MakeHandlers(std::make_index_sequence<kHandlerSlots>{});
const HandlerTable kTable{kHandlerSlots, kHandlers.data()};

// Property 0 of a panel is a number kept in its block; writing it needs a new native window.
class Panel : public Unit {
 public:
  using Unit::Unit;
  uint32_t number = 0;
  bool Create(HWND parent, int id, uint32_t style, int l, int t, int w, int h) {
    hwnd_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_NOTIFY | style, l, t, w, h, parent,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(id)),
                            GetModuleHandleW(nullptr), nullptr);
    return hwnd_ != nullptr;
  }
  std::vector<uint8_t> PropertyData() const override {
    return {static_cast<uint8_t>(number), 0, 0, 0};
  }
  bool IsDragHandle() const override { return true; }
};

class Invisible : public Unit {
 public:
  using Unit::Unit;
  std::vector<uint8_t> PropertyData() const override { return {}; }
};

Unit* CreatePanel(const uint8_t* block, int32_t length, uint32_t style, HWND parent, int32_t id, HMENU,
                  int32_t l, int32_t t, int32_t w, int32_t h, uint32_t window, uint32_t unit,
                  int32_t, int32_t) {
  auto panel = std::make_unique<Panel>(window, unit);
  if (block && length >= 1) panel->number = block[0];
  if (!panel->Create(parent, id, style, l, t, w, h)) return nullptr;
  RaiseEvent(*panel, 0);  // during a load this must not reach any handler
  return panel.release();
}
Unit* CreateBroken(const uint8_t*, int32_t, uint32_t, HWND, int32_t, HMENU, int32_t, int32_t,
                   int32_t, int32_t, uint32_t, uint32_t, int32_t, int32_t) {
  return nullptr;
}
Unit* CreateInvisible(const uint8_t*, int32_t, uint32_t, HWND, int32_t, HMENU, int32_t, int32_t,
                      int32_t, int32_t, uint32_t window, uint32_t unit, int32_t, int32_t) {
  return std::make_unique<Invisible>(window, unit).release();
}

int WritePanel(Unit* unit, int32_t number, PropertyValue value) {
  auto* panel = static_cast<Panel*>(unit);
  if (number != 0 || panel->number == value.low) return 0;
  panel->number = value.low;
  return 1;
}
PropertyValue ReadPanel(Unit* unit, int32_t number) {
  return {number == 0 ? static_cast<Panel*>(unit)->number : 0, 0};
}

void* PanelInterface(InterfaceCode code) {
  switch (code) {
    case InterfaceCode::CreateUnit: return reinterpret_cast<void*>(&CreatePanel);
    case InterfaceCode::WriteProperty: return reinterpret_cast<void*>(&WritePanel);
    case InterfaceCode::ReadProperty: return reinterpret_cast<void*>(&ReadPanel);
    default: return nullptr;
  }
}
void* BrokenInterface(InterfaceCode code) {
  return code == InterfaceCode::CreateUnit ? reinterpret_cast<void*>(&CreateBroken) : nullptr;
}
void* InvisibleInterface(InterfaceCode code) {
  return code == InterfaceCode::CreateUnit ? reinterpret_cast<void*>(&CreateInvisible) : nullptr;
}

const UnitTypeDescriptor kPanel = {"面板", "panel", UnitState::RaisesEvents, PanelInterface};
const UnitTypeDescriptor kBroken = {"坏", "broken", UnitState::RaisesEvents, BrokenInterface};
const UnitTypeDescriptor kHidden = {"隐", "hidden", UnitState::Invisible, InvisibleInterface};

const UnitTypeDescriptor* const kTypes[] = {&kWindowType, &kPanel, &kMenuType, &kBroken, &kHidden};

intptr_t Notify(int32_t code, intptr_t argument) {
  if (code == 1) SetRuntimeRequest(reinterpret_cast<RuntimeRequestFn>(argument));
  return 0;
}

const LibraryRecord kTestLibraries[] = {{"test", kTypes, 5, Notify}};

const char kConstants[] = "\0\0\0\0\1\0\0\0\0\0\0\0";

std::vector<uint8_t>& ImageBytes() {
  static std::vector<uint8_t> bytes;
  return bytes;
}

ProgramHeader& Header() {
  static ProgramHeader header{};
  return header;
}

}  // namespace

std::vector<HandlerCall>& Calls() {
  static std::vector<HandlerCall> calls;
  return calls;
}

void SetAnswer(int32_t slot, std::function<HandlerResult(std::span<const uint32_t>)> answer) {
  g_answers[slot] = std::move(answer);
}

void ResetHandlers() {
  Calls().clear();
  for (auto& answer : g_answers) answer = nullptr;
}

size_t CallCount(int32_t slot) {
  size_t n = 0;
  for (const HandlerCall& call : Calls()) n += call.slot == slot;
  return n;
}

UnitRecordFields WindowRecord(const WindowProperties& properties, int32_t left, int32_t top,
                              int32_t width, int32_t height, std::vector<EventBinding> bindings) {
  UnitRecordFields r;
  r.type = 0x10001;
  r.left = left, r.top = top, r.width = width, r.height = height;
  r.flags = UnitFlag::Visible;
  r.bindings = std::move(bindings);
  r.propertyBlock = WriteWindowBlock(properties);
  return r;
}

UnitRecordFields PanelRecord(int32_t left, int32_t top, int32_t width, int32_t height,
                             uint32_t flags, std::vector<EventBinding> bindings) {
  UnitRecordFields r;
  r.type = kPanelType;
  r.name = "面板1";
  r.left = left, r.top = top, r.width = width, r.height = height;
  r.flags = flags;
  r.bindings = std::move(bindings);
  return r;
}

MenuItemFields MenuItem(int32_t level, std::string caption, uint32_t flags, int32_t handler,
                        int32_t shortcut) {
  MenuItemFields m;
  m.level = level;
  m.caption = std::move(caption);
  m.flags = flags;
  m.handler = handler;
  m.shortcut = shortcut;
  return m;
}

const ProgramHeader& MakeProgramFromImage(std::vector<uint8_t> image) {
  ImageBytes() = std::move(image);
  ProgramHeader& h = Header();
  h.version0 = 3;
  h.version1 = 0;
  h.build = 121670;
  h.codeBase = &kTable;
  h.constants = kConstants;
  h.constantsLength = sizeof kConstants;
  h.formImage = ImageBytes().data();
  h.formImageLength = static_cast<uint32_t>(ImageBytes().size());
  h.libraryCount = 1;
  h.libraries = kTestLibraries;
  return h;
}

const ProgramHeader& MakeProgram(const std::vector<WindowSpec>& windows) {
  std::vector<WindowDefinitionData> data;
  for (const WindowSpec& window : windows) {
    WindowDefinitionData d;
    d.id = window.id;
    d.units = UnitRecordArray::Build(window.unitIds, window.records);
    data.push_back(std::move(d));
  }
  return MakeProgramFromImage(WriteFormImage(data));
}

bool InScenario() { return std::getenv("TL_SCENARIO") != nullptr; }

void LogLine(const char* line) {
  const char* path = std::getenv("TL_LOG");
  if (!path) return;
  if (FILE* f = std::fopen(path, "ab")) {
    std::fprintf(f, "%s\n", line);
    std::fclose(f);
  }
}

ChildResult RunScenario(const std::string& testName, DWORD timeoutMs) {
  ChildResult result{STILL_ACTIVE, {}, {}, false, {}};
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=" +
                         std::wstring(testName.begin(), testName.end());
  wchar_t temp[MAX_PATH], log[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  GetTempFileNameW(temp, L"tls", 0, log);
  SetEnvironmentVariableW(L"TL_SCENARIO", L"1");
  SetEnvironmentVariableW(L"TL_LOG", log);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  BOOL started = CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &process);
  SetEnvironmentVariableW(L"TL_SCENARIO", nullptr);
  SetEnvironmentVariableW(L"TL_LOG", nullptr);
  if (!started) {
    ADD_FAILURE() << "could not start the scenario";
    return result;
  }
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
    HWND box = FindDialog(process.dwProcessId);
    if (box && result.boxTitle.empty()) {
      Sleep(100);
      result.boxTitle = TextOf(box);
      result.boxText = TextOf(GetDlgItem(box, 65535));
      result.boxOnTop = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    if (GetTickCount() - start > timeoutMs) {
      TerminateProcess(process.hProcess, 99);
      ADD_FAILURE() << "scenario " << testName << " did not end";
      break;
    }
  }
  GetExitCodeProcess(process.hProcess, &result.exitCode);
  if (FILE* f = _wfopen(log, L"rb")) {
    char buffer[4096];
    size_t n = std::fread(buffer, 1, sizeof buffer, f);
    result.output.assign(buffer, n);
    std::fclose(f);
  }
  DeleteFileW(log);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

}  // namespace tl::test
