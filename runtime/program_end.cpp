#include "runtime/program_end.h"

#include <objbase.h>

#include <vector>

#include "runtime/dll_call.h"
#include "runtime/late_bound.h"
#include "runtime/loader.h"
#include "runtime/program_header.h"
#include "runtime/runtime_state.h"
#include "runtime/window_unit.h"

namespace tl {

void Cleanup() {
  RuntimeState& rt = Runtime();
  if (rt.ending) return;
  ++rt.suspendCount;
  rt.ending = true;
  rt.idleCallbacks.clear();
  for (auto& definition : rt.windows) {
    WindowUnit* window = LoadedWindow(*definition);
    if (!window) continue;
    if (window->hwnd() && IsWindow(window->hwnd())) {
      DestroyWindow(window->hwnd());
    } else {
      WindowDestroyed(definition->id);
    }
  }
  std::vector<ExitCallback> callbacks = rt.exitCallbacks;
  for (ExitCallback callback : callbacks) callback();
  const ProgramHeader* header = ProgramHeaderInUse();
  for (uint32_t i = 0; header && header->libraries && i < header->libraryCount; ++i) {
    if (header->libraries[i].notifyLibrary) header->libraries[i].notifyLibrary(6, 0);
  }
  ReleaseDllLibraries();
  SetDllDeclarations({}, {});
  if (rt.defaultBigIcon) DestroyIcon(rt.defaultBigIcon);
  if (rt.defaultSmallIcon) DestroyIcon(rt.defaultSmallIcon);
  rt.defaultBigIcon = rt.defaultSmallIcon = nullptr;
  if (rt.hiddenOwner) DestroyWindow(rt.hiddenOwner);
  rt.hiddenOwner = nullptr;
  late::StopSound();
  if (rt.oleInitialized) OleUninitialize();
  rt.oleInitialized = false;
}

void ExitProgram(int32_t code) {
  RuntimeState& rt = Runtime();
  if (rt.mainThread != 0 && GetCurrentThreadId() != rt.mainThread) {
    if (rt.hiddenOwner) SendMessageW(rt.hiddenOwner, kMsgEndProgram, static_cast<WPARAM>(code), 0);
    if (!rt.ending) ExitProcess(static_cast<UINT>(code));
    // The main thread is ending the program: it ends the process when it is done.
    for (;;) Sleep(INFINITE);
  }
  Cleanup();
  ExitProcess(static_cast<UINT>(code));
}

}  // namespace tl
