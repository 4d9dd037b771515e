// Indices into the application's handler table. A handler reference stored in the form image is
// one of these.
#pragma once

#include <cstdint>

namespace tl {

// The one list of the application's handlers, in the order of their indices. The ids below and
// the application's table (app/handler_table.cpp) are both made from it, so a handler cannot be
// missing from the table or sit at another index: the table does not build without each one.
#define TALLYLEAF_HANDLERS(X) \
  X(OnMainWindowCreated) \
  X(OnMainWindowResized) \
  X(OnMainWindowCloseBox) \
  X(OnAbout) \
  X(OnTransparencyMenu) \
  X(OnCloseProgram) \
  X(OnEditEntry) \
  X(OnDeleteEntry) \
  X(OnInsertEntry) \
  X(OnViewDetails) \
  X(OnShowReminders) \
  X(OnAddReminder) \
  X(OnDeleteReminder) \
  X(OnSliderChanged) \
  X(OnPinClicked) \
  X(OnPinRightPressed) \
  X(OnPortalClicked) \
  X(OnCalculatorClicked) \
  X(OnNotepadClicked) \
  X(SaveEntryFiles) \
  X(RemovePlaceholderRows) \
  X(OnShrinkTick) \
  X(OnAddEntry) \
  X(OnEntryListClick) \
  X(OnEntryListRightClick) \
  X(OnDetailsWindowCreated) \
  X(OnReminderWindowCreated) \
  X(OnReminderWindowMayClose) \
  X(OnReminderWindowDestroyed) \
  X(OnReminderTick) \
  X(OnConfirmReminder)

enum class HandlerId : int32_t {
#define TALLYLEAF_HANDLER_ID(name) name,
  TALLYLEAF_HANDLERS(TALLYLEAF_HANDLER_ID)
#undef TALLYLEAF_HANDLER_ID
};

#define TALLYLEAF_HANDLER_ONE(name) +1
inline constexpr uint32_t kHandlerCount = 0 TALLYLEAF_HANDLERS(TALLYLEAF_HANDLER_ONE);
#undef TALLYLEAF_HANDLER_ONE

constexpr int32_t HandlerRef(HandlerId id) { return static_cast<int32_t>(id); }

}  // namespace tl
