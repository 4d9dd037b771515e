// Loading windows from definitions, their menus, stacking, events and closing, against real
// windows under one runtime.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "runtime/dispatch.h"
#include "runtime/gbk.h"
#include "runtime/loader.h"
#include "runtime/memory.h"
#include "runtime/program_header.h"
#include "runtime/property_services.h"
#include "runtime/requests.h"
#include "runtime/runtime_state.h"
#include "runtime/service_slots.h"
#include "runtime/unit.h"
#include "runtime/unit_events.h"
#include "runtime/window_map.h"
#include "runtime/window_unit.h"
#include "tests/win/runtime_test_support.h"

namespace tl::test {
namespace {

constexpr uint32_t kMainId = 0x52000001, kMainUnit = 0x06000001;
constexpr uint32_t kPanelA = 0x16000001, kPanelB = 0x16000002, kPanelC = 0x16000003;
constexpr uint32_t kTimerLike = 0x16000004;
constexpr uint32_t kFileTitle = 0x26000001, kOpenItem = 0x26000002, kSeparator = 0x26000003,
                   kMoreItem = 0x26000004, kFirstSubItem = 0x26000005, kHiddenTitle = 0x26000006,
                   kHiddenItem = 0x26000007;
constexpr uint32_t kCentredId = 0x52000002, kCentredUnit = 0x06000002;
constexpr uint32_t kBrokenId = 0x52000003, kBrokenUnit = 0x06000003, kBrokenControl = 0x16000010;

// Handler slots.
enum Slot : int32_t {
  Created, Moved, Resized, CloseBox, MayClose, Destroyed, OpenChosen, SubChosen, HiddenChosen,
  PanelEvent, PanelMouse, CentredCreated,
};

const ProgramHeader& TestProgram() {
  const WindowProperties main{.borderStyle = 1, .backColor = 0x0000FF00, .minButton = 1, .position = 0,
                              .escCloses = 0, .showInTaskbar = 0, .alwaysOnTop = 1, .caption = "提醒窗口"};
  std::vector<uint32_t> ids = {kMainUnit, kPanelA, kPanelB, kFileTitle, kOpenItem, kSeparator,
                               kMoreItem, kFirstSubItem, kHiddenTitle, kHiddenItem, kPanelC,
                               kTimerLike};
  UnitRecordFields hidden = PanelRecord(0, 0, 10, 10, UnitFlag::Visible);
  hidden.type = kHiddenType;
  std::vector<std::vector<uint8_t>> records = {
      // Topmost: kept in a corner, away from other test programs' windows.
      EncodeUnitRecord(WindowRecord(main, 700, 540, 300, 200,
                                    {{0, Created}, {3, Moved}, {4, Resized}, {12, CloseBox},
                                     {1, MayClose}, {2, Destroyed}})),
      EncodeUnitRecord(PanelRecord(10, 10, 100, 50, UnitFlag::Visible,
                                   {{0, PanelEvent}, {-1, PanelMouse}})),
      EncodeUnitRecord(PanelRecord(20, 20, 100, 50)),
      EncodeMenuItem(MenuItem(0, "文件")),
      EncodeMenuItem(MenuItem(1, "打开", MenuFlag::Checked, OpenChosen, 29)),
      EncodeMenuItem(MenuItem(1, "-")),
      EncodeMenuItem(MenuItem(1, "更多", MenuFlag::Disabled)),
      EncodeMenuItem(MenuItem(2, "甲", 0, SubChosen)),
      EncodeMenuItem(MenuItem(0, "隐藏", MenuFlag::Hidden)),
      EncodeMenuItem(MenuItem(1, "乙", 0, HiddenChosen)),
      EncodeUnitRecord(PanelRecord(30, 30, 100, 50)),
      EncodeUnitRecord(hidden),
  };

  const WindowProperties centred{.position = 1, .closeItem = 0, .escCloses = 1, .caption = "居中"};
  WindowProperties plain;
  return MakeProgram({
      {kMainId, ids, records},
      {kCentredId, {kCentredUnit},
       {EncodeUnitRecord(WindowRecord(centred, 0, 0, 240, 160, {{0, CentredCreated}}))}},
      {kBrokenId, {kBrokenUnit, kBrokenControl},
       {EncodeUnitRecord(WindowRecord(plain, 0, 0, 100, 100)),
        EncodeUnitRecord([] {
          UnitRecordFields r = PanelRecord(0, 0, 10, 10);
          r.type = kBrokenType;
          return r;
        }())}},
  });
}

BOOL CALLBACK CollectCentred(HWND hwnd, LPARAM list) {
  wchar_t caption[16] = {};
  GetWindowTextW(hwnd, caption, 16);
  if (Widen("居中") == caption) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

class RuntimeWindowTest : public TestProgramTest<&TestProgram> {
 protected:
  void TearDown() override {
    SetAnswer(CloseBox, nullptr);  // a refusal a test set must not keep its window
    TestProgramTest::TearDown();
  }
  static WindowDefinition& Definition(uint32_t id) { return *FindWindowDefinition(id); }
  static std::vector<int32_t> SlotsCalled() {
    std::vector<int32_t> slots;
    for (const HandlerCall& c : Calls()) slots.push_back(c.slot);
    return slots;
  }
};

TEST_F(RuntimeWindowTest, WindowGetsItsFrameCaptionColourTopmostAndNoTaskbarButton) {
  HWND hwnd = Load(kMainId);
  ASSERT_NE(hwnd, nullptr);
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE), ex = GetWindowLongW(hwnd, GWL_EXSTYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  // Owned by the hidden owner, so no taskbar button.
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), Runtime().hiddenOwner);
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 700);
  EXPECT_EQ(r.top, 540);
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_EQ(r.bottom - r.top, 200);
  wchar_t caption[64];
  GetWindowTextW(hwnd, caption, 64);
  EXPECT_EQ(Narrow(caption), "提醒窗口");
  EXPECT_EQ(ReadUnitProperty(kMainId, kMainUnit, 8 + 10, -1), 0u);  // Position: normal

