// Event mechanics: typed arguments, key and character events, the modal request with its
// nested loop and idle events, the window's keyboard and mouse conveniences, background
// pictures, cursors and re-creating a unit for a property.
#include <gtest/gtest.h>

#include <windows.h>
#include <png.h>

#include <cstring>

#include "runtime/cursors.h"
#include "runtime/dispatch.h"
#include "runtime/gbk.h"
#include "runtime/program_header.h"
#include "runtime/property_services.h"
#include "runtime/requests.h"
#include "runtime/runtime_state.h"
#include "runtime/unit.h"
#include "runtime/unit_events.h"
#include "runtime/window_map.h"
#include "runtime/window_unit.h"
#include "tests/win/runtime_test_support.h"

namespace tl::test {
namespace {

constexpr uint32_t kFormId = 0x52000011, kFormUnit = 0x06000011;
constexpr uint32_t kFirst = 0x16000011, kSecond = 0x16000012, kLinked = 0x16000013;
constexpr uint32_t kDialogId = 0x52000012, kDialogUnit = 0x06000012;
constexpr uint32_t kPictureId = 0x52000013, kPictureUnit = 0x06000013;
constexpr uint32_t kBareId = 0x52000014, kBareUnit = 0x06000014;
constexpr uint32_t kShapedId = 0x52000015, kShapedUnit = 0x06000015;

enum Slot : int32_t {
  FirstKey, FirstChar, FirstTyped, SecondClick, DialogIdle, DialogCreated, FirstFocus, FirstBlur,
};

std::vector<uint8_t> RedPng(int width, int height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  for (size_t i = 0; i < pixels.size(); i += 4) pixels[i] = 0xFF, pixels[i + 3] = 0xFF;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
  std::vector<uint8_t> out(size);
  png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr);
  out.resize(size);
  return out;
}

// An icon file with one 16 x 16 32-bit image.
std::vector<uint8_t> SmallIconFile() {
  constexpr int kSide = 16;
  const uint32_t dibSize = 40 + kSide * kSide * 4 + kSide * 4;
  std::vector<uint8_t> file(6 + 16 + dibSize, 0);
  auto put16 = [&](size_t at, uint16_t v) { file[at] = v & 0xFF, file[at + 1] = v >> 8; };
  auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF), put16(at + 2, v >> 16); };
  put16(2, 1), put16(4, 1);
  file[6] = kSide, file[7] = kSide;
  put16(10, 1), put16(12, 32), put32(14, dibSize), put32(18, 22);
  put32(22, 40), put32(26, kSide), put32(30, 2 * kSide), put16(34, 1), put16(36, 32);
  for (size_t i = 62; i < 62 + kSide * kSide * 4; i += 4) file[i + 1] = 0xC0, file[i + 3] = 0xFF;
  return file;
}

const ProgramHeader& Program() {
  const WindowProperties form{.position = 0, .enterMovesFocus = 1, .dragAnywhere = 1, .caption = "事件"};
  UnitRecordFields first = PanelRecord(10, 10, 40, 20, UnitFlag::Visible | UnitFlag::TabStop,
                                       {{-9, FirstKey}, {-11, FirstChar}, {6, FirstTyped},
                                        {-7, FirstFocus}, {-8, FirstBlur}});
  first.tabOrder = 2;
  first.cursorData = {0x88, 0x7F, 0, 0};
  UnitRecordFields second = PanelRecord(60, 10, 40, 20, UnitFlag::Visible | UnitFlag::TabStop,
                                        {{0, SecondClick}});
  second.tabOrder = 1;
  UnitRecordFields linked = PanelRecord(110, 10, 40, 20);
  linked.link = kSecond;

  const WindowProperties dialog{.caption = "对话"};
  const WindowProperties picture{
      .backPictureMode = 0, .backColor = 0x00FF0000 /* blue */, .position = 0, .backPicture = RedPng(4, 4)};
  const WindowProperties bare{.version = 2, .borderStyle = 0, .position = 0};
  const WindowProperties shaped{.borderStyle = 1, .position = 3, .shape = 1, .windowIcon = SmallIconFile()};
  return MakeProgram({
      {kShapedId, {kShapedUnit}, {EncodeUnitRecord(WindowRecord(shaped, 0, 0, 160, 120))}},
      {kFormId, {kFormUnit, kFirst, kSecond, kLinked},
       {EncodeUnitRecord(WindowRecord(form, 10, 10, 300, 200)), EncodeUnitRecord(first),
        EncodeUnitRecord(second), EncodeUnitRecord(linked)}},
      {kDialogId, {kDialogUnit},
       {EncodeUnitRecord(WindowRecord(dialog, 0, 0, 200, 100, {{7, DialogIdle}, {0, DialogCreated}}))}},
      {kPictureId, {kPictureUnit}, {EncodeUnitRecord(WindowRecord(picture, 0, 0, 200, 150))}},
      {kBareId, {kBareUnit}, {EncodeUnitRecord(WindowRecord(bare, 5, 5, 120, 80))}},
  });
}

