// The application's handler table: a handler reference r in the form image calls entry r.
#pragma once

#include "runtime/service_table.h"

namespace tl::app {

extern const HandlerTable kHandlerTable;

}  // namespace tl::app
