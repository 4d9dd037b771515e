// Reminders in the real program, driven from outside: the entry list's reminder commands (chosen
// by their menu command ids, as the pop-up menu sends them), the reminder window's fields, rows
// and questions, the markers on screen and on disk, and the announcements when the minute comes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace tl::e2e {
namespace {

// Menu command ids of 提醒事件, 添加提醒事件 and 删除提醒事件.
constexpr WPARAM kShowReminders = 20010;
constexpr WPARAM kAddReminder = 20011;
constexpr WPARAM kDeleteReminder = 20012;
// 关闭程序's command id.
constexpr WPARAM kCloseProgram = 20003;
constexpr SIZE kAddLayout{283, 165};
constexpr SIZE kListLayout{856, 363};
const std::wstring kAnnouncementTail = L"\r\n快去要钱吧，时间到了！";

using Rows = std::vector<std::vector<std::wstring>>;

// Waits for a second of the minute early enough that reminders made now for the next minute are
// made well before its second 10.
void WaitForAnEarlySecond() {
  SYSTEMTIME now;
  for (GetLocalTime(&now); now.wSecond < 1 || now.wSecond > 45; GetLocalTime(&now)) Sleep(200);
}

// An hour half a day away, typed with a leading zero: a reminder for it cannot fire during a test.
std::wstring FarHourTyped() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const int hour = (now.wHour + 12) % 24;
  return (hour < 10 ? L"0" : L"") + std::to_wstring(hour);
}

std::wstring WithoutLeadingZero(const std::wstring& typed) { return std::to_wstring(std::stoi(typed)); }

std::wstring Key(const std::wstring& created, const std::wstring& text) {
  return L"事件：" + created + L"\r\n     " + text;
}

SYSTEMTIME NextMinute() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME file;
  SystemTimeToFileTime(&now, &file);
  ULARGE_INTEGER t{{file.dwLowDateTime, file.dwHighDateTime}};
  t.QuadPart += 60ull * 10000000ull;
  file = {t.LowPart, t.HighPart};
  SYSTEMTIME next;
  FileTimeToSystemTime(&file, &next);
  return next;
}

// The clock's own spelling of a time's parts: decimal, no leading zeros.
std::vector<std::wstring> MinuteParts(const SYSTEMTIME& t) {
  return {std::to_wstring(t.wYear), std::to_wstring(t.wMonth), std::to_wstring(t.wDay),
          std::to_wstring(t.wHour), std::to_wstring(t.wMinute)};
}

