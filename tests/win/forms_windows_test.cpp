// The four windows of the built-in form image, loaded through the runtime with the program's
// own header and libraries, checked against their design: frames, sizes and centring, captions,
// controls with their texts and native styles, the main window's hidden menus, the about box's
// picture and the Esc key. The application's handlers are not involved: each window is loaded
// directly, so what shows is the definition alone.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/program.h"
#include "forms/ids.h"
#include "runtime/dispatch.h"
#include "runtime/loader.h"
#include "runtime/memory.h"
#include "runtime/property_services.h"
#include "runtime/runtime_state.h"
#include "runtime/unit.h"
#include "runtime/value.h"
#include "runtime/window_map.h"
#include "runtime/window_unit.h"
#include "tests/win/control_host.h"
#include "tests/win/pointer_input.h"
#include "tests/win/program_fixture.h"

namespace tl {
namespace {

using namespace tl::test;

// A control's place in its parent's client area.
RECT PlaceOf(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

struct Column {
  std::wstring title;
  int width;
};

std::vector<Column> ColumnsOf(HWND list) {
  std::vector<Column> columns;
  for (int i = 0;; ++i) {
    wchar_t title[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = 64;
    if (!SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column))) break;
    columns.push_back({title, column.cx});
  }
  return columns;
}

void ExpectColumns(HWND list, const std::vector<Column>& expected) {
  const std::vector<Column> columns = ColumnsOf(list);
  ASSERT_EQ(columns.size(), expected.size());
  for (size_t i = 0; i < columns.size(); ++i) {
    EXPECT_EQ(columns[i].title, expected[i].title) << i;
    EXPECT_EQ(columns[i].width, expected[i].width) << i;
  }
}

// What tells the forms' list views apart; every one is a single-selection report with full-row
// selection and grid lines.
struct ListLooks {
  bool header, sunkenBorder, columnDrag, hotTracking;
};

void ExpectReportList(HWND list, ListLooks looks) {
  const LONG style = GetWindowLongW(list, GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_EQ(!(style & LVS_NOCOLUMNHEADER), looks.header) << "the header shows";
  EXPECT_TRUE(style & LVS_SINGLESEL);
  EXPECT_EQ(!!(GetWindowLongW(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE), looks.sunkenBorder) << "sunken border";
  const DWORD ex = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(ex & LVS_EX_GRIDLINES);
  EXPECT_EQ(!!(ex & LVS_EX_HEADERDRAGDROP), looks.columnDrag);
  EXPECT_EQ(!!(ex & LVS_EX_TRACKSELECT), looks.hotTracking) << "hot tracking";
}

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t buffer[64];
  int length = GetMenuStringW(menu, position, buffer, 64, MF_BYPOSITION);
  return std::wstring(buffer, length > 0 ? length : 0);
}

// Runs the runtime's own pre-processing (accelerators, the window's keys) on what is queued,
// as the message loop does for real input.
void PumpThroughRuntime(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    ProcessQueuedMessages();
    Sleep(10);
  } while (GetTickCount() - start < milliseconds);
}

// Input goes to the foreground window: other test programs may take it for a moment, so ask
// until this window has it.
bool TakeForeground(HWND hwnd) {
  for (int attempt = 0; attempt < 40; ++attempt) {
    SetForegroundWindow(hwnd);
    PumpThroughRuntime(25);
    if (GetForegroundWindow() == hwnd) return true;
  }
  return false;
}

uint32_t ReadInteger(uint32_t window, uint32_t unit, int32_t property) {
  return static_cast<uint32_t>(ReadUnitProperty(window, unit, property, 0));
}

// The colour a transparent PNG pixel shows over the background, blended as straight alpha.
COLORREF Blend(const uint8_t* rgba, COLORREF background) {
  auto mix = [&](int front, int back) { return (front * rgba[3] + back * (255 - rgba[3]) + 127) / 255; };
  return RGB(mix(rgba[0], GetRValue(background)), mix(rgba[1], GetGValue(background)),
             mix(rgba[2], GetBValue(background)));
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A colour no window of the program paints: what still shows it was not drawn.
constexpr COLORREF kUnpainted = RGB(255, 0, 255);

// The client area's pixels as the window paints its background, top-down, as COLORREF values.
// Printed rather than read from the screen, so that other test programs' windows cannot cover
// them; the platform prints the window itself without its children.
std::vector<COLORREF> ClientPixels(HWND hwnd, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC window = GetDC(hwnd);
  HDC memory = CreateCompatibleDC(window);
  HBITMAP bitmap = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, width, height};
  HBRUSH sentinel = CreateSolidBrush(kUnpainted);
  FillRect(memory, &all, sentinel);
  DeleteObject(sentinel);
  PrintWindow(hwnd, memory, PW_CLIENTONLY);
  GdiFlush();
  std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
  const auto* bgrx = static_cast<const uint8_t*>(bits);
  for (size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = RGB(bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(hwnd, window);
  return pixels;
}

class FormWindowsTest : public ProgramTest {
 protected:
  static HWND Load(uint32_t windowId, bool modal = false) {
    WindowDefinition* definition = FindWindowDefinition(windowId);
    if (!definition || LoadWindowFromDefinition(*definition, modal, nullptr) != 1) return nullptr;
    WindowUnit* window = LoadedWindow(*definition);
    if (!window) return nullptr;
    UpdateWindow(window->hwnd());
    return window->hwnd();
  }

  // Outer size as designed, placed in the middle of the primary screen.
  static void ExpectCentred(HWND hwnd, int width, int height) {
    RECT r;
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.bottom - r.top, height);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  }

  // Owned by the runtime's hidden owner and not forced onto the taskbar: no taskbar button.
  static void ExpectNoTaskbarButton(HWND hwnd) {
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), Runtime().hiddenOwner);
    EXPECT_NE(Runtime().hiddenOwner, nullptr);
    EXPECT_FALSE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  }

