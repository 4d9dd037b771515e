#include "tests/e2e/driver.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

#include "runtime/top_level_windows.h"

namespace tl::e2e {
namespace fs = std::filesystem;

namespace {

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lParam) {
  reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
  return TRUE;
}

// Memory inside another process for one message's pointer arguments.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, size_t size) : size_(size) {
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessOfWindow(window));
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool valid() const { return address_ != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Put(size_t offset, const void* data, size_t n) const {
    return offset + n <= size_ && WriteProcessMemory(process_, at(offset), data, n, nullptr);
  }
  bool Get(size_t offset, void* data, size_t n) const {
    return offset + n <= size_ && ReadProcessMemory(process_, at(offset), data, n, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  size_t size_;
};

}  // namespace

// ---- ProgramDirectory --------------------------------------------------------------------------

ProgramDirectory::ProgramDirectory() {
  static int sequence = 0;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  fs::path dir = fs::path(temp) / (L"tallyleaf-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++sequence));
  fs::create_directories(dir);
  path_ = dir.wstring();
  fs::copy_file(TALLYLEAF_EXE, dir / L"tallyleaf.exe", fs::copy_options::overwrite_existing);
}

ProgramDirectory::~ProgramDirectory() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void ProgramDirectory::Write(const std::wstring& name, std::string_view bytes) const {
  HANDLE h = CreateFileW(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

std::optional<std::string> ProgramDirectory::Read(const std::wstring& name) const {
  HANDLE h = CreateFileW(File(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
  CloseHandle(h);
  return bytes;
}

void ProgramDirectory::Remove(const std::wstring& name) const { DeleteFileW(File(name).c_str()); }

std::vector<std::wstring> ProgramDirectory::Names() const {
  std::vector<std::wstring> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(path_, error)) {
    const std::wstring name = entry.path().filename().wstring();
    if (name != L"tallyleaf.exe" && name != L"tallyleaf.lock") names.push_back(name);
  }
  return names;
}

// ---- RunningProgram ----------------------------------------------------------------------------

RunningProgram::RunningProgram() {
  ownDirectory_.emplace();
  Start(ownDirectory_->path());
}

RunningProgram::RunningProgram(const ProgramDirectory& directory) { Start(directory.path()); }

RunningProgram::RunningProgram(const std::wstring& directoryPath) { Start(directoryPath); }

RunningProgram::RunningProgram(const ProgramDirectory& directory, const std::wstring& exeName) {
  Start(directory.path(), exeName);
}

void RunningProgram::Start(const std::wstring& directory, const std::wstring& exeName) {
  directory_ = directory;
  const std::wstring exe = directory + L"\\" + exeName;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = L"\"" + exe + L"\"";
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, directory_.c_str(),
                      &startup, &process_)) {
    ADD_FAILURE() << "could not start tallyleaf.exe: error " << GetLastError();
  }
}

RunningProgram::~RunningProgram() {
  Kill();
  if (process_.hProcess) {
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
}

void RunningProgram::Kill() {
  if (process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
  }
}

std::vector<HWND> RunningProgram::TopLevelWindows() const {
  std::vector<HWND> own;
  for (HWND hwnd : tl::TopLevelWindows()) {
    if (ProcessOfWindow(hwnd) == process_.dwProcessId) own.push_back(hwnd);
  }
  return own;
}

std::vector<HWND> RunningProgram::VisibleTopLevelWindows() const {
  std::vector<HWND> visible;
  for (HWND hwnd : TopLevelWindows()) {
    if (IsWindowVisible(hwnd)) visible.push_back(hwnd);
  }
  return visible;
}

std::vector<HWND> RunningProgram::MessageBoxes() const {
  std::vector<HWND> boxes;
  for (HWND hwnd : VisibleTopLevelWindows()) {
    if (ClassOf(hwnd) == L"#32770") boxes.push_back(hwnd);
  }
  return boxes;
}

HWND RunningProgram::WaitForWindow(const std::wstring& title, DWORD timeoutMs, DWORD pollMs) const {
  HWND found = nullptr;
  WaitUntil([&] {
    for (HWND hwnd : VisibleTopLevelWindows()) {
      if (WindowTitle(hwnd) == title) found = hwnd;
    }
    return found != nullptr;
  }, timeoutMs, pollMs);
  return found;
}

HWND RunningProgram::WaitForMessageBox(DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitUntil([&] {
    const std::vector<HWND> boxes = MessageBoxes();
    if (!boxes.empty()) found = boxes.back();
    return found != nullptr;
  }, timeoutMs);
  return found;
}

DWORD RunningProgram::WaitForExit(DWORD timeoutMs) const {
  WaitForSingleObject(process_.hProcess, timeoutMs);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

// ---- windows -----------------------------------------------------------------------------------

std::wstring WindowTitle(HWND hwnd) {
  wchar_t buffer[512];
  int length = GetWindowTextW(hwnd, buffer, 512);
  return std::wstring(buffer, length > 0 ? length : 0);
}

std::wstring ControlText(HWND hwnd) {
  wchar_t buffer[1024];
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK, 5000,
                           &length)) {
    return L"<no answer>";
  }
  return std::wstring(buffer, std::min<size_t>(length, std::size(buffer) - 1));
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t buffer[64];
  int length = GetClassNameW(hwnd, buffer, 64);
  return std::wstring(buffer, length > 0 ? length : 0);
}

HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& text) {
  std::vector<HWND> children;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children) {
    if (ClassOf(child) == className && (text.empty() || WindowTitle(child) == text)) return child;
  }
  return nullptr;
}

RECT PlaceInParent(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Pump(pollMs);
  }
}

