// Runtime errors: how the runtime reports one, and the texts of the error box. Portable.
#pragma once

#include <string>
#include <string_view>

namespace tl {

// How the runtime reports an error: code and GBK message. Start-up installs the real reporter
// (message box, exit -1); until then the default prints and aborts. Never returns.
using ErrorReporter = void (*)(int code, std::string_view message);
void SetErrorReporter(ErrorReporter reporter);
[[noreturn]] void RaiseRuntimeError(int code, std::string_view message);
// The message of one of the application's error codes 1-11, empty for any other.
std::string_view RuntimeErrorMessage(int code);
// The full box text: "运行时出错!\r\n\r\n", the code line unless 0, the message line unless empty.
std::string RuntimeErrorText(int code, std::string_view message);

}  // namespace tl
