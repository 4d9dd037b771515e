// One of each of the edit box, label, button, date picker, transparent label, input device and
// balloon tip units on a window laid out like the reminder window. Run with --hold to keep the
// window up (with the tip showing over the button) until it is closed, for a screenshot.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "controls/balloon_tip.h"
#include "controls/button.h"
#include "controls/date_picker.h"
#include "controls/edit_box.h"
#include "controls/input_device.h"
#include "controls/label.h"
#include "controls/transparent_label.h"
#include "runtime/unit_events.h"

namespace tl {
namespace {

constexpr uint32_t kWindow = 0x52012449;

std::vector<uint8_t> Font(int32_t height) {
  std::vector<uint8_t> font(60, 0);
  const int32_t weight = 400;
  std::memcpy(font.data(), &height, 4);
  std::memcpy(font.data() + 16, &weight, 4);
  font[23] = GB2312_CHARSET;
  return font;
}

struct Demo {
  HWND window = nullptr;
  std::vector<std::unique_ptr<Unit>> units;
  BalloonTip* tip = nullptr;
  Unit* confirm = nullptr;
};

Unit* g_lookup[2] = {};  // balloon, button: what the stand-in runtime resolves

intptr_t DemoRuntime(Request code, intptr_t, intptr_t b) {
  if (code != Request::UnitObject) return 0;
  for (Unit* unit : g_lookup) {
    if (unit && unit->unitId() == static_cast<uint32_t>(b)) return reinterpret_cast<intptr_t>(unit);
  }
  return 0;
}

Unit* Place(Demo& demo, const UnitTypeDescriptor& type, const std::vector<uint8_t>& block, uint32_t unitId,
            int32_t left, int32_t top, int32_t width, int32_t height) {
  auto create = reinterpret_cast<CreateUnitFn>(type.getInterface(InterfaceCode::CreateUnit));
  const int32_t childId = 100 + 10 * static_cast<int32_t>(demo.units.size());
  Unit* unit = create(block.empty() ? nullptr : block.data(), static_cast<int32_t>(block.size()), WS_TABSTOP,
                      demo.window, childId, nullptr, left, top, width, height, kWindow, unitId, 0, 0);
  if (!unit) return nullptr;
  demo.units.emplace_back(unit);
  if (!(type.stateFlags & UnitState::Invisible)) ShowWindow(unit->hwnd(), SW_SHOWNA);
  return unit;
}

Demo BuildDemo() {
  Demo demo;
  WNDCLASSW cls{};
  cls.lpfnWndProc = &DefWindowProcW;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.lpszClassName = L"ControlsDemo";
  RegisterClassW(&cls);
  demo.window = CreateWindowExW(0, L"ControlsDemo", L"Tallyleaf controls", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                60, 60, 300, 230, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);

  LabelBlock caption;
  caption.caption = "事件：2026-12-07 09:30:00 买牛奶";
  caption.wordWrap = 1;
  Place(demo, kLabelType, caption.Write(), 0x1601245C, 8, 8, 264, 40);
  LabelBlock dateLabel;
  dateLabel.caption = "提醒日期：";
  dateLabel.horizontalAlign = 2;
  dateLabel.verticalAlign = 1;
  Place(demo, kLabelType, dateLabel.Write(), 0x16012474, 8, 56, 72, 40);
  Place(demo, kDatePickerType, DatePickerBlock{}.Write(), 0x1601244A, 80, 64, 192, 24);
  LabelBlock timeLabel = dateLabel;
  timeLabel.caption = "提醒时间：";
  Place(demo, kLabelType, timeLabel.Write(), 0x16012480, 8, 88, 72, 40);
  EditBoxBlock hour;
  hour.inputMode = EditInputMode::ShortInteger;
  hour.font = Font(-27);
  hour.content = "14";
  Place(demo, kEditBoxType, hour.Write(), 0x16012475, 80, 96, 40, 32);
  TransparentLabelBlock dot;
  dot.caption = ".";
  dot.font = Font(-32);
  Place(demo, kTransparentLabelType, dot.Write(), 0x1601247F, 120, 92, 16, 32);
  Place(demo, kTransparentLabelType, dot.Write(), 0x16012479, 120, 80, 16, 32);
  hour.content = "05";
  Place(demo, kEditBoxType, hour.Write(), 0x16012477, 132, 96, 40, 32);
  ButtonBlock confirm;
  confirm.caption = "确认提醒";
  demo.confirm = Place(demo, kButtonType, confirm.Write(), 0x16012452, 184, 96, 88, 32);
  EditBoxBlock staging;
  staging.content = "草稿 free text";
  Place(demo, kEditBoxType, staging.Write(), 0x160169E0, 8, 140, 264, 24);
  Place(demo, kInputDeviceType, {}, 0x1601224F, 392, 96, 56, 48);
  BalloonTipBlock tipBlock;
  tipBlock.textColour = 0;
  demo.tip = static_cast<BalloonTip*>(Place(demo, kBalloonTipType, tipBlock.Write(), 0x160123BF, 40, 72, 72, 32));

  g_lookup[0] = demo.tip;
  g_lookup[1] = demo.confirm;
  SetRuntimeRequest(&DemoRuntime);
  ArgRecord args[8] = {{kWindow, 0x160123BF, 0x60001}, {kWindow, 0x16012452, 0x1000B},
                       {reinterpret_cast<uint32_t>("固定为展开状态"), 0, DataType::Text}, IntArg(-1)};
  ArgRecord result{};
  SetTip(&result, 8, args);
  ShowWindow(demo.window, SW_SHOWNORMAL);
  UpdateWindow(demo.window);
  return demo;
}

bool HoldRequested() { return std::wstring(GetCommandLineW()).find(L"--hold") != std::wstring::npos; }

TEST(ControlsDemo, EveryUnitTypeStandsOnOneWindow) {
  Demo demo = BuildDemo();
  ASSERT_NE(demo.window, nullptr);
  ASSERT_EQ(demo.units.size(), 12u) << "a unit failed to create";
  ASSERT_TRUE(demo.tip && demo.confirm);
  EXPECT_EQ(demo.tip->ItemCount(demo.confirm->hwnd()), 1u);
  int visibleChildren = 0;
  for (HWND child = GetWindow(demo.window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    visibleChildren += IsWindowVisible(child) ? 1 : 0;
  EXPECT_EQ(visibleChildren, 10) << "all but the input device and the balloon tip show";

  if (HoldRequested()) {
    RECT r;
    GetWindowRect(demo.confirm->hwnd(), &r);
    SetForegroundWindow(demo.window);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    while (IsWindow(demo.window)) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
  }
  g_lookup[0] = g_lookup[1] = nullptr;
  SetRuntimeRequest(nullptr);
  demo.units.clear();
  DestroyWindow(demo.window);
}

}  // namespace
}  // namespace tl
