#include "runtime/unit_events.h"

#include <algorithm>

#include "runtime/unit.h"

namespace tl {
namespace {
RuntimeRequestFn g_request = nullptr;
}

void SetRuntimeRequest(RuntimeRequestFn entry) { g_request = entry; }

intptr_t CallRuntime(Request code, intptr_t a, intptr_t b) {
  return g_request ? g_request(code, a, b) : 0;
}

EventRecord RaiseEvent(uint32_t window, uint32_t unit, int32_t index,
                       std::initializer_list<uint32_t> args) {
  EventRecord record{};
  record.window = window;
  record.unit = unit;
  record.index = index;
  record.argCount = static_cast<int32_t>(std::min<size_t>(args.size(), 5));
  std::copy_n(args.begin(), record.argCount, record.args);
  CallRuntime(Request::FireEvent, reinterpret_cast<intptr_t>(&record));
  return record;
}

EventRecord RaiseEvent(const Unit& unit, int32_t index, std::initializer_list<uint32_t> args) {
  return RaiseEvent(unit.windowId(), unit.unitId(), index, args);
}

}  // namespace tl
