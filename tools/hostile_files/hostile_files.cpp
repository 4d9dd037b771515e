// Starts the real program beside hostile entry and time files and checks, for each, that it
// starts without crashing or hanging, shows the rows it could read, and leaves every byte of a
// file it could not read whole and exact either untouched or kept in a backup it told the user
// about. Prints one line per case with its time; says which cases were slow.
//   tools/hostile_files/hostile_files.sh [case ...]
// The unreadable file needs the wrapper script, which changes its permissions on the Unix side
// (Wine cannot take a file's read permission away) and, run as root, drops root's permission
// override for the session.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tools/hostile_files/expectations.h"

using namespace tl::e2e;
using namespace std::string_literals;
using tl::hostile::ExpectedRows;
using tl::hostile::Preserved;

namespace {

const std::wstring kEntryFile = L"bugaun.txt", kTimeFile = L"jilusjian.txt";

struct Case {
  const char* name = "";
  std::string entries;                   // written unless `prepare` makes the entry file itself
  std::optional<std::string> times;      // nothing: no time file
  std::function<void(const ProgramDirectory&)> prepare;  // after the files are written
  std::function<void(const ProgramDirectory&)> restore;  // before the files are read back
  bool unreadable = false;               // the entry file cannot be read: no rows
};

std::string Lines(int count, const std::string& text) {
  std::string out;
  out.reserve(count * (text.size() + 12));
  for (int i = 0; i < count; ++i) out += text + std::to_string(i) + "\r\n";
  return out;
}

std::string Garbage(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string out(size, '\0');
  for (char& c : out) c = static_cast<char>(random());
  return out;
}

std::string Utf16(const std::wstring& text, bool byteOrderMark) {
  std::string out = byteOrderMark ? "\xFF\xFE" : "";
  out.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  return out;
}

std::string Utf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// Asks the wrapper script to change a file's Unix permissions (Wine cannot take read permission
// away) and waits until it has; false when no script answers.
bool SetUnixMode(const std::wstring& path, const char* mode) {
  const wchar_t* requestFile = _wgetenv(L"TL_CHMOD_REQUEST");
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  char* name = unixName ? unixName(path.c_str()) : nullptr;
  if (!requestFile || !name) return false;
  const std::string request = std::string(mode) + " " + name + "\n";
  HeapFree(GetProcessHeap(), 0, name);
  const std::wstring temporary = std::wstring(requestFile) + L".new";
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, request.data(), static_cast<DWORD>(request.size()), &written, nullptr);
  CloseHandle(file);
  MoveFileExW(temporary.c_str(), requestFile, MOVEFILE_REPLACE_EXISTING);
  return WaitUntil([&] { return GetFileAttributesW(requestFile) == INVALID_FILE_ATTRIBUTES; }, 10000);
}

