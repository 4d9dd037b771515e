// What firing an event looks up in one window, taken once from its unit record array when the
// form image is read: a unit's record by its id, and for each record the type and the event
// bindings that serve it, a link already followed to the unit whose bindings it shares. Ids,
// links, types and bindings are never written while the program runs (and a window's array is
// only ever exchanged for a copy of itself), so the index holds for the definition's life.
// Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "runtime/form_image.h"

namespace tl {

class EventIndex {
 public:
  EventIndex() = default;
  explicit EventIndex(const UnitRecordArray& units);

  // Unit id 0 names the window's own record.
  std::optional<size_t> RecordOf(uint32_t unitId) const;
  // Of the record whose bindings serve this one (the same type wherever a link leads).
  uint32_t TypeOf(size_t record) const;
  // The first binding of the event; kNoHandler when there is none. A menu item has one event,
  // 0 ("chosen"), bound to the handler in its own record.
  int32_t HandlerOf(size_t record, int32_t event) const;
  // Whether any record of the window has a handler for the event.
  bool Binds(int32_t event) const;

 private:
  struct Served {
    uint32_t type = 0;
    std::vector<EventBinding> bindings;
  };
  std::vector<std::pair<uint32_t, size_t>> recordById_;  // sorted by id
  std::vector<Served> served_;                           // by record index
};

}  // namespace tl
