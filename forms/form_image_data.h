// The form image built into the program, generated at build time by formgen from the window
// definitions in forms/.
#pragma once

#include <cstdint>

namespace tl::forms {
extern const uint8_t kFormImage[];
extern const uint32_t kFormImageLength;
}  // namespace tl::forms
