#include "runtime/cursors.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

namespace tl {
namespace {

constexpr std::array<uint16_t, 15> kStandardCursorTable = {
    0,      0x7f00, 0x7f03, 0x7f01, 0x7f02, 0x7f8b, 0x7f8a, 0x7f88,
    0x7f86, 0x7f83, 0x7f85, 0x7f82, 0x7f84, 0x7f04, 0x7f89,
};
constexpr uint16_t kHandCursor = 0x7f89;

// Cursors made from files are ours to destroy; system cursors are shared.
std::set<HCURSOR>& OwnedCursors() {
  static std::set<HCURSOR> owned;
  return owned;
}

uint16_t ReadU16(std::span<const uint8_t> b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t ReadU32(std::span<const uint8_t> b, size_t at) {
  return ReadU16(b, at) | (static_cast<uint32_t>(ReadU16(b, at + 2)) << 16);
}

HCURSOR SystemCursor(uint16_t id) {
  if (id == kHandCursor) {
    if (HCURSOR own = LoadCursorW(GetModuleHandleW(nullptr), kHandCursorResource)) return own;
  }
  return LoadCursorW(nullptr, MAKEINTRESOURCEW(id));
}

HCURSOR CursorFromValue(int32_t v) {
  if (v >= 0 && v < static_cast<int32_t>(kStandardCursorTable.size())) {
    return v == 0 ? nullptr : SystemCursor(kStandardCursorTable[v]);
  }
  for (uint16_t id : kStandardCursorTable) {
    if (id != 0 && v == id) return SystemCursor(id);
  }
  return nullptr;
}

HCURSOR OwnedFromFile(std::span<const uint8_t> file) {
  HCURSOR cursor = CreateIconFromFile(file, true, GetSystemMetrics(SM_CXCURSOR),
                                      GetSystemMetrics(SM_CYCURSOR));
  if (cursor) OwnedCursors().insert(cursor);
  return cursor;
}

}  // namespace

HICON CreateIconFromFile(std::span<const uint8_t> file, bool cursor, int width, int height) {
  // Directory: reserved, type (1 icon, 2 cursor), count; then 16-byte entries.
  if (file.size() < 6 || ReadU16(file, 0) != 0) return nullptr;
  size_t count = ReadU16(file, 4);
  if (count == 0 || file.size() < 6 + 16 * count) return nullptr;
  size_t best = count;
  int bestScore = 0;
  for (size_t i = 0; i < count; ++i) {
    size_t entry = 6 + 16 * i;
    int w = file[entry] ? file[entry] : 256;
    int h = file[entry + 1] ? file[entry + 1] : 256;
    uint32_t size = ReadU32(file, entry + 8), offset = ReadU32(file, entry + 12);
    if (offset > file.size() || size > file.size() - offset || size < 40) continue;
    int score = std::abs(w - width) + std::abs(h - height);
    if (best == count || score < bestScore) best = i, bestScore = score;
  }
  if (best == count) return nullptr;
  size_t entry = 6 + 16 * best;
  uint32_t size = ReadU32(file, entry + 8), offset = ReadU32(file, entry + 12);
  std::vector<uint8_t> bits;
  if (cursor) {
    // A cursor resource starts with its hot spot, which the file keeps in the directory entry.
    bits.resize(4);
    std::memcpy(bits.data(), &file[entry + 4], 4);
  }
  bits.insert(bits.end(), file.begin() + offset, file.begin() + offset + size);
  // A cursor keeps its own size so that its hot spot stays where the file puts it.
  return CreateIconFromResourceEx(bits.data(), static_cast<DWORD>(bits.size()), !cursor,
                                  0x00030000, cursor ? 0 : width, cursor ? 0 : height,
                                  LR_DEFAULTCOLOR);
}

HCURSOR CreateUnitCursor(std::span<const uint8_t> data) {
  if (data.empty()) return nullptr;
  if (data.size() >= 4) {
    int32_t v;
    std::memcpy(&v, data.data(), 4);
    if (v == -1) return OwnedFromFile(data.subspan(4));
    if (data.size() > 10) return OwnedFromFile(data);
    if (data.size() == 4) return CursorFromValue(v);
  }
  return nullptr;
}

void ReleaseUnitCursor(HCURSOR cursor) {
  if (cursor && OwnedCursors().erase(cursor)) DestroyCursor(cursor);
}

}  // namespace tl
