// The runtime's entry points for the program's entry, the unit types and the tests: the
// service table, start-up, the request entry and event firing. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/events.h"
#include "runtime/program_header.h"
#include "runtime/service_table.h"

namespace tl {

struct WindowDefinition;

const ServiceTable& Services();
// Slot 1 belongs to the declared-DLL-call module, which installs it at start-up.
void SetDllCommandEntry(void* entry);

// The application's start-up entry: initialises through notify code 6, loads the start window
// and runs the message loop; its result ends the process.
using StartupEntry = int (*)(const ServiceTable& services);
// Records the program's directory and runs the start-up entry; ends the process (never returns).
[[noreturn]] void RunProgram(const ProgramHeader& header, StartupEntry entry);

// The start-up steps, the error reporter first: from then on a runtime error shows its box and
// ends the program.
void InitializeRuntime();
void InstallErrorReporter();

intptr_t RuntimeRequest(Request code, intptr_t a, intptr_t b);
int32_t FireEvent(EventRecord& record);
int32_t FireTypedEvent(TypedEventRecord& record);

// Reads the header's form image into the window map; any failure is a runtime error.
void LoadFormImage();
// 1 on success, 0 on failure (the loader's contract).
int LoadWindowFromDefinition(WindowDefinition& definition, bool modal, HWND owner);
// Request 2005 path: loads, and for a visible modal window runs a nested loop until it is gone.
int LoadWindowRequest(uint32_t windowId, HWND owner, bool modal);

// The message loop: returns when no loaded window is alive or WM_QUIT arrives; in modal mode
// also when the given window is gone.
void RunMessageLoop();
void RunModalLoop(uint32_t modalWindow);
void RegisterIdleCallback(HWND window, void (*routine)(intptr_t), intptr_t argument);

[[noreturn]] void ExitProgram(int32_t code);
// Destroys the windows, runs the exit callbacks, notifies the libraries, releases the rest.
// Runs once; later calls do nothing.
void Cleanup();
bool AnyLoadedWindowAlive();
// What a window of the runtime does with WM_ENDSESSION: when the session really ends (wParam
// TRUE), runs the session-end callbacks in registration order, while the windows still exist.
// They run once however many windows get the message, and not once the program is ending.
void SessionEnding(WPARAM endsSession);

// The window map entries of a loaded window destroyed natively (request 2000).
void WindowDestroyed(uint32_t windowId);

// Private messages between the loader and the units.
inline constexpr UINT kMsgAllUnitsExist = 0x806F;
inline constexpr UINT kMsgWindowBuilt = 0x8004;
inline constexpr UINT kMsgWindowUp = 0x8076;
inline constexpr UINT kMsgEndProgram = 0x83E7;

}  // namespace tl
