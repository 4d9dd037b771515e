// Indices into the application's handler table. A handler reference stored in the form image is
// one of these; the table in app/handler_table.cpp has one entry for each.
#pragma once

#include <cstdint>

namespace tl {

enum class HandlerId : int32_t {
  OnMainWindowCreated,
  OnMainWindowResized,
  OnMainWindowCloseBox,
  OnAbout,
  OnTransparencyMenu,
  OnCloseProgram,
  OnEditEntry,
  OnDeleteEntry,
  OnInsertEntry,
  OnViewDetails,
  OnShowReminders,
  OnAddReminder,
  OnDeleteReminder,
  OnSliderChanged,
  OnPinClicked,
  OnPinRightPressed,
  OnPortalClicked,
  OnCalculatorClicked,
  OnNotepadClicked,
  SaveEntryFiles,
  RemovePlaceholderRows,
  OnShrinkTick,
  OnAddEntry,
  OnEntryListClick,
  OnEntryListRightClick,
  OnDetailsWindowCreated,
  OnReminderWindowCreated,
  OnReminderWindowMayClose,
  OnReminderWindowDestroyed,
  OnReminderTick,
  OnConfirmReminder,
};

inline constexpr uint32_t kHandlerCount = static_cast<uint32_t>(HandlerId::OnConfirmReminder) + 1;

constexpr int32_t HandlerRef(HandlerId id) { return static_cast<int32_t>(id); }

}  // namespace tl
