// Declared DLL functions: the declaration table, resolution with its library search and cache,
// the entry of service slot 1 that forwards a call untouched, and the stack-balance check.
// Windows (i686) only.
#pragma once

#include <cstdint>
#include <span>
#include <type_traits>

#include "runtime/program_header.h"
#include "runtime/value.h"

namespace tl {

// Replaces the table; earlier resolutions are released. The names stay the caller's (they are
// the program's constants) and must outlive the table.
void SetDllDeclarations(std::span<const char* const> libraries, std::span<const char* const> entries);
// Start-up: the header's declarations become the table that slot 1 (tl_CallDllCommand) calls from.
void InstallDllCalls(const ProgramHeader& header);
// The entry address of declaration index, resolved on first use and cached. A declaration that
// cannot be resolved is a runtime error (code 0) naming the library and entry; it does not return.
void* ResolveDllCommand(uint32_t index);
// Releases every library loaded for declarations, at program end.
void ReleaseDllLibraries();

extern "C" {
// Service slot 1. Entered by a call with (index, the function's own arguments) on the stack:
// removes the index, resolves it and jumps to the function, which returns straight to the
// caller with its native result and cleans the arguments and the index.
void tl_CallDllCommand();
// Calls declaration index with count 32-bit argument words through tl_CallDllCommand and
// checks that the function removed exactly those words; otherwise runtime error 6.
uint64_t tl_CallDllChecked(uint32_t index, const uint32_t* args, uint32_t count);
}

template <typename T>
constexpr uint32_t AsWord(T value) {
  if constexpr (std::is_pointer_v<T>) {
    return PointerWord(value);
  } else {
    return static_cast<uint32_t>(value);
  }
}

// tl_CallDllChecked with each argument widened to one stack word.
template <typename... A>
uint32_t CallDllChecked(uint32_t index, A... args) {
  static_assert((... && (sizeof(A) <= 4)), "declared functions take 32-bit arguments");
  const uint32_t words[sizeof...(A) + 1] = {AsWord(args)..., 0};
  return static_cast<uint32_t>(tl_CallDllChecked(index, words, sizeof...(A)));
}

}  // namespace tl