// With SCREENSHOT_DIR set, the screen is kept as a bitmap there (for the documentation).
void Screenshot(const wchar_t* name) {
  const wchar_t* dir = _wgetenv(L"SCREENSHOT_DIR");
  if (!dir) return;
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const DWORD imageSize = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof header + imageSize), 0, 0,
                        sizeof(BITMAPFILEHEADER) + sizeof header};
  std::ofstream out(std::filesystem::path(dir) / (std::wstring(name) + L".bmp"), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(static_cast<const char*>(bits), imageSize);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

// The program with its entries loaded, and the reminder window's controls once it is open.
class Reminders : public ::testing::Test {
 protected:
  void Start(const std::wstring& texts, const std::wstring& times, size_t rows) {
    directory_.emplace();
    directory_->Write(L"bugaun.txt", Gbk(texts));
    directory_->Write(L"jilusjian.txt", Gbk(times));
    StartAgain(rows);
  }
  // A new run of the program in the same directory.
  void StartAgain(size_t rows) {
    program_.emplace(*directory_);
    main_ = program_->MainWindow();
    ASSERT_NE(main_, nullptr);
    entries_ = FindChild(main_, WC_LISTVIEWW);
    ASSERT_NE(entries_, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return EntryTexts().size() == rows; })) << "the entry files are loaded";
  }

  std::vector<std::wstring> EntryTexts() const { return ListColumn(entries_); }
  std::string EntryFile() const { return directory_->Read(L"bugaun.txt").value_or(""); }

  void Command(WPARAM id) const { PostMessageW(main_, WM_COMMAND, id, 0); }

  // The reminder window, shown or hidden; null while it is not loaded.
  HWND ReminderWindow() const {
    for (HWND hwnd : program_->TopLevelWindows()) {
      if (FindChild(hwnd, L"Button", L"确认提醒")) return hwnd;
    }
    return nullptr;
  }

  // Chooses a reminder command for the entry; answers the window once it shows in the layout.
  HWND OpenReminders(WPARAM command, int entry, SIZE layout) {
    SelectListItem(entries_, entry);
    Command(command);
    HWND window = nullptr;
    WaitUntil([&] {
      window = ReminderWindow();
      return window && IsWindowVisible(window) && SizeOf(window).cx == layout.cx && SizeOf(window).cy == layout.cy;
    });
    return window;
  }

  // A child of the reminder window by class and its place inside the window's client area.
  HWND Control(const wchar_t* className, int left, int top) const {
    HWND child = nullptr;
    while ((child = FindWindowExW(ReminderWindow(), child, className, nullptr))) {
      const RECT r = PlaceInParent(child);
      if (r.left == left && r.top == top) return child;
    }
    return nullptr;
  }
  HWND HourBox() const { return Control(L"Edit", 80, 96); }
  HWND MinuteBox() const { return Control(L"Edit", 132, 96); }
  HWND StagingBox() const { return Control(L"Edit", 232, 24); }
  HWND Caption() const { return Control(L"_RT_Label", 8, 8); }
  Rows ReminderRows() const {
    HWND list = FindChild(ReminderWindow(), WC_LISTVIEWW);
    Rows rows(ListItemCount(list));
    for (size_t row = 0; row < rows.size(); ++row) {
      for (int column = 0; column < 6; ++column) rows[row].push_back(ListItemText(list, static_cast<int>(row), column));
    }
    return rows;
  }

  // What an edit box holds (another process's control answers only WM_GETTEXT).
  static std::wstring Content(HWND box) {
    wchar_t buffer[256] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(box, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK, 2000, &length);
    return std::wstring(buffer, length);
  }

  static void Type(HWND box, const wchar_t* text) {
    DWORD_PTR ignored;
    SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000, &ignored);
  }
  void Confirm() const { PostMessageW(FindChild(ReminderWindow(), L"Button", L"确认提醒"), BM_CLICK, 0, 0); }

  // Sets a reminder on the entry with what the add window offers, and waits until the rows
  // number `rows`; false when the window or the row does not come.
  bool AddReminder(int entry, size_t rows) {
    if (!OpenReminders(kAddReminder, entry, kAddLayout)) return false;
    Confirm();
    return WaitUntil([&] { return ReminderRows().size() == rows; });
  }

  // Confirms and answers the message box that must follow; answers its text.
  std::wstring ConfirmAnswering(int button) const {
    Confirm();
    HWND box = program_->WaitForMessageBox(5000);
    if (!box) return L"(no message box)";
    EXPECT_TRUE(Above(box, main_)) << "the question opens above the always-on-top main window";
    const std::wstring text = MessageBoxText(box);
    AnswerMessageBox(box, button);
    WaitUntil([&] { return program_->MessageBoxes().empty(); });
    return text;
  }

  static SIZE SizeOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
  }

  std::optional<ProgramDirectory> directory_;
  std::optional<RunningProgram> program_;
  HWND main_ = nullptr;
  HWND entries_ = nullptr;
};

