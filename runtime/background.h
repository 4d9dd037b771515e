// A window's background picture: decoded once against the background colour, then drawn by
// the picture mode. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace tl {

// A stored 0x00BBGGRR colour; this value stands for the platform's button-face colour.
inline constexpr uint32_t kButtonFaceColour = 0xFF000000;
// The colour to draw with: the button face for its stand-in, the low 24 bits of any other.
COLORREF ResolveColor(uint32_t stored);

// The decoded pixels, 32-bit top-down BGRX, transparency already blended onto the colour.
struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};
// PNG only; nullopt for anything else or for a damaged file.
std::optional<DecodedPicture> DecodePicture(std::span<const uint8_t> file, COLORREF background);

class BackgroundPicture {
 public:
  explicit BackgroundPicture(DecodedPicture picture) : picture_(std::move(picture)) {}
  int width() const { return picture_.width; }
  int height() const { return picture_.height; }
  // Draws by mode (0 top-left, 1 tiled, 2 centred and shrunk to fit, 3 stretched) and returns
  // the area it covered, so the caller fills the rest with the colour.
  RECT Draw(HDC dc, const RECT& client, int mode) const;

 private:
  void Blit(HDC dc, int x, int y, int width, int height) const;
  DecodedPicture picture_;
};

// Fills the update area with the colour (0xFF000000: the button face) outside the covered rect.
void FillOutside(HDC dc, const RECT& area, const RECT& covered, uint32_t color);

}  // namespace tl
