// Two routines several handlers share: making a window layered with a given opacity through the
// declared user32 functions, and keeping the pin button's tip in step with its caption.
#include <string>

#include "app/app_handlers.h"
#include "app/command_calls.h"
#include "app/declared_calls.h"
#include "app/program.h"
#include "commands/text.h"
#include "controls/balloon_tip.h"
#include "forms/ids.h"

namespace tl::app {
namespace {

constexpr int32_t kExtendedStyle = -20;
constexpr int32_t kLayered = 0x80000, kTransparent = 0x20;
constexpr int32_t kUseColourKey = 1, kUseOpacity = 2;
constexpr int32_t kNoIcon = -1;

uint32_t Word(int32_t value) { return static_cast<uint32_t>(value); }

}  // namespace

void SetWindowOpacity(int32_t windowHandle, std::optional<uint8_t> opacity, std::optional<int32_t> colourKey,
                      std::optional<bool> clickThrough) {
  const uint8_t alpha = opacity.value_or(0);
  const int32_t key = colourKey.value_or(0);
  int32_t style = kLayered;
  if (clickThrough.value_or(false)) {
    const auto current =
        static_cast<int32_t>(CallDll(declared::GetWindowLongA, {Word(windowHandle), Word(kExtendedStyle)}));
    style = Call(cmd::kBitOr, {IntArg(current), IntArg(kTransparent), IntArg(kLayered)});
  }
  CallDll(declared::SetWindowLongA, {Word(windowHandle), Word(kExtendedStyle), Word(style)});
  int32_t flags = kUseOpacity;
  if (key != 0) flags = alpha == 0 ? kUseColourKey : kUseColourKey | kUseOpacity;
  CallDll(declared::SetLayeredWindowAttributes, {Word(windowHandle), Word(key), alpha, Word(flags)});
}

void RefreshPinTip() {
  // Runs where the caption may have changed, at the main window's creation and after a click on
  // the pin, not on the save timer's ticks; the tip is set again only when the caption changed.
  static std::string shownFor;
  const OwnedText caption = ReadText(ids::PinButton, prop::ButtonCaption);
  const char* tip = nullptr;
  if (caption == ids::PinCaptionShrinking) {
    tip = "固定为展开状态";
  } else if (caption == ids::PinCaptionPinned) {
    tip = "缩放主界面";
  }
  if (!tip || caption.view() == shownFor) return;
  shownFor = caption.view();
  Call(kSetTip, ids::TipBalloon, ids::PinButton, tip, kNoIcon, std::nullopt, std::nullopt, std::nullopt, std::nullopt);
}

}  // namespace tl::app
