// DetailsWindow: one large list of every entry with its creation time.
#include "controls/list_view_block.h"
#include "forms/definition.h"
#include "forms/ids.h"
#include "runtime/window_block.h"

namespace tl::forms {
namespace {

// Sizable and centred, no caption text; Esc closes it.
std::vector<uint8_t> WindowBlock() {
  WindowProperties p;
  p.borderStyle = 1;
  p.showInTaskbar = 0;
  return WriteWindowBlock(p);
}

std::vector<uint8_t> DetailsListBlock() {
  return ListViewBlock{.viewType = 3,
                       .gridLines = true,
                       .columns = {{.width = 700, .title = "事件"},
                                   {.width = 200, .title = "事件创建时间"}}}
      .Write();
}

}  // namespace

WindowDef DetailsWindow() {
  return {.id = ids::DetailsWindow.window,
          .word1 = 0x4568FB0,
          .word2 = 0x19012422,
          .records = {
              UnitDef{.unit = ids::DetailsWindow,
                      .rect = {50, 50, 919, 447},
                      .flags = kVisible,
                      .bindings = {{WindowEvent::Created, HandlerId::OnDetailsWindowCreated}},
                      .block = WindowBlock()},
              UnitDef{.unit = ids::DetailsList,
                      .name = "超级列表框1",
                      .rect = {8, 8, 904, 408},
                      .flags = kVisible | kTab,
                      .block = DetailsListBlock()},
          }};
}

}  // namespace tl::forms
