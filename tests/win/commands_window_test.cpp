#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "commands/dialogs.h"
#include "commands/time.h"
#include "app/libraries.h"
#include "runtime/dispatch.h"
#include "runtime/form_image.h"
#include "runtime/menu_bar.h"
#include "runtime/program_header.h"
#include "runtime/requests.h"
#include "runtime/unit.h"
#include "runtime/unit_events.h"
#include "runtime/window_map.h"
#include "tests/win/control_host.h"
#include "tests/win/dialog_finder.h"
#include "tests/win/runtime_fixture.h"

namespace tl::cmd {
namespace {

using namespace tl::test;

constexpr uint32_t kMenuWindow = 0x52000001, kMenuWindowUnit = 0x06000001;
constexpr uint32_t kGuardedWindow = 0x52000002, kGuardedWindowUnit = 0x06000002;
constexpr uint32_t kSelfClosingWindow = 0x52000003, kSelfClosingWindowUnit = 0x06000003;
constexpr uint32_t kMenu = 0x26000001, kFirstItem = 0x26000002, kEmptyMenu = 0x26000004;

int g_chosen = 0, g_mayClose = 0, g_destroyed = 0;

HandlerResult ChooseFirst(std::span<const uint32_t>) { return g_chosen = 1, NoAnswer; }
HandlerResult ChooseSecond(std::span<const uint32_t>) { return g_chosen = 2, NoAnswer; }
HandlerResult RefuseClose(std::span<const uint32_t>) { return ++g_mayClose, Answer(0); }
HandlerResult CountDestroy(std::span<const uint32_t>) { return ++g_destroyed, NoAnswer; }
HandlerResult CloseItself(std::span<const uint32_t>);
constexpr Handler kHandlers[] = {ChooseFirst, ChooseSecond, RefuseClose, CountDestroy, CloseItself};
constexpr HandlerTable kHandlerTable = {5, kHandlers};

std::vector<uint8_t> WindowRecord(int32_t left, std::vector<EventBinding> bindings) {
  UnitRecordFields window;
  window.type = TypeCode(UnitType::Window);
  window.left = left;
  window.top = 100;
  window.width = 240;
  window.height = 160;
  window.flags = UnitFlag::Visible;
  window.bindings = std::move(bindings);
  return EncodeUnitRecord(window);
}

std::vector<uint8_t> MenuRecord(int32_t level, uint32_t flags, const char* caption, int32_t handler) {
  MenuItemFields item;
  item.level = level;
  item.flags = flags;
  item.caption = caption;
  item.handler = handler;
  return EncodeMenuItem(item);
}

// Three windows: one with a hidden menu of two items and a hidden menu without items, one whose
// may-close handler refuses every close, and one whose created handler closes it at once.
const std::vector<uint8_t>& Image() {
  static const std::vector<uint8_t> image = [] {
    const uint32_t menuIds[] = {kMenuWindowUnit, kMenu, kFirstItem, 0x26000003, kEmptyMenu};
    const uint32_t guardedIds[] = {kGuardedWindowUnit};
    const uint32_t selfClosingIds[] = {kSelfClosingWindowUnit};
    std::vector<WindowDefinitionData> windows(3);
    windows[0].id = kMenuWindow;
    windows[0].units = UnitRecordArray::Build(
        menuIds, {WindowRecord(100, {}), MenuRecord(0, MenuFlag::Hidden, "菜单", kNoHandler),
                  MenuRecord(1, 0, "甲", 0), MenuRecord(1, 0, "乙", 1),
                  MenuRecord(0, MenuFlag::Hidden, "空", kNoHandler)});
    windows[1].id = kGuardedWindow;
    windows[1].units = UnitRecordArray::Build(guardedIds, {WindowRecord(450, {{1, 2}, {2, 3}})});
    windows[2].id = kSelfClosingWindow;
    windows[2].units = UnitRecordArray::Build(selfClosingIds, {WindowRecord(300, {{0, 4}})});
    return WriteFormImage(windows);
  }();
  return image;
}

char g_constants[16] = {};
ProgramHeader g_header{};

void StartRuntime() {
  static bool started = false;
  if (started) return;
  started = true;
  g_header = {3, 0, 1, &kHandlerTable, g_constants, sizeof g_constants, Image().data(),
              static_cast<uint32_t>(Image().size()), kLibraryCount, kLibraries, 0, nullptr, nullptr};
  test::LoadProgram(g_header);
  SetRuntimeRequest(RuntimeRequest);
}

ArgRecord WindowRef(uint32_t window, uint32_t unit) { return {window, unit, TypeCode(UnitType::Window)}; }

template <typename... A>
ArgRecord Call(CommandFn command, A... arg) {
  ArgRecord args[] = {arg...};
  ArgRecord result{};
  command(&result, sizeof...(A), args);
  return result;
}

HWND Handle(uint32_t window, uint32_t unit) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(Call(kGetWindowHandle.entry, WindowRef(window, unit)).low));
}

