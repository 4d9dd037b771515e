#include "runtime/service_slots.h"

#include <algorithm>
#include <cfloat>
#include <vector>

#include "runtime/dispatch.h"
#include "runtime/dll_call.h"
#include "runtime/loader.h"
#include "runtime/memory.h"
#include "runtime/program_end.h"
#include "runtime/property_services.h"
#include "runtime/runtime_error.h"
#include "runtime/runtime_state.h"
#include "runtime/startup.h"
#include "runtime/window_map.h"

namespace tl {
namespace {

[[noreturn]] void ReportRuntimeErrorSlot(int32_t code) {
  RaiseRuntimeError(code, RuntimeErrorMessage(code));
}

// Commands get a zeroed result record; the library position is carried along unused.
ArgRecord CallLibraryCommandSlot(CommandFn command, int32_t, int32_t argc, ArgRecord* args) {
  ArgRecord result{};
  if (command) command(&result, argc, args);
  return result;
}

ArgRecord CallCoreCommandSlot(CommandFn command, int32_t argc, ArgRecord* args) {
  return CallLibraryCommandSlot(command, 0, argc, args);
}

void* AllocateSlot(uint32_t size) { return Allocate(size); }
void* ReallocateSlot(void* p, uint32_t size) { return Reallocate(p, size); }
void FreeSlot(void* p) { Free(p); }
[[noreturn]] void ExitProgramSlot(int32_t code) { ExitProgram(code); }
void RunMessageLoopSlot() { RunMessageLoop(); }

void LoadStartWindowSlot(uint32_t windowId) {
  WindowDefinition* definition = FindWindowDefinition(windowId);
  if (!definition || LoadWindowFromDefinition(*definition, false, nullptr) != 1) {
    RaiseRuntimeError(0, "载入启动窗口失败");
  }
}

// A callback is registered once however often it is handed over; null is no callback.
template <typename Callback>
void Register(std::vector<Callback>& callbacks, Callback callback) {
  if (callback && std::find(callbacks.begin(), callbacks.end(), callback) == callbacks.end()) {
    callbacks.push_back(callback);
  }
}

intptr_t NotifyRuntimeSlot(NotifyCode code, intptr_t a, intptr_t) {
  switch (code) {
    case NotifyCode::RegisterExitCallback:
      Register(Runtime().exitCallbacks, reinterpret_cast<ExitCallback>(a));
      return 0;
    case NotifyCode::RegisterSessionEndCallback:
      Register(Runtime().sessionEndCallbacks, reinterpret_cast<SessionEndCallback>(a));
      return 0;
    case NotifyCode::Initialize:
      InitializeRuntime();
      return 0;
    default:
      // Requests 0, 1, 2, 4 and 5 serve facilities this program does not use.
      return 0;
  }
}

const ServiceTable kServices = {
    ReportRuntimeErrorSlot,
    reinterpret_cast<void*>(&tl_CallDllCommand),
    CallLibraryCommandSlot,
    CallCoreCommandSlot,
    ReadUnitProperty,
    WriteUnitProperty,
    AllocateSlot,
    ReallocateSlot,
    FreeSlot,
    ExitProgramSlot,
    RunMessageLoopSlot,
    LoadStartWindowSlot,
    NotifyRuntimeSlot,
};

}  // namespace

const ServiceTable& Services() { return kServices; }

void RunProgram(const ProgramHeader& header, StartupEntry entry) {
  UseProgramHeader(header);
  RecordProgramPath();
  _fpreset();
  int result = entry(Services());
  ExitProgram(result);
}

}  // namespace tl
