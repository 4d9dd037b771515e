// The units the application addresses, as the references its service calls take.
#pragma once

#include "runtime/command.h"
#include "forms/ids.h"

namespace tl::app::units {

// MainWindow
inline constexpr UnitRef MainWindow{ids::MainWindow, ids::MainWindowUnit, UnitType::Window};
inline constexpr UnitRef EntryList{ids::MainWindow, ids::EntryList, UnitType::ListView};
inline constexpr UnitRef TitleLabel{ids::MainWindow, ids::TitleLabel, UnitType::Label};
inline constexpr UnitRef AddEntryButton{ids::MainWindow, ids::AddEntryButton, UnitType::Button};
inline constexpr UnitRef CalculatorButton{ids::MainWindow, ids::CalculatorButton, UnitType::Button};  // 按钮4
inline constexpr UnitRef PortalButton{ids::MainWindow, ids::PortalButton, UnitType::Button};          // 按钮5
inline constexpr UnitRef NotepadButton{ids::MainWindow, ids::NotepadButton, UnitType::Button};        // 按钮3
inline constexpr UnitRef PinButton{ids::MainWindow, ids::PinButton, UnitType::Button};
inline constexpr UnitRef HiddenButton{ids::MainWindow, ids::HiddenButton, UnitType::Button};
inline constexpr UnitRef TipBalloon{ids::MainWindow, ids::TipBalloon, UnitType::BalloonTip};
inline constexpr UnitRef TransparencySlider{ids::MainWindow, ids::TransparencySlider, UnitType::Slider};
inline constexpr UnitRef ShrinkTimer{ids::MainWindow, ids::ShrinkTimer, UnitType::Timer};
inline constexpr UnitRef SaveTimer{ids::MainWindow, ids::SaveTimer, UnitType::Timer};
inline constexpr UnitRef SettingsMenu{ids::MainWindow, ids::SettingsMenu, UnitType::Menu};
inline constexpr UnitRef ListMenu{ids::MainWindow, ids::ListMenu, UnitType::Menu};

// AboutWindow
inline constexpr UnitRef AboutWindow{ids::AboutWindow, ids::AboutWindowUnit, UnitType::Window};

// DetailsWindow
inline constexpr UnitRef DetailsWindow{ids::DetailsWindow, ids::DetailsWindowUnit, UnitType::Window};
inline constexpr UnitRef DetailsList{ids::DetailsWindow, ids::DetailsList, UnitType::ListView};

// ReminderWindow
inline constexpr UnitRef ReminderWindow{ids::ReminderWindow, ids::ReminderWindowUnit, UnitType::Window};
inline constexpr UnitRef ReminderList{ids::ReminderWindow, ids::ReminderList, UnitType::ListView};
inline constexpr UnitRef StagingBox{ids::ReminderWindow, ids::StagingBox, UnitType::EditBox};
inline constexpr UnitRef ReminderTimer{ids::ReminderWindow, ids::ReminderTimer, UnitType::Timer};
inline constexpr UnitRef ReminderCaption{ids::ReminderWindow, ids::ReminderCaption, UnitType::Label};
inline constexpr UnitRef ReminderHourBox{ids::ReminderWindow, ids::ReminderHourBox, UnitType::EditBox};
inline constexpr UnitRef ReminderMinuteBox{ids::ReminderWindow, ids::ReminderMinuteBox, UnitType::EditBox};
inline constexpr UnitRef ReminderDateBox{ids::ReminderWindow, ids::ReminderDateBox, UnitType::DatePicker};

}  // namespace tl::app::units
