// The quick-launch buttons under the title: the web portal, the notepad document kept next to
// the program, and the calculator that does nothing.
#include <string>

#include "app/app_handlers.h"
#include "commands/file.h"
#include "commands/shell.h"

namespace tl::app {
namespace {

constexpr const char* kPortalAddress = "https://www.baidu.com/?tn=tallyleaf";
constexpr const char* kNotepadDocument = "记事本文档.txt";
constexpr int32_t kOpenOperation = 4;

}  // namespace

HandlerResult OnPortalClicked(Args) {
  Call(cmd::OpenWebAddress, {TextArg(kPortalAddress)}, Library::Shell);
  return NoAnswer;
}

HandlerResult OnNotepadClicked(Args) {
  // Created empty when missing; an existing document keeps the text the user saved in it.
  if (CallLong(cmd::FileLength, {TextArg(kNotepadDocument)}) < 0) {
    Call(cmd::WriteFile, {TextArg(kNotepadDocument), ByteSetArg(nullptr)});
  }
  const Text directory = CallText(cmd::GetRunDirectory, {});
  const std::string path = std::string(directory.view()) + "\\" + kNotepadDocument;
  Call(cmd::Execute, {IntArg(kOpenOperation), TextArg(path.c_str()), Omitted(), Omitted(), Omitted()}, Library::Shell);
  return NoAnswer;
}

HandlerResult OnCalculatorClicked(Args) { return NoAnswer; }

}  // namespace tl::app
