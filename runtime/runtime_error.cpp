#include "runtime/runtime_error.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace tl {
namespace {

[[noreturn]] void AbortReporter(int code, std::string_view message) {
  std::fprintf(stderr, "runtime error %d: %.*s\n", code, static_cast<int>(message.size()),
               message.data());
  std::abort();
}

ErrorReporter g_reporter = nullptr;

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
