// The live units of a loaded window by their native windows, so that a message's unit is a
// lookup and not a search of every unit. Kept beside the records' object slots: whatever stores
// or releases a unit object updates it. Windows only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <unordered_map>

namespace tl {

class Unit;

class HandleIndex {
 public:
  struct Owner {
    size_t record;
    Unit* unit;
  };

  // The record's unit is now this one (null: none); its former native window is forgotten.
  void Attach(size_t record, Unit* unit);
  void Clear() { owners_.clear(); }
  // The unit owning the native window itself.
  std::optional<Owner> OwnerOf(HWND hwnd) const;
  // The unit owning the native window or its nearest ancestor, looking no higher than root.
  std::optional<Owner> NearestOwner(HWND hwnd, HWND root) const;

 private:
  std::unordered_map<HWND, Owner> owners_;
};

}  // namespace tl