void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
  }
}

bool Above(HWND upper, HWND lower) {
  for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == lower) return true;
  }
  return false;
}

POINT CentreOf(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

POINT CentreOf(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return CentreOf(rect);
}

HWND VisibleWindowOfClass(const RunningProgram& program, const std::wstring& className) {
  for (HWND hwnd : program.VisibleTopLevelWindows()) {
    if (ClassOf(hwnd) == className) return hwnd;
  }
  return nullptr;
}

// ---- input -------------------------------------------------------------------------------------

namespace {

void Send(INPUT input) {
  if (input.type == INPUT_MOUSE) input.mi.dwExtraInfo = kDriverInputTag;
  if (input.type == INPUT_KEYBOARD) input.ki.dwExtraInfo = kDriverInputTag;
  SendInput(1, &input, sizeof input);
}

INPUT Key(WORD virtualKey, WORD scan, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = scan;
  input.ki.dwFlags = flags;
  return input;
}

// Two clicks closer together than the double-click time would make one double click.
void SpaceClicks() {
  static DWORD lastClick = 0;
  const DWORD since = GetTickCount() - lastClick;
  if (lastClick != 0 && since < 600) Pump(600 - since);
  lastClick = GetTickCount();
}

void Click(POINT at, DWORD down, DWORD up) {
  SpaceClicks();
  MoveMouse(at);
  MouseButton(down);
  MouseButton(up);
}

}  // namespace

void MoveMouse(POINT at) {
  SetCursorPos(at.x, at.y);
  Pump(40);
}

void MouseButton(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  Send(input);
  Pump(40);
}

void LeftClick(POINT at) { Click(at, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }
void RightClick(POINT at) { Click(at, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }

void PressKey(WORD virtualKey) {
  Send(Key(virtualKey, 0, 0));
  Send(Key(virtualKey, 0, KEYEVENTF_KEYUP));
  Pump(40);
}

void PressKeys(std::initializer_list<WORD> chord) {
  for (WORD key : chord) Send(Key(key, 0, 0));
  for (auto key = std::rbegin(chord); key != std::rend(chord); ++key) Send(Key(*key, 0, KEYEVENTF_KEYUP));
  Pump(40);
}

void TypeText(const std::wstring& text) {
  for (wchar_t c : text) {
    Send(Key(0, c, KEYEVENTF_UNICODE));
    Send(Key(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
  }
  Pump(100);
}

std::wstring MessageBoxText(HWND box) { return WindowTitle(GetDlgItem(box, 0xFFFF)); }

void AnswerMessageBox(HWND box, int buttonId) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0); }

// ---- list views --------------------------------------------------------------------------------

int ListItemCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring ListItemText(HWND list, int item, int column) {
  constexpr size_t kChars = 4096;
  RemoteBuffer remote(list, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
  if (!remote.valid()) return L"<unreadable>";
  LVITEMW request{};
  request.iSubItem = column;
  request.pszText = reinterpret_cast<LPWSTR>(remote.at(sizeof(LVITEMW)));
  request.cchTextMax = kChars;
  remote.Put(0, &request, sizeof request);
  DWORD_PTR length = 0;
  SendMessageTimeoutW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(remote.at(0)), SMTO_BLOCK, 5000, &length);
  std::wstring text(std::min<size_t>(length, kChars), L'\0');
  remote.Get(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t));
  return text;
}

std::vector<std::wstring> ListColumn(HWND list, int column) {
  std::vector<std::wstring> texts;
  const int count = ListItemCount(list);
  for (int item = 0; item < count; ++item) texts.push_back(ListItemText(list, item, column));
  return texts;
}

RECT AskRect(HWND window, UINT message, WPARAM wParam, RECT in) {
  RemoteBuffer remote(window, sizeof(RECT));
  if (!remote.valid()) return {};
  remote.Put(0, &in, sizeof in);
  DWORD_PTR answered = 0;
  SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(remote.at(0)), SMTO_BLOCK, 5000, &answered);
  RECT out{};
  remote.Get(0, &out, sizeof out);
  return out;
}

bool SetDatePickerValue(HWND picker, const SYSTEMTIME& value) {
  RemoteBuffer remote(picker, sizeof value);
  if (!remote.valid() || !remote.Put(0, &value, sizeof value)) return false;
  DWORD_PTR set = 0;
  return SendMessageTimeoutW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(remote.at(0)), SMTO_BLOCK,
                             5000, &set) &&
         set != 0;
}

bool EditListItem(HWND list, int item, const std::wstring& text) {
  HWND edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_EDITLABELW, item, 0));
  if (!edit) return false;
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  return WaitUntil([&] { return !IsWindow(edit); }, 3000);
}

namespace {

void SetListItemSelected(HWND list, int item, bool selected) {
  RemoteBuffer remote(list, sizeof(LVITEMW));
  if (!remote.valid()) return;
  LVITEMW request{};
  request.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  request.state = selected ? request.stateMask : 0;
  remote.Put(0, &request, sizeof request);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(remote.at(0)), SMTO_BLOCK, 5000, &ignored);
}

}  // namespace

void SelectListItem(HWND list, int item) { SetListItemSelected(list, item, true); }
void ClearListSelection(HWND list) { SetListItemSelected(list, -1, false); }

std::string Gbk(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  return bytes;
}

}  // namespace tl::e2e
