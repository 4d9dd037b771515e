// The system functions whose DLLs showing the main window does not need: shell32 (opening a file
// or address), winmm (sounds), oleaut32 (date conversions) and msimg32 (gradients). On Wine,
// loading shell32 and oleaut32 with the program costs more start-up time than creating every
// control of the main window, so each DLL here is loaded at the first call of one of its
// functions instead. The program does not import these DLLs; call them only through here.
// Also here: the user32 functions that older systems the program runs on lack, which an import
// would keep the program from starting on. Windows only.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace tl::late {

// A DLL that cannot be loaded, or lacks the function, makes a call fail as the function itself
// reports failure: ShellExecuteW answers SE_ERR_DLLNOTFOUND, the others FALSE.
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, INT show);
BOOL PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags);
INT SystemTimeToVariantTime(LPSYSTEMTIME time, DOUBLE* variantTime);
INT VariantTimeToSystemTime(DOUBLE variantTime, LPSYSTEMTIME time);
BOOL GradientFill(HDC dc, PTRIVERTEX vertices, ULONG vertexCount, PVOID meshes, ULONG meshCount, ULONG mode);
// Windows 10 1607 on; 0 where the system lacks it, as it answers for a window it does not know.
UINT GetDpiForWindow(HWND window);

// Stops the sound PlaySound plays in this process, if any. No sound can play before winmm is
// loaded, by this program or a DLL it calls, so stopping none does not load it.
void StopSound();

}  // namespace tl::late
