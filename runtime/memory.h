// The runtime's heap: Allocate, Reallocate and Free with the constant-pool rules.
// Pointers into the application's constant area are never freed or resized in place.
#pragma once

#include <cstddef>
#include <cstdint>

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

}  // namespace tl
