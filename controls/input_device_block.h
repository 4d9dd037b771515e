// The input device's stored property block: a version word and nothing the program uses.
// Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "controls/block_reader.h"

namespace tl {

struct InputDeviceBlock {
  static constexpr int32_t kVersion = 1;

  // Empty: all defaults. Otherwise the version must be known; what follows it is kept as is.
  static std::optional<InputDeviceBlock> Read(std::span<const uint8_t> block, BlockError* error = nullptr);
  std::vector<uint8_t> Write() const;

  std::vector<uint8_t> rest;  // the stored bytes after the version, carried through re-creation
};

}  // namespace tl
