// The property and event numbers of every unit type, each type's beside its block, for the
// application. Portable.
#pragma once

#include "controls/balloon_tip_block.h"
#include "controls/button_block.h"
#include "controls/date_picker_block.h"
#include "controls/edit_box_block.h"
#include "controls/label_block.h"
#include "controls/list_view_block.h"
#include "controls/slider_block.h"
#include "controls/timer_block.h"
#include "controls/transparent_label_block.h"
#include "runtime/events.h"
#include "runtime/unit_type.h"
#include "runtime/window_block.h"
