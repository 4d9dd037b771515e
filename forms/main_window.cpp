// MainWindow: the narrow, dark, always-on-top note window. Records run from front to back
// among siblings; the two top-level menus are hidden and serve as pop-up menus.
// The window keeps its designed 284 x 440, by which it is centred; its created handler narrows
// it to 250 at once, so the units stand where the resize handler lays them out for that width
// and the load moves none of them. The pin's left assumes a frame two pixels wide, as Wine draws
// it; under a wider frame the handler moves the pin, and only that.
#include "controls/balloon_tip_block.h"
#include "controls/button_block.h"
#include "controls/label_block.h"
#include "controls/list_view_block.h"
#include "controls/slider_block.h"
#include "controls/timer_block.h"
#include "forms/definition.h"
#include "forms/ids.h"
#include "runtime/events.h"
#include "runtime/window_block.h"

namespace tl::forms {
namespace {

using H = HandlerId;

constexpr int32_t kNoCursor = 0x7F88;
constexpr int32_t kSizeAllCursor = 0x7F86;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

// A black, topmost note window without taskbar button whose body drags it; its close box is
// refused by its handler, and Esc does nothing.
std::vector<uint8_t> WindowBlock() {
  WindowProperties p;
  p.caption = "Tallyleaf";
  p.borderStyle = 1;
  p.backColor = kBlack;
  p.minButton = 0;
  p.escCloses = 0;
  p.showInTaskbar = 0;
  p.dragAnywhere = 1;
  p.alwaysOnTop = 1;
  return WriteWindowBlock(p);
}

// Hidden until "透明度" shows it; it starts at its minimum, 50.
std::vector<uint8_t> SliderBlockData() {
  return SliderBlock{.minimum = 50, .maximum = 255, .position = 1}.Write();
}

std::vector<uint8_t> ButtonBlockData(const char* caption) { return ButtonBlock{.caption = caption}.Write(); }

std::vector<uint8_t> TitleBlock() {
  return LabelBlock{.textColour = kWhite,
                    .backColour = kBlack,
                    .horizontalAlign = 1,
                    .verticalAlign = 1,
                    .wordWrap = 0,
                    .font = FontRecord(-13),
                    .caption = "Tallyleaf"}
      .Write();
}

// White on black in report view with the header hidden: column 0 the entry text, column 1
// its creation time. The selection shows always, as the window's created handler also says:
// a list built with it is not built a second time when the handler writes it.
std::vector<uint8_t> EntryListBlock() {
  return ListViewBlock{.border = 0,
                       .textColor = kWhite,
                       .textBackColor = kBlack,
                       .backColor = kBlack,
                       .viewType = 3,
                       .hideHeader = true,
                       .gridLines = true,
                       .columnDrag = true,
                       .hotTracking = true,
                       .allowTitleEditing = true,
                       .showSelectionAlways = true,
                       .font = FontRecord(-16),
                       .columns = {{.width = 250, .title = "0"}, {.width = 50, .title = "1"}}}
      .Write();
}

// The style sheet is the tip type's own; the text is black rather than the system's tip colour.
std::vector<uint8_t> TipBlock() { return BalloonTipBlock{.textColour = kBlack}.Write(); }

}  // namespace

WindowDef MainWindow() {
  return {
      .id = ids::MainWindow.window,
      .word1 = 0xC2,
      .word2 = 0x19010003,
      .records = {
          UnitDef{.unit = ids::MainWindow,
                  .rect = {50, 50, 284, 440},
                  .flags = kVisible,
                  .bindings = {{WindowEvent::Created, H::OnMainWindowCreated},
                               {WindowEvent::Resized, H::OnMainWindowResized},
                               {WindowEvent::CloseRequest, H::OnMainWindowCloseBox}},
                  .block = WindowBlock()},
          UnitDef{.unit = ids::TransparencySlider,
                  .name = "滑块条1",
                  .rect = {0, 2, 240, 24},
                  .flags = kTab,
                  .bindings = {{SliderEvent::PositionChanged, H::OnSliderChanged}},
                  .block = SliderBlockData()},
          MenuDef{.id = ids::SettingsMenu.unit, .level = 0, .caption = "设置", .flags = MenuFlag::Hidden},
          MenuDef{.id = ids::AboutItem, .level = 1, .caption = "关于", .handler = H::OnAbout},
          MenuDef{.id = ids::TransparencyItem,
                  .level = 1,
                  .caption = "透明度",
                  .handler = H::OnTransparencyMenu},
          MenuDef{.id = ids::CloseProgramItem,
                  .level = 1,
                  .caption = "关闭程序",
                  .handler = H::OnCloseProgram},
          MenuDef{.id = ids::ListMenu.unit, .level = 0, .caption = "关键", .flags = MenuFlag::Hidden},
          MenuDef{.id = ids::EditEntryItem, .level = 1, .caption = "编辑事件", .handler = H::OnEditEntry},
          MenuDef{.id = ids::DeleteEntryItem,
                  .level = 1,
                  .caption = "删除事件",
                  .handler = H::OnDeleteEntry},
          MenuDef{.id = ids::InsertEntryItem,
                  .level = 1,
                  .caption = "插入事件",
                  .handler = H::OnInsertEntry},
          MenuDef{.id = ids::ViewDetailsItem,
                  .level = 1,
                  .caption = "查看详细",
                  .handler = H::OnViewDetails},
          MenuDef{.id = ids::ReminderSubmenu, .level = 1, .caption = "提醒"},
          MenuDef{.id = ids::ShowRemindersItem,
                  .level = 2,
                  .caption = "提醒事件",
                  .handler = H::OnShowReminders},
          MenuDef{.id = ids::AddReminderItem,
                  .level = 2,
                  .caption = "添加提醒事件",
                  .handler = H::OnAddReminder},
          MenuDef{.id = ids::DeleteReminderItem,
                  .level = 2,
                  .caption = "删除提醒事件",
                  .handler = H::OnDeleteReminder},
          UnitDef{.unit = ids::TipBalloon,
                  .name = "气球提示框1",
                  .rect = {40, 72, 72, 32},
                  .block = TipBlock()},
          UnitDef{.unit = ids::PinButton,
                  .name = "按钮6",
                  .rect = {206, 8, 32, 16},
                  .flags = kVisible | kTab,
                  .bindings = {{ButtonEvent::Clicked, H::OnPinClicked},
                               {UnitEvent::RightButtonDown, H::OnPinRightPressed}},
                  .block = ButtonBlockData(ids::PinCaptionShrinking)},
          UnitDef{.unit = ids::PortalButton,
                  .name = "按钮5",
                  .rect = {80, 29, 78, 24},
                  .flags = kVisible | kTab,
                  .bindings = {{ButtonEvent::Clicked, H::OnPortalClicked}},
                  .block = ButtonBlockData("百度网")},
          UnitDef{.unit = ids::CalculatorButton,
                  .name = "按钮4",
                  .rect = {5, 29, 78, 24},
                  .flags = kVisible | kTab,
                  .cursor = CursorValue(kNoCursor),
                  .bindings = {{ButtonEvent::Clicked, H::OnCalculatorClicked}},
                  .block = ButtonBlockData("计算机\r\n")},
          UnitDef{.unit = ids::NotepadButton,
                  .name = "按钮3",
                  .rect = {158, 29, 78, 24},
                  .flags = kVisible | kTab,
                  .bindings = {{ButtonEvent::Clicked, H::OnNotepadClicked}},
                  .block = ButtonBlockData("记事本\r\n")},
          UnitDef{.unit = ids::SaveTimer,
                  .name = "时钟2",
                  .rect = {32, 0, 24, 32},
                  .bindings = {{TimerEvent::Tick, H::SaveEntryFiles}}},
          UnitDef{.unit = ids::HiddenButton,
                  .name = "按钮2",
                  .rect = {278, 340, 1, 1},
                  .flags = kVisible | kTab,
                  .bindings = {{ButtonEvent::Clicked, H::RemovePlaceholderRows}}},
          UnitDef{.unit = ids::ShrinkTimer,
                  .name = "时钟1",
                  .rect = {64, 8, 24, 24},
                  .bindings = {{TimerEvent::Tick, H::OnShrinkTick}}},
          UnitDef{.unit = ids::AddEntryButton,
                  .name = "按钮1",
                  .rect = {0, 347, 250, 24},
                  .flags = kVisible | kTab,
                  .bindings = {{ButtonEvent::Clicked, H::OnAddEntry}},
                  .block = ButtonBlockData("点击此处添加事件")},
          UnitDef{.unit = ids::InputDeviceUnit,
                  .name = "输入设备1",
                  .rect = {392, 96, 56, 48}},
          UnitDef{.unit = ids::TitleLabel,
                  .name = "标签1",
                  .rect = {0, 0, 250, 28},
                  .flags = kVisible,
                  .cursor = CursorValue(kSizeAllCursor),
                  .block = TitleBlock()},
          UnitDef{.unit = ids::EntryList,
                  .name = "超级列表框1",
                  .rect = {0, 56, 250, 312},
                  .flags = kVisible | kTab,
                  .bindings = {{ListViewEvent::Click, H::OnEntryListClick},
                               {ListViewEvent::RightClick, H::OnEntryListRightClick}},
                  .block = EntryListBlock()},
      }};
}

}  // namespace tl::forms
