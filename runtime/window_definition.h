// A window's definition: what the form image says of the window and its units, with the indexes
// the event dispatch and the loader keep beside it. Windows only.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/event_index.h"
#include "runtime/form_image.h"
#include "runtime/handle_index.h"

namespace tl {

struct WindowDefinition {
  uint32_t id = 0;
  int32_t word1 = 0, word2 = 0;
  std::string text1, text2;
  UnitRecordArray units;  // the array the loader works on
  UnitRecordArray saved;  // the array as it was when the current load began
  EventIndex events;      // built when the form image is read
  HandleIndex handles;    // the live units by native window, while loaded
};

}  // namespace tl
