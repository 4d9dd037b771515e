// Kills the real program at random instants while its entries change, and checks after each
// kill what the next start finds: both files whole, every line ended by CR LF, and the pair
// equal to a state the list had. A few kills first strike while a reminder is being announced
// (each needs its own minute of the clock); the rest rotate through situations: nothing else
// open, the input box (编辑事件) open, an in-place edit open. Prints the kills and intact pairs per
// situation.
//   tools/wine-session.sh wine build/win32/tools/kill_test/kill_test.exe [kills (1000)] [kills during announcements (5)]
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "tests/e2e/driver.h"

using namespace tl::e2e;

namespace {

constexpr int kRows = 6;
constexpr WPARAM kEditEntry = 20005, kAddReminder = 20011;

enum class Situation { Plain, InputBox, InPlaceEdit, Announcement };
constexpr const char* kSituationNames[] = {"nothing else open", "input box open", "in-place edit open",
                                           "reminder announced"};

std::string Joined(const std::vector<std::wstring>& texts) {
  std::string out;
  for (const std::wstring& text : texts) out += Gbk(text) + "\r\n";
  return out;
}

// A file's bytes for the report, line ends made visible.
std::string Shown(const std::optional<std::string>& file) {
  if (!file) return "(missing)";
  std::string out;
  for (char c : *file) out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

bool Whole(const std::string& file) {
  if (file.empty()) return true;
  if (!file.ends_with("\r\n")) return false;
  for (size_t i = 0; i < file.size(); ++i) {
    const bool lineEnd = file[i] == '\r' || file[i] == '\n';
    if (lineEnd && (file[i] == '\n' ? i == 0 || file[i - 1] != '\r' : i + 1 >= file.size() || file[i + 1] != '\n')) {
      return false;
    }
  }
  return true;
}

HWND ReminderWindow(const RunningProgram& program) {
  for (HWND hwnd : program.TopLevelWindows()) {
    if (FindChild(hwnd, L"Button", L"确认提醒")) return hwnd;
  }
  return nullptr;
}

// The edit box of the reminder window at this place of its client area.
HWND BoxAt(HWND window, int left, int top) {
  HWND child = nullptr;
  while ((child = FindWindowExW(window, child, L"Edit", nullptr))) {
    const RECT r = PlaceInParent(child);
    if (r.left == left && r.top == top) return child;
  }
  return nullptr;
}

void SetText(HWND box, const std::wstring& text) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK, 2000, &ignored);
}

// Waits for a second of the minute early enough for a reminder of this very minute to be made
// before its second 10.
void WaitForMinuteStart() {
  SYSTEMTIME now;
  for (GetLocalTime(&now); now.wSecond > 2; GetLocalTime(&now)) Sleep(200);
}

class KillTest {
 public:
  KillTest() {
    for (int i = 0; i < kRows; ++i) {
      entries_.push_back(L"条目" + std::to_wstring(i));
      times_.push_back(L"2024年1月" + std::to_wstring(i + 1) + L"日");
    }
    dir_.Write(L"bugaun.txt", Joined(entries_));
    dir_.Write(L"jilusjian.txt", Joined(times_));
    states_.insert({Joined(times_), Joined(entries_)});
  }

  void Cycle(Situation situation) {
    const int s = static_cast<int>(situation);
    if (situation == Situation::Announcement) WaitForMinuteStart();
    RunningProgram program(dir_);
    HWND main = program.MainWindow(20000);
    HWND list = main ? FindChild(main, L"SysListView32") : nullptr;
    ++kills_[s];
    if (!list) {
      std::printf("start before kill %d (%s): no main window\n", kills_[s], kSituationNames[s]);
      return;
    }
    Judge(Check(list));
    entries_ = ListColumn(list, 0);
    if (!Enter(situation, program, main, list)) {
      ++notEntered_[s];
      std::printf("kill %d: the situation \"%s\" did not come about\n", kills_[s], kSituationNames[s]);
    }

    const int after = std::uniform_int_distribution<int>(0, 600)(random_);
    std::atomic<bool> killed{false};
    std::thread killer([&] {
      Sleep(after);
      // Wine can wait forever on memory of another process that is being terminated: no kill
      // lands while a row is being read.
      const std::lock_guard<std::mutex> noRead(reading_);
      program.Kill();
      killed = true;
    });
    for (int i = 0; !killed; ++i) {
      if (!Change(program.process(), list, situation, i)) break;
    }
    killer.join();
    previous_ = s;
  }

