// A started program's main window with the parts a person works with, kept expanded by resting
// the pointer on it, and the steps the tests of the window repeat.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/driver.h"

namespace tl::e2e {

inline const std::wstring kPlaceholder = L"输入内容， 列如：写PPt";
inline constexpr int kExpandedHeight = 412;
inline constexpr int kCollapsedHeight = 39;

inline int HeightOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r.bottom - r.top;
}

// One row of a list as it shows: its entry text and its creation time.
struct ListRow {
  std::wstring text;
  std::wstring time;
  friend bool operator==(const ListRow&, const ListRow&) = default;
};

inline std::string Utf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  return bytes;
}

// How failures show a row.
inline void PrintTo(const ListRow& row, std::ostream* out) { *out << "{\"" << Utf8(row.text) << "\", \"" << Utf8(row.time) << "\"}"; }

inline std::vector<ListRow> ReadRows(HWND list) {
  const std::vector<std::wstring> texts = ListColumn(list, 0);
  const std::vector<std::wstring> times = ListColumn(list, 1);
  std::vector<ListRow> rows;
  for (size_t i = 0; i < texts.size() && i < times.size(); ++i) rows.push_back({texts[i], times[i]});
  return rows;
}

// The entry file and the time file holding these rows, one line each.
inline std::pair<std::string, std::string> EntryFileTexts(const std::vector<ListRow>& rows) {
  std::string texts, times;
  for (const ListRow& row : rows) {
    texts += Gbk(row.text) + "\r\n";
    times += Gbk(row.time) + "\r\n";
  }
  return {texts, times};
}

class MainWindowTest : public ::testing::Test {
 protected:
  // Starts the program with the files of these rows in its directory (none for no rows), waits
  // for them to load and rests the pointer on the list.
  void Start(const std::vector<ListRow>& rows = {}) {
    if (!rows.empty()) {
      const auto [texts, times] = EntryFileTexts(rows);
      directory_.Write(L"bugaun.txt", texts);
      directory_.Write(L"jilusjian.txt", times);
    }
    program_.emplace(directory_);
    main_ = program_->MainWindow();
    ASSERT_NE(main_, nullptr) << "no Tallyleaf window appeared";
    list_ = FindChild(main_, L"SysListView32");
    addButton_ = FindChild(main_, L"Button", L"点击此处添加事件");
    pinButton_ = FindChild(main_, L"Button", L"固定");
    slider_ = FindChild(main_, L"msctls_trackbar32");
    ASSERT_TRUE(list_ && addButton_ && pinButton_ && slider_);
    ASSERT_TRUE(WaitUntil([&] { return Rows() == rows; })) << "the files load";
    ExpandWindow();
    // A person's first click makes the window the active one; the title is a safe place for it.
    LeftClick(CentreOf(FindChild(main_, L"_RT_Label")));
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main_; })) << "the window becomes active";
  }

  RunningProgram& program() { return *program_; }
  // The middle of the pin button, on the screen.
  POINT PinPoint() const { return CentreOf(pinButton_); }
  // The window's client area, on the screen.
  RECT ClientOnScreen() const {
    RECT client{};
    GetClientRect(main_, &client);
    MapWindowPoints(main_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
  }
  std::vector<ListRow> Rows() const { return ReadRows(list_); }
  int Selection() const { return static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, -1, LVNI_SELECTED)); }
  HWND InPlaceEdit() const { return reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETEDITCONTROL, 0, 0)); }
  // The middle of a row's text, on the screen.
  POINT RowPoint(int row) const {
    RECT r = AskRect(list_, LVM_GETITEMRECT, row, RECT{LVIR_LABEL, 0, 0, 0});
    MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return CentreOf(r);
  }
  bool RowInView(int row) const {
    const auto top = static_cast<int>(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0));
    const auto perPage = static_cast<int>(SendMessageW(list_, LVM_GETCOUNTPERPAGE, 0, 0));
    return row >= top && row < top + perPage;
  }
  // A point of the list below its rows.
  POINT BelowTheRows() const {
    RECT r{};
    GetWindowRect(list_, &r);
    return {(r.left + r.right) / 2, r.bottom - 40};
  }

  // Brings the pointer back onto the window's strip, as a person would after working elsewhere,
  // and waits for the window to expand.
  void ExpandWindow() {
    for (int attempt = 0; attempt < 3 && HeightOf(main_) != kExpandedHeight; ++attempt) {
      RECT r{};
      GetWindowRect(main_, &r);
      MoveMouse({(r.left + r.right) / 2, r.top + 10});
      WaitUntil([&] { return HeightOf(main_) == kExpandedHeight; }, 3000);
    }
    ASSERT_EQ(HeightOf(main_), kExpandedHeight) << "the window expands";
  }
  // Right-clicks at the point until a pop-up menu shows (a loaded machine can be slow to open
  // one), then chooses its item at this position (from 1) with the keyboard.
  void ChooseFromPopupAt(POINT at, int position) {
    bool shown = false;
    for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
      ExpandWindow();
      RightClick(at);
      shown = WaitUntil([&] { return VisibleWindowOfClass(*program_, L"#32768") != nullptr; }, 3000);
    }
    ASSERT_TRUE(shown) << "a pop-up menu opens";
    for (int i = 0; i < position; ++i) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return VisibleWindowOfClass(*program_, L"#32768") == nullptr; }));
  }
  void ChooseFromListMenu(POINT at, int position) { ChooseFromPopupAt(at, position); }

  // The save timer follows the list many times a second: waits until the files hold these rows.
  bool FilesHold(const std::vector<ListRow>& rows) {
    const auto [texts, times] = EntryFileTexts(rows);
    return WaitUntil([&] {
      return directory_.Read(L"bugaun.txt") == texts && directory_.Read(L"jilusjian.txt") == times;
    });
  }

  ProgramDirectory directory_;
  std::optional<RunningProgram> program_;
  HWND main_ = nullptr;
  HWND list_ = nullptr;
  HWND addButton_ = nullptr;
  HWND pinButton_ = nullptr;
  HWND slider_ = nullptr;
};

}  // namespace tl::e2e