  // What every form's window shows of itself: its caption text, its outer size centred on the
  // screen, no taskbar button, its frame and boxes (never a maximize box) and its stacking.
  struct Frame {
    std::wstring caption;
    int width, height;
    bool sizable, minimizeBox, topmost;
  };
  static void ExpectFrame(HWND hwnd, const Frame& frame) {
    EXPECT_EQ(TextOf(hwnd), frame.caption);
    ExpectCentred(hwnd, frame.width, frame.height);
    ExpectNoTaskbarButton(hwnd);
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_EQ(!!(style & WS_THICKFRAME), frame.sizable) << "sizable frame";
    EXPECT_EQ(!!(style & WS_MINIMIZEBOX), frame.minimizeBox);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_EQ(!!(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST), frame.topmost);
  }

  static void ExpectPlace(HWND control, int left, int top, int width, int height) {
    ASSERT_NE(control, nullptr);
    RECT r = PlaceOf(control);
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.bottom - r.top, height);
  }
};

// ---- MainWindow -------------------------------------------------------------------------------

TEST_F(FormWindowsTest, MainWindowIsABlackTopmostNoteWindowCentredWithoutTaskbarButton) {
  HWND main = Load(ids::MainWindow.window);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(IsWindowVisible(main));
  ExpectFrame(main, {.caption = L"Tallyleaf", .width = 284, .height = 440,
                     .sizable = true, .minimizeBox = false, .topmost = true});
  const LONG style = GetWindowLongW(main, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_EQ(ReadInteger(ids::MainWindow.window, 0, 27), 1u) << "dragging the body moves it";
  EXPECT_EQ(ReadInteger(ids::MainWindow.window, 0, 18), 0u) << "centred, neither minimized nor maximized";

  // The gap between the calculator and portal buttons, and the strip under the add button,
  // show the window's own background.
  RECT client;
  GetClientRect(main, &client);
  ASSERT_GT(client.bottom, 375);
  std::vector<COLORREF> pixels = ClientPixels(main, client.right, client.bottom);
  EXPECT_EQ(pixels[40 * client.right + 90], RGB(0, 0, 0));
  EXPECT_EQ(pixels[(client.bottom - 2) * client.right + 140], RGB(0, 0, 0));
}

TEST_F(FormWindowsTest, MainWindowControlsCarryTheirCaptionsAndPlaces) {
  HWND main = Load(ids::MainWindow.window);
  ASSERT_NE(main, nullptr);
  struct Expected {
    uint32_t unit;
    const wchar_t* className;
    const wchar_t* caption;
    RECT place;  // left, top, width, height
    int childId;
  };
  const Expected controls[] = {
      {ids::TitleLabel.unit, L"_RT_Label", L"Tallyleaf", {0, 0, 250, 28}, 110},
      {ids::PinButton.unit, L"Button", L"固定", {206, 8, 32, 16}, 200},
      {ids::PortalButton.unit, L"Button", L"百度网", {80, 29, 78, 24}, 190},
      {ids::CalculatorButton.unit, L"Button", L"计算机\r\n", {5, 29, 78, 24}, 180},
      {ids::NotepadButton.unit, L"Button", L"记事本\r\n", {158, 29, 78, 24}, 170},
      {ids::AddEntryButton.unit, L"Button", L"点击此处添加事件", {0, 347, 250, 24}, 130},
      {ids::HiddenButton.unit, L"Button", L"按钮", {278, 340, 1, 1}, 150},
      {ids::EntryList.unit, L"SysListView32", L"", {0, 56, 250, 312}, 100},
  };
  for (const Expected& e : controls) {
    SCOPED_TRACE(testing::Message() << std::hex << e.unit);
    HWND control = UnitHandle(ids::MainWindow.window, e.unit);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), main);
    EXPECT_TRUE(IsWindowVisible(control));
    EXPECT_EQ(ClassOf(control), e.className);
    EXPECT_EQ(TextOf(control), e.caption);
    EXPECT_EQ(GetDlgCtrlID(control), e.childId) << "numbered from the last record up";
    ExpectPlace(control, e.place.left, e.place.top, e.place.right, e.place.bottom);
  }

  // The pointer over the calculator button is the "no" cursor, over the title the size-all one.
  for (auto [unit, cursor] : {std::pair{ids::CalculatorButton.unit, IDC_NO}, std::pair{ids::TitleLabel.unit, IDC_SIZEALL},
                              std::pair{ids::PortalButton.unit, IDC_ARROW}}) {
    SetCursor(nullptr);
    SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(UnitHandle(ids::MainWindow.window, unit)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, cursor)) << std::hex << unit;
  }

  EXPECT_EQ(ReadInteger(ids::MainWindow.window, ids::TitleLabel.unit, 24), 1u) << "the title is centred";

  HWND slider = UnitHandle(ids::MainWindow.window, ids::TransparencySlider.unit);
  ASSERT_NE(slider, nullptr);
  EXPECT_FALSE(IsWindowVisible(slider)) << "hidden until 透明度 shows it";
  EXPECT_EQ(GetDlgCtrlID(slider), 220) << "thirteen controls: the last created gets 100 + 12 * 10";
  EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), 50);
  EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0), 255);
  EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 50);

  // The units without visible presence exist but show nothing.
  for (uint32_t unit : {ids::SaveTimer.unit, ids::ShrinkTimer.unit, ids::TipBalloon.unit, ids::InputDeviceUnit.unit}) {
    ASSERT_NE(FindUnitObject(ids::MainWindow.window, unit), nullptr) << std::hex << unit;
    HWND hwnd = UnitHandle(ids::MainWindow.window, unit);
    EXPECT_TRUE(!hwnd || !IsWindowVisible(hwnd)) << std::hex << unit;
  }

  // Record order is front-to-back among the window's children.
  const uint32_t frontToBack[] = {ids::TransparencySlider.unit, ids::PinButton.unit,     ids::PortalButton.unit,
                                  ids::CalculatorButton.unit,   ids::NotepadButton.unit, ids::HiddenButton.unit,
                                  ids::AddEntryButton.unit,     ids::TitleLabel.unit,    ids::EntryList.unit};
  std::vector<HWND> expected, seen;
  for (uint32_t unit : frontToBack) expected.push_back(UnitHandle(ids::MainWindow.window, unit));
  for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (std::find(expected.begin(), expected.end(), child) != expected.end()) seen.push_back(child);
  }
  EXPECT_EQ(seen, expected);
}

