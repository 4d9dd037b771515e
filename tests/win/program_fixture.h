// The program's own runtime for the tests of its windows and routines: its header, form image
// and handler table. Tests that use it link the application.
#pragma once

#include "app/program.h"
#include "app/services_in_use.h"
#include "forms/ids.h"
#include "runtime/service_slots.h"
#include "tests/win/runtime_fixture.h"

namespace tl::test {

// Loads the program and gives the application's helpers the runtime's service table, as the
// program's start does.
inline void LoadApplication() {
  LoadProgram(app::kProgramHeader);
  app::UseServices(tl::Services());
}

// The program's runtime, loaded once for the suite; the windows a test loads are destroyed
// after it.
class ProgramTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { LoadProgram(app::kProgramHeader); }
  void TearDown() override { DestroyLoadedWindows(); }
};

// The program's runtime with its main window loaded for every test.
class MainWindowLoadedTest : public ProgramTest {
 protected:
  void SetUp() override { LoadWindowOrFail(ids::MainWindow.window); }
};

}  // namespace tl::test