bool Loaded(uint32_t window) { return FindUnitObject(window, 0) != nullptr; }

HandlerResult CloseItself(std::span<const uint32_t>) {
  Call(kCloseWindow.entry, WindowRef(kSelfClosingWindow, kSelfClosingWindowUnit), BoolArg(true));
  return NoAnswer;
}

class WindowCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    StartRuntime();
    g_chosen = g_mayClose = g_destroyed = 0;
  }
  void TearDown() override {
    for (uint32_t window : {kMenuWindow, kGuardedWindow, kSelfClosingWindow}) {
      if (Unit* unit = FindUnitObject(window, 0)) DestroyWindow(unit->hwnd());
    }
    ProcessQueuedMessages();
  }
};

TEST_F(WindowCommands, LoadWindowNeedsALoadedOwner) {
  EXPECT_EQ(Call(kLoadWindow.entry, WindowRef(kMenuWindow, kMenuWindowUnit), WindowRef(kGuardedWindow, kGuardedWindowUnit),
                 BoolArg(false)).low,
            0u);
  EXPECT_FALSE(Loaded(kMenuWindow));
  EXPECT_EQ(Call(kLoadWindow.entry, WindowRef(kGuardedWindow, kGuardedWindowUnit), ArgRecord{}, BoolArg(false)).low, 1u);
  EXPECT_EQ(Call(kLoadWindow.entry, WindowRef(kMenuWindow, kMenuWindowUnit), WindowRef(kGuardedWindow, kGuardedWindowUnit),
                 BoolArg(false)).low,
            1u);
  HWND menuWindow = Handle(kMenuWindow, kMenuWindowUnit);
  EXPECT_TRUE(IsWindow(menuWindow));
  EXPECT_EQ(GetWindow(menuWindow, GW_OWNER), Handle(kGuardedWindow, kGuardedWindowUnit));
  Call(kSetFocus.entry, WindowRef(kMenuWindow, kMenuWindowUnit));
  EXPECT_EQ(GetFocus(), menuWindow);
}

TEST_F(WindowCommands, CloseWindowAtOnceDestroysBeforeReturningWithoutAskingMayClose) {
  Call(kLoadWindow.entry, WindowRef(kGuardedWindow, kGuardedWindowUnit), ArgRecord{}, BoolArg(false));
  HWND hwnd = Handle(kGuardedWindow, kGuardedWindowUnit);
  Call(kCloseWindow.entry, WindowRef(kGuardedWindow, kGuardedWindowUnit), BoolArg(true));
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(g_destroyed, 1);
  EXPECT_EQ(g_mayClose, 0);
  EXPECT_FALSE(Loaded(kGuardedWindow));
}