TEST_F(FormWindowsTest, EntryListIsAWhiteOnBlackReportWithoutHeader) {
  ASSERT_NE(Load(ids::MainWindow.window), nullptr);
  HWND list = UnitHandle(ids::MainWindow.window, ids::EntryList.unit);
  ASSERT_NE(list, nullptr);
  ExpectReportList(list, {.header = false, .sunkenBorder = false, .columnDrag = true, .hotTracking = true});
  EXPECT_EQ(SendMessageW(list, LVM_GETBKCOLOR, 0, 0), 0x000000);
  EXPECT_EQ(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0), 0xFFFFFF);
  EXPECT_EQ(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0), 0x000000);
  ExpectColumns(list, {{L"0", 250}, {L"1", 50}});
  EXPECT_EQ(static_cast<int32_t>(ReadInteger(ids::MainWindow.window, ids::EntryList.unit, 35)), -1)
      << "nothing selected";
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -16);
  EXPECT_EQ(font.lfCharSet, GB2312_CHARSET);
}

TEST_F(FormWindowsTest, MainWindowMenuBarShowsNoTitlesYetBothMenusKeepTheirCommands) {
  HWND main = Load(ids::MainWindow.window);
  ASSERT_NE(main, nullptr);
  HMENU bar = GetMenu(main);
  ASSERT_NE(bar, nullptr) << "the window receives a menu bar";
  EXPECT_EQ(GetMenuItemCount(bar), 0) << "both titles are hidden";

  WindowDefinition* definition = FindWindowDefinition(ids::MainWindow.window);
  ASSERT_NE(definition, nullptr);
  auto popupOf = [&](uint32_t item) -> HMENU {
    auto index = definition->units.IndexOf(item);
    if (!index) return nullptr;
    return reinterpret_cast<HMENU>(static_cast<uintptr_t>(definition->units.MenuItem(*index).reserved[0]));
  };
  struct Item {
    UINT command;  // 0xFFFFFFFF: opens a submenu
    const wchar_t* caption;
  };
  auto expectItems = [](HMENU menu, std::initializer_list<Item> items) {
    ASSERT_TRUE(IsMenu(menu));
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(items.size()));
    UINT position = 0;
    for (const Item& item : items) {
      EXPECT_EQ(GetMenuItemID(menu, static_cast<int>(position)), item.command) << position;
      EXPECT_EQ(MenuText(menu, position), item.caption);
      EXPECT_FALSE(GetMenuState(menu, position, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED));
      ++position;
    }
  };

  HMENU settings = popupOf(ids::SettingsMenu.unit);
  expectItems(settings, {{20001, L"关于"}, {20002, L"透明度"}, {20003, L"关闭程序"}});

  HMENU list = popupOf(ids::ListMenu.unit);
  expectItems(list, {{20005, L"编辑事件"},
                     {20006, L"删除事件"},
                     {20007, L"插入事件"},
                     {20008, L"查看详细"},
                     {0xFFFFFFFF, L"提醒"}});
  HMENU reminders = GetSubMenu(list, 4);
  EXPECT_EQ(reminders, popupOf(ids::ReminderSubmenu)) << "the submenu's handle is kept in its record";
  expectItems(reminders, {{20010, L"提醒事件"}, {20011, L"添加提醒事件"}, {20012, L"删除提醒事件"}});

  // The two titles read back as invisible menu items; their contents as visible ones.
  EXPECT_EQ(ReadInteger(ids::MainWindow.window, ids::SettingsMenu.unit, 3), 0u);
  EXPECT_EQ(ReadInteger(ids::MainWindow.window, ids::ListMenu.unit, 3), 0u);
  EXPECT_EQ(ReadInteger(ids::MainWindow.window, ids::AboutItem, 3), 1u);
}

