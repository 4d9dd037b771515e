// The yardstick for the program's speed: Tallyleaf's main window written by hand in plain Win32,
// with no runtime and no form image. It creates the same window (caption, topmost, off the
// taskbar, layered at opacity 200, black, 250 x 412 where a centred 284 x 440 would start) and
// the same units at the same places, fills an owner-data list from the same GBK files beside
// the exe, and runs the same two 1 ms timers: the shrink tick reads the pointer and the window
// rectangle once each, the save tick reads a change count and looks once at each file's
// attributes, and writes nothing while nothing changed. Whatever Tallyleaf spends beyond this
// program is the cost of its own layers.
// Thirteen units as in the program: eleven windows and two timers. The program's timer units and
// its balloon tip each own a hidden child window; here the timers belong to the main window and
// the balloon is the system's tooltip control, as in any hand-written program.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

// The window is laid out at 284 x 440, centred on the screen at that size, and starts 250 wide.
constexpr int kLayoutWidth = 284, kLayoutHeight = 440;
constexpr int kWidth = 250, kExpandedHeight = 412, kCollapsedHeight = 39;
constexpr BYTE kOpacity = 200;
constexpr UINT kShrinkTimer = 1, kSaveTimer = 2;
constexpr UINT kGbk = 936;
constexpr const wchar_t* kEntryFile = L"bugaun.txt";
constexpr const wchar_t* kTimeFile = L"jilusjian.txt";

enum ChildId : int {
  kSliderId = 101, kPinId, kPortalId, kCalculatorId, kNotepadId, kHiddenButtonId, kAddId,
  kInputDeviceId, kTitleId, kListId,
};

// One column of the list as read from one file, with the file's stamp when it was last read or
// written.
struct Column {
  const wchar_t* file;
  std::vector<std::wstring> lines;
  WIN32_FILE_ATTRIBUTE_DATA stamp{};
  bool stamped = false;
};

Column g_entries{kEntryFile, {}, {}, false};
Column g_times{kTimeFile, {}, {}, false};
unsigned g_changeCount = 0, g_savedCount = 0;
HWND g_window, g_list, g_tip;
HFONT g_titleFont, g_listFont, g_buttonFont;
HBRUSH g_black;

bool LookAt(const wchar_t* file, WIN32_FILE_ATTRIBUTE_DATA* stamp) {
  return GetFileAttributesExW(file, GetFileExInfoStandard, stamp) != 0;
}

bool SameStamp(const WIN32_FILE_ATTRIBUTE_DATA& a, const WIN32_FILE_ATTRIBUTE_DATA& b) {
  return CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0 && a.nFileSizeLow == b.nFileSizeLow &&
         a.nFileSizeHigh == b.nFileSizeHigh;
}

std::string ReadBytes(const wchar_t* file) {
  std::string bytes;
  HANDLE h = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(h, &size) && size.QuadPart > 0 && size.QuadPart < 0x40000000) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
    bytes.resize(read);
  }
  CloseHandle(h);
  return bytes;
}

// The file in code page 936, one line per row, split at CR LF; a last line without one counts.
void Load(Column& column) {
  column.lines.clear();
  column.stamped = LookAt(column.file, &column.stamp);
  const std::string bytes = ReadBytes(column.file);
  std::wstring text(bytes.size(), L'\0');
  const int n = bytes.empty() ? 0
                              : MultiByteToWideChar(kGbk, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                                    static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(n));
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) {
      column.lines.push_back(text.substr(start));
      break;
    }
    column.lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
}

