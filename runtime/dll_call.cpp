#include "runtime/dll_call.h"

#include <windows.h>

#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/program_path.h"
#include "runtime/runtime_error.h"

namespace tl {
namespace {

struct Declaration {
  std::string_view library;
  std::string_view entry;
  void* address = nullptr;
  HMODULE module = nullptr;
};

std::vector<Declaration> g_declarations;

constexpr std::array<const wchar_t*, 6> kStandardLibraries = {
    L"Kernel32.dll", L"Gdi32.dll", L"User32.dll", L"Advapi32.dll", L"Mpr.dll", L"Shell32.dll"};

// The entry as GetProcAddress takes it: a name, or for "#digits" the ordinal (modulo 65536).
struct EntryKey {
  std::string name;
  WORD ordinal = 0;
  bool byOrdinal = false;
  LPCSTR get() const { return byOrdinal ? MAKEINTRESOURCEA(ordinal) : name.c_str(); }
};

EntryKey KeyOf(std::string_view entry) {
  EntryKey key;
  if (!entry.empty() && entry[0] == '#') {
    uint32_t value = 0;
    for (char c : entry.substr(1)) {
      if (c < '0' || c > '9') break;
      value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    key.byOrdinal = true;
    key.ordinal = static_cast<WORD>(value & 0xFFFF);
  } else {
    key.name = std::string(entry);  // ANSI names as declared: the export table is ANSI
  }
  return key;
}

// The program's directory first, then the system's search; a drive-qualified path goes
// straight to the system.
HMODULE LoadDeclaredLibrary(std::string_view library) {
  const std::wstring name = Widen(library);
  if (library.find(':') == std::string_view::npos) {
    const std::wstring local = ProgramDirectory() + name;
    if (HMODULE module = LoadLibraryW(local.c_str())) return module;
  }
  return LoadLibraryW(name.c_str());
}

[[noreturn]] void ReportUnresolved(const Declaration& d) {
  std::string message;
  if (d.library.empty()) {
    message = "无法找到指定DLL库文件中的输出命令“" + std::string(d.entry) + "”";
  } else {
    message = "无法找到指定DLL库文件“" + std::string(d.library) + "”中的输出命令“" + std::string(d.entry) + "”";
  }
  RaiseRuntimeError(0, message);
}

}  // namespace

void SetDllDeclarations(std::span<const char* const> libraries, std::span<const char* const> entries) {
  ReleaseDllLibraries();
  g_declarations.clear();
  const size_t count = std::min(libraries.size(), entries.size());
  for (size_t i = 0; i < count; ++i) g_declarations.push_back({TextView(libraries[i]), TextView(entries[i])});
}

void InstallDllCalls(const ProgramHeader& header) {
  if (!header.dllLibraryNames || !header.dllEntryNames) return SetDllDeclarations({}, {});
  SetDllDeclarations({header.dllLibraryNames, header.dllCount}, {header.dllEntryNames, header.dllCount});
}

void* ResolveDllCommand(uint32_t index) {
  if (index >= g_declarations.size()) RaiseRuntimeError(0, "调用了未声明的DLL命令");
  Declaration& d = g_declarations[index];
  if (d.address) return d.address;

  const EntryKey key = KeyOf(d.entry);
  HMODULE module = nullptr;
  void* address = nullptr;
  if (d.library.empty()) {
    for (const wchar_t* name : kStandardLibraries) {
      module = LoadLibraryW(name);
      if (!module) continue;
      address = reinterpret_cast<void*>(GetProcAddress(module, key.get()));
      if (address) break;
      FreeLibrary(module);
      module = nullptr;
    }
  } else if ((module = LoadDeclaredLibrary(d.library))) {
    // Only the first library that loads is asked; a later place is not tried.
    address = reinterpret_cast<void*>(GetProcAddress(module, key.get()));
  }
  if (!address) {
    if (module) FreeLibrary(module);
    ReportUnresolved(d);
  }
  d.address = address;
  d.module = module;
  return address;
}

void ReleaseDllLibraries() {
  for (Declaration& d : g_declarations) {
    if (d.module) FreeLibrary(d.module);
    d.module = nullptr;
    d.address = nullptr;
  }
}

}  // namespace tl

extern "C" {

// The thunk's way into the resolver: a plain cdecl function.
void* tl_ResolveDllCommandForThunk(uint32_t index) { return tl::ResolveDllCommand(index); }

[[noreturn]] void tl_ReportStackImbalance() { tl::RaiseRuntimeError(6, tl::RuntimeErrorMessage(6)); }
}