using RuntimeEventsTest = TestProgramTest<&Program>;

TEST_F(RuntimeEventsTest, TypedArgumentsArePassedByTheirFlagsAndTypes) {
  Load(kFormId);
  TypedEventRecord record{};
  record.window = kFormId;
  record.unit = kFirst;
  record.index = 6;
  record.argCount = 5;
  auto put = [&](int i, uint64_t value, uint32_t type, uint32_t passing) {
    std::memcpy(record.args[i].value, &value, 8);
    record.args[i].type = type;
    record.args[i].passing = passing;
  };
  put(0, 0x1122334455667788ull, DataType::Byte, 0);    // zero-extended low byte
  put(1, 0xFFFF8001ull, DataType::Short, 0);            // sign-extended
  put(2, 0x0000000100000002ull, DataType::Double, 0);   // both words
  put(3, 0x0000000300000004ull, DataType::Double, 1);   // flag bit 0: low word only
  put(4, 0x0000000500000006ull, DataType::Int, 2);      // flag bit 1: both words
  SetAnswer(FirstTyped, [](std::span<const uint32_t>) { return Answer(0x100000002ll); });
  EXPECT_EQ(FireTypedEvent(record), 1);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].args,
            (std::vector<uint32_t>{0x88, 0xFFFF8001u, 2, 1, 4, 6, 5}));
  EXPECT_EQ(record.hasResult, 1);
  uint64_t result;
  std::memcpy(&result, record.result, 8);
  EXPECT_EQ(result, 0x100000002ull);
}

TEST_F(RuntimeEventsTest, LinkedUnitUsesTheBindingsOfItsLink) {
  Load(kFormId);
  RaiseEvent(kFormId, kLinked, 0);
  ASSERT_EQ(CallCount(SecondClick), 1u);
  EXPECT_EQ(Calls()[0].unit, kLinked);  // the source stays the unit that raised it
}

std::wstring g_received;
WNDPROC g_panelProc = nullptr;
LRESULT CALLBACK RecordChars(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) g_received += static_cast<wchar_t>(wParam);
  return CallWindowProcW(g_panelProc, hwnd, message, wParam, lParam);
}

TEST_F(RuntimeEventsTest, KeyAndCharacterEventsCanSwallowOrReplace) {
  Load(kFormId);
  HWND first = UnitHandle(kFormId, kFirst);
  PostMessageW(first, WM_KEYDOWN, VK_NUMPAD7, 0);
  ProcessQueuedMessages();
  ASSERT_EQ(CallCount(FirstKey), 1u);
  EXPECT_EQ(Calls()[0].args, (std::vector<uint32_t>{0x37, 0}));

  // -11: an answer replaces the character, 0 removes it.
  SetAnswer(FirstChar, [](std::span<const uint32_t> args) {
    return Answer(args[0] == 'a' ? 'b' : 0);
  });
  g_received.clear();
  g_panelProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(first, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordChars)));
  PostMessageW(first, WM_CHAR, 'a', 0);
  PostMessageW(first, WM_CHAR, 'z', 0);
  ProcessQueuedMessages();
  SetWindowLongPtrW(first, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_panelProc));
  EXPECT_EQ(CallCount(FirstChar), 2u);
  EXPECT_EQ(g_received, L"b");
}

