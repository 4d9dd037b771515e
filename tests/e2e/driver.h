// Drives the real program from outside: starts tallyleaf.exe from a fresh directory and finds,
// reads and operates its windows, the way a person's input would.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tl::e2e {

// A fresh directory holding a copy of the program; removed with everything in it at the end.
class ProgramDirectory {
 public:
  ProgramDirectory();
  ~ProgramDirectory();
  ProgramDirectory(const ProgramDirectory&) = delete;
  ProgramDirectory& operator=(const ProgramDirectory&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
  void Write(const std::wstring& name, std::string_view bytes) const;
  // The file's bytes, or nothing when it does not exist.
  std::optional<std::string> Read(const std::wstring& name) const;
  bool Exists(const std::wstring& name) const { return Read(name).has_value(); }
  void Remove(const std::wstring& name) const;
  // The names of the files in the directory, the program itself and its lock file left out.
  std::vector<std::wstring> Names() const;

 private:
  std::wstring path_;
};

class RunningProgram {
 public:
  RunningProgram();  // in a fresh directory of its own
  explicit RunningProgram(const ProgramDirectory& directory);
  // The program of a directory started through another path that leads there (a link, a short
  // name, another drive letter), given with no trailing backslash.
  explicit RunningProgram(const std::wstring& directoryPath);
  // Another program of the directory (for comparisons), by its file name.
  RunningProgram(const ProgramDirectory& directory, const std::wstring& exeName);
  ~RunningProgram();  // ends it if it is still running (and removes its own directory)
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  const std::wstring& directory() const { return directory_; }
  DWORD processId() const { return process_.dwProcessId; }
  HANDLE process() const { return process_.hProcess; }
  // The visible top-level window of this process with this (UTF-16) title, waiting up to timeoutMs.
  // Looks every pollMs; a benchmark timing the start looks every millisecond.
  HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs = 10000, DWORD pollMs = 20) const;
  HWND MainWindow(DWORD timeoutMs = 10000) const { return WaitForWindow(L"Tallyleaf", timeoutMs); }
  std::vector<HWND> VisibleTopLevelWindows() const;
  // Every top-level window of this process, hidden ones included.
  std::vector<HWND> TopLevelWindows() const;
  // The message boxes (#32770) of this process that show now.
  std::vector<HWND> MessageBoxes() const;
  // A message box (#32770) of this process once one shows, or null after the timeout.
  HWND WaitForMessageBox(DWORD timeoutMs = 10000) const;
  // Waits for the process to end; returns its exit code, or STILL_ACTIVE after the timeout.
  DWORD WaitForExit(DWORD timeoutMs = 10000) const;
  void Kill();

 private:
  void Start(const std::wstring& directory, const std::wstring& exeName = L"tallyleaf.exe");

  std::optional<ProgramDirectory> ownDirectory_;
  std::wstring directory_;
  PROCESS_INFORMATION process_{};
};

std::wstring WindowTitle(HWND hwnd);
// A control's text as the control itself answers it (an edit box's content, for one); the
// caption GetWindowText gives for another process's control is not that.
std::wstring ControlText(HWND hwnd);
std::wstring ClassOf(HWND hwnd);
// The first child (at any depth) of that class whose text is given, or any text when empty.
HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& text = L"");
// A child's rectangle in its parent's client area.
RECT PlaceInParent(HWND child);

// Waits until the condition holds, looking every 20 ms and handling this thread's messages
// meanwhile; answers whether it did.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000, DWORD pollMs = 20);
// Handles this thread's messages (its own test windows, hooks) for the given time.
void Pump(DWORD ms);

// Whether the window lies above the other in the desktop's stacking order.
bool Above(HWND upper, HWND lower);

// A window's centre, or a rectangle's, in the same coordinates.
POINT CentreOf(const RECT& rect);
POINT CentreOf(HWND hwnd);  // on the screen
// The first visible top-level window of the process of this class, or null.
HWND VisibleWindowOfClass(const RunningProgram& program, const std::wstring& className);

// Input goes through the desktop's input queue like a person's, tagged with this value so a
// test can tell the driver's input from input that some program synthesized.
inline constexpr ULONG_PTR kDriverInputTag = 0x7E57D21F;
void MoveMouse(POINT at);
// One click; clicks are spaced so that two never make a double click.
void LeftClick(POINT at);
void RightClick(POINT at);
void MouseButton(DWORD flags);  // a button going down or up where the pointer is
void PressKey(WORD virtualKey);
// Keys held down together in the given order (Shift+F10 is {VK_SHIFT, VK_F10}), released in reverse.
void PressKeys(std::initializer_list<WORD> chord);
// Characters typed as Unicode key events, the way an input method delivers them.
void TypeText(const std::wstring& text);

// The text of a message box, and answering it with one of its buttons (IDOK, IDYES, ...).
std::wstring MessageBoxText(HWND box);
void AnswerMessageBox(HWND box, int buttonId);

// Another process's list view, read and edited as the control's own messages allow.
int ListItemCount(HWND list);
std::wstring ListItemText(HWND list, int item, int column = 0);
std::vector<std::wstring> ListColumn(HWND list, int column = 0);
// Sends a message whose lParam points at a rectangle the window fills (LVM_GETITEMRECT,
// TBM_GETTHUMBRECT, ...); the rectangle starts as `in`. Answers what the window wrote.
RECT AskRect(HWND window, UINT message, WPARAM wParam, RECT in = {});
// Sets a date and time picker's value, as choosing it in the picker would (no change
// notification is sent: the program reads the picker when it needs the value).
bool SetDatePickerValue(HWND picker, const SYSTEMTIME& value);

// Edits the item's title in place the way a person would: the edit box opens on the item,
// receives the text, and Enter ends the editing.
bool EditListItem(HWND list, int item, const std::wstring& text);
// Makes the item the list's only selected one, as a click on it would.
void SelectListItem(HWND list, int item);
// Leaves no item of the list selected, as a click below its items would.
void ClearListSelection(HWND list);

// GBK bytes of a UTF-16 text, for comparing with the program's files.
std::string Gbk(const std::wstring& text);

}  // namespace tl::e2e
