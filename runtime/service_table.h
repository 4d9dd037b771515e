// The contract between the note application and the runtime: the thirteen-slot service table,
// the application's handler table and the notify codes of slot 12. Portable.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/value.h"

namespace tl {

// An application handler takes the event's arguments as 32-bit words and may answer.
struct HandlerResult {
  bool hasResult = false;
  int64_t value = 0;
};
inline constexpr HandlerResult NoAnswer{};
constexpr HandlerResult Answer(int64_t value) { return {true, value}; }
using Handler = HandlerResult (*)(std::span<const uint32_t> args);

// What a handler reference in the form image indexes: reference r calls entries[r].
struct HandlerTable {
  uint32_t count;
  const Handler* entries;
};

// The notify requests of slot 12.
enum class NotifyCode : int32_t {
  FindFile = 0,
  CloseFind = 1,
  MakeArrayWritable = 2,
  RegisterExitCallback = 3,
  ReadObjectProperty = 4,
  WriteObjectProperty = 5,
  Initialize = 6,
  // This runtime's own: registers a routine to run once when the user's session ends (argument:
  // the routine); a routine already registered is not added twice.
  RegisterSessionEndCallback = 100,
};

using ExitCallback = void (*)();
using SessionEndCallback = void (*)();

// Slot order is the contract: the application refers to services only by slot.
struct ServiceTable {
  [[noreturn]] void (*ReportRuntimeError)(int32_t code);                                       // 0
  void* CallDllCommand;  // 1: entered with (index, the function's own arguments); see dll_call.h
  ArgRecord (*CallLibraryCommand)(CommandFn command, int32_t library, int32_t argc, ArgRecord* args);  // 2
  ArgRecord (*CallCoreCommand)(CommandFn command, int32_t argc, ArgRecord* args);                // 3
  uint64_t (*ReadUnitProperty)(uint32_t window, uint32_t unit, int32_t index, int32_t extra);   // 4
  void (*WriteUnitProperty)(uint32_t window, uint32_t unit, int32_t index, int32_t extra,
                            uint32_t low, uint32_t high);                                        // 5
  void* (*Allocate)(uint32_t size);                                                              // 6
  void* (*Reallocate)(void* p, uint32_t size);                                                   // 7
  void (*Free)(void* p);                                                                          // 8
  [[noreturn]] void (*ExitProgram)(int32_t code);                                               // 9
  void (*RunMessageLoop)();                                                                       // 10
  void (*LoadStartWindow)(uint32_t window);                                                      // 11
  intptr_t (*NotifyRuntime)(NotifyCode code, intptr_t a, intptr_t b);                           // 12
};
static_assert(sizeof(ServiceTable) == 13 * sizeof(void*));

}  // namespace tl
