// AboutWindow: the leaf picture beside a five-line text, opened modally.
#include "forms/definition.h"
#include "forms/ids.h"

namespace tl::forms {
namespace {

constexpr char kAboutText[] =
    "作者：Tallyleaf 开发组\r\n"
    "\r\n"
    "Tallyleaf 便签提醒 版本 0.0.1.6\r\n"
    "\r\n"
    "小事记在叶上，到点自会提醒。";

}  // namespace

WindowDef AboutWindow(const Assets& assets) {
  (void)assets;
  (void)kAboutText;
  return {.id = ids::AboutWindow,
          .word1 = 0x208C4,
          .word2 = 0,
          .records = {
              UnitDef{.id = ids::AboutWindowUnit,
                      .type = ids::types::Window,
                      .rect = {50, 50, 393, 114},
                      .flags = kVisible},
              UnitDef{.id = ids::AboutText,
                      .type = ids::types::Label,
                      .name = "标签1",
                      .rect = {96, 8, 288, 80},
                      .flags = kVisible},
          }};
}

}  // namespace tl::forms