bool Readable(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

Case Plain(const char* name, std::string entries, std::optional<std::string> times = std::nullopt) {
  Case c;
  c.name = name;
  c.entries = std::move(entries);
  c.times = std::move(times);
  return c;
}

std::vector<Case> Cases() {
  const std::string gbkLines = Gbk(L"买牛奶\r\n写周报PPt\r\n给妈妈打电话\r\n");
  std::vector<Case> cases;
  cases.push_back(Plain("50 MB entry file (1 KB lines)", Lines(51200, std::string(1000, 'x') + " ")));
  cases.push_back(Plain("one million lines", Lines(1000000, "e")));
  cases.push_back(Plain("one line of 1 MB", std::string(1 << 20, 'a') + "\r\n"));
  cases.push_back(Plain("only CR bytes", std::string(10000, '\r')));
  cases.push_back(Plain("only LF bytes", std::string(10000, '\n')));
  cases.push_back(Plain("invalid GBK sequences", "ok\r\n\x81\x20\xFF\xFE\x80 bad\r\n\xA1\r\nend\x81"));
  cases.push_back(Plain("zero byte in the middle", "one\r\ntwo\r\nth\0ree\r\nfour\r\n"s));
  cases.push_back(Plain("zero byte at the end", "one\r\ntwo\r\n\0"s));
  cases.push_back(Plain("UTF-8 with BOM", "\xEF\xBB\xBF" + Utf8(L"买牛奶\r\n写周报\r\n")));
  cases.push_back(Plain("UTF-8 without BOM", Utf8(L"买牛奶\r\n写周报\r\n")));
  cases.push_back(Plain("UTF-16 with BOM", Utf16(L"买牛奶\r\n写周报\r\n", true)));
  cases.push_back(Plain("binary garbage in the time file", gbkLines, Garbage(4096, 7)));
  Case directory = Plain("entry file is a directory", "", Gbk(L"2024年1月1日\r\n"));
  directory.prepare = [](const ProgramDirectory& dir) {
    dir.Remove(kEntryFile);
    CreateDirectoryW(dir.File(kEntryFile).c_str(), nullptr);
  };
  directory.unreadable = true;
  cases.push_back(directory);
  Case locked = Plain("entry file without read permission", gbkLines, Gbk(L"2024年1月1日\r\n2024年1月2日\r\n"));
  locked.prepare = [](const ProgramDirectory& dir) { SetUnixMode(dir.File(kEntryFile), "000"); };
  locked.restore = [](const ProgramDirectory& dir) { SetUnixMode(dir.File(kEntryFile), "644"); };
  locked.unreadable = true;
  cases.push_back(locked);
  return cases;
}

// A backup beside the file holding exactly these bytes.
bool BackedUp(const ProgramDirectory& dir, const std::wstring& name, const std::string& bytes) {
  const std::wstring stem = name.substr(0, name.find(L'.'));
  for (const std::wstring& file : dir.Names()) {
    if (file.starts_with(stem + L".备份") && dir.Read(file) == bytes) return true;
  }
  return false;
}

struct Outcome {
  bool skipped = false;  // the unreadable file was not provided
  bool started = false, answered = false, alive = false, rowsRight = false, entriesKept = false, timesKept = false;
  int rows = -1, expected = 0, boxes = 0;
  bool toldBackup = false;  // a message named a backup
  DWORD startMs = 0, loadMs = 0;
};

Outcome RunCase(const Case& c, DWORD limitMs) {
  Outcome o;
  ProgramDirectory dir;
  dir.Write(kEntryFile, c.entries);
  if (c.times) dir.Write(kTimeFile, *c.times);
  if (c.prepare) c.prepare(dir);
  o.expected = c.unreadable ? 0 : ExpectedRows(c.entries);
  if (c.unreadable && Readable(dir.File(kEntryFile))) {
    o.skipped = true;
    return o;
  }
  const DWORD begin = GetTickCount();
  RunningProgram program(dir);
  HWND main = program.MainWindow(limitMs);
  o.startMs = GetTickCount() - begin;
  HWND list = main ? FindChild(main, L"SysListView32") : nullptr;
  o.started = list != nullptr;
  if (o.started) {
    DWORD_PTR count = 0;
    WaitUntil([&] {
      const bool answered = SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_BLOCK, 1000, &count);
      return answered && static_cast<int>(count) == o.expected;
    }, limitMs > o.startMs ? limitMs - o.startMs : 1);
    o.loadMs = GetTickCount() - begin;
    // Saves run meanwhile; every message the program gives is read and answered.
    const DWORD settle = GetTickCount();
    while (GetTickCount() - settle < 5000) {
      for (HWND box : program.MessageBoxes()) {
        const std::wstring text = MessageBoxText(box);
        std::printf("  message: %s\n", Gbk(text).c_str());
        ++o.boxes;
        o.toldBackup = o.toldBackup || text.find(L"备份") != std::wstring::npos;
        AnswerMessageBox(box, IDOK);
        WaitUntil([&] { return !IsWindowVisible(box); }, 3000);
      }
      Pump(200);
    }
    DWORD_PTR answer = 0;
    o.answered = SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 5000, &answer);
    o.rows = static_cast<int>(count);
    o.rowsRight = o.rows == o.expected;
  }
  o.alive = program.WaitForExit(0) == static_cast<DWORD>(STILL_ACTIVE);
  program.Kill();
  if (c.restore) c.restore(dir);
  const bool told = o.toldBackup;
  const bool entryIsFile = !(GetFileAttributesW(dir.File(kEntryFile).c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  o.entriesKept = !entryIsFile || Preserved(c.entries, dir.Read(kEntryFile), BackedUp(dir, kEntryFile, c.entries), told);
  o.timesKept = !c.times || Preserved(*c.times, dir.Read(kTimeFile), BackedUp(dir, kTimeFile, *c.times), told);
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  int failed = 0, run = 0;
  std::vector<std::string> slow;
  for (const Case& c : Cases()) {
    bool chosen = argc < 2;
    for (int i = 1; i < argc; ++i) chosen = chosen || std::strstr(c.name, argv[i]) != nullptr;
    if (!chosen) continue;
    ++run;
    const double megabytes = c.entries.size() / 1048576.0;
    // Generous: ten seconds, and a second for every 100 KB and every 2,000 rows.
    const DWORD limitMs = 10000 + static_cast<DWORD>(megabytes * 10000) + ExpectedRows(c.entries) / 2;
    const Outcome o = RunCase(c, limitMs);
    if (o.skipped) {
      std::printf("SKIP %-36s the file stayed readable: run it through hostile_files.sh\n", c.name);
      --run;
      continue;
    }
    const bool pass = o.started && o.alive && o.answered && o.rowsRight && o.entriesKept && o.timesKept;
    if (!pass) ++failed;
    if (o.loadMs > 5000) slow.push_back(c.name);
    std::printf("%s %-36s %8.2f MB, window %6lu ms, rows %d of %d in %6lu ms (%.1f MB/s), messages %d%s%s%s%s\n",
                pass ? "PASS" : "FAIL", c.name, megabytes, o.startMs, o.rows, o.expected, o.loadMs,
                o.loadMs ? megabytes * 1000.0 / o.loadMs : 0.0, o.boxes, o.alive ? "" : ", program ended",
                o.answered || !o.started ? "" : ", window does not answer", o.entriesKept ? "" : ", entry file NOT kept",
                o.timesKept ? "" : ", time file NOT kept");
  }
  std::printf("slow to show their rows (over 5 s):");
  for (const std::string& name : slow) std::printf(" [%s]", name.c_str());
  std::printf("%s\n%d of %d cases passed: target %s\n", slow.empty() ? " none" : "", run - failed, run,
              failed == 0 ? "held" : "NOT held");
  return failed == 0 ? 0 : 1;
}
