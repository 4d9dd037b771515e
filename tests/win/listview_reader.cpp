// Reads a list view in another process through the platform's messages alone, as a screen
// reader or an automation tool does: its item count, then for every item its selection and
// focus, its bounds and the text of each column. Writes them as UTF-8 to the given file.
// Usage: listview_reader <list window handle> <columns> <output file>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kTextCapacity = 4096;

// A block in the list's process that holds one LVITEMW and its text buffer, or a RECT.
struct RemoteBlock {
  HANDLE process;
  void* at;
  ~RemoteBlock() {
    if (at) VirtualFreeEx(process, at, 0, MEM_RELEASE);
  }
};

LRESULT Ask(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(list, message, wParam, lParam, SMTO_BLOCK, 5000, &answer)) std::exit(3);
  return static_cast<LRESULT>(answer);
}

std::wstring ItemText(HWND list, const RemoteBlock& remote, int item, int column) {
  LVITEMW request{};
  request.iSubItem = column;
  request.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote.at) + sizeof(LVITEMW));
  request.cchTextMax = kTextCapacity;
  WriteProcessMemory(remote.process, remote.at, &request, sizeof request, nullptr);
  const auto length = static_cast<size_t>(Ask(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(remote.at)));
  std::wstring text(std::min<size_t>(length, kTextCapacity - 1), L'\0');
  ReadProcessMemory(remote.process, request.pszText, text.data(), text.size() * sizeof(wchar_t), nullptr);
  return text;
}

RECT ItemBounds(HWND list, const RemoteBlock& remote, int item) {
  RECT bounds{LVIR_BOUNDS, 0, 0, 0};
  WriteProcessMemory(remote.process, remote.at, &bounds, sizeof bounds, nullptr);
  Ask(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(remote.at));
  ReadProcessMemory(remote.process, remote.at, &bounds, sizeof bounds, nullptr);
  return bounds;
}

std::string Utf8(const std::wstring& text) {
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                   static_cast<int>(bytes.size()), nullptr, nullptr));
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  HWND list = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoul(argv[1], nullptr, 10)));
  const int columns = std::atoi(argv[2]);
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return 4;
  RemoteBlock remote{process, VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kTextCapacity * sizeof(wchar_t),
                                             MEM_COMMIT, PAGE_READWRITE)};
  if (!remote.at) return 5;
  FILE* out = std::fopen(argv[3], "wb");
  if (!out) return 6;
  const auto count = static_cast<int>(Ask(list, LVM_GETITEMCOUNT, 0, 0));
  std::fprintf(out, "count %d\n", count);
  for (int i = 0; i < count; ++i) {
    const auto state = static_cast<UINT>(Ask(list, LVM_GETITEMSTATE, i, LVIS_SELECTED | LVIS_FOCUSED));
    const RECT r = ItemBounds(list, remote, i);
    std::fprintf(out, "%d%s%s rect %ld,%ld,%ld,%ld\n", i, (state & LVIS_SELECTED) ? " selected" : "",
                 (state & LVIS_FOCUSED) ? " focused" : "", r.left, r.top, r.right, r.bottom);
    for (int c = 0; c < columns; ++c) std::fprintf(out, "  %s\n", Utf8(ItemText(list, remote, i, c)).c_str());
  }
  std::fclose(out);
  return 0;
}
