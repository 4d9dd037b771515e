#include "runtime/memory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/runtime_error.h"

namespace tl {
namespace {

const uint8_t* g_poolStart = nullptr;
uint32_t g_poolLength = 0;

void* CAllocate(uint32_t size) { return std::malloc(size ? size : 1); }
void* CReallocate(void* p, uint32_t size) { return std::realloc(p, size ? size : 1); }
void CRelease(void* p) { std::free(p); }
HeapFunctions g_heap = {CAllocate, CReallocate, CRelease};

[[noreturn]] void ReportAllocationFailure(uint32_t size) {
  char message[64];
  std::snprintf(message, sizeof message, "分配 %u 字节内存失败!", size);
  RaiseRuntimeError(0, message);
}

}  // namespace

void SetConstantPool(const void* start, uint32_t length) {
  g_poolStart = static_cast<const uint8_t*>(start);
  g_poolLength = start ? length : 0;
}

bool IsConstant(const void* p) {
  auto address = reinterpret_cast<uintptr_t>(p);
  auto start = reinterpret_cast<uintptr_t>(g_poolStart);
  return g_poolStart && address >= start && address - start < g_poolLength;
}

void UseHeap(const HeapFunctions& heap) { g_heap = heap; }

void* TryAllocate(uint32_t size) { return g_heap.allocate(size); }

void* Allocate(uint32_t size) {
  void* p = TryAllocate(size);
  if (!p) ReportAllocationFailure(size);
  return p;
}

void* Reallocate(void* p, uint32_t size) {
  if (!p) return Allocate(size);
  if (IsConstant(p)) {
    // A constant is never resized in place: copy what lies between it and the pool's end.
    auto offset = static_cast<uint32_t>(static_cast<const uint8_t*>(p) - g_poolStart);
    uint32_t available = g_poolLength - offset;
    void* block = Allocate(size);
    std::memcpy(block, p, size < available ? size : available);
    return block;
  }
  void* block = g_heap.reallocate(p, size);
  if (!block) ReportAllocationFailure(size);
  return block;
}

void Free(void* p) {
  if (p && !IsConstant(p)) g_heap.release(p);
}

}  // namespace tl