// ---- DetailsWindow ----------------------------------------------------------------------------

TEST_F(FormWindowsTest, DetailsWindowIsALargeCentredSizableListWithTwoTitledColumns) {
  HWND details = Load(ids::DetailsWindow.window);
  ASSERT_NE(details, nullptr);
  ExpectFrame(details, {.caption = L"", .width = 919, .height = 447,
                        .sizable = true, .minimizeBox = true, .topmost = false});
  EXPECT_EQ(GetWindowLongW(details, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "a caption bar without text";
  EXPECT_EQ(GetMenu(details), nullptr);

  HWND list = UnitHandle(ids::DetailsWindow.window, ids::DetailsList.unit);
  ExpectPlace(list, 8, 8, 904, 408);
  ExpectReportList(list, {.header = true, .sunkenBorder = true, .columnDrag = false, .hotTracking = false});
  EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & WS_TABSTOP);
  ExpectColumns(list, {{L"事件", 700}, {L"事件创建时间", 200}});
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  EXPECT_TRUE(IsWindowVisible(header));
}

// ---- AboutWindow ------------------------------------------------------------------------------

TEST_F(FormWindowsTest, AboutWindowIsAFixedTopmostBoxWithoutCloseItem) {
  HWND about = Load(ids::AboutWindow.window, true);
  ASSERT_NE(about, nullptr);
  ExpectFrame(about, {.caption = L"收银软件版本信息", .width = 393, .height = 114,
                      .sizable = false, .minimizeBox = false, .topmost = true});
  EXPECT_TRUE(GetWindowLongW(about, GWL_STYLE) & WS_SYSMENU);

  HMENU system = GetSystemMenu(about, FALSE);
  ASSERT_NE(system, nullptr);
  EXPECT_EQ(GetMenuState(system, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1))
      << "the system menu has no Close item";

  HICON icon = reinterpret_cast<HICON>(SendMessageW(about, WM_GETICON, ICON_BIG, 0));
  EXPECT_NE(icon, nullptr);
  EXPECT_NE(icon, Runtime().defaultBigIcon) << "the leaf icon of its own";

  HWND text = UnitHandle(ids::AboutWindow.window, ids::AboutText.unit);
  ExpectPlace(text, 96, 8, 288, 80);
  EXPECT_EQ(ClassOf(text), L"_RT_Label");
  const std::wstring caption = TextOf(text);
  EXPECT_NE(caption.find(L"0.0.1.6"), std::wstring::npos) << "names the version";
  EXPECT_EQ(std::count(caption.begin(), caption.end(), L'\n'), 4) << "five lines";
  EXPECT_EQ(ReadInteger(ids::AboutWindow.window, ids::AboutText.unit, 25), 1u) << "word wrap";
}

TEST_F(FormWindowsTest, AboutWindowDrawsItsPictureAtTheTopLeftAtItsOwnSize) {
  // The picture as the source tree holds it, and as the window's property 11 reads it back.
  std::vector<uint8_t> file;
  if (FILE* f = _wfopen(TL_ABOUT_PICTURE, L"rb")) {
    uint8_t buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) file.insert(file.end(), buffer, buffer + n);
    std::fclose(f);
  }
  ASSERT_FALSE(file.empty()) << "cannot read the about picture";
  HWND about = Load(ids::AboutWindow.window, true);
  ASSERT_NE(about, nullptr);
  void* stored = reinterpret_cast<void*>(static_cast<uintptr_t>(ReadInteger(ids::AboutWindow.window, 0, 11)));
  std::span<const uint8_t> storedBytes = ByteSetView(stored);
  EXPECT_TRUE(std::equal(storedBytes.begin(), storedBytes.end(), file.begin(), file.end()));
  Free(stored);
  EXPECT_EQ(ReadInteger(ids::AboutWindow.window, 0, 12), 0u) << "drawn once at the top-left";

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, file.data(), file.size()));
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr));
  const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
  EXPECT_EQ(width, 89);
  EXPECT_EQ(height, 81);

  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const int shotWidth = width + 4;
  std::vector<COLORREF> shown = ClientPixels(about, shotWidth, height + 4);
  int matching = 0, opaque = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* source = &rgba[4 * (static_cast<size_t>(y) * width + x)];
      opaque += source[3] == 255;
      matching += Near(shown[static_cast<size_t>(y) * shotWidth + x], Blend(source, face), 6);
    }
  }
  EXPECT_GT(opaque, 500) << "the picture has a visible leaf to compare";
  EXPECT_GE(matching, width * height * 99 / 100)
      << matching << " of " << width * height << " pixels match the picture";
  // Right of and below the picture the background colour shows.
  for (int y = 0; y < height; y += 10) {
    EXPECT_EQ(shown[static_cast<size_t>(y) * shotWidth + width + 2], face) << y;
  }
  for (int x = 0; x < width; x += 10) {
    EXPECT_EQ(shown[static_cast<size_t>(height + 2) * shotWidth + x], face) << x;
  }
}

