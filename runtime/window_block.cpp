#include "runtime/window_block.h"

#include "runtime/byte_io.h"

namespace tl {
namespace {

// Reads the integer fields in stored order; the version decides which of the later ones exist.
bool ReadIntegers(ByteReader& in, WindowProperties& p) {
  int32_t backColor = 0;
  bool ok = in.Int32(p.borderStyle) && in.Int32(p.backPictureMode) && in.Int32(backColor) &&
            in.Int32(p.maxButton) && in.Int32(p.minButton) && in.Int32(p.controlBox) &&
            in.Int32(p.position) && in.Int32(p.closeItem) && in.Int32(p.soundPlayMode) &&
            in.Int32(p.enterMovesFocus) && in.Int32(p.escCloses) && in.Int32(p.f1Help) &&
            in.Int32(p.helpContext);
  p.backColor = static_cast<uint32_t>(backColor);
  if (ok && p.version >= 2) ok = in.Int32(p.showInTaskbar);
  if (ok && p.version >= 3) ok = in.Int32(p.dragAnywhere) && in.Int32(p.shape);
  if (ok && p.version >= 4) ok = in.Int32(p.alwaysOnTop);
  if (ok && p.version >= 5) ok = in.Int32(p.keepTitleActive);
  if (ok && p.version >= 6) ok = in.CountedText(p.windowClassName);
  return ok;
}

}  // namespace

std::optional<WindowProperties> ReadWindowBlock(std::span<const uint8_t> block, ReadError* error) {
  WindowProperties p;
  if (block.empty()) return p;
  const auto refuse = [error](const char* what, size_t at) {
    if (error) *error = {what, at};
    return std::nullopt;
  };
  ByteReader in(block);
  if (!in.Int32(p.version)) return refuse("truncated window block", in.position());
  if (p.version < 0 || p.version > kWindowBlockVersion) return refuse("bad window block version", 0);
  if (!ReadIntegers(in, p) || !in.CountedBytes(p.backPicture) || !in.CountedBytes(p.windowIcon) ||
      !in.CountedBytes(p.backSound) || !in.CountedText(p.caption) || !in.CountedText(p.helpFile)) {
    return refuse("truncated window block", in.position());
  }
  return p;
}

std::vector<uint8_t> WriteWindowBlock(const WindowProperties& p) {
  ByteWriter out;
  out.Int32(p.version)
      .Int32(p.borderStyle)
      .Int32(p.backPictureMode)
      .Uint32(p.backColor)
      .Int32(p.maxButton)
      .Int32(p.minButton)
      .Int32(p.controlBox)
      .Int32(p.position)
      .Int32(p.closeItem)
      .Int32(p.soundPlayMode)
      .Int32(p.enterMovesFocus)
      .Int32(p.escCloses)
      .Int32(p.f1Help)
      .Int32(p.helpContext);
  if (p.version >= 2) out.Int32(p.showInTaskbar);
  if (p.version >= 3) out.Int32(p.dragAnywhere).Int32(p.shape);
  if (p.version >= 4) out.Int32(p.alwaysOnTop);
  if (p.version >= 5) out.Int32(p.keepTitleActive);
  if (p.version >= 6) out.CountedText(p.windowClassName);
  out.CountedBytes(p.backPicture)
      .CountedBytes(p.windowIcon)
      .CountedBytes(p.backSound)
      .CountedText(p.caption)
      .CountedText(p.helpFile);
  return out.Take();
}

int32_t* WindowIntegerProperty(WindowProperties& p, WindowProperty number) {
  switch (number) {
    case WindowProperty::BorderStyle: return &p.borderStyle;
    case WindowProperty::BackColor: return reinterpret_cast<int32_t*>(&p.backColor);
    case WindowProperty::BackPictureMode: return &p.backPictureMode;
    case WindowProperty::SoundPlayMode: return &p.soundPlayMode;
    case WindowProperty::ControlBox: return &p.controlBox;
    case WindowProperty::MaxButton: return &p.maxButton;
    case WindowProperty::MinButton: return &p.minButton;
    case WindowProperty::Position: return &p.position;
    case WindowProperty::CloseItem: return &p.closeItem;
    case WindowProperty::EnterMovesFocus: return &p.enterMovesFocus;
    case WindowProperty::EscCloses: return &p.escCloses;
    case WindowProperty::F1Help: return &p.f1Help;
    case WindowProperty::HelpContext: return &p.helpContext;
    case WindowProperty::ShowInTaskbar: return &p.showInTaskbar;
    case WindowProperty::DragAnywhere: return &p.dragAnywhere;
    case WindowProperty::Shape: return &p.shape;
    case WindowProperty::AlwaysOnTop: return &p.alwaysOnTop;
    case WindowProperty::KeepTitleActive: return &p.keepTitleActive;
    default: return nullptr;
  }
}

std::string* WindowTextProperty(WindowProperties& p, WindowProperty number) {
  switch (number) {
    case WindowProperty::Caption: return &p.caption;
    case WindowProperty::HelpFile: return &p.helpFile;
    case WindowProperty::WindowClassName: return &p.windowClassName;
    default: return nullptr;
  }
}

std::vector<uint8_t>* WindowBytesProperty(WindowProperties& p, WindowProperty number) {
  switch (number) {
    case WindowProperty::BackPicture: return &p.backPicture;
    case WindowProperty::WindowIcon: return &p.windowIcon;
    case WindowProperty::BackSound: return &p.backSound;
    default: return nullptr;
  }
}

}  // namespace tl
