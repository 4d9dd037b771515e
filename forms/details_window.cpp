// DetailsWindow: one large list of every entry with its creation time.
#include "forms/definition.h"
#include "forms/ids.h"

namespace tl::forms {

WindowDef DetailsWindow() {
  return {.id = ids::DetailsWindow,
          .word1 = 0x4568FB0,
          .word2 = 0x19012422,
          .records = {
              UnitDef{.id = ids::DetailsWindowUnit,
                      .type = ids::types::Window,
                      .rect = {50, 50, 919, 447},
                      .flags = kVisible,
                      .bindings = {{0, HandlerId::OnDetailsWindowCreated}}},
              UnitDef{.id = ids::DetailsList,
                      .type = ids::types::ListView,
                      .name = "超级列表框1",
                      .rect = {8, 8, 904, 408},
                      .flags = kVisible | kTab},
          }};
}

}  // namespace tl::forms