TEST_F(RuntimeEventsTest, TabMovesTheFocusByTabOrderAndEnterToo) {
  HWND hwnd = Load(kFormId);
  HWND first = UnitHandle(kFormId, kFirst), second = UnitHandle(kFormId, kSecond);
  SetFocus(first);
  EXPECT_EQ(CallCount(FirstFocus), 1u);
  PostMessageW(first, WM_KEYDOWN, VK_TAB, 0);
  ProcessQueuedMessages();
  EXPECT_EQ(GetFocus(), second);  // tab order 1 comes before 2, and the order wraps
  EXPECT_EQ(CallCount(FirstBlur), 1u);
  PostMessageW(second, WM_KEYDOWN, VK_TAB, 0);
  ProcessQueuedMessages();
  EXPECT_EQ(GetFocus(), first);
  PostMessageW(first, WM_KEYDOWN, VK_RETURN, 0);  // EnterMovesFocus
  ProcessQueuedMessages();
  EXPECT_EQ(GetFocus(), second);
  EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(RuntimeEventsTest, AltWithTheAccessKeyOfACaptionFocusesThatUnit) {
  Load(kFormId);
  HWND second = UnitHandle(kFormId, kSecond);
  SetWindowTextW(second, L"&Keep");
  SetFocus(UnitHandle(kFormId, kFirst));
  PostMessageW(second, WM_SYSKEYDOWN, 'X', 1 << 29);  // no unit has X
  ProcessQueuedMessages();
  EXPECT_EQ(GetFocus(), UnitHandle(kFormId, kFirst));
  PostMessageW(second, WM_SYSKEYDOWN, 'K', 1 << 29);
  ProcessQueuedMessages();
  EXPECT_EQ(GetFocus(), second);
}

TEST_F(RuntimeEventsTest, DragAnywhereTurnsAPressOnADragHandleIntoACaptionPress) {
  HWND hwnd = Load(kFormId);
  WindowUnit* form = LoadedWindow(*FindWindowDefinition(kFormId));
  MSG press{UnitHandle(kFormId, kSecond), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3), 0, {}};
  EXPECT_FALSE(form->PreTranslate(press));
  MSG posted;
  ASSERT_TRUE(PeekMessageW(&posted, hwnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
  EXPECT_EQ(posted.wParam, static_cast<WPARAM>(HTCAPTION));
}

TEST_F(RuntimeEventsTest, UnitCursorComesFromItsCursorData) {
  Load(kFormId);
  const UnitRecordArray& units = FindWindowDefinition(kFormId)->units;
  EXPECT_EQ(reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(units.CursorSlot(*units.IndexOf(kFirst)))),
            LoadCursorW(nullptr, IDC_NO));
  EXPECT_EQ(units.CursorSlot(*units.IndexOf(kSecond)), 0u);
}

TEST_F(RuntimeEventsTest, WritingATypePropertyThatNeedsANewControlRecreatesIt) {
  Load(kFormId);
  HWND before = UnitHandle(kFormId, kSecond);
  const int childId = GetDlgCtrlID(before);
  WriteUnitProperty(kFormId, kSecond, 8, -1, 7, 0);
  HWND after = UnitHandle(kFormId, kSecond);
  EXPECT_NE(before, after);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_EQ(ReadUnitProperty(kFormId, kSecond, 8, -1), 7u);
  EXPECT_EQ(ReadUnitProperty(kFormId, kSecond, 0, -1), 60u);
  EXPECT_EQ(GetDlgCtrlID(after), childId);
  WriteUnitProperty(kFormId, kSecond, 8, -1, 7, 0);  // unchanged: kept
  EXPECT_EQ(UnitHandle(kFormId, kSecond), after);

  // A queued close that the re-creation lets through releases the unit: nothing is rebuilt.
  PostMessageW(LoadedWindow(*FindWindowDefinition(kFormId))->hwnd(), WM_CLOSE, 0, 0);
  WriteUnitProperty(kFormId, kSecond, 8, -1, 9, 0);
  EXPECT_EQ(LoadedWindow(*FindWindowDefinition(kFormId)), nullptr);
  const UnitRecordArray& units = FindWindowDefinition(kFormId)->units;
  EXPECT_EQ(units.ObjectSlot(*units.IndexOf(kSecond)), 0u);
}

TEST_F(RuntimeEventsTest, ARebuiltControlAndTheWindowsInsideAUnitReachThatUnit) {
  Load(kFormId);
  HWND before = UnitHandle(kFormId, kFirst);
  WriteUnitProperty(kFormId, kFirst, 8, -1, 7, 0);
  HWND first = UnitHandle(kFormId, kFirst);
  ASSERT_NE(first, before);
  PostMessageW(first, WM_KEYDOWN, VK_F5, 0);  // no character follows
  ProcessQueuedMessages();
  ASSERT_EQ(CallCount(FirstKey), 1u);
  EXPECT_EQ(Calls()[0].unit, kFirst);

  // A native window that no unit owns belongs to the nearest unit above it.
  HWND inner = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, first,
                               nullptr, nullptr, nullptr);
  PostMessageW(inner, WM_KEYDOWN, VK_F6, 0);
  ProcessQueuedMessages();
  ASSERT_EQ(CallCount(FirstKey), 2u);
  EXPECT_EQ(Calls()[1].unit, kFirst);
  EXPECT_EQ(Calls()[1].args, (std::vector<uint32_t>{VK_F6, 0}));
}

