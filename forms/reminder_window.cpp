// ReminderWindow: date and time fields for one entry's reminder, the list of pending reminders
// and the timer that announces them. Closing it only hides it.
#include "controls/button_block.h"
#include "controls/date_picker_block.h"
#include "controls/edit_box_block.h"
#include "controls/label_block.h"
#include "controls/list_view_block.h"
#include "controls/timer_block.h"
#include "controls/transparent_label_block.h"
#include "forms/definition.h"
#include "forms/ids.h"
#include "runtime/window_block.h"

namespace tl::forms {
namespace {

using H = HandlerId;

// Fixed frame, centred; Esc does nothing, and its may-close handler turns closing into hiding.
std::vector<uint8_t> WindowBlock() {
  WindowProperties p;
  p.minButton = 0;
  p.escCloses = 0;
  p.showInTaskbar = 0;
  return WriteWindowBlock(p);
}

std::vector<uint8_t> ReminderListBlock() {
  ListViewBlock block{.viewType = 3, .gridLines = true, .columns = {{.width = 300, .title = "事件"}}};
  for (const char* title : {"年", "月", "日", "时", "分"}) {
    block.columns.push_back({.width = 50, .title = title});
  }
  return block.Write();
}

// The staging box is a scratch field of the application's; the hour and minute boxes take short
// integers only, in a large font.
std::vector<uint8_t> StagingBlock() { return EditBoxBlock{}.Write(); }
std::vector<uint8_t> NumberBoxBlock() {
  return EditBoxBlock{.inputMode = EditInputMode::ShortInteger, .font = FontRecord(-27)}.Write();
}

std::vector<uint8_t> FieldLabelBlock(const char* caption) {
  return LabelBlock{.textColour = 0x000000,
                    .backColour = kDefaultColour,
                    .horizontalAlign = 2,
                    .verticalAlign = 1,
                    .wordWrap = 0,
                    .caption = caption}
      .Write();
}

std::vector<uint8_t> CaptionBlock() {
  return LabelBlock{.textColour = 0x000000, .horizontalAlign = 0, .wordWrap = 1, .caption = ""}
      .Write();
}

// Two dots drawn one above the other read as a colon between the hour and minute boxes.
std::vector<uint8_t> ColonDotBlock() {
  return TransparentLabelBlock{.verticalAlign = 1, .font = FontRecord(-32, 400), .caption = "."}
      .Write();
}

std::vector<uint8_t> ConfirmBlock() { return ButtonBlock{.caption = "确认提醒"}.Write(); }

// Value 0: the picker shows the date and time at which it is created.
std::vector<uint8_t> DateBlock() { return DatePickerBlock{}.Write(); }

}  // namespace

WindowDef ReminderWindow() {
  return {.id = ids::ReminderWindow.window,
          .word1 = 0x44F9FB0,
          .word2 = 0x19012453,
          .records = {
              UnitDef{.unit = ids::ReminderWindow,
                      .rect = {50, 50, 856, 363},
                      .flags = kVisible,
                      .bindings = {{WindowEvent::Created, H::OnReminderWindowCreated},
                                   {WindowEvent::MayClose, H::OnReminderWindowMayClose},
                                   {WindowEvent::Destroyed, H::OnReminderWindowDestroyed}},
                      .block = WindowBlock()},
              UnitDef{.unit = ids::ReminderList,
                      .name = "超级列表框1",
                      .rect = {280, 8, 560, 312},
                      .flags = kVisible | kTab,
                      .block = ReminderListBlock()},
              UnitDef{.unit = ids::StagingBox,
                      .name = "编辑框3",
                      .rect = {232, 24, 40, 32},
                      .flags = kVisible | kTab,
                      .block = StagingBlock()},
              UnitDef{.unit = ids::ReminderTimer,
                      .name = "时钟1",
                      .rect = {176, 16, 32, 32},
                      .bindings = {{TimerEvent::Tick, H::OnReminderTick}}},
              UnitDef{.unit = ids::ReminderTimeLabel,
                      .name = "标签3",
                      .rect = {8, 88, 72, 40},
                      .flags = kVisible,
                      .block = FieldLabelBlock("提醒时间：")},
              UnitDef{.unit = ids::TimeColonLower,
                      .name = "透明标签2",
                      .rect = {120, 92, 16, 32},
                      .flags = kVisible,
                      .block = ColonDotBlock()},
              UnitDef{.unit = ids::TimeColonUpper,
                      .name = "透明标签1",
                      .rect = {120, 80, 16, 32},
                      .flags = kVisible,
                      .block = ColonDotBlock()},
              UnitDef{.unit = ids::ReminderMinuteBox,
                      .name = "编辑框2",
                      .rect = {132, 96, 40, 32},
                      .flags = kVisible | kTab,
                      .block = NumberBoxBlock()},
              UnitDef{.unit = ids::ReminderHourBox,
                      .name = "编辑框1",
                      .rect = {80, 96, 40, 32},
                      .flags = kVisible | kTab,
                      .block = NumberBoxBlock()},
              UnitDef{.unit = ids::ReminderDateLabel,
                      .name = "标签2",
                      .rect = {8, 56, 72, 40},
                      .flags = kVisible,
                      .block = FieldLabelBlock("提醒日期：")},
              UnitDef{.unit = ids::ReminderCaption,
                      .name = "标签1",
                      .rect = {8, 8, 264, 40},
                      .flags = kVisible,
                      .block = CaptionBlock()},
              UnitDef{.unit = ids::ConfirmReminderButton,
                      .name = "按钮1",
                      .rect = {184, 96, 88, 32},
                      .flags = kVisible | kTab,
                      .bindings = {{ButtonEvent::Clicked, H::OnConfirmReminder}},
                      .block = ConfirmBlock()},
              UnitDef{.unit = ids::ReminderDateBox,
                      .name = "日期框1",
                      .rect = {80, 64, 192, 24},
                      .flags = kVisible | kTab,
                      .block = DateBlock()},
          }};
}

}  // namespace tl::forms