  // What the last start found, after the last kill: the same checks once more.
  void CheckLast() {
    RunningProgram program(dir_);
    HWND main = program.MainWindow(20000);
    HWND list = main ? FindChild(main, L"SysListView32") : nullptr;
    Judge(list && Check(list));
  }

  bool Report() const {
    int kills = 0, intact = 0;
    for (int s = 0; s < 4; ++s) {
      std::printf("%-20s kills %5d, intact pairs found after them %5d, situation not reached %d\n", kSituationNames[s],
                  kills_[s], intact_[s], notEntered_[s]);
      kills += kills_[s];
      intact += intact_[s];
    }
    std::printf("kills %d, intact pairs %d, edits %d (and %d the list did not take)\ntarget (0 torn or mixed files) %s\n", kills, intact, edits_,
                notTaken_, intact == kills ? "held" : "NOT held");
    return intact == kills;
  }

 private:
  // Credits the start's finding to the situation of the kill before it (the first start
  // follows no kill).
  void Judge(bool intact) {
    if (previous_ >= 0 && intact) ++intact_[previous_];
  }

  // What this start found on disk, after it settled what the kill left.
  bool Check(HWND list) {
    const auto entryFile = dir_.Read(L"bugaun.txt"), timeFile = dir_.Read(L"jilusjian.txt");
    const bool whole = entryFile && timeFile && Whole(*entryFile) && Whole(*timeFile);
    const bool known = whole && states_.count({*timeFile, *entryFile}) == 1;
    const bool listed = known && Joined(ListColumn(list, 0)) == *entryFile;
    if (!(whole && known && listed)) {
      std::printf("start %d: whole %d, a state the list had %d, loaded as saved %d\n", starts_, whole, known, listed);
      std::printf("  entry file: %s\n  time file: %s\n  last state: %s\n", Shown(entryFile).c_str(), Shown(timeFile).c_str(),
                  Shown(Joined(entries_)).c_str());
      // What it found is where the next changes start from: one fault is counted once.
      if (entryFile && timeFile) states_.insert({*timeFile, *entryFile});
    }
    ++starts_;
    return whole && known && listed;
  }

  // The state counts once the list holds it, before the change's save can begin.
  void Expect(const std::vector<std::wstring>& next) { states_.insert({Joined(times_), Joined(next)}); }

  bool Enter(Situation situation, const RunningProgram& program, HWND main, HWND list) {
    switch (situation) {
      case Situation::Plain:
      case Situation::InPlaceEdit: return true;
      case Situation::InputBox:
        SelectListItem(list, 0);
        PostMessageW(main, WM_COMMAND, kEditEntry, 0);
        return program.WaitForWindow(L"修改文本", 3000) != nullptr;
      case Situation::Announcement: return Announce(program, main, list);
    }
    return false;
  }

