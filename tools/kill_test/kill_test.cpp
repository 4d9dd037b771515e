// Kills the real program at random instants while its entries change, and checks after each
// kill what the next start finds: both files whole, every line ended by CR LF, and the pair
// equal to a state the list had. Prints the number of kills and of intact pairs.
//   tools/wine-session.sh wine build/win32/tools/kill_test/kill_test.exe [kills]
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "tests/e2e/driver.h"

using namespace tl::e2e;

namespace {

constexpr int kRows = 6;

std::string Joined(const std::vector<std::wstring>& texts) {
  std::string out;
  for (const std::wstring& text : texts) out += Gbk(text) + "\r\n";
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

}  // namespace

int main(int argc, char** argv) {
  const int kills = argc > 1 ? std::atoi(argv[1]) : 200;
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // progress shows while it runs
  std::mt19937 random(12345);
  ProgramDirectory dir;
  std::vector<std::wstring> entries, times;
  for (int i = 0; i < kRows; ++i) {
    entries.push_back(L"条目" + std::to_wstring(i));
    times.push_back(L"2024年1月" + std::to_wstring(i + 1) + L"日");
  }
  dir.Write(L"bugaun.txt", Joined(entries));
  dir.Write(L"jilusjian.txt", Joined(times));
  // Every (times, entries) pair the list has had; the times never change here.
  std::set<std::pair<std::string, std::string>> states{{Joined(times), Joined(entries)}};

  int intact = 0, checked = 0, edits = 0;
  for (int kill = 0; kill < kills; ++kill) {
    RunningProgram program(dir);
    HWND main = program.MainWindow(20000);
    HWND list = main ? FindChild(main, L"SysListView32") : nullptr;
    if (!list) {
      std::printf("start %d: no main window\n", kill);
      continue;
    }
    // What this start found on disk, after it settled what the kill left.
    const auto entryFile = dir.Read(L"bugaun.txt"), timeFile = dir.Read(L"jilusjian.txt");
    ++checked;
    const bool whole = entryFile && timeFile && Whole(*entryFile) && Whole(*timeFile);
    const bool known = whole && states.count({*timeFile, *entryFile}) == 1;
    const bool listed = known && Joined(ListColumn(list, 0)) == *entryFile;
    if (whole && known && listed) {
      ++intact;
    } else {
      std::printf("after kill %d: whole %d, a state the list had %d, loaded as saved %d\n", kill, whole, known, listed);
    }
    entries = ListColumn(list, 0);

    const int after = std::uniform_int_distribution<int>(0, 600)(random);
    std::atomic<bool> killed{false};
    std::thread killer([&] {
      Sleep(after);
      program.Kill();
      killed = true;
    });
    for (int i = 0; !killed; ++i) {
      const int row = std::uniform_int_distribution<int>(0, kRows - 1)(random);
      const std::wstring text = L"改" + std::to_wstring(kill) + L"-" + std::to_wstring(i);
      // The state counts once the list holds it, before the edit's save can begin.
      std::vector<std::wstring> next = entries;
      next[row] = text;
      states.insert({Joined(times), Joined(next)});
      if (!EditListItem(list, row, text)) break;
      entries = std::move(next);
      ++edits;
    }
    killer.join();
  }
  std::printf("kills %d, starts checked %d, intact pairs %d, edits %d\n", kills, checked, intact, edits);
  return intact == checked ? 0 : 1;
}
