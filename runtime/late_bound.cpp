#include "runtime/late_bound.h"

#include <mmsystem.h>
#include <shellapi.h>

namespace tl::late {
namespace {

// The function's address in the DLL, looked up once; null when either cannot be found. The DLL
// stays loaded for the rest of the process, as an imported one would.
template <typename Function>
Function* Resolve(const wchar_t* dll, const char* name) {
  HMODULE module = LoadLibraryW(dll);
  return module ? reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, INT show) {
  static auto* const function = Resolve<decltype(::ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
  if (!function) return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_DLLNOTFOUND));
  return function(owner, verb, file, parameters, directory, show);
}

BOOL PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags) {
  static auto* const function = Resolve<decltype(::PlaySoundW)>(L"winmm.dll", "PlaySoundW");
  return function ? function(sound, module, flags) : FALSE;
}

INT SystemTimeToVariantTime(LPSYSTEMTIME time, DOUBLE* variantTime) {
  static auto* const function = Resolve<decltype(::SystemTimeToVariantTime)>(L"oleaut32.dll", "SystemTimeToVariantTime");
  return function ? function(time, variantTime) : FALSE;
}

INT VariantTimeToSystemTime(DOUBLE variantTime, LPSYSTEMTIME time) {
  static auto* const function = Resolve<decltype(::VariantTimeToSystemTime)>(L"oleaut32.dll", "VariantTimeToSystemTime");
  return function ? function(variantTime, time) : FALSE;
}

BOOL GradientFill(HDC dc, PTRIVERTEX vertices, ULONG vertexCount, PVOID meshes, ULONG meshCount, ULONG mode) {
  static auto* const function = Resolve<decltype(::GradientFill)>(L"msimg32.dll", "GradientFill");
  return function ? function(dc, vertices, vertexCount, meshes, meshCount, mode) : FALSE;
}

UINT GetDpiForWindow(HWND window) {
  using Function = UINT WINAPI(HWND);
  static auto* const function = Resolve<Function>(L"user32.dll", "GetDpiForWindow");
  return function ? function(window) : 0;
}

void StopSound() {
  if (GetModuleHandleW(L"winmm.dll")) PlaySoundW(nullptr, nullptr, 0);
}

}  // namespace tl::late
