#include <string_view>

#include "app/app_handlers.h"
#include "app/command_calls.h"
#include "app/declared_calls.h"
#include "app/dialogs.h"
#include "app/globals.h"
#include "app/program.h"
#include "app/scaling.h"
#include "commands/dialogs.h"
#include "commands/text.h"
#include "commands/time.h"
#include "forms/ids.h"

namespace tl::app {
namespace {

// The pin button's caption is the pin state: while it reads "固定" auto-shrink is on and a click
// pins the window; while it reads "缩放" the window stays as it is and a click lets it shrink.
constexpr std::string_view kShrinking = ids::PinCaptionShrinking;
constexpr std::string_view kPinned = ids::PinCaptionPinned;

// Pixels at 96 DPI: the window shows them at its own DPI.
constexpr int32_t kCollapsedHeight = 39;
constexpr int32_t kExpandedHeight = 412;
// The slider stays this long after its last movement.
constexpr int32_t kSliderLingerMs = 800;
// The right and bottom edges count as inside the window.
constexpr double kEdgeTolerance = 0.0000001;

bool PinCaptionIs(std::string_view caption) {
  return ReadText(ids::PinButton, prop::ButtonCaption) == caption;
}


// One reading of the pointer serves the whole test: on Wine each reading is a round trip to the
// window server and the display, and the tick runs as often as the timer allows.
bool PointerOverMainWindow() {
  const double left = ReadInt(ids::MainWindow, prop::Left);
  const double top = ReadInt(ids::MainWindow, prop::Top);
  const double width = ReadInt(ids::MainWindow, prop::Width);
  const double height = ReadInt(ids::MainWindow, prop::Height);
  const PointRecord pointer = CursorPosition();
  if (pointer.x - (left + width) > kEdgeTolerance) return false;
  if (pointer.x < left) return false;
  if (pointer.y < top) return false;
  if (pointer.y - (top + height) > kEdgeTolerance) return false;
  return true;
}

}  // namespace

HandlerResult OnTransparencyMenu(Args) {
  WriteBool(ids::TransparencySlider, prop::IsVisible, true);
  return NoAnswer;
}

// Every movement of a drag runs this again inside the waiting Delay of the previous run and
// applies its position at once; the slider goes when the last run's wait is over, and each
// earlier run hides it once more as it returns.
HandlerResult OnSliderChanged(Args) {
  const int32_t window = WindowHandle(ids::MainWindow);
  const int32_t position = ReadInt(ids::TransparencySlider, prop::SliderPosition);
  const uint8_t opacity = Call(cmd::kToByte, IntArg(position));
  SetWindowOpacity(window, opacity);
  Call(cmd::kDelay, kSliderLingerMs);
  WriteBool(ids::TransparencySlider, prop::IsVisible, false);
  return NoAnswer;
}

HandlerResult OnPinClicked(Args) {
  WriteText(ids::PinButton, prop::ButtonCaption, PinCaptionIs(kShrinking) ? kPinned.data() : kShrinking.data());
  if (PinCaptionIs(kShrinking)) {
    WriteInt(ids::ShrinkTimer, prop::TimerInterval, kTimerAsOftenAsPossible);
  } else if (PinCaptionIs(kPinned)) {
    WriteInt(ids::ShrinkTimer, prop::TimerInterval, kTimerStopped);
  }
  RefreshPinTip();
  return NoAnswer;
}

HandlerResult OnPinRightPressed(Args) {
  Call(cmd::kPopupMenu, ids::PinButton, ids::SettingsMenu);
  return NoAnswer;
}

// Runs as often as the platform's timer allows. The height is written on every tick, changed or
// not; writing the value a window already has costs the runtime nothing.
HandlerResult OnShrinkTick(Args) {
  const int32_t height = PointerOverMainWindow() ? kExpandedHeight : kCollapsedHeight;
  WriteInt(ids::MainWindow, prop::Height, ScaledForMainWindow(height));
  return NoAnswer;
}

}  // namespace tl::app