  // A reminder for the current minute on the first entry; its announcement shows at second 10.
  bool Announce(const RunningProgram& program, HWND main, HWND list) {
    // A marker left by the previous kill is typed away first, as a person would.
    if (entries_[0].starts_with(L"[提醒]")) {
      std::vector<std::wstring> plain = entries_;
      plain[0] = plain[0].substr(4);
      Expect(plain);
      if (!EditListItem(list, 0, plain[0])) return false;
      entries_ = plain;
    }
    SelectListItem(list, 0);
    PostMessageW(main, WM_COMMAND, kAddReminder, 0);
    HWND window = nullptr;
    if (!WaitUntil([&] { window = ReminderWindow(program); return window && IsWindowVisible(window); }, 5000)) return false;
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wSecond >= 9) return false;
    SetText(BoxAt(window, 80, 96), std::to_wstring(now.wHour));
    SetText(BoxAt(window, 132, 96), std::to_wstring(now.wMinute));
    std::vector<std::wstring> marked = entries_;
    marked[0] = L"[提醒]" + marked[0];
    Expect(marked);
    PostMessageW(FindChild(window, L"Button", L"确认提醒"), BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return ListItemText(list, 0) == marked[0]; }, 3000)) return false;
    entries_ = marked;
    // The announcement takes the marker off once answered: that state may be saved too.
    std::vector<std::wstring> unmarked = entries_;
    unmarked[0] = unmarked[0].substr(4);
    Expect(unmarked);
    return program.WaitForMessageBox(15000) != nullptr;
  }

  // Whether the row shows the text: a program being killed answers nothing, and that is not a
  // lost edit.
  bool Took(HANDLE process, HWND list, int row, const std::wstring& text) {
    std::wstring shown;
    for (int look = 0; look < 3; ++look) {
      if (look > 0) Pump(100);
      const std::lock_guard<std::mutex> noKill(reading_);
      if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT) return false;
      shown = ListItemText(list, row);
      if (shown == text) return true;
    }
    std::printf("  row %d shows \"%s\" after an edit to \"%s\"\n", row, Gbk(shown).c_str(), Gbk(text).c_str());
    ++notTaken_;
    return false;
  }

  bool Change(HANDLE process, HWND list, Situation situation, int i) {
    // The input box and the announcement hold the first row; the edits go to the others.
    const int first = situation == Situation::Plain || situation == Situation::InPlaceEdit ? 0 : 1;
    const int row = std::uniform_int_distribution<int>(first, kRows - 1)(random_);
    const std::wstring text = L"改" + std::to_wstring(edits_) + L"-" + std::to_wstring(i);
    std::vector<std::wstring> next = entries_;
    next[row] = text;
    Expect(next);
    if (situation == Situation::InPlaceEdit) {
      // The edit box stays open a while, as when a person types.
      HWND edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_EDITLABELW, row, 0));
      if (!edit) return false;
      SetText(edit, text);
      Pump(std::uniform_int_distribution<int>(0, 150)(random_));
      PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
      if (!WaitUntil([&] { return !IsWindow(edit); }, 3000)) return false;
    } else if (!EditListItem(list, row, text)) {
      return false;
    }
    // An edit the list did not take leaves the list as it was; the model follows what it shows.
    if (!Took(process, list, row, text)) {
      const std::lock_guard<std::mutex> noKill(reading_);
      if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        entries_ = ListColumn(list, 0);
        Expect(entries_);
      }
      return false;
    }
    entries_ = std::move(next);
    ++edits_;
    return true;
  }

  std::mutex reading_;  // held while reading the program's memory
  std::mt19937 random_{12345};
  ProgramDirectory dir_;
  std::vector<std::wstring> entries_, times_;
  // Every (times, entries) pair the list has had; the times never change here.
  std::set<std::pair<std::string, std::string>> states_;
  int kills_[4] = {}, intact_[4] = {}, notEntered_[4] = {};
  int starts_ = 0, edits_ = 0, notTaken_ = 0, previous_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
  const int kills = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int announced = argc > 2 ? std::atoi(argv[2]) : 5;
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // progress shows while it runs
  KillTest test;
  constexpr Situation kRotation[] = {Situation::Plain, Situation::InputBox, Situation::InPlaceEdit};
  for (int kill = 0; kill < kills + announced; ++kill) {
    const Situation situation = kill < announced ? Situation::Announcement : kRotation[(kill - announced) % 3];
    test.Cycle(situation);
    if (kill % 50 == 49) std::printf("%d kills\n", kill + 1);
  }
  test.CheckLast();
  return test.Report() ? 0 : 1;
}
