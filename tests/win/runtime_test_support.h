// A test program for the runtime: its own handler table, library table and form image built
// in memory, handlers that record what they were called with, and a test unit type.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/dispatch.h"
#include "runtime/form_image.h"
#include "runtime/program_header.h"
#include "runtime/window_block.h"
#include "tests/win/message_pump.h"
#include "tests/win/runtime_fixture.h"

namespace tl::test {

// Handler slots of the test table. A handler records (slot, event source, args) and answers
// what its answer function says (none by default).
inline constexpr int32_t kHandlerSlots = 16;
struct HandlerCall {
  int32_t slot;
  uint32_t window;
  uint32_t unit;
  std::vector<uint32_t> args;
};
std::vector<HandlerCall>& Calls();
void SetAnswer(int32_t slot, std::function<HandlerResult(std::span<const uint32_t>)> answer);
void ResetHandlers();
size_t CallCount(int32_t slot);

// Unit types of the test library (library 1 alongside the window and menu types).
inline constexpr uint32_t kPanelType = 0x10002;    // a plain child window, a drag handle
inline constexpr uint32_t kBrokenType = 0x10004;   // its create entry always fails
inline constexpr uint32_t kHiddenType = 0x10005;   // no visible presence

UnitRecordFields WindowRecord(const WindowProperties& properties, int32_t left, int32_t top,
                              int32_t width, int32_t height,
                              std::vector<EventBinding> bindings = {});
UnitRecordFields PanelRecord(int32_t left, int32_t top, int32_t width, int32_t height,
                             uint32_t flags = UnitFlag::Visible,
                             std::vector<EventBinding> bindings = {});
MenuItemFields MenuItem(int32_t level, std::string caption, uint32_t flags = 0,
                        int32_t handler = kNoHandler, int32_t shortcut = 0);

struct WindowSpec {
  uint32_t id;
  std::vector<uint32_t> unitIds;
  std::vector<std::vector<uint8_t>> records;  // EncodeUnitRecord / EncodeMenuItem
};
// The header of a test program holding these windows; the image bytes live as long as the
// returned header (one per process).
const ProgramHeader& MakeProgram(const std::vector<WindowSpec>& windows);
const ProgramHeader& MakeProgramFromImage(std::vector<uint8_t> image);

// A test of the runtime running a test program: the program loaded once for the suite, the
// handlers' calls and answers cleared before each test, the windows it loaded destroyed after it.
template <const ProgramHeader& (*program)()>
class TestProgramTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { LoadProgram(program()); }
  void SetUp() override { ResetHandlers(); }
  void TearDown() override {
    DestroyLoadedWindows();
    ProcessQueuedMessages();
  }
  static HWND Load(uint32_t id, bool modal = false) { return LoadWindowExpectingSuccess(id, modal); }
};

// Child-process scenarios: the test program starts itself again running one test, with
// TL_SCENARIO set so that the scenario's body runs instead of skipping.
bool InScenario();
// In a scenario: appends a line to the log that RunScenario returns as output.
void LogLine(const char* line);
struct ChildResult {
  DWORD exitCode;
  std::wstring boxTitle;
  std::wstring boxText;
  bool boxOnTop = false;  // the box is always on top
  std::string output;
};
// Starts the scenario; when a message box appears, reads it and presses its OK button.
ChildResult RunScenario(const std::string& testName, DWORD timeoutMs = 20000);

}  // namespace tl::test
