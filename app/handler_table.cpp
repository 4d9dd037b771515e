#include "app/handler_table.h"

#include <array>

#include "app/app_handlers.h"
#include "forms/handlers.h"

namespace tl::app {
namespace {

// Entry r is the handler the list names at index r.
constexpr std::array<Handler, kHandlerCount> kEntries = {
#define TALLYLEAF_HANDLER_ENTRY(name) name,
    TALLYLEAF_HANDLERS(TALLYLEAF_HANDLER_ENTRY)
#undef TALLYLEAF_HANDLER_ENTRY
};

}  // namespace

const HandlerTable kHandlerTable{kHandlerCount, kEntries.data()};

}  // namespace tl::app
