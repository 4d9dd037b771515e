// The timer's stored property block: version, then the interval in milliseconds. Its property
// and event numbers. Portable: the form generator writes it, the timer unit reads it.
#pragma once

#include "runtime/block_fields.h"

namespace tl {

enum class TimerProperty : int32_t { Interval = kFirstOwnProperty, End };

namespace TimerEvent { inline constexpr int32_t Tick = 0; }

struct TimerBlock {
  static constexpr int32_t kVersion = 1;
  static constexpr std::string_view kBlockName = "timer block";

  int32_t interval = 0;  // milliseconds, 0 = stopped

  static constexpr auto Fields() { return std::tuple{Field{"interval", &TimerBlock::interval}}; }
  static auto Read(std::span<const uint8_t> b, ReadError* e = nullptr) { return ReadBlock<TimerBlock>(b, e); }
  std::vector<uint8_t> Write() const { return WriteBlock(*this); }
};

}  // namespace tl
