#include "tests/win/recording_runtime.h"

namespace tl::test {
namespace {

std::vector<EventRecord> g_events;
std::vector<DWORD> g_times;

}  // namespace

intptr_t RecordingRuntime(Request code, intptr_t a, intptr_t) {
  if (code != Request::FireEvent) return 0;
  g_events.push_back(*reinterpret_cast<const EventRecord*>(a));
  g_times.push_back(GetTickCount());
  return 0;
}

const std::vector<EventRecord>& FiredEvents() { return g_events; }
const std::vector<DWORD>& FiringTimes() { return g_times; }

void ClearFiredEvents() {
  g_events.clear();
  g_times.clear();
}

void StartRecordingEvents() {
  ClearFiredEvents();
  SetRuntimeRequest(&RecordingRuntime);
}

void StopRecordingEvents() { SetRuntimeRequest(nullptr); }

}  // namespace tl::test
