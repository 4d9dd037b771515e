// The units the application addresses, as the references its service calls take.
#pragma once

#include "runtime/command.h"
#include "forms/ids.h"

namespace tl::app::units {

namespace t = UnitType;

// MainWindow
inline constexpr UnitRef MainWindow{ids::MainWindow, ids::MainWindowUnit, t::Window};
inline constexpr UnitRef EntryList{ids::MainWindow, ids::EntryList, t::ListView};
inline constexpr UnitRef TitleLabel{ids::MainWindow, ids::TitleLabel, t::Label};
inline constexpr UnitRef AddEntryButton{ids::MainWindow, ids::AddEntryButton, t::Button};
inline constexpr UnitRef CalculatorButton{ids::MainWindow, ids::CalculatorButton, t::Button};  // 按钮4
inline constexpr UnitRef PortalButton{ids::MainWindow, ids::PortalButton, t::Button};          // 按钮5
inline constexpr UnitRef NotepadButton{ids::MainWindow, ids::NotepadButton, t::Button};        // 按钮3
inline constexpr UnitRef PinButton{ids::MainWindow, ids::PinButton, t::Button};
inline constexpr UnitRef HiddenButton{ids::MainWindow, ids::HiddenButton, t::Button};
inline constexpr UnitRef TipBalloon{ids::MainWindow, ids::TipBalloon, t::BalloonTip};
inline constexpr UnitRef TransparencySlider{ids::MainWindow, ids::TransparencySlider, t::Slider};
inline constexpr UnitRef ShrinkTimer{ids::MainWindow, ids::ShrinkTimer, t::Timer};
inline constexpr UnitRef SaveTimer{ids::MainWindow, ids::SaveTimer, t::Timer};
inline constexpr UnitRef SettingsMenu{ids::MainWindow, ids::SettingsMenu, t::Menu};
inline constexpr UnitRef ListMenu{ids::MainWindow, ids::ListMenu, t::Menu};

// AboutWindow
inline constexpr UnitRef AboutWindow{ids::AboutWindow, ids::AboutWindowUnit, t::Window};

// DetailsWindow
inline constexpr UnitRef DetailsWindow{ids::DetailsWindow, ids::DetailsWindowUnit, t::Window};
inline constexpr UnitRef DetailsList{ids::DetailsWindow, ids::DetailsList, t::ListView};

// ReminderWindow
inline constexpr UnitRef ReminderWindow{ids::ReminderWindow, ids::ReminderWindowUnit, t::Window};
inline constexpr UnitRef ReminderList{ids::ReminderWindow, ids::ReminderList, t::ListView};
inline constexpr UnitRef StagingBox{ids::ReminderWindow, ids::StagingBox, t::EditBox};
inline constexpr UnitRef ReminderTimer{ids::ReminderWindow, ids::ReminderTimer, t::Timer};
inline constexpr UnitRef ReminderCaption{ids::ReminderWindow, ids::ReminderCaption, t::Label};
inline constexpr UnitRef ReminderHourBox{ids::ReminderWindow, ids::ReminderHourBox, t::EditBox};
inline constexpr UnitRef ReminderMinuteBox{ids::ReminderWindow, ids::ReminderMinuteBox, t::EditBox};
inline constexpr UnitRef ReminderDateBox{ids::ReminderWindow, ids::ReminderDateBox, t::DatePicker};

}  // namespace tl::app::units
