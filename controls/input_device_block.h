// The input device's stored property block: a version word and nothing the program uses. It has
// no properties of its own. Portable.
#pragma once

#include "runtime/block_reader.h"

namespace tl {

// The one block whose fields no list can give: whatever follows the version is kept as is.
struct InputDeviceBlock {
  static constexpr int32_t kVersion = 1;

  std::vector<uint8_t> rest;  // the stored bytes after the version, carried through re-creation

  // Empty: all defaults. Otherwise the version must be known.
  static std::optional<InputDeviceBlock> Read(std::span<const uint8_t> block, ReadError* error = nullptr) {
    InputDeviceBlock b;
    if (block.empty()) return b;
    BlockReader r(block, "input device block");
    int32_t version = 0;
    const std::span<const uint8_t> rest = r.Version(kVersion, version).Rest();
    b.rest.assign(rest.begin(), rest.end());
    return r.Finish(b, error);
  }
  std::vector<uint8_t> Write() const {
    if (rest.empty()) return {};
    ByteWriter w;
    w.Int32(kVersion).Bytes(rest);
    return w.Take();
  }
};

}  // namespace tl
