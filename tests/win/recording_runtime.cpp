#include "tests/win/recording_runtime.h"

#include <utility>

#include "tests/win/message_pump.h"

namespace tl::test {
namespace {

std::vector<EventRecord> g_events;
std::vector<DWORD> g_times;
std::map<int32_t, int32_t> g_answers;
std::function<void(const EventRecord&)> g_handler;
std::map<std::pair<uint32_t, uint32_t>, Unit*> g_units;
int g_queuedRounds = 0;

intptr_t Fire(EventRecord& event) {
  g_events.push_back(event);
  g_times.push_back(GetTickCount());
  if (g_handler) g_handler(event);
  if (const auto answer = g_answers.find(event.index); answer != g_answers.end()) {
    event.hasResult = 1;
    event.result = answer->second;
  }
  return 0;
}

}  // namespace

intptr_t RecordingRuntime(Request code, intptr_t a, intptr_t b) {
  switch (code) {
    case Request::FireEvent:
      return Fire(*reinterpret_cast<EventRecord*>(a));
    case Request::UnitObject:
    case Request::UnitObjectOrError: {
      const auto found = g_units.find({static_cast<uint32_t>(a), static_cast<uint32_t>(b)});
      return found == g_units.end() ? 0 : reinterpret_cast<intptr_t>(found->second);
    }
    case Request::ProcessQueued:
      ++g_queuedRounds;
      RunQueued();
      return 0;
    default:
      return 0;
  }
}

const std::vector<EventRecord>& FiredEvents() { return g_events; }
const std::vector<DWORD>& FiringTimes() { return g_times; }

void ClearFiredEvents() {
  g_events.clear();
  g_times.clear();
}

const EventRecord* LastFired(int32_t index) {
  for (auto e = g_events.rbegin(); e != g_events.rend(); ++e) {
    if (e->index == index) return &*e;
  }
  return nullptr;
}

void AnswerEvents(std::map<int32_t, int32_t> answers) { g_answers = std::move(answers); }
void OnFiredEvent(std::function<void(const EventRecord&)> handler) { g_handler = std::move(handler); }
void PlaceUnit(uint32_t window, uint32_t unit, Unit* object) { g_units[{window, unit}] = object; }
int QueuedRounds() { return g_queuedRounds; }

void ResetRecordingRuntime() {
  ClearFiredEvents();
  g_answers.clear();
  g_handler = nullptr;
  g_units.clear();
  g_queuedRounds = 0;
}

void StartRecordingEvents() {
  ResetRecordingRuntime();
  SetRuntimeRequest(&RecordingRuntime);
}

void StopRecordingEvents() {
  ResetRecordingRuntime();
  SetRuntimeRequest(nullptr);
}

}  // namespace tl::test
