// Mouse cursors of units from their stored cursor data: a standard cursor by table index or
// system id, the program's own hand cursor, or a cursor file. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace tl {

// The program's hand cursor resource; the system's hand serves when the program has none.
inline constexpr const wchar_t* kHandCursorResource = L"TL_HAND";

// Null for empty data (the default cursor) and for data that makes no cursor.
HCURSOR CreateUnitCursor(std::span<const uint8_t> data);
// Destroys cursors created from files; shared system cursors are left alone.
void ReleaseUnitCursor(HCURSOR cursor);

// An icon or cursor made from the bytes of an .ico/.cur file, picking the entry nearest the
// wanted size; null for malformed data. The caller destroys it.
HICON CreateIconFromFile(std::span<const uint8_t> file, bool cursor, int width, int height);

}  // namespace tl
