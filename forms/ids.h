// Identifiers of the program's four windows, their units and menu items, shared by the form
// definitions and the application. Window ids name a window definition; unit ids name a unit
// inside its window (the window's own unit is record 0).
#pragma once

#include <cstdint>

namespace tl::ids {

// The pin button's caption is the pin state: the window shrinks while it reads the first, and
// stays as it is while it reads the second. The form starts it shrinking.
inline constexpr const char* PinCaptionShrinking = "固定";
inline constexpr const char* PinCaptionPinned = "缩放";

inline constexpr uint32_t MainWindow = 0x52010001;
inline constexpr uint32_t DetailsWindow = 0x520123F6;
inline constexpr uint32_t AboutWindow = 0x52012444;
inline constexpr uint32_t ReminderWindow = 0x52012449;

// MainWindow
inline constexpr uint32_t MainWindowUnit = 0x06010000;
inline constexpr uint32_t TransparencySlider = 0x160124EA;
inline constexpr uint32_t TipBalloon = 0x160123BF;
inline constexpr uint32_t PinButton = 0x160123B9;
inline constexpr uint32_t PortalButton = 0x16012398;
inline constexpr uint32_t CalculatorButton = 0x16012397;
inline constexpr uint32_t NotepadButton = 0x1601238E;
inline constexpr uint32_t SaveTimer = 0x16012355;
inline constexpr uint32_t HiddenButton = 0x1601230D;
inline constexpr uint32_t ShrinkTimer = 0x16012294;
inline constexpr uint32_t AddEntryButton = 0x1601226D;
inline constexpr uint32_t InputDeviceUnit = 0x1601224F;
inline constexpr uint32_t TitleLabel = 0x16012245;
inline constexpr uint32_t EntryList = 0x16010002;

// MainWindow menu items, in record order.
inline constexpr uint32_t SettingsMenu = 0x260123D7;
inline constexpr uint32_t AboutItem = 0x260123D8;
inline constexpr uint32_t TransparencyItem = 0x260124EC;
inline constexpr uint32_t CloseProgramItem = 0x260123E5;
inline constexpr uint32_t ListMenu = 0x260123E6;
inline constexpr uint32_t EditEntryItem = 0x260123E7;
inline constexpr uint32_t DeleteEntryItem = 0x260123E8;
inline constexpr uint32_t InsertEntryItem = 0x260123ED;
inline constexpr uint32_t ViewDetailsItem = 0x260123F3;
inline constexpr uint32_t ReminderSubmenu = 0x260123E9;
inline constexpr uint32_t ShowRemindersItem = 0x260124E8;
inline constexpr uint32_t AddReminderItem = 0x260123EB;
inline constexpr uint32_t DeleteReminderItem = 0x260123EA;

// DetailsWindow
inline constexpr uint32_t DetailsWindowUnit = 0x060123F5;
inline constexpr uint32_t DetailsList = 0x160123F7;

// AboutWindow
inline constexpr uint32_t AboutWindowUnit = 0x06012445;
inline constexpr uint32_t AboutText = 0x16012446;

// ReminderWindow
inline constexpr uint32_t ReminderWindowUnit = 0x06012448;
inline constexpr uint32_t ReminderList = 0x16016A11;
inline constexpr uint32_t StagingBox = 0x160169E0;
inline constexpr uint32_t ReminderTimer = 0x16012498;
inline constexpr uint32_t ReminderTimeLabel = 0x16012480;
inline constexpr uint32_t TimeColonLower = 0x1601247F;
inline constexpr uint32_t TimeColonUpper = 0x16012479;
inline constexpr uint32_t ReminderMinuteBox = 0x16012477;
inline constexpr uint32_t ReminderHourBox = 0x16012475;
inline constexpr uint32_t ReminderDateLabel = 0x16012474;
inline constexpr uint32_t ReminderCaption = 0x1601245C;
inline constexpr uint32_t ConfirmReminderButton = 0x16012452;
inline constexpr uint32_t ReminderDateBox = 0x1601244A;

}  // namespace tl::ids
