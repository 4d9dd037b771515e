// Reads arbitrary bytes as a window property block; whatever reads must write back to a block
// that reads the same, and a refusal must give a reason at a byte inside the block.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "runtime/window_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tl::ReadError error;
  const auto properties = tl::ReadWindowBlock({data, size}, &error);
  if (!properties) {
    if (error.what.empty() || error.at > size) std::abort();
    return 0;
  }
  const auto written = tl::WriteWindowBlock(*properties);
  const auto again = tl::ReadWindowBlock(written);
  if (!again || tl::WriteWindowBlock(*again) != written) std::abort();
  return 0;
}