// A click on the close box, as a person makes it: the point must hit the close box.
void ClickCloseBox(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  const int frame = (GetWindowLongW(hwnd, GWL_STYLE) & WS_THICKFRAME) ? GetSystemMetrics(SM_CXFRAME)
                                                                       : GetSystemMetrics(SM_CXDLGFRAME);
  POINT at{r.right - frame - GetSystemMetrics(SM_CXSIZE) / 2, r.top + frame + GetSystemMetrics(SM_CYCAPTION) / 2};
  ASSERT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)), HTCLOSE);
  SetCursorPos(at.x, at.y);
  for (int attempt = 0; attempt < 40 && WindowFromPoint(at) != hwnd; ++attempt) {
    TakeForeground(hwnd);
  }
  ASSERT_EQ(WindowFromPoint(at), hwnd) << "nothing covers the close box";
  ClickAtPointer();
  PumpThroughRuntime(300);
}

TEST_F(FormWindowsTest, AboutCloseBoxDoesNothingWhereTheDetailsAndReminderCloseBoxesClose) {
  const std::pair<uint32_t, bool> cases[] = {
      {ids::AboutWindow.window, false}, {ids::DetailsWindow.window, true}, {ids::ReminderWindow.window, true}};
  for (const auto& [window, closes] : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << window);
    HWND hwnd = Load(window, window == ids::AboutWindow.window);
    ASSERT_NE(hwnd, nullptr);
    ClickCloseBox(hwnd);
    EXPECT_EQ(IsWindow(hwnd) == FALSE, closes);
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
}

