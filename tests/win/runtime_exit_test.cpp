// How the program ends: the end-program service, closing the last window, runtime errors and
// their box. Each scenario runs in a child process of this test program.
#include <gtest/gtest.h>

#include <windows.h>

#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/program_end.h"
#include "runtime/program_header.h"
#include "runtime/service_slots.h"
#include "tests/win/runtime_test_support.h"

namespace tl::test {
namespace {

constexpr uint32_t kWindowId = 0x52000001;
constexpr uint32_t kWindowUnit = 0x06000001;

void FirstCallback() { LogLine("first callback"); }
void SecondCallback() { LogLine("second callback"); }

const ProgramHeader& OneWindowProgram() {
  WindowProperties p;
  p.caption = "结束";
  p.position = 0;
  // Event 2 (destroyed) goes to handler slot 0, which logs it.
  SetAnswer(0, [](std::span<const uint32_t>) {
    LogLine("destroyed");
    return NoAnswer;
  });
  return MakeProgram({{kWindowId, {kWindowUnit}, {EncodeUnitRecord(WindowRecord(p, 10, 10, 200, 100, {{2, 0}}))}}});
}

// The application's side of start-up, as the program's entry does it.
void StartUp(const ProgramHeader& header) {
  UseProgramHeader(header);
  const ServiceTable& s = Services();
  s.NotifyRuntime(NotifyCode::Initialize, 0, 0);
  s.NotifyRuntime(NotifyCode::RegisterExitCallback, reinterpret_cast<intptr_t>(&FirstCallback), 0);
  s.NotifyRuntime(NotifyCode::RegisterExitCallback, reinterpret_cast<intptr_t>(&SecondCallback), 0);
  s.NotifyRuntime(NotifyCode::RegisterExitCallback, reinterpret_cast<intptr_t>(&FirstCallback), 0);
}

void CALLBACK EndWithZero(HWND, UINT, UINT_PTR, DWORD) { Services().ExitProgram(0); }
void CALLBACK CloseTheWindow(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND window = FindWindowW(nullptr, Widen("结束").c_str());
  PostMessageW(window, WM_CLOSE, 0, 0);
}

TEST(ExitScenario, EndProgramService) {
  if (!InScenario()) GTEST_SKIP() << "runs as a child of ExitTest";
  StartUp(OneWindowProgram());
  Services().LoadStartWindow(kWindowId);
  SetTimer(nullptr, 0, 50, EndWithZero);
  Services().RunMessageLoop();
  LogLine("loop returned");
}

int CloseLastWindowEntry(const ServiceTable& s) {
  s.NotifyRuntime(NotifyCode::Initialize, 0, 0);
  s.NotifyRuntime(NotifyCode::RegisterExitCallback, reinterpret_cast<intptr_t>(&FirstCallback), 0);
  s.LoadStartWindow(kWindowId);
  SetTimer(nullptr, 0, 50, CloseTheWindow);
  s.RunMessageLoop();
  LogLine("loop returned");
  return 0;
}

TEST(ExitScenario, CloseLastWindow) {
  if (!InScenario()) GTEST_SKIP() << "runs as a child of ExitTest";
  RunProgram(OneWindowProgram(), CloseLastWindowEntry);
}

DWORD WINAPI EndFromThread(void*) {
  Sleep(50);
  ExitProgram(7);  // what slot 9 runs
}

TEST(ExitScenario, EndProgramFromAnotherThread) {
  if (!InScenario()) GTEST_SKIP() << "runs as a child of ExitTest";
  StartUp(OneWindowProgram());
  Services().LoadStartWindow(kWindowId);
  CloseHandle(CreateThread(nullptr, 0, EndFromThread, nullptr, 0, nullptr));
  Services().RunMessageLoop();
}

TEST(ExitScenario, RuntimeErrorFour) {
  if (!InScenario()) GTEST_SKIP() << "runs as a child of ExitTest";
  StartUp(OneWindowProgram());
  Services().LoadStartWindow(kWindowId);
  Services().ReportRuntimeError(4);
}

void* FailAtHundred(uint32_t size) { return size == 100 ? nullptr : HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }
void* Resize(void* p, uint32_t size) { return HeapReAlloc(GetProcessHeap(), 0, p, size ? size : 1); }
void Release(void* p) { HeapFree(GetProcessHeap(), 0, p); }

TEST(ExitScenario, AllocationFailure) {
  if (!InScenario()) GTEST_SKIP() << "runs as a child of ExitTest";
  StartUp(OneWindowProgram());
  UseHeap({FailAtHundred, Resize, Release});
  Services().Allocate(100);
  LogLine("allocation returned");
}

TEST(ExitScenario, UnknownStartWindow) {
  if (!InScenario()) GTEST_SKIP() << "runs as a child of ExitTest";
  StartUp(OneWindowProgram());
  Services().LoadStartWindow(0x52999999);
  LogLine("load returned");
}

TEST(ExitScenario, MalformedImage) {
  if (!InScenario()) GTEST_SKIP() << "runs as a child of ExitTest";
  UseProgramHeader(MakeProgramFromImage({8, 0, 0, 0, 1, 0, 0}));
  Services().NotifyRuntime(NotifyCode::Initialize, 0, 0);
  LogLine("initialize returned");
}

TEST(ExitScenario, PropertyOfAnUnknownWindow) {
  if (!InScenario()) GTEST_SKIP() << "runs as a child of ExitTest";
  StartUp(OneWindowProgram());
  Services().ReadUnitProperty(0x52999999, kWindowUnit, 0, -1);
}

TEST(ExitScenario, TypePropertyOfAWindowNotLoaded) {
  if (!InScenario()) GTEST_SKIP() << "runs as a child of ExitTest";
  StartUp(OneWindowProgram());
  // Common properties of a window that is not loaded come from its definition.
  if (Services().ReadUnitProperty(kWindowId, kWindowUnit, 2, -1) == 200) LogLine("width 200");
  Services().ReadUnitProperty(kWindowId, kWindowUnit, 8, -1);
}

std::wstring Box(const char* gbkText) { return Widen(gbkText); }

TEST(ExitTest, EndProgramServiceRunsEachCallbackOnceAndExitsWithTheCode) {
  ChildResult r = RunScenario("ExitScenario.EndProgramService");
  EXPECT_EQ(r.exitCode, 0u);
  // Events are suspended before the windows go, so the destroyed handler does not run.
  EXPECT_EQ(r.output, "first callback\nsecond callback\n");
  EXPECT_TRUE(r.boxTitle.empty());
}

TEST(ExitTest, ClosingTheLastWindowEndsTheLoopAndRunsCallbacksOnce) {
  ChildResult r = RunScenario("ExitScenario.CloseLastWindow");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.output, "destroyed\nloop returned\nfirst callback\n");
}

TEST(ExitTest, EndProgramFromAnotherThreadIsPerformedByTheMainThread) {
  ChildResult r = RunScenario("ExitScenario.EndProgramFromAnotherThread");
  EXPECT_EQ(r.exitCode, 7u);
  EXPECT_EQ(r.output, "first callback\nsecond callback\n");
}

TEST(ExitTest, RuntimeErrorShowsTheBoxAndEndsWithoutCallbacks) {
  ChildResult r = RunScenario("ExitScenario.RuntimeErrorFour");
  EXPECT_EQ(r.exitCode, 0xFFFFFFFFu);
  EXPECT_EQ(r.boxTitle, Box("错误"));
  EXPECT_EQ(r.boxText, Box("运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n"));
  EXPECT_TRUE(r.boxOnTop) << "above the program's always-on-top window";
  EXPECT_EQ(r.output, "");  // events suspended, callbacks dropped
}

// A runtime error the program cannot go on from: the error box with this message, exit code -1,
// and no callback or event after it.
void ExpectRuntimeErrorExit(const char* scenario, const char* message) {
  SCOPED_TRACE(scenario);
  ChildResult r = RunScenario(scenario);
  EXPECT_EQ(r.exitCode, 0xFFFFFFFFu);
  EXPECT_EQ(r.boxTitle, Box("错误"));
  EXPECT_EQ(r.boxText, Box((std::string("运行时出错!\r\n\r\n错误信息：") + message + "\r\n").c_str()));
  EXPECT_EQ(r.output, "");
}

TEST(ExitTest, FailuresOfTheRuntimeItselfNameTheirCauseWithoutACodeLine) {
  ExpectRuntimeErrorExit("ExitScenario.AllocationFailure", "分配 100 字节内存失败!");
  ExpectRuntimeErrorExit("ExitScenario.UnknownStartWindow", "载入启动窗口失败");
  ExpectRuntimeErrorExit("ExitScenario.MalformedImage", "载入窗口模板数据段出错!");
}

TEST(ExitTest, PropertyServicesReportMissingWindows) {
  ChildResult r = RunScenario("ExitScenario.PropertyOfAnUnknownWindow");
  EXPECT_EQ(r.exitCode, 0xFFFFFFFFu);
  EXPECT_EQ(r.boxText, Box("运行时出错!\r\n\r\n错误信息：未载入欲访问窗口组件所在的窗口\r\n"));
  r = RunScenario("ExitScenario.TypePropertyOfAWindowNotLoaded");
  EXPECT_EQ(r.exitCode, 0xFFFFFFFFu);
  EXPECT_EQ(r.boxText, Box("运行时出错!\r\n\r\n错误信息：指定窗口尚未载入\r\n"));
  EXPECT_EQ(r.output, "width 200\n");
}

}  // namespace
}  // namespace tl::test
