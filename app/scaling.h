// The handlers give places and sizes in pixels at 96 DPI, as the forms do; these show them at the
// DPI of the window they belong to.
#pragma once

#include <cstdint>

#include "runtime/unit_ref.h"

namespace tl::app {

// Reads the main window's DPI again. The created and the resized handlers call it: a move to a
// monitor of another DPI resizes the window, so the layout that follows finds the new DPI.
void ReadMainWindowDpi();
// Pixels at 96 DPI at the main window's DPI as last read, so that a timer tick asks nothing.
int32_t ScaledForMainWindow(int32_t designPixels);
// Pixels at 96 DPI at the given window's DPI, asked now.
int32_t ScaledForWindow(const UnitRef& window, int32_t designPixels);

}  // namespace tl::app
