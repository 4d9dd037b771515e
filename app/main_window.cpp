// The main window's life: what its creation sets up, how its units follow its width, why its
// close box does nothing, the two menu items 关于 and 关闭程序, and the save at the session's end.
#include "app/app_handlers.h"
#include "app/units.h"

namespace tl::app {
namespace {

constexpr int32_t kStartWidth = 250;
constexpr int32_t kNarrowestWidth = 203;
constexpr uint8_t kStartOpacity = 200;

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
  WriteInt(units::SaveTimer, prop::TimerInterval, 1);
  LoadMainEntryFiles();
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

HandlerResult OnCloseProgram(Args) { EndProgram(0); }

// The save timer may not have had its tick since the last change: the list is written once more
// before the system ends the process.
void SaveAtSessionEnd() { SaveEntryFiles({}); }

}  // namespace tl::app