TEST_F(Reminders, AreSetChangedRefusedAndDeletedWithTheirMarkers) {
  Start(L"abc\r\nxyz\r\nabc\r\n", L"2019年5月3日9时5分7秒\r\n2019年5月4日10时\r\n2020年1月1日\r\n", 3);
  WaitForAnEarlySecond();

  // No entry selected: the window closes itself while it loads, and nothing else happens.
  Command(kAddReminder);
  Sleep(800);
  EXPECT_EQ(program_->VisibleTopLevelWindows(), std::vector<HWND>{main_});
  EXPECT_EQ(ReminderWindow(), nullptr);
  EXPECT_EQ(program_->WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));

  // The add layout, filled for the selected entry with the next minute of the clock.
  const SYSTEMTIME before = NextMinute();
  HWND window = OpenReminders(kAddReminder, 0, kAddLayout);
  const SYSTEMTIME after = NextMinute();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(SizeOf(window).cx, 283);
  EXPECT_EQ(SizeOf(window).cy, 165);
  EXPECT_EQ(WindowTitle(Caption()), Key(L"2019年5月3日9时5分7秒", L"abc"));
  const std::vector<std::wstring> typed = {Content(HourBox()), Content(MinuteBox())};
  const SYSTEMTIME next = typed[1] == std::to_wstring(before.wMinute) ? before : after;
  EXPECT_EQ(typed, (std::vector<std::wstring>{MinuteParts(next)[3], MinuteParts(next)[4]}));
  Screenshot(L"reminder-add-layout");

  // The row: its key, the date box's date and the boxes' time; both entries "abc" get the marker.
  Confirm();
  ASSERT_TRUE(WaitUntil([&] { return ReminderRows().size() == 1; }));
  std::vector<std::wstring> row = {Key(L"2019年5月3日9时5分7秒", L"abc")};
  for (const std::wstring& part : MinuteParts(next)) row.push_back(part);
  EXPECT_EQ(ReminderRows(), Rows{row});
  EXPECT_EQ(EntryTexts(), (std::vector<std::wstring>{L"[提醒]abc", L"xyz", L"[提醒]abc"}));
  EXPECT_TRUE(WaitUntil([&] { return EntryFile() == Gbk(L"[提醒]abc\r\nxyz\r\n[提醒]abc\r\n"); }))
      << "the marker is saved with the entries";
  EXPECT_EQ(Content(StagingBox()), L"12，");

  // The same reminder again: No changes nothing, Yes rewrites the row as the clock writes it.
  const std::wstring farHour = FarHourTyped();
  Type(HourBox(), farHour.c_str());
  Type(MinuteBox(), L"05");
  EXPECT_EQ(ConfirmAnswering(IDNO), L"已有此事件提醒，是否更改");
  EXPECT_EQ(ReminderRows(), Rows{row});
  EXPECT_EQ(ConfirmAnswering(IDYES), L"已有此事件提醒，是否更改");
  row[4] = WithoutLeadingZero(farHour);
  row[5] = L"5";
  EXPECT_EQ(ReminderRows(), Rows{row}) << "\"05\" is the minute 5";
  EXPECT_EQ(Content(StagingBox()), L"12，12，12，");

  // A time the clock never shows is refused with a message and leaves everything as it was.
  Type(HourBox(), L"");
  EXPECT_EQ(ConfirmAnswering(IDOK), L"请填写提醒时间的小时（0 到 23）。");
  Type(HourBox(), L"24");
  EXPECT_EQ(ConfirmAnswering(IDOK), L"提醒时间的小时必须是 0 到 23 之间的整数。");
  Type(HourBox(), L"5");
  Type(MinuteBox(), L"60");
  EXPECT_EQ(ConfirmAnswering(IDOK), L"提醒时间的分钟必须是 0 到 59 之间的整数。");
  Type(MinuteBox(), L"");
  EXPECT_EQ(ConfirmAnswering(IDOK), L"请填写提醒时间的分钟（0 到 59）。");
  EXPECT_EQ(ReminderRows(), Rows{row});
  EXPECT_EQ(Content(StagingBox()), L"12，12，12，");
  EXPECT_EQ(EntryTexts(), (std::vector<std::wstring>{L"[提醒]abc", L"xyz", L"[提醒]abc"}));

  // The list layout, for the second entry; an hour typed with a leading zero is stored without.
  window = OpenReminders(kShowReminders, 1, kListLayout);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(SizeOf(window).cx, 856);
  EXPECT_EQ(SizeOf(window).cy, 363);
  EXPECT_TRUE(WaitUntil([&] { return WindowTitle(Caption()) == Key(L"2019年5月4日10时", L"xyz"); }))
      << "the fields follow the selected entry";
  Type(HourBox(), farHour.c_str());
  Type(MinuteBox(), L"07");
  Confirm();
  ASSERT_TRUE(WaitUntil([&] { return ReminderRows().size() == 2; }));
  EXPECT_EQ(ReminderRows()[1][0], Key(L"2019年5月4日10时", L"xyz"));
  EXPECT_EQ(ReminderRows()[1][4], WithoutLeadingZero(farHour));
  EXPECT_EQ(ReminderRows()[1][5], L"7");
  EXPECT_EQ(EntryTexts()[1], L"[提醒]xyz");
  Sleep(300);
  Screenshot(L"reminder-list-layout");

  // The close box only hides the window.
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
  EXPECT_EQ(ReminderWindow(), window) << "still loaded";

  // Deleting asks first, naming the entry; No keeps the reminder, Yes removes it and the marker.
  SelectListItem(entries_, 1);
  for (int answer : {IDNO, IDYES}) {
    Command(kDeleteReminder);
    HWND box = program_->WaitForMessageBox(5000);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(MessageBoxText(box).find(L"xyz"), std::wstring::npos) << "the question names the entry";
    EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
    EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
    EXPECT_FALSE(IsWindowVisible(window)) << "the reminder window stays hidden";
    AnswerMessageBox(box, answer);
    ASSERT_TRUE(WaitUntil([&] { return program_->MessageBoxes().empty(); }));
    if (answer == IDNO) {
      EXPECT_EQ(ReminderRows().size(), 2u);
      EXPECT_EQ(EntryTexts()[1], L"[提醒]xyz");
    }
  }
  EXPECT_TRUE(WaitUntil([&] { return EntryTexts()[1] == L"xyz"; }));
  EXPECT_EQ(ReminderRows(), Rows{row});

  // An entry without a reminder: nothing to ask.
  Command(kDeleteReminder);
  EXPECT_EQ(program_->WaitForMessageBox(800), nullptr);
  EXPECT_EQ(program_->WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
}

