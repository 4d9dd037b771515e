#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/ownerless_box.h"
#include "runtime/property_services.h"
#include "runtime/runtime_error.h"
#include "runtime/runtime.h"
#include "runtime/runtime_state.h"
#include "runtime/unit.h"
#include "runtime/window_map.h"
#include "runtime/window_unit.h"
#include "runtime/value.h"

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
    nullptr,  // CallDllCommand: set by the declared-DLL-call module
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

// The real reporter: the box without owner, then the end without exit callbacks; nor is anything
// saved if the session ends while the box shows. The box is raised above the program's
// always-on-top windows, where a person sees it.
[[noreturn]] void ShowRuntimeError(int code, std::string_view message) {
  RuntimeState& rt = Runtime();
  ++rt.suspendCount;
  std::wstring text = Widen(RuntimeErrorText(code, message));
  OwnerlessMessageBox(text.c_str(), Widen("错误").c_str(), MB_OK | MB_ICONSTOP);
  rt.exitCallbacks.clear();
  rt.sessionEndCallbacks.clear();
  ExitProgram(-1);
}

}  // namespace

void InstallErrorReporter() { SetErrorReporter(ShowRuntimeError); }

ServiceTable g_serviceTable = kServices;

const ServiceTable& Services() { return g_serviceTable; }

void SetDllCommandEntry(void* entry) { g_serviceTable.CallDllCommand = entry; }

RuntimeState& Runtime() {
  static RuntimeState state;
  return state;
}

bool CloseByProgram(uint32_t windowId) {
  WindowDefinition* definition = FindWindowDefinition(windowId);
  WindowUnit* window = definition ? LoadedWindow(*definition) : nullptr;
  if (!window || !window->hwnd()) return false;
  window->closePending = true;
  window->RestoreDisabledWindows();
  return true;
}

void SuspendEvents() {
  ProcessQueuedMessages();
  ++Runtime().suspendCount;
}

void ResumeEvents() {
  ProcessQueuedMessages();
  RuntimeState& rt = Runtime();
  if (rt.suspendCount > 0) --rt.suspendCount;
}

}  // namespace tl
