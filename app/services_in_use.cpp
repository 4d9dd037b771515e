#include "app/services_in_use.h"

namespace tl::app {
namespace {

const ServiceTable* g_services = nullptr;

}  // namespace

void UseServices(const ServiceTable& services) { g_services = &services; }
const ServiceTable& ServicesInUse() { return *g_services; }

// The slots do not return; their pointers cannot say so.
void RuntimeError(int32_t code) {
  ServicesInUse().ReportRuntimeError(code);
  __builtin_unreachable();
}

void EndProgram(int32_t code) {
  ServicesInUse().ExitProgram(code);
  __builtin_unreachable();
}

}  // namespace tl::app