// Once the window is loaded, the commands given with no entry selected still open nothing and
// leave the fields naming the entry they were filled for, whether the window is hidden or shows.
TEST_F(Reminders, WithNoEntrySelectedTheLoadedWindowIsLeftAsItWas) {
  Start(L"abc\r\nxyz\r\n", L"2019年5月3日9时5分7秒\r\n2019年5月4日10时\r\n", 2);
  HWND window = OpenReminders(kAddReminder, 0, kAddLayout);
  ASSERT_NE(window, nullptr);
  const std::wstring filled = Key(L"2019年5月3日9时5分7秒", L"abc");
  ASSERT_EQ(WindowTitle(Caption()), filled);
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));

  ClearListSelection(entries_);
  for (WPARAM command : {kAddReminder, kShowReminders}) {
    Command(command);
    Sleep(800);
    EXPECT_FALSE(IsWindowVisible(window)) << "command " << command << " on the hidden window";
    EXPECT_EQ(program_->VisibleTopLevelWindows(), std::vector<HWND>{main_});
    EXPECT_EQ(WindowTitle(Caption()), filled);
  }

  ASSERT_EQ(OpenReminders(kShowReminders, 1, kListLayout), window);
  const std::wstring shown = Key(L"2019年5月4日10时", L"xyz");
  ASSERT_TRUE(WaitUntil([&] { return WindowTitle(Caption()) == shown; }));
  ClearListSelection(entries_);
  Command(kAddReminder);
  Sleep(800);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(SizeOf(window).cx, kListLayout.cx) << "the list layout stays";
  EXPECT_EQ(SizeOf(window).cy, kListLayout.cy);
  EXPECT_EQ(WindowTitle(Caption()), shown);
  EXPECT_EQ(ReminderRows(), Rows{});
  EXPECT_EQ(program_->WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
}

// One wait for a minute covers the announcement: at second 10, once, one box after the other,
// from a hidden window, each taking its entries' markers off.
TEST_F(Reminders, AreAnnouncedOnceAtSecond10OfTheirMinuteOneBoxAfterTheOther) {
  Start(L"abc\r\ndef\r\nabc\r\n", L"2019年5月3日9时5分7秒\r\n2019年5月5日\r\n2019年5月6日8时\r\n", 3);
  WaitForAnEarlySecond();

  ASSERT_TRUE(AddReminder(0, 1));
  ASSERT_TRUE(AddReminder(1, 2));
  const Rows rows = ReminderRows();
  ASSERT_EQ(std::vector<std::wstring>(rows[0].begin() + 1, rows[0].end()),
            std::vector<std::wstring>(rows[1].begin() + 1, rows[1].end()))
      << "both for the same minute";
  EXPECT_EQ(EntryTexts(), (std::vector<std::wstring>{L"[提醒]abc", L"[提醒]def", L"[提醒]abc"}));
  HWND window = ReminderWindow();
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));

  HWND first = program_->WaitForMessageBox(100000);
  ASSERT_NE(first, nullptr) << "announced";
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_EQ(std::to_wstring(now.wMinute), rows[0][5]);
  EXPECT_GE(now.wSecond, 10);
  EXPECT_LE(now.wSecond, 12);
  EXPECT_EQ(MessageBoxText(first), rows[0][0] + kAnnouncementTail);
  EXPECT_TRUE(Above(first, main_));
  Sleep(300);
  Screenshot(L"reminder-announcement");
  Sleep(1200);
  EXPECT_EQ(program_->MessageBoxes(), std::vector<HWND>{first}) << "the second waits for the first";
  AnswerMessageBox(first, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return EntryTexts()[0] == L"abc" && EntryTexts()[2] == L"abc"; }))
      << "both entries of the text lose the marker";
  EXPECT_EQ(EntryTexts()[1], L"[提醒]def");

  HWND second = program_->WaitForMessageBox(5000);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(MessageBoxText(second), rows[1][0] + kAnnouncementTail);
  AnswerMessageBox(second, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return EntryTexts()[1] == L"def"; }));
  EXPECT_TRUE(WaitUntil([&] { return EntryFile() == Gbk(L"abc\r\ndef\r\nabc\r\n"); }));

  // Nothing is announced again in the rest of the minute.
  EXPECT_EQ(program_->WaitForMessageBox(4000), nullptr);
  EXPECT_EQ(ReminderRows(), rows) << "the rows stay";
}

