// The timer's stored property block: version, then the interval in milliseconds.
// Portable: the form generator writes it, the timer unit reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "controls/block_reader.h"

namespace tl {

struct TimerBlock {
  static constexpr int32_t kVersion = 1;

  int32_t interval = 0;  // milliseconds, 0 = stopped

  // Empty data gives the defaults; a newer version or truncated data gives nothing.
  static std::optional<TimerBlock> Read(std::span<const uint8_t> data, BlockError* error = nullptr);
  std::vector<uint8_t> Write() const;
};

}  // namespace tl
