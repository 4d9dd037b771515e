#include "controls/fonts.h"

#include <cstring>
#include <string>

#include "runtime/gbk.h"

namespace tl {

HFONT CreateFontFromRecord(std::span<const uint8_t> record, bool forceDefaults) {
  constexpr size_t kRecordSize = 60;
  constexpr size_t kFaceOffset = 28;
  if (record.size() != kRecordSize) return nullptr;
  LOGFONTW font{};
  int32_t metrics[5];
  std::memcpy(metrics, record.data(), sizeof metrics);
  font.lfHeight = metrics[0];
  font.lfWidth = metrics[1];
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

HFONT CreateDefaultTextFont() {
  LOGFONTW font{};
  if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font)) return nullptr;
  font.lfCharSet = kTextCharSet;
  return CreateFontIndirectW(&font);
}

}  // namespace tl
