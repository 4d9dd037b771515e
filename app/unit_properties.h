// Reading and writing the properties of the program's units (slots 4 and 5), by property number.
#pragma once

#include <cstdint>

#include "app/runtime_values.h"
#include "runtime/command.h"

namespace tl::app {

namespace prop {
inline constexpr int32_t Left = 0, Top = 1, Width = 2, Height = 3, Tag = 4, Visible = 5,
                         Disabled = 6, Cursor = 7;
inline constexpr int32_t TimerInterval = 8;
inline constexpr int32_t ButtonCaption = 10;
inline constexpr int32_t LabelCaption = 8;
inline constexpr int32_t EditBoxContent = 8;
inline constexpr int32_t DatePickerValue = 10;
inline constexpr int32_t SliderPosition = 19;
inline constexpr int32_t ListAllowTitleEditing = 30;
inline constexpr int32_t ListCurrentSelection = 35;
inline constexpr int32_t ListShowSelectionAlways = 36;
inline constexpr int32_t ListEditedTitle = 38;
// Advances with every change of the list's rows or texts; read only.
inline constexpr int32_t ListChangeCount = 39;
inline constexpr int32_t ListRowTexts = 40;
}  // namespace prop

uint64_t ReadProperty(const UnitRef& unit, int32_t index);
int32_t ReadInt(const UnitRef& unit, int32_t index);
bool ReadBool(const UnitRef& unit, int32_t index);
Text ReadText(const UnitRef& unit, int32_t index);
double ReadDateTime(const UnitRef& unit, int32_t index);
void WriteInt(const UnitRef& unit, int32_t index, int32_t value);
void WriteDateTime(const UnitRef& unit, int32_t index, double value);
void WriteBool(const UnitRef& unit, int32_t index, bool value);
void WriteText(const UnitRef& unit, int32_t index, const char* text);

}  // namespace tl::app