void CALLBACK CloseDialog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostMessageW(LoadedWindow(*FindWindowDefinition(kDialogId))->hwnd(), WM_CLOSE, 0, 0);
}

TEST_F(RuntimeEventsTest, ModalLoadRequestReturnsOnlyAfterTheWindowClosed) {
  HWND form = Load(kFormId);
  SetAnswer(DialogIdle, [](std::span<const uint32_t>) { return Answer(0); });
  SetTimer(nullptr, 0, 150, CloseDialog);
  LoadWindowRecord request{kDialogId, nullptr, 1};
  EXPECT_EQ(RuntimeRequest(Request::LoadWindow, reinterpret_cast<intptr_t>(&request), 0), 0);
  EXPECT_EQ(LoadedWindow(*FindWindowDefinition(kDialogId)), nullptr);
  EXPECT_EQ(CallCount(DialogCreated), 1u);
  EXPECT_GE(CallCount(DialogIdle), 1u);  // idle time came while the dialog was open
  EXPECT_TRUE(IsWindowEnabled(form));
  EXPECT_EQ(Runtime().modalWindow, 0u);
  LoadWindowRecord unknown{0x52999999, nullptr, 0};
  EXPECT_EQ(RuntimeRequest(Request::LoadWindow, reinterpret_cast<intptr_t>(&unknown), 0), -1);
}

TEST_F(RuntimeEventsTest, BackgroundPictureAtItsOwnSizeThenTheColour) {
  HWND hwnd = Load(kPictureId);
  HDC dc = GetDC(hwnd);
  SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0xFF, 0, 0));
  EXPECT_EQ(GetPixel(dc, 10, 10), RGB(0, 0, 0xFF));
  // Stretched: the picture covers the client area.
  WriteUnitProperty(kPictureId, kPictureUnit, 8 + 4, -1, 3, 0);
  SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(GetPixel(dc, 100, 60), RGB(0xFF, 0, 0));
  ReleaseDC(hwnd, dc);
}

TEST_F(RuntimeEventsTest, BorderStyleNoneHasNoCaptionAndVersionTwoBlocksRead) {
  HWND hwnd = Load(kBareId);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_FALSE(GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION);
  EXPECT_FALSE(GetWindowLongW(hwnd, GWL_STYLE) & WS_THICKFRAME);
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.right - r.left, 120);
  // Caption written at run time shows; read back as a new text.
  const char* title = "新标题";
  WriteUnitProperty(kBareId, kBareUnit, 8, -1, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(title)), 0);
  wchar_t text[32];
  GetWindowTextW(hwnd, text, 32);
  EXPECT_EQ(Narrow(text), "新标题");
}

