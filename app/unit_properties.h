// Reading and writing the properties of the program's units (slots 4 and 5), by property number:
// the names of the numbers are the unit types' own (controls/unit_numbers.h).
#pragma once

#include <cstdint>

#include "app/runtime_values.h"
#include "controls/unit_numbers.h"
#include "runtime/command.h"

namespace tl::app {

namespace prop {
inline constexpr int32_t Left = Number(CommonProperty::Left), Top = Number(CommonProperty::Top),
                         Width = Number(CommonProperty::Width), Height = Number(CommonProperty::Height),
                         Tag = Number(CommonProperty::Tag), IsVisible = Number(CommonProperty::Visible),
                         IsDisabled = Number(CommonProperty::Disabled), Cursor = Number(CommonProperty::Cursor);
inline constexpr int32_t TimerInterval = Number(TimerProperty::Interval);
inline constexpr int32_t ButtonCaption = Number(ButtonProperty::Caption), LabelCaption = Number(LabelProperty::Caption);
inline constexpr int32_t EditBoxContent = Number(EditBoxProperty::Content);
inline constexpr int32_t DatePickerValue = Number(DatePickerProperty::Value);
inline constexpr int32_t SliderPosition = Number(SliderProperty::Position);
inline constexpr int32_t ListAllowTitleEditing = Number(ListViewProperty::AllowTitleEditing),
                         ListCurrentSelection = Number(ListViewProperty::CurrentSelection),
                         ListShowSelectionAlways = Number(ListViewProperty::ShowSelectionAlways),
                         ListEditedTitle = Number(ListViewProperty::EditedTitle),
                         ListColumns = Number(ListViewProperty::Columns), ListSorting = Number(ListViewProperty::Sorting);
// Advances with every change of the list's rows or texts; read only.
inline constexpr int32_t ListChangeCount = Number(ListViewProperty::ChangeCount);
inline constexpr int32_t ListRowTexts = Number(ListViewProperty::RowTexts);
}  // namespace prop

// Timer intervals: 1 ms ticks as often as the platform's timer allows, and 0 stops the timer.
inline constexpr int32_t kTimerAsOftenAsPossible = 1, kTimerStopped = 0;

uint64_t ReadProperty(const UnitRef& unit, int32_t index);
int32_t ReadInt(const UnitRef& unit, int32_t index);
bool ReadBool(const UnitRef& unit, int32_t index);
OwnedText ReadText(const UnitRef& unit, int32_t index);
double ReadDateTime(const UnitRef& unit, int32_t index);
void WriteInt(const UnitRef& unit, int32_t index, int32_t value);
void WriteDateTime(const UnitRef& unit, int32_t index, double value);
void WriteBool(const UnitRef& unit, int32_t index, bool value);
void WriteText(const UnitRef& unit, int32_t index, const char* text);

}  // namespace tl::app
