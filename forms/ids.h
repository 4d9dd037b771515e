// Identifiers of the program's four windows, their units and menu items, shared by the form
// definitions and the application. Each unit is written once, as the reference the application's
// service calls take: its window definition's id, its unit id inside that window and its type. A
// window is named by its own unit (record 0), whose `.window` is the window definition's id.
// Menu items the application never addresses are plain unit ids.
#pragma once

#include <cstdint>

#include "runtime/unit_ref.h"

namespace tl::ids {

// The pin button's caption is the pin state: the window shrinks while it reads the first, and
// stays as it is while it reads the second. The form starts it shrinking.
inline constexpr const char* PinCaptionShrinking = "固定";
inline constexpr const char* PinCaptionPinned = "缩放";

// MainWindow
inline constexpr UnitRef MainWindow{0x52010001, 0x06010000, UnitType::Window};
inline constexpr UnitRef TransparencySlider{MainWindow.window, 0x160124EA, UnitType::Slider};
inline constexpr UnitRef TipBalloon{MainWindow.window, 0x160123BF, UnitType::BalloonTip};
inline constexpr UnitRef PinButton{MainWindow.window, 0x160123B9, UnitType::Button};
inline constexpr UnitRef PortalButton{MainWindow.window, 0x16012398, UnitType::Button};
inline constexpr UnitRef CalculatorButton{MainWindow.window, 0x16012397, UnitType::Button};
inline constexpr UnitRef NotepadButton{MainWindow.window, 0x1601238E, UnitType::Button};
inline constexpr UnitRef SaveTimer{MainWindow.window, 0x16012355, UnitType::Timer};
inline constexpr UnitRef HiddenButton{MainWindow.window, 0x1601230D, UnitType::Button};
inline constexpr UnitRef ShrinkTimer{MainWindow.window, 0x16012294, UnitType::Timer};
inline constexpr UnitRef AddEntryButton{MainWindow.window, 0x1601226D, UnitType::Button};
inline constexpr UnitRef InputDeviceUnit{MainWindow.window, 0x1601224F, UnitType::InputDevice};
inline constexpr UnitRef TitleLabel{MainWindow.window, 0x16012245, UnitType::Label};
inline constexpr UnitRef EntryList{MainWindow.window, 0x16010002, UnitType::ListView};

// MainWindow menu items, in record order.
inline constexpr UnitRef SettingsMenu{MainWindow.window, 0x260123D7, UnitType::Menu};
inline constexpr uint32_t AboutItem = 0x260123D8;
inline constexpr uint32_t TransparencyItem = 0x260124EC;
inline constexpr uint32_t CloseProgramItem = 0x260123E5;
inline constexpr UnitRef ListMenu{MainWindow.window, 0x260123E6, UnitType::Menu};
inline constexpr uint32_t EditEntryItem = 0x260123E7;
inline constexpr uint32_t DeleteEntryItem = 0x260123E8;
inline constexpr uint32_t InsertEntryItem = 0x260123ED;
inline constexpr uint32_t ViewDetailsItem = 0x260123F3;
inline constexpr uint32_t ReminderSubmenu = 0x260123E9;
inline constexpr uint32_t ShowRemindersItem = 0x260124E8;
inline constexpr uint32_t AddReminderItem = 0x260123EB;
inline constexpr uint32_t DeleteReminderItem = 0x260123EA;

// DetailsWindow
inline constexpr UnitRef DetailsWindow{0x520123F6, 0x060123F5, UnitType::Window};
inline constexpr UnitRef DetailsList{DetailsWindow.window, 0x160123F7, UnitType::ListView};

// AboutWindow
inline constexpr UnitRef AboutWindow{0x52012444, 0x06012445, UnitType::Window};
inline constexpr UnitRef AboutText{AboutWindow.window, 0x16012446, UnitType::Label};

// ReminderWindow
inline constexpr UnitRef ReminderWindow{0x52012449, 0x06012448, UnitType::Window};
inline constexpr UnitRef ReminderList{ReminderWindow.window, 0x16016A11, UnitType::ListView};
inline constexpr UnitRef StagingBox{ReminderWindow.window, 0x160169E0, UnitType::EditBox};
inline constexpr UnitRef ReminderTimer{ReminderWindow.window, 0x16012498, UnitType::Timer};
inline constexpr UnitRef ReminderTimeLabel{ReminderWindow.window, 0x16012480, UnitType::Label};
inline constexpr UnitRef TimeColonLower{ReminderWindow.window, 0x1601247F, UnitType::TransparentLabel};
inline constexpr UnitRef TimeColonUpper{ReminderWindow.window, 0x16012479, UnitType::TransparentLabel};
inline constexpr UnitRef ReminderMinuteBox{ReminderWindow.window, 0x16012477, UnitType::EditBox};
inline constexpr UnitRef ReminderHourBox{ReminderWindow.window, 0x16012475, UnitType::EditBox};
inline constexpr UnitRef ReminderDateLabel{ReminderWindow.window, 0x16012474, UnitType::Label};
inline constexpr UnitRef ReminderCaption{ReminderWindow.window, 0x1601245C, UnitType::Label};
inline constexpr UnitRef ConfirmReminderButton{ReminderWindow.window, 0x16012452, UnitType::Button};
inline constexpr UnitRef ReminderDateBox{ReminderWindow.window, 0x1601244A, UnitType::DatePicker};

}  // namespace tl::ids