// Reminders outlive the run: after 关闭程序 and after a kill the next start has them again and
// announces each once at its minute, never again after a later start.
TEST_F(Reminders, AreKeptAcrossEndsAndKillsAndAnnouncedOnce) {
  Start(L"abc\r\n", L"2019年5月3日9时5分7秒\r\n", 1);
  WaitForAnEarlySecond();
  ASSERT_TRUE(AddReminder(0, 1));
  const Rows rows = ReminderRows();

  Command(kCloseProgram);
  ASSERT_EQ(program_->WaitForExit(), 0u);
  StartAgain(1);
  EXPECT_TRUE(WaitUntil([&] { return ReminderWindow() && ReminderRows() == rows; })) << "back after 关闭程序";
  EXPECT_FALSE(IsWindowVisible(ReminderWindow()));
  program_->Kill();
  StartAgain(1);
  EXPECT_TRUE(WaitUntil([&] { return ReminderWindow() && ReminderRows() == rows; })) << "back after a kill";

  HWND box = program_->WaitForMessageBox(100000);
  ASSERT_NE(box, nullptr) << "announced at its minute";
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_EQ(std::to_wstring(now.wMinute), rows[0][5]);
  EXPECT_EQ(MessageBoxText(box), rows[0][0] + kAnnouncementTail);
  AnswerMessageBox(box, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return EntryTexts()[0] == L"abc"; }));
  program_->Kill();
  StartAgain(1);
  EXPECT_EQ(program_->WaitForMessageBox(3000), nullptr) << "never announced again";
  EXPECT_EQ(ReminderWindow(), nullptr) << "nothing is left to bring back";
}

// A reminder whose minute passed while the program was not running is told once, in one box at
// start, and its entry loses the marker; a later start tells nothing. One still ahead is a row
// again, and 删除提醒事件 deletes it.
TEST_F(Reminders, MissedWhileClosedAreToldOnceAtStartAndOthersComeBack) {
  directory_.emplace();
  directory_->Write(L"bugaun.txt", Gbk(L"[提醒]交房租\r\n[提醒]later\r\n"));
  directory_->Write(L"jilusjian.txt", Gbk(L"2019年5月3日\r\n2019年5月4日\r\n"));
  SYSTEMTIME now;
  GetLocalTime(&now);
  directory_->Write(L"tixing.txt",
                    Gbk(L"Tallyleaf 提醒 1\r\n"
                        L"待提醒\t2020\t1\t2\t3\t4\t事件：2019年5月3日\\r\\n     交房租\r\n"
                        L"待提醒\t" + std::to_wstring(now.wYear + 1) +
                        L"\t1\t2\t3\t4\t事件：2019年5月4日\\r\\n     later\r\n"));
  StartAgain(2);
  HWND box = program_->WaitForMessageBox(5000);
  ASSERT_NE(box, nullptr);
  const std::wstring told = MessageBoxText(box);
  EXPECT_NE(told.find(L"交房租（2020年1月2日3时4分）"), std::wstring::npos);
  EXPECT_EQ(told.find(L"later"), std::wstring::npos) << "a reminder still ahead is not missed";
  AnswerMessageBox(box, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return EntryTexts() == std::vector<std::wstring>{L"交房租", L"[提醒]later"}; }));
  EXPECT_TRUE(WaitUntil([&] { return ReminderWindow() && ReminderRows().size() == 1; }));
  program_->Kill();
  StartAgain(2);
  EXPECT_EQ(program_->WaitForMessageBox(3000), nullptr) << "told once";

  ASSERT_TRUE(WaitUntil([&] { return ReminderWindow() && ReminderRows().size() == 1; }));
  SelectListItem(entries_, 1);
  Command(kDeleteReminder);
  box = program_->WaitForMessageBox(5000);
  ASSERT_NE(box, nullptr) << "删除提醒事件 asks about a reminder brought back";
  AnswerMessageBox(box, IDYES);
  EXPECT_TRUE(WaitUntil([&] { return EntryTexts()[1] == L"later" && ReminderRows().empty(); }));
  EXPECT_TRUE(WaitUntil([&] { return directory_->Read(L"tixing.txt") == "Tallyleaf " + Gbk(L"提醒") + " 1\r\n"; }));
}

}  // namespace
}  // namespace tl::e2e
