// Reading and writing unit properties by index (service slots 4 and 5). Windows only.
#pragma once

#include <cstdint>

namespace tl {

uint64_t ReadUnitProperty(uint32_t window, uint32_t unit, int32_t index, int32_t extra);
void WriteUnitProperty(uint32_t window, uint32_t unit, int32_t index, int32_t extra,
                       uint32_t low, uint32_t high);

}  // namespace tl