// ---- ReminderWindow ---------------------------------------------------------------------------

TEST_F(FormWindowsTest, ReminderWindowHasItsFieldsLabelsAndSixColumns) {
  HWND reminder = Load(ids::ReminderWindow.window);
  ASSERT_NE(reminder, nullptr);
  ExpectFrame(reminder, {.caption = L"", .width = 856, .height = 363,
                         .sizable = false, .minimizeBox = false, .topmost = false});
  EXPECT_EQ(GetWindowLongW(reminder, GWL_STYLE) & WS_CAPTION, WS_CAPTION);

  struct Expected {
    uint32_t unit;
    const wchar_t* className;
    const wchar_t* caption;
    RECT place;
  };
  const Expected controls[] = {
      {ids::ReminderList.unit, L"SysListView32", L"", {280, 8, 560, 312}},
      {ids::StagingBox.unit, L"Edit", L"", {232, 24, 40, 32}},
      {ids::ReminderTimeLabel.unit, L"_RT_Label", L"提醒时间：", {8, 88, 72, 40}},
      {ids::TimeColonLower.unit, L"_RT_TransLabel", L".", {120, 92, 16, 32}},
      {ids::TimeColonUpper.unit, L"_RT_TransLabel", L".", {120, 80, 16, 32}},
      {ids::ReminderMinuteBox.unit, L"Edit", L"", {132, 96, 40, 32}},
      {ids::ReminderHourBox.unit, L"Edit", L"", {80, 96, 40, 32}},
      {ids::ReminderDateLabel.unit, L"_RT_Label", L"提醒日期：", {8, 56, 72, 40}},
      {ids::ReminderCaption.unit, L"_RT_Label", L"", {8, 8, 264, 40}},
      {ids::ConfirmReminderButton.unit, L"Button", L"确认提醒", {184, 96, 88, 32}},
      {ids::ReminderDateBox.unit, L"SysDateTimePick32", nullptr, {80, 64, 192, 24}},
  };
  for (const Expected& e : controls) {
    SCOPED_TRACE(testing::Message() << std::hex << e.unit);
    HWND control = UnitHandle(ids::ReminderWindow.window, e.unit);
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(IsWindowVisible(control));
    EXPECT_EQ(ClassOf(control), e.className);
    if (e.caption) {
      EXPECT_EQ(TextOf(control), e.caption);
    }
    ExpectPlace(control, e.place.left, e.place.top, e.place.right, e.place.bottom);
  }
  ASSERT_NE(FindUnitObject(ids::ReminderWindow.window, ids::ReminderTimer.unit), nullptr);
  HWND timer = UnitHandle(ids::ReminderWindow.window, ids::ReminderTimer.unit);
  EXPECT_TRUE(!timer || !IsWindowVisible(timer));
  EXPECT_EQ(ReadInteger(ids::ReminderWindow.window, ids::ReminderTimeLabel.unit, 24), 2u) << "right-aligned";

  ExpectColumns(UnitHandle(ids::ReminderWindow.window, ids::ReminderList.unit),
                {{L"事件", 300}, {L"年", 50}, {L"月", 50}, {L"日", 50}, {L"时", 50}, {L"分", 50}});
}