  RECT client;
  GetClientRect(hwnd, &client);
  HDC dc = GetDC(hwnd);
  SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(GetPixel(dc, client.right - 2, client.bottom - 2), RGB(0, 0xFF, 0));
  ReleaseDC(hwnd, dc);
}

TEST_F(RuntimeWindowTest, CreatedMovedResizedInOrderAndLoadingEventsDropped) {
  HWND hwnd = Load(kMainId);
  ASSERT_NE(hwnd, nullptr);
  // Panel A raised its event 0 while it was being created: dropped.
  EXPECT_EQ(SlotsCalled(), (std::vector<int32_t>{Created, Moved, Resized}));
  // The panel raising its event now reaches the handler, with the panel as the source.
  ResetHandlers();
  RaiseEvent(kMainId, kPanelA, 0, {5});
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].slot, PanelEvent);
  EXPECT_EQ(Calls()[0].unit, kPanelA);
  EXPECT_EQ(Calls()[0].args, std::vector<uint32_t>{5});
}

TEST_F(RuntimeWindowTest, ControlsStackInRecordOrderWithChildIdsInCreationOrder) {
  HWND hwnd = Load(kMainId);
  HWND a = UnitHandle(kMainId, kPanelA), b = UnitHandle(kMainId, kPanelB),
       c = UnitHandle(kMainId, kPanelC);
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(GetParent(a), hwnd);
  EXPECT_EQ(GetWindow(hwnd, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);
  // Numbered from the last record up: the hidden-type unit 100, then C, B, A.
  EXPECT_EQ(GetDlgCtrlID(c), 110);
  EXPECT_EQ(GetDlgCtrlID(b), 120);
  EXPECT_EQ(GetDlgCtrlID(a), 130);
  EXPECT_NE(FindUnitObject(kMainId, kTimerLike), nullptr);
}

TEST_F(RuntimeWindowTest, MenuBarShowsVisibleTitlesAndEveryItemKeepsItsCommandId) {
  HWND hwnd = Load(kMainId);
  HMENU bar = GetMenu(hwnd);
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 1);  // the hidden title is left out
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(file), 3);
  wchar_t text[64];
  GetMenuStringW(file, 20001, text, 64, MF_BYCOMMAND);
  EXPECT_EQ(Narrow(text), "打开\tF3");  // shortcut 29 is F3
  EXPECT_TRUE(GetMenuState(file, 20001, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(file, 2, MF_BYPOSITION) & MF_GRAYED);
  HMENU more = GetSubMenu(file, 2);
  ASSERT_NE(more, nullptr);
  EXPECT_EQ(GetMenuItemID(more, 0), 20004u);

  // The hidden title's pop-up exists for the application to pop up.
  const UnitRecordArray& units = Definition(kMainId).units;
  HMENU hiddenPopup = reinterpret_cast<HMENU>(
      static_cast<uintptr_t>(units.MenuItem(*units.IndexOf(kHiddenTitle)).reserved[0]));
  ASSERT_TRUE(IsMenu(hiddenPopup));
  EXPECT_EQ(GetMenuItemID(hiddenPopup, 0), 20006u);

  SendMessageW(hwnd, WM_COMMAND, 20006, 0);
  SendMessageW(hwnd, WM_COMMAND, 20001, 0);
  SendMessageW(hwnd, WM_COMMAND, 20007, 0);  // beyond the run: nothing
  SendMessageW(hwnd, WM_COMMAND, 19999, 0);
  ASSERT_EQ(Calls().size(), 5u);  // created, moved, resized, then the two items
  EXPECT_EQ(Calls()[3].slot, HiddenChosen);
  EXPECT_EQ(Calls()[3].unit, kHiddenItem);
  EXPECT_EQ(Calls()[4].slot, OpenChosen);

  // The F3 accelerator fires the item through the pump.
  PostMessageW(hwnd, WM_KEYDOWN, VK_F3, 0);
  ProcessQueuedMessages();
  EXPECT_EQ(CallCount(OpenChosen), 2u);
}

