#include "controls/appearance.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "runtime/gbk.h"
#include "runtime/system_dpi.h"

namespace tl {
namespace {

constexpr DWORD kBorderExStyles = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;

constexpr BorderStyles kBorders[] = {
    {0, 0},
    {0, WS_EX_CLIENTEDGE},
    {0, WS_EX_DLGMODALFRAME},
    {0, WS_EX_STATICEDGE},
    {0, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME},
    {WS_BORDER, 0},
};

HFONT CreateFontFromRecord(std::span<const uint8_t> record, int32_t dpi, bool forceDefaults) {
  constexpr size_t kRecordSize = 60;
  constexpr size_t kFaceOffset = 28;
  if (record.size() != kRecordSize) return nullptr;
  LOGFONTW font{};
  int32_t metrics[5];
  std::memcpy(metrics, record.data(), sizeof metrics);
  font.lfHeight = ScaleToDpi(metrics[0], dpi);
  font.lfWidth = ScaleToDpi(metrics[1], dpi);
  font.lfEscapement = metrics[2];
  font.lfOrientation = metrics[3];
  font.lfWeight = metrics[4];
  const uint8_t* bytes = record.data() + sizeof metrics;
  font.lfItalic = bytes[0];
  font.lfUnderline = bytes[1];
  font.lfStrikeOut = bytes[2];
  font.lfCharSet = forceDefaults ? kTextCharSet : bytes[3];
  font.lfOutPrecision = forceDefaults ? OUT_DEFAULT_PRECIS : bytes[4];
  font.lfClipPrecision = bytes[5];
  font.lfQuality = bytes[6];
  font.lfPitchAndFamily = bytes[7];
  const auto* face = reinterpret_cast<const char*>(record.data() + kFaceOffset);
  const std::wstring wide = Widen(std::string_view(face, strnlen(face, kRecordSize - kFaceOffset)));
  wcsncpy(font.lfFaceName, wide.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

// The default GUI font's metrics in the program's character set, or the stock font itself. The
// stock font is made for the system's DPI.
GdiObject DefaultFont(int32_t dpi) {
  LOGFONTW font{};
  if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font)) {
    font.lfCharSet = kTextCharSet;
    font.lfHeight = ScalePixels(font.lfHeight, SystemDpi(), dpi);
    font.lfWidth = ScalePixels(font.lfWidth, SystemDpi(), dpi);
    if (HFONT created = CreateFontIndirectW(&font)) return GdiObject(created, true);
  }
  return GdiObject(GetStockObject(DEFAULT_GUI_FONT), false);
}

}  // namespace

GdiObject FontFromRecord(std::span<const uint8_t> record, int32_t dpi, bool forceDefaults) {
  HFONT created = CreateFontFromRecord(record, dpi, forceDefaults);
  return created ? GdiObject(created, true) : DefaultFont(dpi);
}

GdiObject SolidBrush(COLORREF colour) { return GdiObject(CreateSolidBrush(colour), true); }

GdiObject BitmapFromFile(std::span<const uint8_t> file) {
  BITMAPFILEHEADER header;
  BITMAPINFOHEADER info;
  if (file.size() < sizeof header + sizeof info) return {};
  std::memcpy(&header, file.data(), sizeof header);
  std::memcpy(&info, file.data() + sizeof header, sizeof info);
  if (header.bfType != 0x4D42 || info.biSize < sizeof info || info.biSize > file.size() - sizeof header)
    return {};
  if (info.biWidth <= 0 || info.biWidth > 8192 || info.biHeight == 0 || info.biHeight < -8192 ||
      info.biHeight > 8192 || info.biPlanes != 1 || info.biCompression != BI_RGB)
    return {};
  const uint32_t bits = info.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return {};
  // GDI reads as many colour entries as biClrUsed names (at most 256), whatever the depth, and
  // 2^bits when it names none; every one of them must lie inside the file.
  const uint32_t colours = info.biClrUsed ? std::min<uint32_t>(info.biClrUsed, 256) : (bits <= 8 ? 1u << bits : 0);
  const uint64_t tableEnd = sizeof header + uint64_t{info.biSize} + colours * sizeof(RGBQUAD);
  const uint64_t stride = ((uint64_t{static_cast<uint32_t>(info.biWidth)} * bits + 31) / 32) * 4;
  const uint64_t rows = info.biHeight < 0 ? -int64_t{info.biHeight} : info.biHeight;
  if (header.bfOffBits < tableEnd || header.bfOffBits > file.size() ||
      stride * rows > file.size() - header.bfOffBits)
    return {};
  const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(file.data() + sizeof header);
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBitmap(screen, &info, CBM_INIT, file.data() + header.bfOffBits,
                                  bitmapInfo, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap ? GdiObject(bitmap, true) : GdiObject();
}

void DrawEffectText(HDC dc, std::wstring_view text, RECT rect, UINT format, int32_t effect,
                    COLORREF colour) {
  const int length = static_cast<int>(text.size());
  auto drawAt = [&](int dx, int dy, COLORREF c) {
    RECT r = rect;
    OffsetRect(&r, dx, dy);
    SetTextColor(dc, c);
    DrawTextW(dc, text.data(), length, &r, format);
  };
  switch (effect) {
    case 1:
      drawAt(1, 1, RGB(255, 255, 255));
      drawAt(0, 0, colour);
      break;
    case 2:
      drawAt(0, 0, RGB(255, 255, 255));
      drawAt(1, 1, colour);
      break;
    case 3:
      drawAt(2, 2, RGB(0, 0, 0));
      drawAt(0, 0, colour);
      break;
    default:
      drawAt(0, 0, colour);
  }
}

BorderStyles BorderFor(int32_t border) {
  if (border < 0 || border >= static_cast<int32_t>(std::size(kBorders))) return kBorders[0];
  return kBorders[border];
}

void ApplyBorder(HWND hwnd, int32_t border) {
  if (!hwnd) return;
  const BorderStyles b = BorderFor(border);
  const LONG_PTR style = (GetWindowLongPtrW(hwnd, GWL_STYLE) & ~WS_BORDER) | b.style;
  const LONG_PTR exStyle = (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & ~kBorderExStyles) | b.exStyle;
  SetWindowLongPtrW(hwnd, GWL_STYLE, style);
  SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace tl
