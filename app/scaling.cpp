#include "app/scaling.h"

#include "app/command_calls.h"
#include "commands/dialogs.h"
#include "forms/ids.h"
#include "runtime/dpi.h"

namespace tl::app {
namespace {

int32_t g_mainWindowDpi = kDesignDpi;

}  // namespace

void ReadMainWindowDpi() { g_mainWindowDpi = Call(cmd::kWindowDpi, ids::MainWindow); }

int32_t ScaledForMainWindow(int32_t designPixels) { return ScaleToDpi(designPixels, g_mainWindowDpi); }

int32_t ScaledForWindow(const UnitRef& window, int32_t designPixels) {
  return ScaleToDpi(designPixels, Call(cmd::kWindowDpi, window));
}

}  // namespace tl::app
