// The main window's life: what its creation sets up, how its units follow its width, why its
// close box does nothing, the two menu items 关于 and 关闭程序, and the save at the session's end.
#include "app/app_handlers.h"
#include "app/declared_calls.h"
#include "app/dialogs.h"
#include "app/globals.h"
#include "app/program.h"
#include "app/reminders.h"
#include "app/scaling.h"
#include "forms/ids.h"

namespace tl::app {
namespace {

// Pixels at 96 DPI, as every place and size below: the window shows them at its own DPI.
constexpr int32_t kStartWidth = 250;
constexpr int32_t kNarrowestWidth = 203;
constexpr int32_t kFirstButtonLeft = 5;
constexpr uint8_t kStartOpacity = 200;
// The message box command answers the button code less one: 5 for 是.
constexpr int32_t kYesNoWarning = 52, kYes = 5;
constexpr const char* kNotSavedQuestion =
    "事件没有能够保存：写入“bugaun.txt”或“jilusjian.txt”失败。现在关闭程序，最近的改动将会丢失。\r\n\r\n仍要关闭程序吗？";

// The pin button keeps its size and top from the form; only its left follows the width.
constexpr int32_t kPinWidth = 32;
constexpr int32_t kPinRightGap = 4;

// Width is the window's outer width, frame included. How far the client area's origin lies from
// the window's outer left on the screen is the left frame in whatever theme draws it; the right
// frame is as wide. A window whose origin cannot be found (no native window yet) counts as
// frameless: the next resize, with the window in place, measures again.
int32_t MainWindowClientWidth(int32_t outerWidth) {
  const int32_t frame = ClientOrigin(WindowHandle(ids::MainWindow)).x - ReadInt(ids::MainWindow, prop::Left);
  if (frame < 0 || 2 * frame >= outerWidth) return outerWidth;
  return outerWidth - 2 * frame;
}

// The pin is the only way to the settings menu, so to 关闭程序: it stays inside the client
// area, at the right end of the title row, whatever the width.
void PlacePinButton() {
  const int32_t clientWidth = MainWindowClientWidth(ReadInt(ids::MainWindow, prop::Width));
  WriteInt(ids::PinButton, prop::Left,
           clientWidth - ScaledForMainWindow(kPinWidth) - ScaledForMainWindow(kPinRightGap));
}

}  // namespace

HandlerResult OnMainWindowCreated(Args) {
  ReadMainWindowDpi();
  WriteInt(ids::MainWindow, prop::Width, ScaledForMainWindow(kStartWidth));
  SetWindowOpacity(WindowHandle(ids::MainWindow), kStartOpacity);
  // The reminder window is loaded, hidden, by the first command that shows it. Loading it now
  // would only see it close itself again, since no entry is selected yet.
  WriteBool(ids::ReminderWindow, prop::IsVisible, false);
  WriteBool(ids::EntryList, prop::ListShowSelectionAlways, true);
  WriteBool(ids::EntryList, prop::ListAllowTitleEditing, true);
  WriteInt(ids::ShrinkTimer, prop::TimerInterval, kTimerAsOftenAsPossible);
  // The first save tick must find the list filled.
  LoadMainEntryFiles();
  RestoreKeptReminders();
  WriteInt(ids::SaveTimer, prop::TimerInterval, kTimerAsOftenAsPossible);
  RefreshPinTip();
  return NoAnswer;
}

HandlerResult OnMainWindowResized(Args) {
  ReadMainWindowDpi();
  const int32_t width = ReadInt(ids::MainWindow, prop::Width);
  const ListUnit list(ids::EntryList);
  list.SetColumnWidth(0, width);
  WriteInt(ids::EntryList, prop::Width, width);
  WriteInt(ids::TitleLabel, prop::Width, width);
  // Raises this event again at once; the nested run lays the units out for the narrowest width.
  const int32_t narrowest = ScaledForMainWindow(kNarrowestWidth);
  if (width < narrowest) WriteInt(ids::MainWindow, prop::Width, narrowest);
  const double listWidth = ReadInt(ids::EntryList, prop::Width);
  WriteInt(ids::AddEntryButton, prop::Width, TruncateToInteger(listWidth));
  WriteInt(ids::CalculatorButton, prop::Left, ScaledForMainWindow(kFirstButtonLeft));
  WriteInt(ids::CalculatorButton, prop::Width, TruncateToInteger(listWidth / 3.2));
  const int32_t buttonWidth = ReadInt(ids::CalculatorButton, prop::Width);
  WriteInt(ids::PortalButton, prop::Left, TruncateToInteger(listWidth / 3.1));
  WriteInt(ids::PortalButton, prop::Width, buttonWidth);
  WriteInt(ids::NotepadButton, prop::Left, TruncateToInteger(listWidth / 1.58));
  WriteInt(ids::NotepadButton, prop::Width, buttonWidth);
  PlacePinButton();
  return NoAnswer;
}

// The close box never closes the program; 关闭程序 does.
HandlerResult OnMainWindowCloseBox(Args) { return Answer(0); }

HandlerResult OnAbout(Args) {
  OpenWindow(ids::AboutWindow, true);
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

// The save timer may not have had its tick since the last change, and an in-place edit may be
// open: the list is written once more before the system ends the process. Nobody is left to
// read a message now.
void SaveAtSessionEnd() { SaveBeforeEnd(); }

}  // namespace tl::app
