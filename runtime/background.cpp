#include "runtime/background.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace tl {
namespace {

struct MemoryStream {
  std::span<const uint8_t> bytes;
  size_t position = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* stream = static_cast<MemoryStream*>(png_get_io_ptr(png));
  if (length > stream->bytes.size() - stream->position) png_error(png, "truncated");
  std::memcpy(out, stream->bytes.data() + stream->position, length);
  stream->position += length;
}

void FailDecode(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

uint32_t Blend(uint8_t r, uint8_t g, uint8_t b, uint8_t a, COLORREF background) {
  auto mix = [a](uint8_t fg, uint8_t bg) {
    return static_cast<uint32_t>((fg * a + bg * (255 - a) + 127) / 255);
  };
  return (mix(r, GetRValue(background)) << 16) | (mix(g, GetGValue(background)) << 8) |
         mix(b, GetBValue(background));
}

constexpr uint32_t kMaxSide = 16384;
// Two buffers of four bytes a pixel are held while decoding: a picture that passes the side
// limit can still need more memory than a 32-bit process has, and the failed allocation would
// throw out of the window procedure.
constexpr uint64_t kMaxPixels = uint64_t{1} << 24;

// libpng reports errors by longjmp; nothing with a destructor lives in this frame.
bool DecodePng(png_structp png, png_infop info, MemoryStream* stream, COLORREF background,
               DecodedPicture* out, std::vector<png_bytep>* rows, std::vector<uint8_t>* rgba) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, stream, ReadFromMemory);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
      uint64_t{width} * height > kMaxPixels) {
    return false;
  }
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  rgba->resize(static_cast<size_t>(width) * height * 4);
  rows->resize(height);
  for (png_uint_32 y = 0; y < height; ++y) (*rows)[y] = rgba->data() + static_cast<size_t>(y) * width * 4;
  png_read_image(png, rows->data());
  out->width = static_cast<int>(width);
  out->height = static_cast<int>(height);
  out->pixels.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < out->pixels.size(); ++i) {
    const uint8_t* p = rgba->data() + i * 4;
    out->pixels[i] = Blend(p[0], p[1], p[2], p[3], background);
  }
  return true;
}

}  // namespace

std::optional<DecodedPicture> DecodePicture(std::span<const uint8_t> file, COLORREF background) {
  if (file.size() < 8 || png_sig_cmp(file.data(), 0, 8) != 0) return std::nullopt;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailDecode, IgnoreWarning);
  if (!png) return std::nullopt;
  png_infop info = png_create_info_struct(png);
  MemoryStream stream{file, 0};
  DecodedPicture picture;
  std::vector<png_bytep> rows;
  std::vector<uint8_t> rgba;
  bool ok = info && DecodePng(png, info, &stream, ResolveColor(background), &picture, &rows, &rgba);
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  if (!ok) return std::nullopt;
  return picture;
}

void BackgroundPicture::Blit(HDC dc, int x, int y, int width, int height) const {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = picture_.width;
  bmi.bmiHeader.biHeight = -picture_.height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc, HALFTONE);
  StretchDIBits(dc, x, y, width, height, 0, 0, picture_.width, picture_.height,
                picture_.pixels.data(), &bmi, DIB_RGB_COLORS, SRCCOPY);
}

RECT BackgroundPicture::Draw(HDC dc, const RECT& client, int mode) const {
  const int cw = client.right - client.left, ch = client.bottom - client.top;
  switch (mode) {
    case 1:
      for (int y = 0; y < ch; y += picture_.height) {
        for (int x = 0; x < cw; x += picture_.width) Blit(dc, x, y, picture_.width, picture_.height);
      }
      return client;
    case 2: {
      double scale = 1.0;
      if (picture_.width > cw || picture_.height > ch) {
        scale = std::min(static_cast<double>(cw) / picture_.width,
                         static_cast<double>(ch) / picture_.height);
      }
      const int w = static_cast<int>(picture_.width * scale), h = static_cast<int>(picture_.height * scale);
      const int x = (cw - w) / 2, y = (ch - h) / 2;
      Blit(dc, x, y, w, h);
      return {x, y, x + w, y + h};
    }
    case 3:
      Blit(dc, 0, 0, cw, ch);
      return client;
    default:
      Blit(dc, 0, 0, picture_.width, picture_.height);
      return {0, 0, picture_.width, picture_.height};
  }
}

void FillOutside(HDC dc, const RECT& area, const RECT& covered, uint32_t color) {
  HBRUSH brush = CreateSolidBrush(ResolveColor(color));
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, covered.left, covered.top, covered.right, covered.bottom);
  FillRect(dc, &area, brush);
  RestoreDC(dc, saved);
  DeleteObject(brush);
}

COLORREF ResolveColor(uint32_t stored) {
  return stored == kButtonFaceColour ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(stored & 0xFFFFFF);
}

}  // namespace tl
