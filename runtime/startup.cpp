#include "runtime/startup.h"

#include <windows.h>
#include <objbase.h>

#include "runtime/dispatch.h"
#include "runtime/dll_call.h"
#include "runtime/error_box.h"
#include "runtime/gbk.h"
#include "runtime/loader.h"
#include "runtime/memory.h"
#include "runtime/program_end.h"
#include "runtime/program_header.h"
#include "runtime/program_path.h"
#include "runtime/requests.h"
#include "runtime/runtime_state.h"
#include "runtime/session_end.h"
#include "runtime/window_class.h"

namespace tl {
namespace {

constexpr wchar_t kHiddenOwnerClass[] = L"_RT_HideOwner";
constexpr wchar_t kDefaultIconResource[] = L"DEFAULT_ICON";

// The hidden owner also receives the end-program request of other threads. Like every top-level
// window it is told of the session's end, and may be the first to hear of it.
LRESULT CALLBACK HiddenOwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgEndProgram) ExitProgram(static_cast<int32_t>(wParam));
  if (message == WM_QUERYENDSESSION) return TRUE;
  if (message == WM_ENDSESSION) {
    SessionEnding(wParam);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateHiddenOwner() {
  RegisterWindowClass(kHiddenOwnerClass, HiddenOwnerProc, 0);
  return CreateWindowExW(WS_EX_TOOLWINDOW, kHiddenOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

void* HeapAllocate(uint32_t size) { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }
void* HeapResize(void* p, uint32_t size) {
  return HeapReAlloc(GetProcessHeap(), 0, p, size ? size : 1);
}
void HeapRelease(void* p) { HeapFree(GetProcessHeap(), 0, p); }

void LoadDefaultIcons() {
  RuntimeState& rt = Runtime();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  rt.defaultBigIcon = static_cast<HICON>(LoadImageW(instance, kDefaultIconResource, IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXICON),
                                                    GetSystemMetrics(SM_CYICON), 0));
  rt.defaultSmallIcon = static_cast<HICON>(LoadImageW(instance, kDefaultIconResource, IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), 0));
}

}  // namespace

void RecordProgramPath() {
  RuntimeState& rt = Runtime();
  const std::wstring directory = ProgramDirectory();
  rt.programDirectory = Narrow(directory);
  rt.programFileName = Narrow(ProgramPath().substr(directory.size()));
  if (!directory.empty()) SetCurrentDirectoryW(directory.c_str());
}

void InitializeRuntime() {
  RuntimeState& rt = Runtime();
  const ProgramHeader* header = ProgramHeaderInUse();
  if (rt.initialized || !header) return;
  rt.initialized = true;
  InstallErrorReporter();
  UseHeap({HeapAllocate, HeapResize, HeapRelease});
  rt.version0 = header->version0;
  rt.version1 = header->version1;
  rt.build = header->build + 1;
  rt.oleInitialized = SUCCEEDED(OleInitialize(nullptr));
  RecordProgramPath();
  rt.hiddenOwner = CreateHiddenOwner();
  rt.mainThread = GetCurrentThreadId();
  SetConstantPool(header->constants, header->constantsLength);
  InstallDllCalls(*header);
  LoadDefaultIcons();
  for (uint32_t i = 0; header->libraries && i < header->libraryCount; ++i) {
    if (header->libraries[i].notifyLibrary) {
      header->libraries[i].notifyLibrary(1, reinterpret_cast<intptr_t>(&RuntimeRequest));
    }
  }
  LoadFormImage();
  InstallFocusEvents();
}

}  // namespace tl
