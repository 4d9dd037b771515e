#include "runtime/handle_index.h"

#include <iterator>

#include "runtime/unit.h"

namespace tl {

void HandleIndex::Attach(size_t record, Unit* unit) {
  for (auto it = owners_.begin(); it != owners_.end();) {
    it = it->second.record == record ? owners_.erase(it) : std::next(it);
  }
  if (unit && unit->hwnd()) owners_.emplace(unit->hwnd(), Owner{record, unit});
}

// A unit whose native window has gone may have its handle reused by another window: only a
// unit that still has that native window owns it.
std::optional<HandleIndex::Owner> HandleIndex::OwnerOf(HWND hwnd) const {
  const auto it = owners_.find(hwnd);
  if (it == owners_.end() || it->second.unit->hwnd() != hwnd) return std::nullopt;
  return it->second;
}

std::optional<HandleIndex::Owner> HandleIndex::NearestOwner(HWND hwnd, HWND root) const {
  for (HWND at = hwnd; at; at = GetParent(at)) {
    if (std::optional<Owner> owner = OwnerOf(at)) return owner;
    if (at == root) break;
  }
  return std::nullopt;
}

}  // namespace tl
