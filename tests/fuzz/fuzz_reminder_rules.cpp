// Feeds arbitrary texts to the reminder rules as the clock, the hour and minute boxes and the
// reminder rows would give them, and arbitrary tick sequences to the announcement ledger.
// Whatever is accepted must be a real minute of the calendar, and a reminder is announced at
// most once per minute.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/reminder_schedule.h"
#include "tests/exact_text.h"

using namespace tl::app;
using tl::DateTimeParts;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The fields between bars, each copied into a block of exactly its size.
std::vector<tl::test::ExactText> Fields(std::string_view text, size_t count) {
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < count) {
    const size_t bar = text.find('|');
    if (bar == std::string_view::npos) break;
    fields.push_back(text.substr(0, bar));
    text.remove_prefix(bar + 1);
  }
  fields.push_back(text);
  fields.resize(count);
  return {fields.begin(), fields.end()};
}

void CheckRoundTrip(const DateTimeParts& time) {
  const auto instant = InstantOf(time);
  Check(instant.has_value());
  Check(ClockTimeAt(*instant) == time);
}

void CheckTexts(std::string_view text) {
  const auto f = Fields(text, 6);
  if (const auto clock = ClockFromComponents(f[0], f[1], f[2], f[3], f[4], f[5])) {
    CheckRoundTrip(*clock);
    const DateTimeParts next = NextMinute(*clock);
    DateTimeParts start = *clock;
    start.second = 0;
    if (const auto after = InstantOf(next)) Check(*after == *InstantOf(start) + 60);
  }
  if (const auto minute = ReminderMinute(f[0], f[1], f[2], f[3], f[4])) {
    Check(minute->second == 0);
    CheckRoundTrip(*minute);
  }
  for (int max : {23, 59}) {
    const TypedNumber typed = ParseTypedNumber(f[3], max);
    if (typed.fault == TypedNumberFault::None) {
      Check(typed.value >= 0 && typed.value <= max);
      const TypedNumber again = ParseTypedNumber(ClockNumberText(typed.value), max);
      Check(again.fault == TypedNumberFault::None && again.value == typed.value);
    }
  }
}

// Four bytes per step: an operation, a reminder (one of four keys and minutes) and a clock step
// of up to two hours either way.
void CheckLedger(std::string_view steps) {
  AnnouncementLedger ledger;
  const DateTimeParts base{2024, 3, 1, 12, 0, 0};
  const Instant origin = *InstantOf(base);
  Instant now = origin;
  TickSpan span = ledger.BeginTick(now);
  std::set<std::pair<int, Instant>> announced;
  for (; steps.size() >= 4; steps.remove_prefix(4)) {
    const int operation = static_cast<unsigned char>(steps[0]) % 4;
    const int reminder = static_cast<unsigned char>(steps[1]) % 4;
    int16_t step;
    std::memcpy(&step, steps.data() + 2, sizeof step);
    const std::string key = "key" + std::to_string(reminder);
    const DateTimeParts minute = ClockTimeAt(origin + reminder * 120);
    switch (operation) {
      case 0:
        now += step % 7200;
        span = ledger.BeginTick(now);
        break;
      case 1: ledger.Confirmed(key, now); break;
      case 2:
        ledger.Forget(key);
        announced.erase({reminder, *InstantOf(minute)});
        break;
      default:
        if (ledger.TakeIfDue(key, minute, span)) Check(announced.insert({reminder, *InstantOf(minute)}).second);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  CheckTexts(input.substr(0, split));
  if (split != std::string_view::npos) CheckLedger(input.substr(split + 1));
  if (size >= sizeof(int64_t)) {
    int64_t instant;
    std::memcpy(&instant, data, sizeof instant);
    instant %= int64_t{400} * 366 * 86400 * 20;  // about years -6000 to 9999
    const DateTimeParts time = ClockTimeAt(instant);
    if (InstantOf(time)) CheckRoundTrip(time);
  }
  return 0;
}
