// How units raise events and reach the runtime: the event records, and the codes of the runtime's
// request entry (the records some requests point to are in requests.h). Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace tl {

struct EventRecord {
  uint32_t window;
  uint32_t unit;  // 0: the window's own unit
  int32_t index;
  int32_t argCount;  // 0-5
  uint32_t args[5];
  int32_t hasResult;  // set by the runtime when the handler answered
  int32_t result;
};
static_assert(sizeof(EventRecord) == 44);
static_assert(offsetof(EventRecord, hasResult) == 36);

struct TypedEventArg {
  uint8_t value[8];
  uint32_t type;
  uint32_t passing;  // bit 0: low word only; bit 1: all 8 bytes
};
static_assert(sizeof(TypedEventArg) == 16);

struct TypedEventRecord {
  uint32_t window;
  uint32_t unit;
  int32_t index;
  int32_t argCount;  // 0-12
  TypedEventArg args[12];
  int32_t hasResult;
  uint8_t result[8];
};
static_assert(sizeof(TypedEventRecord) == 16 + 12 * 16 + 4 + 8);

// Events every unit placed on a window raises; a unit type's own events are numbered from 0 on,
// by names beside its block (ButtonEvent, WindowEvent, ...).
namespace UnitEvent {
inline constexpr int32_t LeftButtonDown = -1;
inline constexpr int32_t LeftButtonUp = -2;
inline constexpr int32_t DoubleClick = -3;
inline constexpr int32_t RightButtonDown = -4;
inline constexpr int32_t RightButtonUp = -5;
inline constexpr int32_t MouseMove = -6;
inline constexpr int32_t FocusGained = -7;
inline constexpr int32_t FocusLost = -8;
inline constexpr int32_t KeyDown = -9;
inline constexpr int32_t KeyUp = -10;
inline constexpr int32_t Character = -11;  // the handler's answer replaces the character
inline constexpr int32_t MouseWheel = -12;
}  // namespace UnitEvent

// Request codes of the runtime's request entry, as unit types and libraries use them.
enum class Request : int32_t {
  DefaultIcons = 1000,
  WindowMap = 1001,
  UnitTypeDescriptor = 1002,
  WindowDestroyed = 2000,
  ToInteger = 2001,
  RunDirectory = 2003,
  ProgramFileName = 2004,
  LoadWindow = 2005,
  UnitObject = 2006,
  UnitObjectOrError = 2007,
  FireEvent = 2008,
  SuspendEvents = 2009,
  ResumeEvents = 2010,
  CurrentEventSource = 2017,
  ProcessQueued = 2018,
  AllocateMemory = 2024,
  FreeMemory = 2025,
  ResizeMemory = 2026,
  ReportError = 2027,
  EndProgram = 2028,
  FireTypedEvent = 2031,
  // This runtime's own, for the window commands.
  PopupMenu = 2100,       // (window id, menu item id): the item's pop-up, which the caller destroys
  CloseByProgram = 2101,  // (window id): closing without a close request; 1 if it is loaded
  CallDeclared = 2102,    // (declaration index, DeclaredCall*): the declared function's 32-bit result
};

using RuntimeRequestFn = intptr_t (*)(Request code, intptr_t a, intptr_t b);

// A vetoable event is refused when its handler answered 0.
inline bool Refused(const EventRecord& e) { return e.hasResult && e.result == 0; }

}  // namespace tl
