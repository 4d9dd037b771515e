// Drives the real program for a long stretch as a busy person would, with 1,000 entries: entries
// added, edited (in place and through the input box) and deleted every few seconds, the pointer
// leaving and returning so the window collapses and expands, the opacity slider dragged, the pin
// toggled, the details and about windows opened and closed, and a reminder set every few
// minutes whose announcement must show exactly once. Every minute it records the program's
// handle count, GDI and USER objects, windows, private bytes and working set; at the end it
// prints each figure's slope per hour after the warm-up and whether the targets held.
//   tools/wine-session.sh wine build/win32/tools/soak/soak.exe [minutes (60)] [reminder every n minutes (3)]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tools/soak/figures.h"

using namespace tl::e2e;
using tl::soak::Figures;

namespace {

constexpr int kEntries = 1000;
constexpr int kExpandedHeight = 412, kCollapsedHeight = 39;
// Menu command ids, in the order of the main window's menu-item records.
constexpr WPARAM kAbout = 20001, kTransparency = 20002, kCloseProgram = 20003, kEditEntry = 20005,
                 kDeleteEntry = 20006, kViewDetails = 20008, kAddReminder = 20011;
const std::wstring kAnnouncementTail = L"\r\n快去要钱吧，时间到了！";
const std::wstring kMarker = L"[提醒]";

std::string Joined(const std::vector<std::wstring>& texts) {
  std::string out;
  for (const std::wstring& text : texts) out += Gbk(text) + "\r\n";
  return out;
}

int HeightOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r.bottom - r.top;
}

ULONGLONG Seconds() { return GetTickCount64() / 1000; }

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// The windows of the process, children included: what leaks as USER objects when Wine does not
// count them. A message box showing at the moment is left out: the driver answers it next, and
// its four windows counted now and then would read as growth.
int WindowCount(const RunningProgram& program) {
  const std::vector<HWND> boxes = program.MessageBoxes();
  int count = 0;
  for (HWND top : program.TopLevelWindows()) {
    if (std::find(boxes.begin(), boxes.end(), top) != boxes.end()) continue;
    ++count;
    EnumChildWindows(top, CountChild, reinterpret_cast<LPARAM>(&count));
  }
  return count;
}

// Wine answers neither GetProcessHandleCount nor the private bytes of GetProcessMemoryInfo for
// another process; its list of processes carries the handle count, and the Unix side's /proc
// (drive Z:) the private memory.
double HandleCountOf(DWORD processId) {
  std::vector<char> buffer(1 << 20);
  ULONG needed = 0;
  if (NtQuerySystemInformation(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) != 0) {
    return 0;
  }
  for (size_t at = 0;;) {
    const auto* process = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
    if (reinterpret_cast<ULONG_PTR>(process->UniqueProcessId) == processId) return process->HandleCount;
    if (process->NextEntryOffset == 0) return 0;
    at += process->NextEntryOffset;
  }
}

std::string ReadWhole(const std::wstring& path) {
  std::string text;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  CloseHandle(file);
  return text;
}