TEST_F(RuntimeEventsTest, MaximizedEllipseWithItsOwnIcon) {
  HWND hwnd = Load(kShapedId);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(IsZoomed(hwnd));
  EXPECT_EQ(ReadUnitProperty(kShapedId, kShapedUnit, 8 + 10, -1), 3u);
  EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0), 0);
  // The region follows the window's size.
  ShowWindow(hwnd, SW_RESTORE);
  SetWindowPos(hwnd, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(hwnd, region), ERROR);
  RECT box;
  GetRgnBox(region, &box);
  EXPECT_EQ(box.right - box.left, 200);
  EXPECT_EQ(box.bottom - box.top, 100);
  EXPECT_FALSE(PtInRegion(region, 1, 1));  // outside the ellipse: a corner
  EXPECT_TRUE(PtInRegion(region, 100, 50));
  DeleteObject(region);
  EXPECT_EQ(ReadUnitProperty(kShapedId, kShapedUnit, 8 + 10, -1), 0u);
}

// A window shows the program's default icons through its class until it is given its own, and
// again once its own are taken away.
TEST_F(RuntimeEventsTest, WindowIconsAreItsOwnOrElseItsClassDefaults) {
  ASSERT_NE(Runtime().defaultBigIcon, nullptr);
  ASSERT_NE(Runtime().defaultSmallIcon, nullptr);
  HWND bare = Load(kBareId);
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(SendMessageW(bare, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrW(bare, GCLP_HICON)), Runtime().defaultBigIcon);
  EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrW(bare, GCLP_HICONSM)), Runtime().defaultSmallIcon);

  HWND shaped = Load(kShapedId);
  ASSERT_NE(shaped, nullptr);
  ASSERT_NE(SendMessageW(shaped, WM_GETICON, ICON_BIG, 0), 0);
  WriteUnitProperty(kShapedId, kShapedUnit, static_cast<int32_t>(WindowProperty::WindowIcon), -1, 0, 0);
  EXPECT_EQ(SendMessageW(shaped, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_EQ(SendMessageW(shaped, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(RuntimeEventsTest, CursorDataByTableIndexSystemIdOrCursorFile) {
  auto value = [](int32_t v) {
    std::vector<uint8_t> data(4);
    std::memcpy(data.data(), &v, 4);
    return data;
  };
  EXPECT_EQ(CreateUnitCursor({}), nullptr);
  EXPECT_EQ(CreateUnitCursor(value(0)), nullptr);
  EXPECT_EQ(CreateUnitCursor(value(3)), LoadCursorW(nullptr, IDC_IBEAM));
  EXPECT_EQ(CreateUnitCursor(value(8)), LoadCursorW(nullptr, IDC_SIZEALL));
  EXPECT_EQ(CreateUnitCursor(value(0x7F86)), LoadCursorW(nullptr, IDC_SIZEALL));
  EXPECT_NE(CreateUnitCursor(value(14)), nullptr);  // the hand
  EXPECT_EQ(CreateUnitCursor(value(15)), nullptr);
  EXPECT_EQ(CreateUnitCursor(std::vector<uint8_t>(12, 0x55)), nullptr);  // not a cursor file

  std::vector<uint8_t> file = SmallIconFile();
  file[2] = 2;  // a cursor file: hot spot (3, 4) where an icon keeps planes and bit count
  file[10] = 3, file[11] = 0, file[12] = 4, file[13] = 0;
  std::vector<uint8_t> data(4 + file.size(), 0xFF);  // -1, then the file
  std::copy(file.begin(), file.end(), data.begin() + 4);
  HCURSOR custom = CreateUnitCursor(data);
  ASSERT_NE(custom, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(custom, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 3u);
  EXPECT_EQ(info.yHotspot, 4u);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  ReleaseUnitCursor(custom);
  data.resize(data.size() - 100);  // truncated image data
  EXPECT_EQ(CreateUnitCursor(data), nullptr);
}

}  // namespace
}  // namespace tl::test