TEST_F(FormWindowsTest, HourAndMinuteBoxesAreShortIntegerBoxesInALargeFont) {
  ASSERT_NE(Load(ids::ReminderWindow.window), nullptr);
  for (uint32_t unit : {ids::ReminderHourBox.unit, ids::ReminderMinuteBox.unit}) {
    SCOPED_TRACE(testing::Message() << std::hex << unit);
    HWND box = UnitHandle(ids::ReminderWindow.window, unit);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadInteger(ids::ReminderWindow.window, unit, 18), 6u) << "short-integer input mode";
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -27);
    EXPECT_EQ(font.lfCharSet, GB2312_CHARSET);
  }
  EXPECT_EQ(ReadInteger(ids::ReminderWindow.window, ids::StagingBox.unit, 18), 0u) << "the staging box takes free text";
}

// ---- Esc, pressed as a person would ------------------------------------------------------------

TEST_F(FormWindowsTest, EscClosesTheDetailsAndAboutWindowsButNotTheMainOrReminderWindow) {
  struct Case {
    uint32_t window;
    uint32_t focusUnit;  // 0: the window itself
    bool modal;
    bool closes;
  };
  const Case cases[] = {
      {ids::MainWindow.window, ids::EntryList.unit, false, false},
      {ids::DetailsWindow.window, ids::DetailsList.unit, false, true},
      {ids::AboutWindow.window, 0, true, true},
      {ids::ReminderWindow.window, ids::ReminderHourBox.unit, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.window);
    HWND hwnd = Load(c.window, c.modal);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(TakeForeground(hwnd));
    SetFocus(c.focusUnit ? UnitHandle(c.window, c.focusUnit) : hwnd);
    ASSERT_TRUE(TakeForeground(hwnd));
    PressKey(VK_ESCAPE);
    PumpThroughRuntime(200);
    EXPECT_EQ(IsWindow(hwnd) != FALSE, !c.closes);
    EXPECT_EQ(LoadedWindow(*FindWindowDefinition(c.window)) != nullptr, !c.closes);
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
}

}  // namespace
}  // namespace tl
