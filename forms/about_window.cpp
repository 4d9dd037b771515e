// AboutWindow: the leaf picture beside a five-line text, opened modally. Its system menu has no
// Close item, so Esc is the way out.
#include "controls/label_block.h"
#include "forms/definition.h"
#include "forms/ids.h"
#include "runtime/window_block.h"

namespace tl::forms {
namespace {

constexpr char kAboutText[] =
    "作者：Tallyleaf 开发组\r\n"
    "\r\n"
    "Tallyleaf 便签提醒 版本 0.0.1.6\r\n"
    "\r\n"
    "小事记在叶上，到点自会提醒。";

std::vector<uint8_t> WindowBlock(const Assets& assets) {
  WindowProperties p;
  p.caption = "收银软件版本信息";
  p.backPicture = assets.aboutPicture;
  p.backPictureMode = 0;
  p.windowIcon = assets.leafIcon;
  p.minButton = 0;
  p.closeItem = 0;
  p.showInTaskbar = 0;
  p.alwaysOnTop = 1;
  return WriteWindowBlock(p);
}

std::vector<uint8_t> AboutTextBlock() {
  return LabelBlock{.textColour = 0x000000,
                    .backColour = 0xFFFFFF,
                    .horizontalAlign = 0,
                    .verticalAlign = 1,
                    .wordWrap = 1,
                    .caption = kAboutText}
      .Write();
}

}  // namespace

WindowDef AboutWindow(const Assets& assets) {
  return {.id = ids::AboutWindow.window,
          .word1 = 0x208C4,
          .word2 = 0,
          .records = {
              UnitDef{.unit = ids::AboutWindow,
                      .rect = {50, 50, 393, 114},
                      .flags = kVisible,
                      .block = WindowBlock(assets)},
              UnitDef{.unit = ids::AboutText,
                      .name = "标签1",
                      .rect = {96, 8, 288, 80},
                      .flags = kVisible,
                      .block = AboutTextBlock()},
          }};
}

}  // namespace tl::forms
