// The application's handlers and shared routines, by area; the handler table binds the form
// image's references to them. A handler takes the event's argument words and may answer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "app/list_unit.h"
#include "app/runtime_values.h"
#include "runtime/service_table.h"

namespace tl::app {

using Args = std::span<const uint32_t>;

// Start-up and the main window (main_window.cpp).
HandlerResult OnMainWindowCreated(Args);
HandlerResult OnMainWindowResized(Args);
HandlerResult OnMainWindowCloseBox(Args);
HandlerResult OnAbout(Args);
HandlerResult OnCloseProgram(Args);
// The last save when the user's session ends; the runtime calls it once, while the windows live.
void SaveAtSessionEnd();

// The entry files (entry_files.cpp).
// Finishes or discards what a save interrupted by a crash left behind; runs before any load.
void RecoverInterruptedSave();
// For a directory that cannot be claimed: the entries are shown, never written, and the user is
// told so at the first tick.
void WorkReadOnly();
// Appends one row per line of the entry file to the list and fills column 1 from the time file.
void LoadEntryFiles(const ListUnit& list);
// The main list's load: the rows, and which file holds bytes the list does not, so that the
// first save keeps a copy of it.
void LoadMainEntryFiles();
HandlerResult SaveEntryFiles(Args);
// Ends an open in-place edit as Enter would and saves at once; true when the disk holds the list.
bool SaveBeforeEnd();
// Shows what the entry files and the reminder file have to tell the user (backups made, saves
// failing, reminders missed while the program was not running), in one box.
void TellEntryFileNotices();

// Quick-launch buttons (quick_launch.cpp).
HandlerResult OnPortalClicked(Args);
HandlerResult OnNotepadClicked(Args);
HandlerResult OnCalculatorClicked(Args);

// Entry editing in the main list, the details window and the hidden button that clears away
// placeholder rows (entry_editing.cpp). Nothing here writes a file: the save timer mirrors the
// list to the entry files.
HandlerResult OnAddEntry(Args);
HandlerResult OnInsertEntry(Args);
HandlerResult OnEditEntry(Args);
HandlerResult OnDeleteEntry(Args);
HandlerResult OnViewDetails(Args);
HandlerResult OnDetailsWindowCreated(Args);
HandlerResult OnEntryListClick(Args);
HandlerResult OnEntryListRightClick(Args);
HandlerResult RemovePlaceholderRows(Args);

// Window behaviour: the transparency slider, the pin button and its settings menu, and the
// auto-shrink check that collapses the window to a strip while the pointer is away
// (window_behaviour.cpp).
HandlerResult OnTransparencyMenu(Args);
HandlerResult OnSliderChanged(Args);
HandlerResult OnPinClicked(Args);
HandlerResult OnPinRightPressed(Args);
HandlerResult OnShrinkTick(Args);

// Window opacity and the pin button's tip (window_opacity.cpp).
void SetWindowOpacity(int32_t windowHandle, std::optional<uint8_t> opacity = std::nullopt,
                      std::optional<int32_t> colourKey = std::nullopt, std::optional<bool> clickThrough = std::nullopt);
void RefreshPinTip();

// Reminders (reminders.cpp, reminder_confirm.cpp, reminder_tick.cpp).
HandlerResult OnReminderWindowCreated(Args);
HandlerResult OnAddReminder(Args);
HandlerResult OnShowReminders(Args);
HandlerResult OnDeleteReminder(Args);
HandlerResult OnConfirmReminder(Args);
HandlerResult OnReminderWindowMayClose(Args);
HandlerResult OnReminderWindowDestroyed(Args);
HandlerResult OnReminderTick(Args);

}  // namespace tl::app