// The /proc directory of the Unix process running the program: its command line names the
// program's own directory.
std::wstring ProcDirectoryOf(const std::wstring& programDirectory) {
  const std::string wanted = Gbk(programDirectory + L"\\");
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return L"";
  std::wstring result;
  do {
    const std::wstring name = found.cFileName;
    if (name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    const std::wstring dir = L"Z:\\proc\\" + name;
    if (ReadWhole(dir + L"\\cmdline").find(wanted) != std::string::npos) result = dir;
  } while (result.empty() && FindNextFileW(search, &found));
  FindClose(search);
  return result;
}

double FieldKb(const std::string& text, const char* field) {
  const size_t at = text.find(field);
  return at == std::string::npos ? 0 : std::atof(text.c_str() + at + std::strlen(field));
}

Figures Measure(const RunningProgram& program, const std::wstring& procDirectory, int minute) {
  Figures f;
  f.minute = minute;
  f.handles = HandleCountOf(program.processId());
  f.gdi = GetGuiResources(program.process(), GR_GDIOBJECTS);
  f.user = GetGuiResources(program.process(), GR_USEROBJECTS);
  f.windows = WindowCount(program);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(program.process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
    f.privateKb = memory.PrivateUsage / 1024.0;
    f.workingSetKb = memory.WorkingSetSize / 1024.0;
  }
  if (f.privateKb == 0 && !procDirectory.empty()) {
    const std::string rollup = ReadWhole(procDirectory + L"\\smaps_rollup");
    f.privateKb = FieldKb(rollup, "Private_Clean:") + FieldKb(rollup, "Private_Dirty:");
  }
  return f;
}

// A reminder that was set and whose announcement is awaited.
struct Awaited {
  ULONGLONG dueBy;  // seconds of GetTickCount64 after which it counts as missed
};

class Soak {
 public:
  Soak(int minutes, int reminderEvery) : minutes_(minutes), reminderEvery_(reminderEvery) {}

  bool Start() {
    std::vector<std::wstring> texts, times;
    for (int i = 0; i < kEntries; ++i) {
      texts.push_back(L"条目" + std::to_wstring(i) + L" 记得做的事");
      times.push_back(L"2024年1月" + std::to_wstring(1 + i / 1440) + L"日" + std::to_wstring(i / 60 % 24) + L"时" +
                      std::to_wstring(i % 60) + L"分7秒");
    }
    dir_.Write(L"bugaun.txt", Joined(texts));
    dir_.Write(L"jilusjian.txt", Joined(times));
    program_.emplace(dir_);
    main_ = program_->MainWindow(30000);
    list_ = main_ ? FindChild(main_, L"SysListView32") : nullptr;
    add_ = main_ ? FindChild(main_, L"Button", L"点击此处添加事件") : nullptr;
    pin_ = main_ ? FindChild(main_, L"Button", L"固定") : nullptr;
    slider_ = main_ ? FindChild(main_, L"msctls_trackbar32") : nullptr;
    title_ = main_ ? FindChild(main_, L"_RT_Label") : nullptr;
    if (!list_ || !add_ || !pin_ || !slider_ || !title_) return false;
    return WaitUntil([&] { return ListItemCount(list_) == kEntries; }, 60000);
  }

  bool Run() {
    const ULONGLONG start = Seconds();
    int measured = -1;
    for (int step = 0;; ++step) {
      const ULONGLONG now = Seconds();
      const int minute = static_cast<int>((now - start) / 60);
      if (minute > measured) {
        measured = minute;
        if (procDirectory_.empty()) procDirectory_ = ProcDirectoryOf(program_->directory());
        figures_.push_back(Measure(*program_, procDirectory_, minute));
        PrintFigures(figures_.back());
        if (minute >= minutes_) break;
      }
      if (program_->WaitForExit(0) != static_cast<DWORD>(STILL_ACTIVE)) {
        std::printf("the program ended (exit code %lu) at minute %d\n", program_->WaitForExit(0), minute);
        crashed_ = true;
        return false;
      }
      CheckAnswers();
      HandleMessageBoxes();
      WatchMarkers();
      CheckMissed();
      Act(step, now);
      Pump(std::uniform_int_distribution<int>(1500, 3500)(random_));
    }
    return true;
  }

  // Waits for the last announcement, closes what is open and compares the two files with the list.
  void Finish() {
    WaitUntil([&] { HandleMessageBoxes(); return awaited_.empty(); }, 80000);
    HandleMessageBoxes();
    CheckMissed(true);
    Pump(2000);
    const std::string texts = Joined(ListColumn(list_, 0)), times = Joined(ListColumn(list_, 1));
    filesEqual_ = WaitUntil([&] { return dir_.Read(L"bugaun.txt") == texts && dir_.Read(L"jilusjian.txt") == times; }, 10000);
    rowsAtEnd_ = ListItemCount(list_);
    PostMessageW(main_, WM_COMMAND, kCloseProgram, 0);
    exitCode_ = program_->WaitForExit(10000);
  }

  bool Report() const {
    std::printf("\nactions:");
    for (const auto& [name, counts] : actions_) std::printf(" %s %d/%d", name.c_str(), counts.first, counts.first + counts.second);
    std::printf(" (done/tried); steps held back around an announcement %d\n", heldBack_);
    const auto slopes = tl::soak::TrendsFrom(figures_, tl::soak::WarmUpMinutes(minutes_));
    const bool steady = tl::soak::PrintTrends(slopes, tl::soak::WarmUpMinutes(minutes_));
    std::printf("reminders set %d, announced once %d, announced again %d, missed %d, other message boxes %d\n",
                remindersSet_, announcedOnce_, announcedAgain_, missed_, otherBoxes_);
    std::printf("unanswered checks (window stuck) %d, crashed %s, rows at the end %d, files equal the list %s, exit code %lu\n",
                stuck_, crashed_ ? "yes" : "no", rowsAtEnd_, filesEqual_ ? "yes" : "no", exitCode_);
    const bool held = steady && !crashed_ && stuck_ == 0 && remindersSet_ > 0 && announcedOnce_ == remindersSet_ &&
                      announcedAgain_ == 0 && missed_ == 0 && filesEqual_ && exitCode_ == 0;
    std::printf("target %s\n", held ? "held" : "NOT held");
    return held;
  }

 private:
  void Count(const char* action, bool done) {
    recent_.push_back(Clock() + " " + action);
    if (recent_.size() > 6) recent_.erase(recent_.begin());
    auto& counts = actions_[action];
    (done ? counts.first : counts.second)++;
    if (!done) std::printf("  %s did not complete\n", action);
  }

  static void PrintFigures(const Figures& f) {
    std::printf("minute %3d: handles %4.0f, GDI %4.0f, USER %4.0f, windows %4.0f, private %8.0f KB, working set %8.0f KB\n",
                f.minute, f.handles, f.gdi, f.user, f.windows, f.privateKb, f.workingSetKb);
  }

  void CheckAnswers() {
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 5000, &ignored)) {
      ++stuck_;
      std::printf("  the main window did not answer within 5 s\n");
    }
  }

  // Answers every message box: an awaited announcement counts once, another of the same
  // reminder counts as announced again, anything else is reported.
  void HandleMessageBoxes() {
    for (HWND box : program_->MessageBoxes()) {
      if (FindChild(box, L"Edit")) continue;  // the input box, answered by its own step
      const std::wstring text = MessageBoxText(box);
      const bool announcement = text.size() > kAnnouncementTail.size() && text.ends_with(kAnnouncementTail);
      const std::wstring key = announcement ? text.substr(0, text.size() - kAnnouncementTail.size()) : L"";
      if (announcement && awaited_.erase(key)) {
        ++announcedOnce_;
        announced_.insert({key, true});
      } else if (announcement && announced_.count(key)) {
        ++announcedAgain_;
        std::printf("  announced again: %s\n", Gbk(key).c_str());
      } else {
        ++otherBoxes_;
        std::printf("  message box: %s\n", Gbk(text).c_str());
      }
      AnswerMessageBox(box, IDOK);
      WaitUntil([&] { return !IsWindowVisible(box); }, 5000);
    }
  }

  // A missed reminder whose entry still carries the marker was never announced; one whose entry
  // lost it was announced, and its box closed before the driver saw it.
  bool StillMarked(const std::wstring& key) const {
    const size_t separator = key.find(L"\r\n     ");
    if (separator == std::wstring::npos) return false;
    const std::wstring marked = kMarker + key.substr(separator + 7);
    for (const std::wstring& text : ListColumn(list_, 0)) {
      if (text == marked) return true;
    }
    return false;
  }

  static std::string Clock() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    return text;
  }

  // An awaited reminder's entry that lost its marker before the driver saw the box: says when,
  // and what the driver did just before.
  void WatchMarkers() {
    for (const auto& [key, awaited] : awaited_) {
      if (StillMarked(key) || !reportedUnmarked_.insert(key).second) continue;
      std::printf("  %s: entry unmarked, its announcement not seen (boxes showing %zu); last actions:", Clock().c_str(),
                  program_->MessageBoxes().size());
      for (const std::string& action : recent_) std::printf(" [%s]", action.c_str());
      std::printf("\n");
    }
  }

  void CheckMissed(bool all = false) {
    for (auto it = awaited_.begin(); it != awaited_.end();) {
      if (all || Seconds() > it->second.dueBy) {
        ++missed_;
        std::printf("  never announced (%s): %s\n", StillMarked(it->first) ? "entry still marked" : "entry unmarked",
                    Gbk(it->first).c_str());
        it = awaited_.erase(it);
      } else {
        ++it;
      }
    }
  }

  // Brings the pointer onto the strip, waits for the window to open and makes it the active one.
  bool Expand() {
    RECT r{};
    GetWindowRect(main_, &r);
    MoveMouse({(r.left + r.right) / 2, r.top + 10});
    if (!WaitUntil([&] { return HeightOf(main_) == kExpandedHeight; }, 3000)) return false;
    if (GetForegroundWindow() != main_) {
      LeftClick(CentreOf(title_));
      WaitUntil([&] { return GetForegroundWindow() == main_; }, 2000);
    }
    return true;
  }

  POINT Outside() const {
    RECT r{};
    GetWindowRect(main_, &r);
    return r.left > 200 ? POINT{r.left - 150, r.top + 200} : POINT{r.right + 150, r.top + 200};
  }

  int RandomRow() {
    const int rows = ListItemCount(list_);
    for (int attempt = 0; attempt < 20 && rows > 0; ++attempt) {
      const int row = std::uniform_int_distribution<int>(0, rows - 1)(random_);
      if (!ListItemText(list_, row).starts_with(kMarker)) return row;  // reminders keep their entries
    }
    return -1;
  }

  HWND InPlaceEdit() const { return reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETEDITCONTROL, 0, 0)); }

  void Act(int step, ULONGLONG now) {
    SYSTEMTIME clock;
    GetLocalTime(&clock);
    // An announcement shows at second 10 of its minute: the driver keeps its hands still around
    // it, or a click or key meant for the main window could close the box before it is read.
    if (!awaited_.empty() && (clock.wSecond >= 55 || clock.wSecond <= 16)) {
      ++heldBack_;
      return;
    }
    if (awaited_.empty() && now >= nextReminder_ && clock.wSecond >= 2 && clock.wSecond <= 40) {
      Count("reminder", SetReminder());
      nextReminder_ = now + 60ull * reminderEvery_;
      return;
    }
    if (step % 2 == 0) {
      const int rows = ListItemCount(list_);
      const int choice = std::uniform_int_distribution<int>(0, 2)(random_);
      // Adds and deletes alternate around the 1,000 rows.
      if (choice == 0) return rows <= kEntries ? Count("add", AddEntry()) : Count("delete", DeleteEntry());
      if (choice == 1) return rows >= kEntries ? Count("delete", DeleteEntry()) : Count("add", AddEntry());
      return step % 4 == 0 ? Count("edit in place", EditInPlace()) : Count("edit in box", EditInBox());
    }
    switch (std::uniform_int_distribution<int>(0, 9)(random_)) {
      case 0: case 1: case 2: return Count("pointer out and in", PointerOutAndIn());
      case 3: case 4: return Count("opacity", MoveSlider());
      case 5: case 6: return Count("pin", TogglePin());
      case 7: case 8: return Count("details", OpenDetails());
      default: return Count("about", OpenAbout());
    }
  }

  bool AddEntry() {
    if (!Expand()) return false;
    LeftClick(CentreOf(add_));
    if (!WaitUntil([&] { return InPlaceEdit() != nullptr; }, 3000)) return false;
    TypeText(L"新事件 " + std::to_wstring(++made_));
    PressKey(VK_RETURN);
    return WaitUntil([&] { return InPlaceEdit() == nullptr; }, 3000);
  }

  bool DeleteEntry() {
    const int row = RandomRow(), rows = ListItemCount(list_);
    if (row < 0) return false;
    SelectListItem(list_, row);
    PostMessageW(main_, WM_COMMAND, kDeleteEntry, 0);
    return WaitUntil([&] { return ListItemCount(list_) == rows - 1; }, 3000);
  }

  bool EditInPlace() {
    const int row = RandomRow();
    return row >= 0 && Expand() && EditListItem(list_, row, L"改过 " + std::to_wstring(++made_));
  }

  // 编辑事件: the input box opens on the selected row; its answer replaces the row's text.
  bool EditInBox() {
    const int row = RandomRow();
    if (row < 0 || !Expand()) return false;
    SelectListItem(list_, row);
    PostMessageW(main_, WM_COMMAND, kEditEntry, 0);
    HWND box = program_->WaitForWindow(L"修改文本", 3000);
    HWND field = box ? FindChild(box, L"Edit") : nullptr;
    HWND ok = box ? GetDlgItem(box, IDOK) : nullptr;
    if (!field || !ok) return false;
    const std::wstring text = L"框中改过 " + std::to_wstring(++made_);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK, 2000, &ignored);
    PostMessageW(ok, BM_CLICK, 0, 0);
    return WaitUntil([&] { return !IsWindow(box); }, 3000) && WaitUntil([&] { return ListItemText(list_, row) == text; }, 3000);
  }

  bool PointerOutAndIn() {
    MoveMouse(Outside());
    const bool collapsed = WaitUntil([&] { return HeightOf(main_) == kCollapsedHeight; }, 3000);
    return collapsed && Expand();
  }

  bool MoveSlider() {
    if (!Expand()) return false;
    PostMessageW(main_, WM_COMMAND, kTransparency, 0);
    if (!WaitUntil([&] { return IsWindowVisible(slider_); }, 3000)) return false;
    RECT track{}, thumb = AskRect(slider_, TBM_GETTHUMBRECT, 0);
    GetWindowRect(slider_, &track);
    MapWindowPoints(slider_, nullptr, reinterpret_cast<POINT*>(&thumb), 2);
    const POINT from = CentreOf(thumb);
    const LONG to = std::uniform_int_distribution<LONG>(track.left + 1, track.right - 1)(random_);
    MoveMouse(from);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= 5; ++i) MoveMouse({from.x + (to - from.x) * i / 5, from.y});
    MouseButton(MOUSEEVENTF_LEFTUP);
    return WaitUntil([&] { return !IsWindowVisible(slider_); }, 4000);
  }

  // Pinned, the window stays open with the pointer away; unpinned again, it collapses.
  bool TogglePin() {
    if (!Expand()) return false;
    RECT pin{}, client{};
    GetWindowRect(pin_, &pin);
    GetClientRect(main_, &client);
    MapWindowPoints(main_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT shown{};
    IntersectRect(&shown, &pin, &client);
    LeftClick(CentreOf(shown));
    if (!WaitUntil([&] { return WindowTitle(pin_) == L"缩放"; }, 3000)) return false;
    MoveMouse(Outside());
    Pump(600);
    const bool stayed = HeightOf(main_) == kExpandedHeight;
    if (!Expand()) return false;
    LeftClick(CentreOf(shown));
    return stayed && WaitUntil([&] { return WindowTitle(pin_) == L"固定"; }, 3000);
  }

  bool OpenDetails() {
    const int row = RandomRow();
    if (row < 0) return false;
    SelectListItem(list_, row);
    PostMessageW(main_, WM_COMMAND, kViewDetails, 0);
    HWND details = nullptr;
    WaitUntil([&] {
      for (HWND w : program_->VisibleTopLevelWindows()) {
        if (w != main_ && FindChild(w, L"SysListView32") && !FindChild(w, L"Button", L"确认提醒")) details = w;
      }
      return details != nullptr;
    }, 5000);
    if (!details) return false;
    const bool filled = WaitUntil([&] { return ListItemCount(FindChild(details, L"SysListView32")) > 0; }, 5000);
    PostMessageW(details, WM_CLOSE, 0, 0);
    return WaitUntil([&] { return !IsWindow(details); }, 5000) && filled;
  }

  bool OpenAbout() {
    PostMessageW(main_, WM_COMMAND, kAbout, 0);
    HWND about = program_->WaitForWindow(L"收银软件版本信息", 5000);
    if (!about) return false;
    PostMessageW(about, WM_CLOSE, 0, 0);
    return WaitUntil([&] { return !IsWindow(about); }, 5000);
  }

  HWND ReminderWindow() const {
    for (HWND hwnd : program_->TopLevelWindows()) {
      if (FindChild(hwnd, L"Button", L"确认提醒")) return hwnd;
    }
    return nullptr;
  }

  // 添加提醒事件 on a row offers the next minute; confirming it marks the entry. The window is
  // then hidden through its close box, which keeps the reminder running.
  bool SetReminder() {
    const int row = RandomRow();
    if (row < 0) return false;
    const std::wstring text = ListItemText(list_, row), created = ListItemText(list_, row, 1);
    SelectListItem(list_, row);
    PostMessageW(main_, WM_COMMAND, kAddReminder, 0);
    HWND window = nullptr;
    if (!WaitUntil([&] { window = ReminderWindow(); return window && IsWindowVisible(window); }, 5000)) return false;
    PostMessageW(FindChild(window, L"Button", L"确认提醒"), BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return ListItemText(list_, row) == kMarker + text; }, 5000)) return false;
    awaited_[L"事件：" + created + L"\r\n     " + text] = Awaited{Seconds() + 130};
    ++remindersSet_;
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return WaitUntil([&] { return !IsWindowVisible(window); }, 3000);
  }

  int minutes_, reminderEvery_;
  std::mt19937 random_{20240601};
  ProgramDirectory dir_;
  std::optional<RunningProgram> program_;
  HWND main_ = nullptr, list_ = nullptr, add_ = nullptr, pin_ = nullptr, slider_ = nullptr, title_ = nullptr;
  std::wstring procDirectory_;
  std::vector<Figures> figures_;
  std::map<std::string, std::pair<int, int>> actions_;
  std::map<std::wstring, Awaited> awaited_;
  std::map<std::wstring, bool> announced_;
  std::vector<std::string> recent_;
  std::set<std::wstring> reportedUnmarked_;
  ULONGLONG nextReminder_ = 0;
  int made_ = 0, remindersSet_ = 0, announcedOnce_ = 0, announcedAgain_ = 0, missed_ = 0, otherBoxes_ = 0;
  int stuck_ = 0, rowsAtEnd_ = -1, heldBack_ = 0;
  bool crashed_ = false, filesEqual_ = false;
  DWORD exitCode_ = STILL_ACTIVE;
};

}  // namespace

int main(int argc, char** argv) {
  const int minutes = argc > 1 ? std::atoi(argv[1]) : 60;
  const int reminderEvery = argc > 2 ? std::atoi(argv[2]) : 3;
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // figures show while it runs
  std::printf("soak: %d minutes, %d entries, a reminder every %d minutes\n", minutes, kEntries, reminderEvery);
  Soak soak(minutes, reminderEvery);
  if (!soak.Start()) {
    std::printf("the program did not start with its %d entries\ntarget NOT held\n", kEntries);
    return 1;
  }
  if (soak.Run()) soak.Finish();
  return soak.Report() ? 0 : 1;
}