bool Save(Column& column, size_t rows) {
  std::wstring text;
  for (size_t i = 0; i < rows; ++i) {
    if (i < column.lines.size()) text += column.lines[i];
    text += L"\r\n";
  }
  std::string bytes;
  if (!text.empty()) {
    const int n =
        WideCharToMultiByte(kGbk, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    bytes.resize(static_cast<size_t>(n));
    WideCharToMultiByte(kGbk, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  }
  HANDLE h = CreateFileW(column.file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(h);
  column.stamped = LookAt(column.file, &column.stamp);
  return ok;
}

void ShowRowCount() {
  SendMessageW(g_list, LVM_SETITEMCOUNT, g_entries.lines.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  InvalidateRect(g_list, nullptr, FALSE);
}

// Auto-shrink: expanded while the pointer is over the window (its right and bottom edges
// included), a strip of the title row otherwise.
void ShrinkTick() {
  POINT pointer;
  RECT window;
  GetCursorPos(&pointer);
  GetWindowRect(g_window, &window);
  const bool over = pointer.x >= window.left && pointer.x <= window.right && pointer.y >= window.top &&
                    pointer.y <= window.bottom;
  const int height = over ? kExpandedHeight : kCollapsedHeight;
  if (window.bottom - window.top != height) {
    SetWindowPos(g_window, nullptr, 0, 0, window.right - window.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// Writes both files when the list changed since the last save; a file changed by someone else
// while the list did not is read again.
void SaveTick() {
  WIN32_FILE_ATTRIBUTE_DATA entries{}, times{};
  const bool entriesThere = LookAt(kEntryFile, &entries);
  const bool timesThere = LookAt(kTimeFile, &times);
  if (g_changeCount != g_savedCount) {
    const size_t rows = g_entries.lines.size();
    if (Save(g_entries, rows) && Save(g_times, rows)) g_savedCount = g_changeCount;
    return;
  }
  bool reread = false;
  for (auto [column, there, now] :
       {std::tuple{&g_entries, entriesThere, &entries}, std::tuple{&g_times, timesThere, &times}}) {
    if (there != column->stamped || (there && !SameStamp(*now, column->stamp))) {
      Load(*column);
      reread = true;
    }
  }
  if (reread) ShowRowCount();
}

void AddEntry() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t time[64];
  wsprintfW(time, L"%d年%d月%d日%d时%d分", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute);
  g_times.lines.resize(g_entries.lines.size());
  g_entries.lines.push_back(L"新事件");
  g_times.lines.push_back(time);
  ++g_changeCount;
  ShowRowCount();
}

HWND Child(DWORD exStyle, const wchar_t* type, const wchar_t* text, DWORD style, int id, int x, int y, int w, int h) {
  return CreateWindowExW(exStyle, type, text, WS_CHILD | WS_CLIPSIBLINGS | style, x, y, w, h, g_window,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

HFONT Font(int height) {
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"");
}

// The units front to back, laid out for the start width of 250 as the program lays them out.
void CreateUnits() {
  RECT client;
  GetClientRect(g_window, &client);
  const int listWidth = kWidth;
  const int buttonWidth = static_cast<int>(listWidth / 3.2);

  HWND slider = Child(0, TRACKBAR_CLASSW, L"", WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS, kSliderId, 0, 2, 240, 24);
  SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(50, 255));
  SendMessageW(slider, TBM_SETPOS, TRUE, 50);

  const struct {
    int id;
    const wchar_t* caption;
    int x, y, w, h;
  } buttons[] = {
      {kPinId, L"固定", client.right - 32 - 4, 8, 32, 16},
      {kPortalId, L"百度网", static_cast<int>(listWidth / 3.1), 29, buttonWidth, 24},
      {kCalculatorId, L"计算机\r\n", 5, 29, buttonWidth, 24},
      {kNotepadId, L"记事本\r\n", static_cast<int>(listWidth / 1.58), 29, buttonWidth, 24},
      {kHiddenButtonId, L"", 278, 340, 1, 1},
      {kAddId, L"点击此处添加事件", 0, 347, listWidth, 24},
  };
  for (const auto& b : buttons) {
    HWND button = Child(0, L"BUTTON", b.caption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, b.id, b.x,
                        b.y, b.w, b.h);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(g_buttonFont), FALSE);
  }

  Child(0, L"STATIC", L"", WS_DISABLED, kInputDeviceId, 392, 96, 56, 48);
  HWND title = Child(0, L"STATIC", L"Tallyleaf", WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY, kTitleId, 0, 0,
                     listWidth, 28);
  SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(g_titleFont), FALSE);

  g_list = Child(0, WC_LISTVIEWW, L"",
                 WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_OWNERDATA | LVS_REPORT |
                     LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER | LVS_SHOWSELALWAYS | LVS_EDITLABELS,
                 kListId, 0, 56, listWidth, 312);
  SendMessageW(g_list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_INFOTIP | LVS_EX_SUBITEMIMAGES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP |
                   LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE);
  SendMessageW(g_list, LVM_SETTEXTCOLOR, 0, RGB(255, 255, 255));
  SendMessageW(g_list, LVM_SETTEXTBKCOLOR, 0, RGB(0, 0, 0));
  SendMessageW(g_list, LVM_SETBKCOLOR, 0, RGB(0, 0, 0));
  SendMessageW(g_list, WM_SETFONT, reinterpret_cast<WPARAM>(g_listFont), FALSE);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH | LVCF_TEXT;
  column.cx = listWidth;
  column.pszText = const_cast<wchar_t*>(L"0");
  SendMessageW(g_list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  column.cx = 50;
  column.pszText = const_cast<wchar_t*>(L"1");
  SendMessageW(g_list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

  // The balloon tip shows the text of the row under the pointer.
  g_tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_NOPREFIX | TTS_BALLOON | TTS_ALWAYSTIP,
                          0, 0, 0, 0, g_window, nullptr, GetModuleHandleW(nullptr), nullptr);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = g_window;
  tool.uId = reinterpret_cast<UINT_PTR>(g_list);
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(g_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(g_tip, TTM_SETTIPTEXTCOLOR, RGB(0, 0, 0), 0);
}

LRESULT Notify(NMHDR* header) {
  if (header->hwndFrom == g_list && header->code == LVN_GETDISPINFOW) {
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
    if (item.mask & LVIF_TEXT) {
      const std::vector<std::wstring>& lines = item.iSubItem == 0 ? g_entries.lines : g_times.lines;
      static wchar_t empty[] = L"";
      item.pszText = item.iItem >= 0 && static_cast<size_t>(item.iItem) < lines.size()
                         ? const_cast<wchar_t*>(lines[static_cast<size_t>(item.iItem)].c_str())
                         : empty;
    }
  } else if (header->hwndFrom == g_tip && header->code == TTN_GETDISPINFOW) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    const int hot = static_cast<int>(SendMessageW(g_list, LVM_GETHOTITEM, 0, 0));
    info->lpszText = hot >= 0 && static_cast<size_t>(hot) < g_entries.lines.size()
                         ? const_cast<wchar_t*>(g_entries.lines[static_cast<size_t>(hot)].c_str())
                         : const_cast<wchar_t*>(L"");
  }
  return 0;
}

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kShrinkTimer) ShrinkTick();
      if (wParam == kSaveTimer) SaveTick();
      return 0;
    case WM_NOTIFY:
      return Notify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
      if (LOWORD(wParam) == kAddId && HIWORD(wParam) == BN_CLICKED) AddEntry();
      return 0;
    case WM_CTLCOLORSTATIC:
      SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
      SetBkColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(g_black);
    case WM_CLOSE:
      SaveTick();
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  // The files are read beside the exe, whatever the working directory.
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring directory(path, length);
  directory.resize(directory.find_last_of(L'\\') + 1);
  SetCurrentDirectoryW(directory.c_str());

  g_black = CreateSolidBrush(RGB(0, 0, 0));
  g_titleFont = Font(-13);
  g_listFont = Font(-16);
  g_buttonFont = Font(-12);
  WNDCLASSW type{};
  type.lpfnWndProc = Procedure;
  type.hInstance = instance;
  type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  type.hbrBackground = g_black;
  type.lpszClassName = L"TallyleafByHand";
  RegisterClassW(&type);
  g_window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED, L"TallyleafByHand", L"Tallyleaf",
                             WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
                             (GetSystemMetrics(SM_CXSCREEN) - kLayoutWidth) / 2,
                             (GetSystemMetrics(SM_CYSCREEN) - kLayoutHeight) / 2, kWidth, kExpandedHeight,
                             nullptr, nullptr, instance, nullptr);
  SetLayeredWindowAttributes(g_window, 0, kOpacity, LWA_ALPHA);
  CreateUnits();

  // The first save tick must find the list filled.
  Load(g_entries);
  Load(g_times);
  ShowRowCount();
  SetTimer(g_window, kShrinkTimer, 1, nullptr);
  SetTimer(g_window, kSaveTimer, 1, nullptr);
  ShowWindow(g_window, SW_SHOW);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(g_window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  OleUninitialize();
  return 0;
}
