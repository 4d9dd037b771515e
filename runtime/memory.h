// The runtime's heap: Allocate, Reallocate and Free with the constant-pool rules.
// Pointers into the application's constant area are never freed or resized in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tl {

void SetConstantPool(const void* start, uint32_t length);
bool IsConstant(const void* p);

// On failure these report runtime error 0 "分配 %d 字节内存失败!", which does not return.
void* Allocate(uint32_t size);
void* Reallocate(void* p, uint32_t size);
void Free(void* p);
// Where the blocks come from: the C heap until the runtime installs the process heap at
// start-up. A failing allocation answers null.
struct HeapFunctions {
  void* (*allocate)(uint32_t size);
  void* (*reallocate)(void* p, uint32_t size);
  void (*release)(void* p);
};
void UseHeap(const HeapFunctions& heap);
// For callers that handle failure themselves (the runtime request with its "no report" flag).
void* TryAllocate(uint32_t size);

// How the runtime reports an error: code and GBK message. The window side installs the real
// reporter (message box, exit -1); the default aborts. Never returns.
using ErrorReporter = void (*)(int code, std::string_view message);
void SetErrorReporter(ErrorReporter reporter);
[[noreturn]] void RaiseRuntimeError(int code, std::string_view message);
// The message of one of the application's error codes 1-11, empty for any other.
std::string_view RuntimeErrorMessage(int code);
// The full box text: "运行时出错!\r\n\r\n", the code line unless 0, the message line unless empty.
std::string RuntimeErrorText(int code, std::string_view message);

}  // namespace tl
