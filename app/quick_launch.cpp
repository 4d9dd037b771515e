// The quick-launch buttons under the title: the web portal, the notepad document kept next to
// the program, and the calculator that does nothing.
#include <string>

#include "app/app_handlers.h"
#include "app/command_calls.h"
#include "commands/file.h"
#include "commands/shell.h"

namespace tl::app {
namespace {

constexpr const char* kPortalAddress = "https://www.baidu.com/?tn=tallyleaf";
constexpr const char* kNotepadDocument = "记事本文档.txt";
constexpr int32_t kOpenOperation = 4;

}  // namespace

HandlerResult OnPortalClicked(Args) {
  Call(cmd::kOpenWebAddress, kPortalAddress);
  return NoAnswer;
}

HandlerResult OnNotepadClicked(Args) {
  // Created empty when missing; an existing document keeps the text the user saved in it.
  if (Call(cmd::kFileLength, kNotepadDocument) < 0) {
    Call(cmd::kWriteFile, kNotepadDocument, {Encode<Bytes>(OwnedByteSet().get())});
  }
  const OwnedText directory = Call(cmd::kGetRunDirectory);
  const std::string path = std::string(directory.view()) + "\\" + kNotepadDocument;
  Call(cmd::kExecute, kOpenOperation, path, std::nullopt, std::nullopt, std::nullopt);
  return NoAnswer;
}

HandlerResult OnCalculatorClicked(Args) { return NoAnswer; }

}  // namespace tl::app