TEST_F(RuntimeWindowTest, SecondLoadOnlyActivates) {
  HWND first = Load(kMainId);
  ResetHandlers();
  HWND second = Load(kMainId);
  EXPECT_EQ(first, second);
  EXPECT_TRUE(Calls().empty());
  ShowWindow(first, SW_MINIMIZE);
  EXPECT_EQ(ReadUnitProperty(kMainId, kMainUnit, 8 + 10, -1), 2u);
  Load(kMainId);
  EXPECT_FALSE(IsIconic(first));

  // A queued click whose handler loads the window that is about to be loaded: one instance.
  SetAnswer(PanelMouse, [](std::span<const uint32_t>) {
    LoadWindowFromDefinition(*FindWindowDefinition(kCentredId), false, nullptr);
    return NoAnswer;
  });
  PostMessageW(UnitHandle(kMainId, kPanelA), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  HWND centred = Load(kCentredId);
  EXPECT_EQ(CallCount(CentredCreated), 1u);
  std::vector<HWND> instances;
  EnumThreadWindows(GetCurrentThreadId(), CollectCentred, reinterpret_cast<LPARAM>(&instances));
  EXPECT_EQ(instances, std::vector<HWND>{centred});
}

TEST_F(RuntimeWindowTest, LoadingAHiddenLoadedWindowLeavesTheKeyboardWhereItIs) {
  HWND main = Load(kMainId);
  HWND centred = Load(kCentredId);
  ShowWindow(centred, SW_HIDE);
  SetActiveWindow(main);
  ASSERT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(LoadWindowFromDefinition(Definition(kCentredId), false, nullptr), 1);
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_FALSE(IsWindowVisible(centred));
  // Shown again, the window is brought forward by the next load.
  ShowWindow(centred, SW_SHOWNA);
  SetActiveWindow(main);
  EXPECT_EQ(LoadWindowFromDefinition(Definition(kCentredId), false, nullptr), 1);
  EXPECT_EQ(GetActiveWindow(), centred);
}

TEST_F(RuntimeWindowTest, ACreatedHandlersOwnWritesRaiseTheirEvents) {
  SetAnswer(Created, [](std::span<const uint32_t>) {
    WriteUnitProperty(kMainId, kMainUnit, 2, -1, 320, 0);
    return NoAnswer;
  });
  HWND hwnd = Load(kMainId);
  ASSERT_NE(hwnd, nullptr);
  const std::vector<int32_t> slots = SlotsCalled();
  // The resize is heard inside the created handler, before the load's own moved and resized.
  ASSERT_GE(slots.size(), 4u);
  EXPECT_EQ(slots[0], Created);
  EXPECT_EQ(slots[1], Resized);
  EXPECT_EQ(std::vector<int32_t>(slots.end() - 2, slots.end()), (std::vector<int32_t>{Moved, Resized}));
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.right - r.left, 320);
}

