#include "runtime/unit.h"

#include <unordered_map>

namespace tl {
namespace {

// A window's messages all run in the thread that made it, so each thread keeps its own marks.
std::unordered_map<HWND, Unit*>& Owners() {
  thread_local std::unordered_map<HWND, Unit*> owners;
  return owners;
}

}  // namespace

void SetOwningUnit(HWND window, Unit* unit) {
  if (!window) return;
  if (unit) Owners()[window] = unit;
  else Owners().erase(window);
}

Unit* OwningUnit(HWND window) {
  if (!window) return nullptr;
  const auto& owners = Owners();
  const auto it = owners.find(window);
  return it == owners.end() ? nullptr : it->second;
}

}  // namespace tl
