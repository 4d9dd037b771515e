// Reads arbitrary bytes as a form image; every image that reads must survive field access,
// in-place and rebuilding writes, and write back to an image that reads the same, and every
// refusal must give a reason at a byte inside the image.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "runtime/form_image.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void Exercise(tl::UnitRecordArray units) {
  for (size_t k = 0; k < units.size(); ++k) {
    Check(units.IndexOf(units.IdAt(k)) == k);
    if (units.IsMenuItem(k)) {
      const tl::MenuItemFields item = units.MenuItem(k);
      units.SetMenuFlags(k, item.flags ^ 1);
      units.SetMenuReserved0(k, 0x12345678);
      units.SetMenuCaption(k, item.caption + "-");
      Check(units.MenuItem(k).caption == item.caption + "-");
      continue;
    }
    const tl::UnitRecordFields unit = units.Unit(k);
    Check(units.PropertyBlock(k).size() == unit.propertyBlock.size());
    units.SetObjectSlot(k, units.ObjectSlot(k) + 1);
    units.SetCursorSlot(k, units.CursorSlot(k) + 1);
    units.SetRect(k, unit.top, unit.left, unit.height, unit.width);
    units.SetFlags(k, unit.flags ^ 2);
    units.SetTag(k, unit.tag + "tag");
    units.SetCursorData(k, std::span<const uint8_t>(unit.cursorData).first(unit.cursorData.size() / 2));
    const tl::UnitRecordFields after = units.Unit(k);
    Check(after.tag == unit.tag + "tag" && after.bindings.size() == unit.bindings.size() &&
          after.propertyBlock == unit.propertyBlock);
  }
  Check(tl::UnitRecordArray::Parse(units.count(), units.data()).has_value());
}

// A valid image for the input to damage, so that deep fields are reached without a corpus.
std::vector<uint8_t> BaseImage() {
  tl::UnitRecordFields window;
  window.type = 0x10001;
  window.children = {0x16000002, 0, 0x16000003};
  window.bindings = {{0, 1}, {12, -1}};
  window.propertyBlock = {6, 0, 0, 0, 1};
  tl::UnitRecordFields button;
  button.type = 0x1000B;
  button.name = "b";
  button.cursorData = {0x88, 0x7f, 0, 0};
  button.tag = "t";
  button.bindings = {{-4, 3}};
  tl::UnitRecordFields label;
  label.type = 0x1000A;
  label.parent = 0x16000002;
  tl::MenuItemFields menu;
  menu.caption = "m";
  menu.handler = 2;
  const std::vector<uint32_t> ids = {0x06000001, 0x16000002, 0x26000004, 0x16000003};
  std::vector<tl::WindowDefinitionData> windows(1);
  windows[0].id = 0x52000001;
  windows[0].units = tl::UnitRecordArray::Build(
      ids, {tl::EncodeUnitRecord(window), tl::EncodeUnitRecord(button), tl::EncodeMenuItem(menu),
            tl::EncodeUnitRecord(label)});
  return tl::WriteFormImage(windows);
}

void ReadAndExercise(std::span<const uint8_t> image) {
  tl::ReadError error;
  const auto windows = tl::ReadFormImage(image, 64, &error);
  if (!windows) {
    Check(!error.what.empty() && error.at <= image.size());
    return;
  }
  const std::vector<uint8_t> written = tl::WriteFormImage(*windows);
  const auto again = tl::ReadFormImage(written, 64);
  Check(again && again->size() == windows->size());
  for (size_t i = 0; i < windows->size(); ++i) {
    Check((*again)[i].units.data() == (*windows)[i].units.data());
    Exercise((*windows)[i].units);
  }
}

}  // namespace

// The input is read as an image itself, and as patches (16-bit position, value) applied to a
// valid image.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadAndExercise({data, size});
  static const std::vector<uint8_t> base = BaseImage();
  std::vector<uint8_t> patched = base;
  for (size_t i = 0; i + 2 < size; i += 3) {
    patched[(data[i] | data[i + 1] << 8) % patched.size()] = data[i + 2];
  }
  ReadAndExercise(patched);
  return 0;
}