TEST_F(WindowCommands, DeferredCloseWaitsForTheMessageLoop) {
  Call(kLoadWindow.entry, WindowRef(kGuardedWindow, kGuardedWindowUnit), ArgRecord{}, BoolArg(false));
  HWND hwnd = Handle(kGuardedWindow, kGuardedWindowUnit);
  Call(kCloseWindow.entry, WindowRef(kGuardedWindow, kGuardedWindowUnit));
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(g_destroyed, 0);
  ProcessQueuedMessages();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(g_destroyed, 1);
  EXPECT_EQ(g_mayClose, 0);
  // The window loads again afterwards as a new instance.
  EXPECT_EQ(Call(kLoadWindow.entry, WindowRef(kGuardedWindow, kGuardedWindowUnit), ArgRecord{}, BoolArg(false)).low, 1u);
  EXPECT_TRUE(IsWindow(Handle(kGuardedWindow, kGuardedWindowUnit)));
}

HWND WaitForPopup(int tries) {
  for (int i = 0; i < tries; ++i) {
    if (HWND popup = FindShownWindowOfClass(GetCurrentProcessId(), L"#32768")) return popup;
    Sleep(10);
  }
  return nullptr;
}

TEST_F(WindowCommands, PopupMenuShowsTheSubItemsLeftOfAndAboveThePointer) {
  Call(kLoadWindow.entry, WindowRef(kMenuWindow, kMenuWindowUnit), ArgRecord{}, BoolArg(false));
  SetCursorPos(300, 200);
  RECT shown{};
  int items = 0;
  std::thread chooser([&] {
    HWND popup = WaitForPopup(300);
    if (!popup) return;
    GetWindowRect(popup, &shown);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    items = GetMenuItemCount(menu);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
  });
  Call(kPopupMenu.entry, WindowRef(kMenuWindow, kMenuWindowUnit), ArgRecord{kMenuWindow, kMenu, TypeCode(UnitType::Menu)});
  chooser.join();
  ProcessQueuedMessages();
  EXPECT_EQ(items, 2);
  EXPECT_EQ(shown.right, 295);
  EXPECT_EQ(shown.top, 195);
  EXPECT_EQ(g_chosen, 1);
}

TEST_F(WindowCommands, PopupMenuOfAnotherWindowOrWithoutItemsShowsNothing) {
  Call(kLoadWindow.entry, WindowRef(kMenuWindow, kMenuWindowUnit), ArgRecord{}, BoolArg(false));
  std::atomic<bool> sawMenu = false;
  std::atomic<bool> done = false;
  std::thread watcher([&] {
    while (!done) {
      if (WaitForPopup(1)) {
        sawMenu = true;
        PressKey(VK_ESCAPE);
      }
    }
  });
  Call(kPopupMenu.entry, WindowRef(kMenuWindow, kMenuWindowUnit), ArgRecord{kGuardedWindow, kMenu, TypeCode(UnitType::Menu)});
  Call(kPopupMenu.entry, WindowRef(kMenuWindow, kMenuWindowUnit), ArgRecord{kMenuWindow, kEmptyMenu, TypeCode(UnitType::Menu)});
  Call(kPopupMenu.entry, WindowRef(kMenuWindow, kMenuWindowUnit), ArgRecord{kMenuWindow, kFirstItem, TypeCode(UnitType::Menu)});
  Sleep(100);
  done = true;
  watcher.join();
  EXPECT_FALSE(sawMenu);
  EXPECT_EQ(g_chosen, 0);
}

