#include "runtime/memory.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tl {
namespace {

const uint8_t* g_poolStart = nullptr;
uint32_t g_poolLength = 0;

[[noreturn]] void AbortReporter(int code, std::string_view message) {
  std::fprintf(stderr, "runtime error %d: %.*s\n", code, static_cast<int>(message.size()),
               message.data());
  std::abort();
}

ErrorReporter g_reporter = nullptr;

void* CAllocate(uint32_t size) { return std::malloc(size ? size : 1); }
void* CReallocate(void* p, uint32_t size) { return std::realloc(p, size ? size : 1); }
void CRelease(void* p) { std::free(p); }
HeapFunctions g_heap = {CAllocate, CReallocate, CRelease};

[[noreturn]] void ReportAllocationFailure(uint32_t size) {
  char message[64];
  std::snprintf(message, sizeof message, "分配 %u 字节内存失败!", size);
  RaiseRuntimeError(0, message);
}

constexpr std::array<std::string_view, 12> kErrorMessages = {
    "",
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};

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

void SetErrorReporter(ErrorReporter reporter) { g_reporter = reporter; }

void RaiseRuntimeError(int code, std::string_view message) {
  (g_reporter ? g_reporter : AbortReporter)(code, message);
  std::abort();  // a reporter that returns has broken its contract
}

std::string_view RuntimeErrorMessage(int code) {
  if (code < 1 || code >= static_cast<int>(kErrorMessages.size())) return {};
  return kErrorMessages[code];
}

std::string RuntimeErrorText(int code, std::string_view message) {
  std::string text = "运行时出错!\r\n\r\n";
  if (code != 0) text += "错误代码：" + std::to_string(code) + "\r\n\r\n";
  if (!message.empty()) {
    text += "错误信息：";
    text += message;
    text += "\r\n";
  }
  return text;
}

}  // namespace tl
