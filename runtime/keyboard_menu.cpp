#include "runtime/keyboard_menu.h"

#include <utility>

namespace tl {
namespace {

// One user-interface thread raises every event; a handler's nested menu keeps the outer place.
std::optional<POINT>& Pending() {
  static std::optional<POINT> place;
  return place;
}

}  // namespace

KeyboardMenuPlace::KeyboardMenuPlace(POINT screen) : outer_(std::exchange(Pending(), screen)) {}

KeyboardMenuPlace::~KeyboardMenuPlace() { Pending() = outer_; }

std::optional<POINT> TakeKeyboardMenuPlace() { return std::exchange(Pending(), std::nullopt); }

}  // namespace tl