TEST_F(WindowCommands, LoadWindowAndTheLoadedQueryAnswerWhetherTheWindowStayed) {
  const ArgRecord selfClosing = WindowRef(kSelfClosingWindow, kSelfClosingWindowUnit);
  const ArgRecord guarded = WindowRef(kGuardedWindow, kGuardedWindowUnit);
  EXPECT_EQ(Call(kLoadWindow.entry, selfClosing, ArgRecord{}, BoolArg(false)).low, 0u);
  EXPECT_EQ(Call(kLoadWindow.entry, selfClosing, ArgRecord{}, BoolArg(true)).low, 0u);
  ArgRecord answer = Call(kIsWindowLoaded.entry, selfClosing);
  EXPECT_EQ(answer.type, DataType::Bool);
  EXPECT_EQ(answer.low, 0u);

  EXPECT_EQ(Call(kIsWindowLoaded.entry, guarded).low, 0u);
  EXPECT_EQ(Call(kLoadWindow.entry, guarded, ArgRecord{}, BoolArg(false)).low, 1u);
  EXPECT_EQ(Call(kIsWindowLoaded.entry, guarded).low, 1u);
  Call(kCloseWindow.entry, guarded, BoolArg(true));
  EXPECT_EQ(Call(kIsWindowLoaded.entry, guarded).low, 0u);
  // No window at all is simply not loaded.
  EXPECT_EQ(Call(kIsWindowLoaded.entry, WindowRef(0x52000099, 0x06000099)).low, 0u);
}

int g_slowTicks[2] = {};
// Slower than the timers' period: each tick is due again when its handler returns.
void CALLBACK SlowTick(HWND, UINT, UINT_PTR id, DWORD) {
  ++g_slowTicks[id - 81];
  Sleep(20);
}

TEST_F(WindowCommands, WaitsAndLoadsEndWhileSlowTimersAreAlwaysDue) {
  Call(kLoadWindow.entry, WindowRef(kMenuWindow, kMenuWindowUnit), ArgRecord{}, BoolArg(false));
  HWND hwnd = Handle(kMenuWindow, kMenuWindowUnit);
  SetTimer(hwnd, 81, 1, SlowTick);
  SetTimer(hwnd, 82, 1, SlowTick);
  Sleep(30);
  ProcessQueuedMessages();
  EXPECT_LE(g_slowTicks[0], 1);
  EXPECT_LE(g_slowTicks[1], 1);
  EXPECT_GE(g_slowTicks[0] + g_slowTicks[1], 1);

  ULONGLONG start = GetTickCount64();
  Call(kDelay.entry, IntArg(800));
  const ULONGLONG waited = GetTickCount64() - start;
  EXPECT_GE(waited, 800u);
  EXPECT_LT(waited, 900u);
  EXPECT_GT(g_slowTicks[0] + g_slowTicks[1], 10);

  start = GetTickCount64();
  EXPECT_EQ(Call(kLoadWindow.entry, WindowRef(kGuardedWindow, kGuardedWindowUnit), ArgRecord{}, BoolArg(false)).low, 1u);
  // A pass takes a tick of each timer at most: the load waits for a few handlers, not for ever.
  EXPECT_LT(GetTickCount64() - start, 2000u);
  KillTimer(hwnd, 81);
  KillTimer(hwnd, 82);
}

TEST(BuildPopupMenu, NestsSubmenusAndSkipsHiddenItems) {
  auto item = [](int32_t level, uint32_t flags, const char* caption) {
    MenuItemFields f;
    f.level = level;
    f.flags = flags;
    f.caption = caption;
    return f;
  };
  const std::vector<MenuItemFields> run = {
      item(0, MenuFlag::Hidden, "关键"), item(1, 0, "编辑事件"), item(1, 0, "-"),
      item(1, MenuFlag::Hidden, "隐藏"), item(2, 0, "隐藏的子项"), item(1, 0, "提醒"),
      item(2, MenuFlag::Checked, "提醒事件"), item(2, MenuFlag::Disabled, "删除提醒事件"), item(0, 0, "下一个")};
  HMENU menu = BuildPopupMenu(run, 0);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 3);
  EXPECT_EQ(GetMenuItemID(menu, 0), kFirstMenuCommand + 1);
  EXPECT_TRUE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR);
  HMENU sub = GetSubMenu(menu, 2);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(GetMenuItemID(sub, 0), kFirstMenuCommand + 6);
  EXPECT_TRUE(GetMenuState(sub, 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(sub, 1, MF_BYPOSITION) & MF_GRAYED);
  DestroyMenu(menu);
  EXPECT_EQ(BuildPopupMenu(run, 8), nullptr);
}

}  // namespace
}  // namespace tl::cmd