// Counts what reaches a window: moves, size changes, repaint requests, texts, showing.
LRESULT CALLBACK CountWindowWork(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR counter) {
  switch (message) {
    case WM_WINDOWPOSCHANGING:
    case WM_SETTEXT:
    case WM_SHOWWINDOW:
    case WM_ENABLE:
    case WM_NCPAINT:
      ++*reinterpret_cast<int*>(counter);
      break;
    default: break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(RuntimeWindowTest, WritingTheValueAPropertyHasTouchesNoWindow) {
  HWND hwnd = Load(kMainId);
  HWND panel = UnitHandle(kMainId, kPanelA);
  int windowWork = 0, panelWork = 0;
  SetWindowSubclass(hwnd, CountWindowWork, 1, reinterpret_cast<DWORD_PTR>(&windowWork));
  SetWindowSubclass(panel, CountWindowWork, 1, reinterpret_cast<DWORD_PTR>(&panelWork));
  ValidateRect(hwnd, nullptr);
  const char* caption = "提醒窗口";
  for (int i = 0; i < 3; ++i) {
    WriteUnitProperty(kMainId, kMainUnit, 3, -1, 200, 0);  // height
    WriteUnitProperty(kMainId, kMainUnit, 0, -1, 700, 0);  // left
    WriteUnitProperty(kMainId, kMainUnit, 5, -1, 1, 0);    // visible
    WriteUnitProperty(kMainId, kMainUnit, 8 + 0, -1, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(caption)), 0);
    WriteUnitProperty(kMainId, kMainUnit, 8 + 10, -1, 0, 0);  // position: normal
    WriteUnitProperty(kMainId, kPanelA, 2, -1, 100, 0);
    WriteUnitProperty(kMainId, kPanelA, 6, -1, 0, 0);  // enabled
  }
  RECT update;
  EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));
  EXPECT_EQ(windowWork, 0);
  EXPECT_EQ(panelWork, 0);
  // A different value still does its work, which the counters see.
  WriteUnitProperty(kMainId, kMainUnit, 3, -1, 39, 0);
  WriteUnitProperty(kMainId, kPanelA, 6, -1, 1, 0);
  EXPECT_GT(windowWork, 0);
  EXPECT_GT(panelWork, 0);
  EXPECT_EQ(ReadUnitProperty(kMainId, kMainUnit, 3, -1), 39u);
  RemoveWindowSubclass(hwnd, CountWindowWork, 1);
  RemoveWindowSubclass(panel, CountWindowWork, 1);
}

TEST_F(RuntimeWindowTest, RefusedCloseBoxKeepsTheWindowAndSkipsMayClose) {
  HWND hwnd = Load(kMainId);
  SetAnswer(CloseBox, [](std::span<const uint32_t>) { return Answer(0); });
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(CallCount(CloseBox), 1u);
  EXPECT_EQ(CallCount(MayClose), 0u);

  SetAnswer(CloseBox, nullptr);
  SetAnswer(MayClose, [](std::span<const uint32_t>) { return Answer(0); });
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(CallCount(MayClose), 1u);

  SetAnswer(MayClose, [](std::span<const uint32_t>) { return Answer(1); });
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(CallCount(Destroyed), 1u);
  EXPECT_EQ(LoadedWindow(Definition(kMainId)), nullptr);
  EXPECT_EQ(Definition(kMainId).units.ObjectSlot(1), 0u);
}

// The end of the user's session: the system asks every top-level window, then tells them all.
std::vector<std::string>& SessionEndLog() {
  static std::vector<std::string> log;
  return log;
}
bool MainWindowAlive() {
  WindowDefinition* d = FindWindowDefinition(kMainId);
  WindowUnit* w = d ? LoadedWindow(*d) : nullptr;
  return w && IsWindow(w->hwnd());
}
void FirstAtSessionEnd() { SessionEndLog().push_back(MainWindowAlive() ? "first, window alive" : "first, window gone"); }
void SecondAtSessionEnd() { SessionEndLog().push_back(MainWindowAlive() ? "second, window alive" : "second, window gone"); }

