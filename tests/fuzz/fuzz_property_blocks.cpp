// Reads arbitrary bytes as the property block of one of the control unit types, chosen by the
// first byte (the window's block has a fuzzer of its own):
// whatever reads must write back to a block that reads and writes the same; whatever is
// refused must say why, at a byte inside the block.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "controls/balloon_tip_block.h"
#include "controls/button_block.h"
#include "controls/date_picker_block.h"
#include "controls/edit_box_block.h"
#include "controls/input_device_block.h"
#include "controls/label_block.h"
#include "controls/list_view_block.h"
#include "controls/slider_block.h"
#include "controls/timer_block.h"
#include "controls/transparent_label_block.h"

namespace {

template <typename Block>
void RoundTrip(std::span<const uint8_t> bytes) {
  tl::ReadError error;
  const auto block = Block::Read(bytes, &error);
  if (!block) {
    if (error.what.empty() || error.at > bytes.size()) std::abort();
    return;
  }
  const auto written = block->Write();
  const auto again = Block::Read(written);
  if (!again || again->Write() != written) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::span<const uint8_t> block(data + 1, size - 1);
  switch (data[0] % 10) {
    case 0: RoundTrip<tl::InputDeviceBlock>(block); break;
    case 1: RoundTrip<tl::EditBoxBlock>(block); break;
    case 2: RoundTrip<tl::LabelBlock>(block); break;
    case 3: RoundTrip<tl::ButtonBlock>(block); break;
    case 4: RoundTrip<tl::SliderBlock>(block); break;
    case 5: RoundTrip<tl::DatePickerBlock>(block); break;
    case 6: RoundTrip<tl::TimerBlock>(block); break;
    case 7: RoundTrip<tl::ListViewBlock>(block); break;
    case 8: RoundTrip<tl::TransparentLabelBlock>(block); break;
    case 9: RoundTrip<tl::BalloonTipBlock>(block); break;
  }
  return 0;
}
