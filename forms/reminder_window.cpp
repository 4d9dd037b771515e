// ReminderWindow: date and time fields for one entry's reminder, the list of pending reminders
// and the timer that announces them. Closing it only hides it.
#include "forms/definition.h"
#include "forms/ids.h"

namespace tl::forms {
namespace {

using H = HandlerId;
namespace types = ids::types;

}  // namespace

WindowDef ReminderWindow() {
  return {.id = ids::ReminderWindow,
          .word1 = 0x44F9FB0,
          .word2 = 0x19012453,
          .records = {
              UnitDef{.id = ids::ReminderWindowUnit,
                      .type = types::Window,
                      .rect = {50, 50, 856, 363},
                      .flags = kVisible,
                      .bindings = {{0, H::OnReminderWindowCreated},
                                   {1, H::OnReminderWindowMayClose},
                                   {2, H::OnReminderWindowDestroyed}}},
              UnitDef{.id = ids::ReminderList,
                      .type = types::ListView,
                      .name = "超级列表框1",
                      .rect = {280, 8, 560, 312},
                      .flags = kVisible | kTab},
              UnitDef{.id = ids::StagingBox,
                      .type = types::EditBox,
                      .name = "编辑框3",
                      .rect = {232, 24, 40, 32},
                      .flags = kVisible | kTab},
              UnitDef{.id = ids::ReminderTimer,
                      .type = types::Timer,
                      .name = "时钟1",
                      .rect = {176, 16, 32, 32},
                      .bindings = {{0, H::OnReminderTick}}},
              UnitDef{.id = ids::ReminderTimeLabel,
                      .type = types::Label,
                      .name = "标签3",
                      .rect = {8, 88, 72, 40},
                      .flags = kVisible},
              UnitDef{.id = ids::TimeColonLower,
                      .type = types::TransLabel,
                      .name = "透明标签2",
                      .rect = {120, 92, 16, 32},
                      .flags = kVisible},
              UnitDef{.id = ids::TimeColonUpper,
                      .type = types::TransLabel,
                      .name = "透明标签1",
                      .rect = {120, 80, 16, 32},
                      .flags = kVisible},
              UnitDef{.id = ids::ReminderMinuteBox,
                      .type = types::EditBox,
                      .name = "编辑框2",
                      .rect = {132, 96, 40, 32},
                      .flags = kVisible | kTab},
              UnitDef{.id = ids::ReminderHourBox,
                      .type = types::EditBox,
                      .name = "编辑框1",
                      .rect = {80, 96, 40, 32},
                      .flags = kVisible | kTab},
              UnitDef{.id = ids::ReminderDateLabel,
                      .type = types::Label,
                      .name = "标签2",
                      .rect = {8, 56, 72, 40},
                      .flags = kVisible},
              UnitDef{.id = ids::ReminderCaption,
                      .type = types::Label,
                      .name = "标签1",
                      .rect = {8, 8, 264, 40},
                      .flags = kVisible},
              UnitDef{.id = ids::ConfirmReminderButton,
                      .type = types::Button,
                      .name = "按钮1",
                      .rect = {184, 96, 88, 32},
                      .flags = kVisible | kTab,
                      .bindings = {{0, H::OnConfirmReminder}}},
              UnitDef{.id = ids::ReminderDateBox,
                      .type = types::DatePicker,
                      .name = "日期框1",
                      .rect = {80, 64, 192, 24},
                      .flags = kVisible | kTab},
          }};
}

}  // namespace tl::forms
