// A demonstration form holding one unit of every type the program has, written as a form image
// in memory and loaded by the runtime's own loader with the program's libraries. Run with
// --hold to keep the window up (the tip showing over the button) until it is closed, for a
// screenshot.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "controls/balloon_tip.h"
#include "controls/balloon_tip_block.h"
#include "controls/button_block.h"
#include "controls/date_picker_block.h"
#include "controls/edit_box_block.h"
#include "controls/input_device_block.h"
#include "controls/label_block.h"
#include "controls/list_view_block.h"
#include "controls/slider_block.h"
#include "controls/timer_block.h"
#include "controls/transparent_label_block.h"
#include "runtime/form_image.h"
#include "app/libraries.h"
#include "runtime/loader.h"
#include "runtime/program_header.h"
#include "runtime/service_slots.h"
#include "runtime/unit.h"
#include "runtime/window_block.h"
#include "runtime/window_map.h"
#include "runtime/window_unit.h"
#include "tests/win/control_host.h"
#include "tests/win/runtime_fixture.h"

namespace tl {
namespace {

using namespace tl::test;

constexpr uint32_t kDemoWindow = 0x52015001;
constexpr uint32_t kWindowUnit = 0x06015000;
constexpr uint32_t kMenuTitle = 0x26015010, kOpenItem = 0x26015011, kCloseItem = 0x26015012;
constexpr uint32_t kList = 0x16015001, kSlider = 0x16015002, kTimer = 0x16015003, kTip = 0x16015004,
                   kDots = 0x16015005, kNoteBox = 0x16015006, kHourBox = 0x16015007,
                   kCaption = 0x16015008, kConfirm = 0x16015009, kDatePicker = 0x1601500A,
                   kInputDevice = 0x1601500B;

std::vector<uint8_t> Record(UnitType type, std::string name, int32_t left, int32_t top,
                            int32_t width, int32_t height, std::vector<uint8_t> block,
                            uint32_t flags = UnitFlag::Visible) {
  UnitRecordFields r;
  r.type = TypeCode(type);
  r.name = std::move(name);
  r.left = left, r.top = top, r.width = width, r.height = height;
  r.flags = flags;
  r.propertyBlock = std::move(block);
  return EncodeUnitRecord(r);
}

std::vector<uint8_t> Menu(int32_t level, std::string caption, uint32_t flags = 0) {
  MenuItemFields m;
  m.level = level;
  m.caption = std::move(caption);
  m.flags = flags;
  return EncodeMenuItem(m);
}

std::vector<uint8_t> ListBlock() {
  ListViewBlock list{
      .viewType = 3,
      .gridLines = true,
      .columns = {{.width = 150, .title = "事件"}, {.width = 130, .title = "创建时间"}}};
  const char* rows[][2] = {{"买牛奶", "2026-12-07 09:30"},
                           {"给妈妈打电话", "2026-12-07 12:00"},
                           {"交电费", "2026-12-08 18:45"}};
  for (const auto& row : rows) {
    list.items.push_back({.text = row[0]});
    list.items.push_back({.nextColumn = true, .text = row[1]});
  }
  return list.Write();
}

// Record 0 is the window; the controls follow it front to back.
std::vector<uint8_t> DemoImage() {
  WindowProperties window;
  window.caption = "Tallyleaf 控件演示";
  window.backColor = 0xE8F0E0;  // a pale sea green
  window.maxButton = 0;

  UnitRecordFields own;
  own.type = TypeCode(UnitType::Window);
  own.left = 0, own.top = 0, own.width = 600, own.height = 300;
  own.flags = UnitFlag::Visible;
  own.propertyBlock = WriteWindowBlock(window);

  EditBoxBlock hour{.inputMode = EditInputMode::ShortInteger, .font = FontRecord(-27, 400), .content = "14"};
  TransparentLabelBlock dots{.verticalAlign = 1, .font = FontRecord(-32, 400), .caption = ":"};
  TimerBlock timer{.interval = 1000};
  // Shows quickly and stays while the pointer rests on the button, so a screenshot catches it.
  BalloonTipBlock tip;
  tip.initialDelay = 100;
  tip.displayTime = 0;
  tip.textColour = 0;

  // In record order: the window, the menu, then the controls.
  const std::vector<uint32_t> ids = {kWindowUnit, kMenuTitle, kOpenItem, kCloseItem,
                                     kList, kSlider, kTimer, kTip, kDots, kNoteBox, kHourBox,
                                     kCaption, kConfirm, kDatePicker, kInputDevice};
  const std::vector<std::vector<uint8_t>> records = {
      EncodeUnitRecord(own),
      Menu(0, "演示", MenuFlag::Hidden),
      Menu(1, "打开"),
      Menu(1, "关闭"),
      Record(UnitType::ListView, "超级列表框1", 296, 8, 288, 200, ListBlock(),
             UnitFlag::Visible | UnitFlag::TabStop),
      Record(UnitType::Slider, "滑块条1", 8, 216, 576, 32,
             SliderBlock{.minimum = 0, .maximum = 20, .position = 14}.Write()),
      Record(UnitType::Timer, "时钟1", 240, 8, 32, 32, timer.Write(), 0),
      Record(UnitType::BalloonTip, "气球提示框1", 200, 8, 32, 32, tip.Write(), 0),
      Record(UnitType::TransparentLabel, "透明标签1", 124, 100, 24, 32, dots.Write()),
      Record(UnitType::EditBox, "编辑框2", 8, 176, 280, 24,
             EditBoxBlock{.content = "草稿 free text"}.Write(),
             UnitFlag::Visible | UnitFlag::TabStop),
      Record(UnitType::EditBox, "编辑框1", 80, 96, 40, 32, hour.Write(),
             UnitFlag::Visible | UnitFlag::TabStop),
      Record(UnitType::Label, "标签1", 8, 8, 280, 40,
             LabelBlock{.wordWrap = 1, .caption = "事件：2026-12-07 09:30:00 买牛奶"}.Write()),
      Record(UnitType::Button, "按钮1", 160, 96, 128, 32,
             ButtonBlock{.caption = "确认提醒"}.Write(), UnitFlag::Visible | UnitFlag::TabStop),
      Record(UnitType::DatePicker, "日期框1", 8, 56, 280, 28, DatePickerBlock{}.Write(),
             UnitFlag::Visible | UnitFlag::TabStop),
      Record(UnitType::InputDevice, "输入设备1", 240, 40, 32, 32, InputDeviceBlock{}.Write(), 0),
  };
  WindowDefinitionData definition;
  definition.id = kDemoWindow;
  definition.units = UnitRecordArray::Build(ids, records);
  return WriteFormImage(std::span(&definition, 1));
}

// The program's own libraries; no handlers, since nothing on the form is bound.
const HandlerTable kNoHandlers{0, nullptr};
// The constant area: an empty text, then the empty byte set.
const char kConstants[12] = {0, 0, 0, 0, 1};

const ProgramHeader& DemoProgram() {
  static const std::vector<uint8_t> image = DemoImage();
  static const ProgramHeader header = {.version0 = 3,
                                       .build = 121670,
                                       .codeBase = &kNoHandlers,
                                       .constants = kConstants,
                                       .constantsLength = sizeof kConstants,
                                       .formImage = image.data(),
                                       .formImageLength = static_cast<uint32_t>(image.size()),
                                       .libraryCount = kLibraryCount,
                                       .libraries = kLibraries};
  return header;
}

HWND UnitWindow(uint32_t unit) {
  const Unit* object = FindUnitObject(kDemoWindow, unit);
  return object ? object->hwnd() : nullptr;
}

// Registers the tip on the button the way the application does, through the library slot.
bool TipOnConfirmButton() {
  static char text[] = "确认后到时提醒";
  ArgRecord args[4] = {{kDemoWindow, kTip, TypeCode(UnitType::BalloonTip)},
                       {kDemoWindow, kConfirm, TypeCode(UnitType::Button)},
                       {reinterpret_cast<uintptr_t>(text), 0, DataType::Text},
                       IntArg(-1)};
  return Services().CallLibraryCommand(kSetTip.entry, 6, 4, args).low != 0;
}

bool HoldRequested() {
  return std::wstring(GetCommandLineW()).find(L"--hold") != std::wstring::npos;
}

void HoldUntilClosed(HWND window) {
  RECT r;
  GetWindowRect(UnitWindow(kConfirm), &r);
  SetForegroundWindow(window);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  while (IsWindow(window)) Pump(100);
}

TEST(ControlsDemo, EveryUnitTypeLoadsFromOneFormImage) {
  LoadProgram(DemoProgram());
  WindowDefinition* definition = FindWindowDefinition(kDemoWindow);
  ASSERT_NE(definition, nullptr);
  ASSERT_EQ(LoadWindowFromDefinition(*definition, false, nullptr), 1);
  HWND window = LoadedWindow(*definition)->hwnd();
  ASSERT_TRUE(IsWindowVisible(window));
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  EXPECT_STREQ(caption, L"Tallyleaf 控件演示");

  const struct {
    uint32_t unit;
    const wchar_t* nativeClass;
    bool visible;
  } expected[] = {
      {kList, WC_LISTVIEWW, true},      {kSlider, TRACKBAR_CLASSW, true},
      {kTimer, L"_RT_Timer", false},    {kTip, L"_RT_BalloonTip", false},
      {kDots, L"_RT_TransLabel", true}, {kNoteBox, L"Edit", true},
      {kHourBox, L"Edit", true},        {kCaption, L"_RT_Label", true},
      {kConfirm, L"Button", true},      {kDatePicker, DATETIMEPICK_CLASSW, true},
      {kInputDevice, L"Static", false},
  };
  for (const auto& e : expected) {
    HWND hwnd = UnitWindow(e.unit);
    ASSERT_NE(hwnd, nullptr) << std::hex << e.unit;
    EXPECT_EQ(GetParent(hwnd), window) << std::hex << e.unit;
    EXPECT_EQ(lstrcmpiW(ClassOf(hwnd).c_str(), e.nativeClass), 0) << std::hex << e.unit;
    EXPECT_EQ(IsWindowVisible(hwnd) != FALSE, e.visible) << std::hex << e.unit;
  }
  EXPECT_EQ(SendMessageW(UnitWindow(kList), LVM_GETITEMCOUNT, 0, 0), 3);
  // The hidden title is no part of the bar, but its pop-up exists for the application.
  EXPECT_LE(GetMenuItemCount(GetMenu(window)), 0);
  const auto popup = reinterpret_cast<HMENU>(static_cast<uintptr_t>(
      definition->units.MenuItem(*definition->units.IndexOf(kMenuTitle)).reserved[0]));
  EXPECT_EQ(GetMenuItemCount(popup), 2);
  EXPECT_TRUE(TipOnConfirmButton());

  if (HoldRequested()) HoldUntilClosed(window);
  DestroyWindow(window);
}

}  // namespace
}  // namespace tl