TEST_F(RuntimeWindowTest, QueryEndSessionIsNeverRefusedAndClosesNothing) {
  HWND hwnd = Load(kMainId);
  SetAnswer(MayClose, [](std::span<const uint32_t>) { return Answer(0); });
  EXPECT_EQ(SendMessageW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_EQ(SendMessageW(Runtime().hiddenOwner, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(CallCount(MayClose), 0u) << "nothing closes while the session may still go on";
  EXPECT_EQ(CallCount(Destroyed), 0u);
}

TEST_F(RuntimeWindowTest, SessionEndRunsEachCallbackOnceInOrderWhileTheWindowsLive) {
  RuntimeState& rt = Runtime();
  SessionEndLog().clear();
  HWND hwnd = Load(kMainId);
  const ServiceTable& s = Services();
  for (SessionEndCallback callback : {&FirstAtSessionEnd, &SecondAtSessionEnd, &FirstAtSessionEnd}) {
    s.NotifyRuntime(NotifyCode::RegisterSessionEndCallback, reinterpret_cast<intptr_t>(callback), 0);
  }
  SendMessageW(hwnd, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);  // another program refused: it goes on
  EXPECT_TRUE(SessionEndLog().empty());

  const std::vector<std::string> once = {"first, window alive", "second, window alive"};
  SendMessageW(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(SessionEndLog(), once);
  // Every top-level window hears of the end, the hidden owner too; the callbacks do not run again.
  SendMessageW(rt.hiddenOwner, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  SendMessageW(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(SessionEndLog(), once);
  EXPECT_TRUE(IsWindow(hwnd)) << "the system, not the program, ends the process";

  // The hidden owner may be the first window told; the flag is reset to stand for a new process.
  rt.sessionEnded = false;
  SessionEndLog().clear();
  SendMessageW(rt.hiddenOwner, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(SessionEndLog(), once);
  rt.sessionEndCallbacks.clear();
}

TEST_F(RuntimeWindowTest, PropertiesWrittenWhileLoadedAreForgottenOnDestroy) {
  Load(kMainId);
  WriteUnitProperty(kMainId, kOpenItem, 1, -1, 0, 0);  // uncheck
  EXPECT_EQ(ReadUnitProperty(kMainId, kOpenItem, 1, -1), 0u);
  const char* tag = "标记";
  WriteUnitProperty(kMainId, kPanelA, 4, -1, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(tag)), 0);
  char* read = reinterpret_cast<char*>(static_cast<uintptr_t>(ReadUnitProperty(kMainId, kPanelA, 4, -1)));
  EXPECT_STREQ(read, "标记");
  Free(read);
  DestroyWindow(LoadedWindow(Definition(kMainId))->hwnd());
  EXPECT_EQ(ReadUnitProperty(kMainId, kOpenItem, 1, -1), 1u);
  read = reinterpret_cast<char*>(static_cast<uintptr_t>(ReadUnitProperty(kMainId, kPanelA, 4, -1)));
  EXPECT_STREQ(read, "");
  Free(read);

  // Written while not loaded: kept, and used by the next load.
  WriteUnitProperty(kMainId, kPanelB, 5, -1, 0, 0);
  WriteUnitProperty(kMainId, kPanelB, 0, -1, 44, 0);
  Load(kMainId);
  HWND b = UnitHandle(kMainId, kPanelB);
  EXPECT_FALSE(IsWindowVisible(b));
  EXPECT_EQ(ReadUnitProperty(kMainId, kPanelB, 0, -1), 44u);
  EXPECT_EQ(ReadUnitProperty(kMainId, kPanelB, 5, -1), 0u);
}

TEST_F(RuntimeWindowTest, CentredWindowWithoutCloseItemStillClosesWithEsc) {
  HWND hwnd = Load(kCentredId);
  ASSERT_NE(hwnd, nullptr);
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 240) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 160) / 2);
  EXPECT_EQ(ReadUnitProperty(kCentredId, kCentredUnit, 8 + 10, -1), 0u);
  EXPECT_EQ(GetMenuState(GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
  PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
  ProcessQueuedMessages();
  ProcessQueuedMessages();
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(RuntimeWindowTest, ModalWindowDisablesOthersUntilItCloses) {
  HWND main = Load(kMainId);
  HWND modal = Load(kCentredId, true);
  EXPECT_FALSE(IsWindowEnabled(main));
  EXPECT_EQ(GetWindow(modal, GW_OWNER), Runtime().hiddenOwner);
  SendMessageW(modal, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(RuntimeWindowTest, AFailingUnitFailsTheWholeLoad) {
  EXPECT_EQ(LoadWindowFromDefinition(Definition(kBrokenId), false, nullptr), 0);
  EXPECT_EQ(LoadedWindow(Definition(kBrokenId)), nullptr);
  EXPECT_EQ(Definition(kBrokenId).units.size(), 2u);
}

TEST_F(RuntimeWindowTest, MouseEventsReachTheUnitUnderTheMouse) {
  Load(kMainId);
  HWND a = UnitHandle(kMainId, kPanelA);
  SetAnswer(PanelMouse, [](std::span<const uint32_t>) { return Answer(0); });
  PostMessageW(a, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 9));
  ProcessQueuedMessages();
  ASSERT_EQ(CallCount(PanelMouse), 1u);
  const HandlerCall& call = Calls().back();
  EXPECT_EQ(call.unit, kPanelA);
  EXPECT_EQ(call.args, (std::vector<uint32_t>{7, 9, 0}));
}

void ZeroCheckingCommand(ArgRecord* result, int argc, ArgRecord* args) {
  const bool zeroed = result->low == 0 && result->high == 0 && result->type == 0;
  *result = {static_cast<uint32_t>(argc), zeroed ? 1u : 0u, DataType::Int};
  args[0].low = 99;  // commands may write through by-reference arguments
}

TEST_F(RuntimeWindowTest, CommandsGetAZeroedResultAndTheirArguments) {
  ArgRecord args[2] = {IntArg(5), {}};
  ArgRecord r = Services().CallCoreCommand(ZeroCheckingCommand, 2, args);
  EXPECT_EQ(r.low, 2u);
  EXPECT_EQ(r.high, 1u);
  EXPECT_EQ(args[0].low, 99u);
  r = Services().CallLibraryCommand(ZeroCheckingCommand, 5, 1, args);
  EXPECT_EQ(r.low, 1u);
  EXPECT_EQ(r.high, 1u);
}

TEST_F(RuntimeWindowTest, RequestEntryAnswersDirectoryNameSourceAndConversions) {
  char* directory = reinterpret_cast<char*>(RuntimeRequest(Request::RunDirectory, 0, 0));
  char* name = reinterpret_cast<char*>(RuntimeRequest(Request::ProgramFileName, 0, 0));
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  EXPECT_EQ(Widen(directory), std::wstring(current) + L"\\");
  EXPECT_EQ(std::string(name), "runtime_window_test.exe");
  Free(directory);
  Free(name);
  EventSourceRecord source{1, 1};
  EXPECT_EQ(RuntimeRequest(Request::CurrentEventSource, reinterpret_cast<intptr_t>(&source), 0), 0);
  EXPECT_EQ(source.window, 0u);
  EXPECT_EQ(source.unit, 0u);
  ArgRecord d = DoubleArg(-2.9);
  EXPECT_EQ(RuntimeRequest(Request::ToInteger, reinterpret_cast<intptr_t>(&d), 0), -2);
  DefaultIconsRecord icons{};
  RuntimeRequest(Request::DefaultIcons, reinterpret_cast<intptr_t>(&icons), 0);
  EXPECT_EQ(icons.bigIcon, Runtime().defaultBigIcon);
  EXPECT_EQ(icons.smallIcon, Runtime().defaultSmallIcon);
  EXPECT_EQ(reinterpret_cast<const UnitTypeDescriptor*>(RuntimeRequest(Request::UnitTypeDescriptor, 0x10001, 0)),
            &kWindowType);
  EXPECT_EQ(RuntimeRequest(Request::UnitTypeDescriptor, 0x20001, 0), 0);  // beyond the libraries
  EXPECT_EQ(RuntimeRequest(Request::UnitTypeDescriptor, 0x10009, 0), 0);  // beyond the types
}

}  // namespace
}  // namespace tl::test
