// Synthesized mouse clicks, delivered as the user's would be, to whatever lies under the pointer.
#pragma once

#include <windows.h>

namespace tl::test {

// Presses and releases the left (or right) button where the pointer is, `times` times in one
// go: twice is a double click.
void ClickAtPointer(bool right = false, int times = 1);

}  // namespace tl::test
