// The window definitions as readable records, and their serialization into the form image's
// window definitions. Each window's source lists its records in record order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "forms/handlers.h"
#include "runtime/form_image.h"
#include "runtime/unit_ref.h"

namespace tl::forms {

struct Rect {
  int32_t left = 0, top = 0, width = 0, height = 0;
};

struct Binding {
  int32_t event = 0;
  HandlerId handler{};
};

// A window's own unit or a control, named by its reference (forms/ids.h), which must be of the
// window it is listed in. Every unit of this program has the window as parent, no children, an
// empty tag and tab order 0.
struct UnitDef {
  UnitRef unit;
  std::string name;
  Rect rect;
  uint32_t flags = 0;
  std::vector<uint8_t> cursor;
  std::vector<Binding> bindings;
  std::vector<uint8_t> block;
};

struct MenuDef {
  uint32_t id = 0;
  int32_t level = 0;
  std::string caption;
  uint32_t flags = 0;
  std::optional<HandlerId> handler;
};

using RecordDef = std::variant<UnitDef, MenuDef>;

struct WindowDef {
  uint32_t id = 0;
  int32_t word1 = 0, word2 = 0;
  std::vector<RecordDef> records;
};

// The pictures of the about window, read from forms/ by the generator.
struct Assets {
  std::vector<uint8_t> aboutPicture;  // PNG
  std::vector<uint8_t> leafIcon;      // icon file
};

inline constexpr uint32_t kVisible = UnitFlag::Visible;
inline constexpr uint32_t kTab = UnitFlag::TabStop;

// Cursor data naming one cursor by value: a standard-cursor index or a system cursor id.
std::vector<uint8_t> CursorValue(int32_t value);

// A 60-byte logical-font record in the GB2312 character set with an empty face name, so that
// the platform picks the face.
std::vector<uint8_t> FontRecord(int32_t height, int32_t weight = 400);

WindowDef MainWindow();
WindowDef DetailsWindow();
WindowDef AboutWindow(const Assets& assets);
WindowDef ReminderWindow();

// Throws std::logic_error for a unit of another window.
WindowDefinitionData Serialize(const WindowDef& window);
// The four windows in the order of the window map.
std::vector<WindowDefinitionData> AllWindows(const Assets& assets);

}  // namespace tl::forms
