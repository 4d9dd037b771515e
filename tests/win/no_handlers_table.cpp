// A handler table with every entry empty: the program's own header and form image under test
// without the application's handlers, so that loading a window runs none of them.
#include <array>

#include "app/handler_table.h"
#include "forms/handlers.h"

namespace tl::app {
namespace {
constexpr std::array<Handler, kHandlerCount> kNoEntries{};
}  // namespace

const HandlerTable kHandlerTable{kHandlerCount, kNoEntries.data()};

}  // namespace tl::app
