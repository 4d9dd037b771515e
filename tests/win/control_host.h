// The parent window of the control tests: like the runtime's windows, it hands the
// notifications of the controls inside it to their units. Also the fixture that makes a host
// window for each test, and the font record and window helpers the Windows tests share.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "runtime/unit.h"
#include "runtime/window_class.h"
#include "tests/win/message_pump.h"
#include "tests/win/recording_runtime.h"

namespace tl::test {

inline LRESULT CALLBACK ControlHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (std::optional<LRESULT> answer = RouteToOwningUnit(window, message, wParam, lParam)) return *answer;
  if (message == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(window, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The host's class name, registered on first use.
inline const wchar_t* ControlHostClass() {
  RegisterWindowClass(L"TL_ControlHost", &ControlHostProc, 0);
  return L"TL_ControlHost";
}

// A top-level window to hold the units under test: of the control host's class unless the test
// needs a parent that routes nothing (a static window) or paints in its own way.
struct HostWindowOptions {
  const wchar_t* title;
  DWORD style;
  DWORD exStyle = 0;
  int left = 100, top = 100, width = 400, height = 300;
  const wchar_t* windowClass = nullptr;  // null: the control host
};

inline HWND CreateHostWindow(const HostWindowOptions& options) {
  const wchar_t* windowClass = options.windowClass ? options.windowClass : ControlHostClass();
  return CreateWindowExW(options.exStyle, windowClass, options.title, options.style, options.left, options.top,
                         options.width, options.height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// A test whose units live in a host window made before it and destroyed after it.
class HostWindowTest : public ::testing::Test {
 protected:
  explicit HostWindowTest(const HostWindowOptions& options) : options_(options) {}
  void SetUp() override {
    parent_ = CreateHostWindow(options_);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override {
    if (IsWindow(parent_)) DestroyWindow(parent_);
  }

  HWND parent_ = nullptr;

 private:
  HostWindowOptions options_;
};

// A host window test whose units fire into the recording runtime, starting with nothing recorded.
class RecordingHostWindowTest : public HostWindowTest {
 protected:
  using HostWindowTest::HostWindowTest;
  void SetUp() override {
    StartRecordingEvents();
    HostWindowTest::SetUp();
  }
  void TearDown() override {
    HostWindowTest::TearDown();
    StopRecordingEvents();
  }
};

// A window's text and class name as the wide API answers them.
inline std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[1024];
  const int length = GetWindowTextW(hwnd, buffer, 1024);
  return std::wstring(buffer, length > 0 ? length : 0);
}
inline std::wstring ClassOf(HWND hwnd) {
  wchar_t buffer[64];
  const int length = GetClassNameW(hwnd, buffer, 64);
  return std::wstring(buffer, length > 0 ? length : 0);
}

// A key pressed and released through the desktop's input queue, as a person would.
inline void PressKey(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
}

// A stored 60-byte logical-font record in the GB2312 set; the empty face lets the platform
// choose.
inline std::vector<uint8_t> FontRecord(int32_t height, int32_t weight = 0) {
  std::vector<uint8_t> font(60, 0);
  std::memcpy(font.data(), &height, 4);
  std::memcpy(font.data() + 16, &weight, 4);
  font[23] = GB2312_CHARSET;
  return font;
}

}  // namespace tl::test
