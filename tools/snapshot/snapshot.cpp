// Writes down what one build of the program shows and writes, so that two builds can be
// compared byte for byte (tools/compare_outputs.sh). It starts the given tallyleaf.exe in a
// fresh directory with fixed entry files, then records, as text:
// - every window it shows (main, about, details, reminders) as a tree: class, id, styles, place,
//   text as the control answers it, list rows, slider position, opacity, and a checksum of the
//   pixels of the main window;
// - the entry files after an edit in place and a deletion, and after 关闭程序.
// Nothing in it depends on the clock: no entry is added, so no creation time is written.
// Usage: snapshot.exe PROGRAM.exe OUTPUT.txt
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace tl::e2e {
namespace {

// Command ids of the menu items, in the forms' record order from 20000.
constexpr WPARAM kAboutCommand = 20001, kCloseProgramCommand = 20003, kDeleteEntryCommand = 20006,
                 kViewDetailsCommand = 20008, kShowRemindersCommand = 20010;

class Record {
 public:
  explicit Record(const wchar_t* path) : file_(_wfopen(path, L"wb")) {}
  ~Record() {
    if (file_) fclose(file_);
  }
  bool ok() const { return file_ != nullptr; }
  void Line(const std::string& text) { fprintf(file_, "%s\n", text.c_str()); }

 private:
  FILE* file_;
};

std::string Utf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  return bytes;
}

std::string Hex(uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, "%08X", value);
  return text;
}

// A file's bytes as the lines they hold, each line's bytes in hex, so that any change shows.
std::string FileBytes(const std::optional<std::string>& bytes) {
  if (!bytes) return "(no file)";
  std::string out;
  for (unsigned char c : *bytes) {
    char two[4];
    snprintf(two, sizeof two, "%02X", c);
    out += two;
    if (c == '\n') out += "\n    ";
  }
  return out;
}

std::string Place(HWND hwnd, bool topLevel) {
  RECT r{};
  if (topLevel) {
    GetWindowRect(hwnd, &r);
    r = {0, 0, r.right - r.left, r.bottom - r.top};
  } else {
    r = PlaceInParent(hwnd);
  }
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
         std::to_string(r.bottom - r.top);
}

// What a control of a few common classes holds beyond its text.
std::string Contents(HWND hwnd) {
  const std::wstring cls = ClassOf(hwnd);
  if (cls == WC_LISTVIEWW) {
    std::string rows;
    const int count = ListItemCount(hwnd);
    for (int i = 0; i < count; ++i) {
      rows += " [" + Utf8(ListItemText(hwnd, i, 0)) + " | " + Utf8(ListItemText(hwnd, i, 1)) + "]";
    }
    return " rows=" + std::to_string(count) + rows;
  }
  if (cls == TRACKBAR_CLASSW) {
    return " position=" + std::to_string(SendMessageW(hwnd, TBM_GETPOS, 0, 0)) + " range=" +
           std::to_string(SendMessageW(hwnd, TBM_GETRANGEMIN, 0, 0)) + ".." +
           std::to_string(SendMessageW(hwnd, TBM_GETRANGEMAX, 0, 0));
  }
  return "";
}

// The reminder window starts its time boxes at the present minute: a text of digits and date
// separators alone is the clock's, and is recorded as such.
std::wstring WithoutClock(const std::wstring& text) {
  if (text.empty() || text.find_first_not_of(L"0123456789/-") != std::wstring::npos) return text;
  return L"<clock>";
}

void Tree(Record& out, HWND hwnd, int depth) {
  const bool topLevel = depth == 0;
  std::string line(static_cast<size_t>(depth) * 2, ' ');
  line += Utf8(ClassOf(hwnd));
  // A top-level window's id is its menu's handle, which differs from run to run.
  if (!topLevel) line += " id=" + std::to_string(GetDlgCtrlID(hwnd));
  line += " style=" + Hex(static_cast<uint32_t>(GetWindowLongW(hwnd, GWL_STYLE))) +
          " ex=" + Hex(static_cast<uint32_t>(GetWindowLongW(hwnd, GWL_EXSTYLE))) + " " + Place(hwnd, topLevel) +
          " text=\"" + Utf8(topLevel ? WindowTitle(hwnd) : WithoutClock(ControlText(hwnd))) + "\"" + Contents(hwnd);
  if (topLevel) {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags)) line += " alpha=" + std::to_string(alpha);
  }
  out.Line(line);
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) Tree(out, child, depth + 1);
}

