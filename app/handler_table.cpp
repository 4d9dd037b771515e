#include "app/handler_table.h"

#include <array>
#include <cstddef>

#include "app/app_handlers.h"
#include "forms/handlers.h"

namespace tl::app {
namespace {

constexpr size_t At(HandlerId id) { return static_cast<size_t>(id); }

constexpr std::array<Handler, kHandlerCount> MakeEntries() {
  std::array<Handler, kHandlerCount> entries{};
  entries[At(HandlerId::OnMainWindowCreated)] = OnMainWindowCreated;
  entries[At(HandlerId::OnMainWindowResized)] = OnMainWindowResized;
  entries[At(HandlerId::OnMainWindowCloseBox)] = OnMainWindowCloseBox;
  entries[At(HandlerId::OnAbout)] = OnAbout;
  entries[At(HandlerId::OnTransparencyMenu)] = OnTransparencyMenu;
  entries[At(HandlerId::OnCloseProgram)] = OnCloseProgram;
  entries[At(HandlerId::OnEditEntry)] = OnEditEntry;
  entries[At(HandlerId::OnDeleteEntry)] = OnDeleteEntry;
  entries[At(HandlerId::OnInsertEntry)] = OnInsertEntry;
  entries[At(HandlerId::OnViewDetails)] = OnViewDetails;
  entries[At(HandlerId::OnShowReminders)] = OnShowReminders;
  entries[At(HandlerId::OnAddReminder)] = OnAddReminder;
  entries[At(HandlerId::OnDeleteReminder)] = OnDeleteReminder;
  entries[At(HandlerId::OnSliderChanged)] = OnSliderChanged;
  entries[At(HandlerId::OnPinClicked)] = OnPinClicked;
  entries[At(HandlerId::OnPinRightPressed)] = OnPinRightPressed;
  entries[At(HandlerId::OnPortalClicked)] = OnPortalClicked;
  entries[At(HandlerId::OnCalculatorClicked)] = OnCalculatorClicked;
  entries[At(HandlerId::OnNotepadClicked)] = OnNotepadClicked;
  entries[At(HandlerId::SaveEntryFiles)] = SaveEntryFiles;
  entries[At(HandlerId::RemovePlaceholderRows)] = RemovePlaceholderRows;
  entries[At(HandlerId::OnShrinkTick)] = OnShrinkTick;
  entries[At(HandlerId::OnAddEntry)] = OnAddEntry;
  entries[At(HandlerId::OnEntryListClick)] = OnEntryListClick;
  entries[At(HandlerId::OnEntryListRightClick)] = OnEntryListRightClick;
  entries[At(HandlerId::OnDetailsWindowCreated)] = OnDetailsWindowCreated;
  entries[At(HandlerId::OnReminderWindowCreated)] = OnReminderWindowCreated;
  entries[At(HandlerId::OnReminderWindowMayClose)] = OnReminderWindowMayClose;
  entries[At(HandlerId::OnReminderWindowDestroyed)] = OnReminderWindowDestroyed;
  entries[At(HandlerId::OnReminderTick)] = OnReminderTick;
  entries[At(HandlerId::OnConfirmReminder)] = OnConfirmReminder;
  return entries;
}

constexpr std::array<Handler, kHandlerCount> kEntries = MakeEntries();

}  // namespace

const HandlerTable kHandlerTable{kHandlerCount, kEntries.data()};

}  // namespace tl::app
