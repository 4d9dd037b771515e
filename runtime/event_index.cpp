#include "runtime/event_index.h"

#include <algorithm>

namespace tl {
namespace {

// A link names another unit of the same type whose bindings serve this one; a chain is followed
// at most once round, and a link to a missing unit, a menu item or another type is not followed.
size_t ServingRecord(const UnitRecordArray& units, size_t record) {
  for (size_t hops = 0; hops < units.size(); ++hops) {
    const UnitRecordFields fields = units.Unit(record);
    if (fields.link == 0) break;
    const std::optional<size_t> next = units.IndexOf(fields.link);
    if (!next || units.IsMenuItem(*next) || units.Unit(*next).type != fields.type) break;
    record = *next;
  }
  return record;
}

}  // namespace

EventIndex::EventIndex(const UnitRecordArray& units) : served_(units.size()) {
  for (size_t k = 0; k < units.size(); ++k) {
    recordById_.emplace_back(units.IdAt(k), k);
    if (units.IsMenuItem(k)) {
      const MenuItemFields item = units.MenuItem(k);
      served_[k] = {item.type, {{0, item.handler}}};
    } else {
      const UnitRecordFields fields = units.Unit(ServingRecord(units, k));
      served_[k] = {fields.type, fields.bindings};
    }
  }
  std::sort(recordById_.begin(), recordById_.end());
}

std::optional<size_t> EventIndex::RecordOf(uint32_t unitId) const {
  if (unitId == 0) return served_.empty() ? std::nullopt : std::optional<size_t>(0);
  const auto it = std::lower_bound(recordById_.begin(), recordById_.end(),
                                   std::pair<uint32_t, size_t>{unitId, 0});
  if (it == recordById_.end() || it->first != unitId) return std::nullopt;
  return it->second;
}

uint32_t EventIndex::TypeOf(size_t record) const {
  return record < served_.size() ? served_[record].type : 0;
}

int32_t EventIndex::HandlerOf(size_t record, int32_t event) const {
  if (record >= served_.size()) return kNoHandler;
  for (const EventBinding& binding : served_[record].bindings) {
    if (binding.event == event) return binding.handler;
  }
  return kNoHandler;
}

bool EventIndex::Binds(int32_t event) const {
  for (size_t record = 0; record < served_.size(); ++record) {
    if (HandlerOf(record, event) >= 0) return true;
  }
  return false;
}

}  // namespace tl