// FNV-1a over the pixels the window shows on the screen.
uint32_t PixelChecksum(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  uint32_t hash = 2166136261u;
  const auto* bytes = static_cast<const uint8_t*>(bits);
  for (size_t i = 0; bits && i < static_cast<size_t>(width) * height * 4; ++i) hash = (hash ^ bytes[i]) * 16777619u;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return hash;
}

// The process's visible top-level windows other than the main window, once one shows.
std::vector<HWND> OtherWindows(const RunningProgram& program, HWND main) {
  std::vector<HWND> others;
  WaitUntil([&] {
    others.clear();
    for (HWND hwnd : program.VisibleTopLevelWindows()) {
      if (hwnd != main) others.push_back(hwnd);
    }
    return !others.empty();
  });
  return others;
}

// Chooses a menu command, records the windows it opens, then closes them.
void RecordOpened(Record& out, const RunningProgram& program, HWND main, const char* what, WPARAM command) {
  out.Line(std::string("== ") + what);
  PostMessageW(main, WM_COMMAND, command, 0);
  for (HWND hwnd : OtherWindows(program, main)) {
    Pump(300);
    Tree(out, hwnd, 0);
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
  }
  WaitUntil([&] { return program.VisibleTopLevelWindows().size() == 1; });
}

void RecordFiles(Record& out, const ProgramDirectory& directory, const char* when) {
  out.Line(std::string("== files ") + when);
  for (const std::wstring& name : directory.Names()) {
    out.Line(Utf8(name) + ":\n    " + FileBytes(directory.Read(name)));
  }
}

bool Snapshot(const wchar_t* exe, Record& out) {
  ProgramDirectory directory;
  if (!CopyFileW(exe, directory.File(L"tallyleaf.exe").c_str(), FALSE)) return false;
  directory.Write(L"bugaun.txt", Gbk(L"买牛奶\r\n写周报，周五前\r\n给妈妈打电话\r\nreview PR 42\r\n"));
  directory.Write(L"jilusjian.txt", Gbk(L"2026-12-01 09:15\r\n2026-12-02 10:30\r\n2026-12-03 18:00\r\n2026-12-04 08:05\r\n"));
  RunningProgram program(directory);
  HWND main = program.MainWindow();
  if (!main) return false;
  HWND list = FindChild(main, WC_LISTVIEWW);
  WaitUntil([&] { return ListItemCount(list) == 4; });

  // The window expanded under a pointer resting on its title, the way a person sees it.
  RECT r{};
  GetWindowRect(main, &r);
  MoveMouse({(r.left + r.right) / 2, r.top + 10});
  WaitUntil([&] {
    GetWindowRect(main, &r);
    return r.bottom - r.top > 100;
  });
  Pump(500);
  out.Line("== main window");
  Tree(out, main, 0);
  out.Line("pixels=" + Hex(PixelChecksum(main)));

  RecordOpened(out, program, main, "about window", kAboutCommand);
  RecordOpened(out, program, main, "details window", kViewDetailsCommand);
  SelectListItem(list, 0);
  RecordOpened(out, program, main, "reminder window", kShowRemindersCommand);

  const std::string before = directory.Read(L"bugaun.txt").value_or("");
  EditListItem(list, 1, L"写周报，周四前");
  SelectListItem(list, 2);
  PostMessageW(main, WM_COMMAND, kDeleteEntryCommand, 0);
  WaitUntil([&] { return ListItemCount(list) == 3; });
  WaitUntil([&] { return directory.Read(L"bugaun.txt").value_or("") != before; });
  Pump(1000);
  RecordFiles(out, directory, "after an edit and a deletion");

  PostMessageW(main, WM_COMMAND, kCloseProgramCommand, 0);
  out.Line("== exit code " + std::to_string(program.WaitForExit()));
  RecordFiles(out, directory, "after the end");
  return true;
}

}  // namespace
}  // namespace tl::e2e

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: snapshot PROGRAM.exe OUTPUT.txt\n");
    return 2;
  }
  tl::e2e::Record out(argv[2]);
  if (!out.ok() || !tl::e2e::Snapshot(argv[1], out)) {
    fprintf(stderr, "snapshot: the program did not start or the output could not be written\n");
    return 1;
  }
  return 0;
}
