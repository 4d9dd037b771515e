// Fonts of the unit types: from the stored 60-byte font record (the narrow logical font's
// layout: five int32 metrics, eight bytes italic .. pitch and family, 32 bytes of GBK face
// name), and the default text font. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace tl {

// The texts are GBK whatever the system's language, so fonts that do not name their own
// character set use GB2312; the system's default set would show Chinese as boxes under a
// Western locale.
inline constexpr BYTE kTextCharSet = GB2312_CHARSET;

// Null when the record is not 60 bytes or the platform refuses the font. With forceDefaults
// the record's character set and output precision are replaced by the program's defaults.
HFONT CreateFontFromRecord(std::span<const uint8_t> record, bool forceDefaults = false);
// The default GUI font's metrics in the program's character set.
HFONT CreateDefaultTextFont();

}  // namespace tl
