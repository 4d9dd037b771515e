// The main window's life: what its creation sets up, how its units follow its width, why its
// close box does nothing, and the two menu items 关于 and 关闭程序.
#include "app/app_handlers.h"
#include "app/units.h"

namespace tl::app {
namespace {

constexpr int32_t kStartWidth = 250;
constexpr int32_t kNarrowestWidth = 203;
constexpr uint8_t kStartOpacity = 200;
// The message box command answers the button code less one: 5 for 是.
constexpr int32_t kYesNoWarning = 52, kYes = 5;
constexpr const char* kNotSavedQuestion =
    "事件没有能够保存：写入“bugaun.txt”或“jilusjian.txt”失败。现在关闭程序，最近的改动将会丢失。\r\n\r\n仍要关闭程序吗？";

}  // namespace

HandlerResult OnMainWindowCreated(Args) {
  WriteInt(units::MainWindow, prop::Width, kStartWidth);
  SetWindowOpacity(WindowHandle(units::MainWindow), kStartOpacity);
  // The reminder window closes itself at once while no entry is selected; hidden from now on,
  // it is loaded again only when a command shows it.
  LoadWindow(units::ReminderWindow, false);
  WriteBool(units::ReminderWindow, prop::Visible, false);
  WriteBool(units::EntryList, prop::ListShowSelectionAlways, true);
  WriteBool(units::EntryList, prop::ListAllowTitleEditing, true);
  WriteInt(units::ShrinkTimer, prop::TimerInterval, 1);
  // The first save tick must find the list filled.
  LoadMainEntryFiles();
  WriteInt(units::SaveTimer, prop::TimerInterval, 1);
  return NoAnswer;
}

HandlerResult OnMainWindowResized(Args) {
  const int32_t width = ReadInt(units::MainWindow, prop::Width);
  const ListView list(units::EntryList);
  list.SetColumnWidth(0, width);
  WriteInt(units::EntryList, prop::Width, width);
  WriteInt(units::TitleLabel, prop::Width, width);
  // Raises this event again at once; the nested run lays the units out for the narrowest width.
  if (width < kNarrowestWidth) WriteInt(units::MainWindow, prop::Width, kNarrowestWidth);
  const double listWidth = ReadInt(units::EntryList, prop::Width);
  WriteInt(units::AddEntryButton, prop::Width, TruncateToInteger(listWidth));
  WriteInt(units::CalculatorButton, prop::Left, 5);
  WriteInt(units::CalculatorButton, prop::Width, TruncateToInteger(listWidth / 3.2));
  const int32_t buttonWidth = ReadInt(units::CalculatorButton, prop::Width);
  WriteInt(units::PortalButton, prop::Left, TruncateToInteger(listWidth / 3.1));
  WriteInt(units::PortalButton, prop::Width, buttonWidth);
  WriteInt(units::NotepadButton, prop::Left, TruncateToInteger(listWidth / 1.58));
  WriteInt(units::NotepadButton, prop::Width, buttonWidth);
  return NoAnswer;
}

// The close box never closes the program; 关闭程序 does.
HandlerResult OnMainWindowCloseBox(Args) { return Answer(0); }

HandlerResult OnAbout(Args) {
  LoadWindow(units::AboutWindow, true);
  return NoAnswer;
}

// The entries are saved first, an open in-place edit included; when that fails the user
// chooses whether to end anyway, and 否 keeps the program running and saving.
HandlerResult OnCloseProgram(Args) {
  const bool saved = SaveBeforeEnd();
  TellEntryFileNotices();
  if (!saved && ShowMessage(kNotSavedQuestion, kYesNoWarning, "Tallyleaf") != kYes) return NoAnswer;
  EndProgram(0);
}

}  // namespace tl::app
