// The window unit's property block: the stored form of a window's own properties, read by the
// window type when it creates a window and written by the forms generator. Its property and
// event numbers. Portable.
#pragma once

#include "runtime/block_fields.h"

namespace tl {

inline constexpr int32_t kWindowBlockVersion = 6;

// Position reads the live state.
enum class WindowProperty : int32_t {
  Caption = kFirstOwnProperty, BorderStyle, BackColor, BackPicture, BackPictureMode, WindowIcon, SoundPlayMode,
  ControlBox, MaxButton, MinButton, Position, CloseItem, BackSound, EnterMovesFocus, EscCloses, F1Help, HelpFile,
  HelpContext, ShowInTaskbar, DragAnywhere, Shape, AlwaysOnTop, KeepTitleActive, WindowClassName, End
};

// The window's own events, raised with the window's own unit id.
namespace WindowEvent {
inline constexpr int32_t Created = 0;
inline constexpr int32_t MayClose = 1;  // after CloseRequest; never at log-off or shut-down
inline constexpr int32_t Destroyed = 2;
inline constexpr int32_t Moved = 3;
inline constexpr int32_t Resized = 4;
inline constexpr int32_t Idle = 7;  // the milliseconds idle so far; a true answer asks for more
inline constexpr int32_t CloseRequest = 12;
}  // namespace WindowEvent

inline constexpr uint32_t kSystemButtonFace = 0xFF000000;

struct WindowProperties {
  static constexpr int32_t kVersion = kWindowBlockVersion;
  static constexpr std::string_view kBlockName = "window block";
  static constexpr BlockReader::Reasons kReasons = BlockReader::Reasons::Truncation;

  int32_t version = kWindowBlockVersion;  // the version read, and the one written
  int32_t borderStyle = 2;      // 0 none, 1 sizable, 2 fixed, 3/4 tool window, 5/6 client edge
  int32_t backPictureMode = 1;  // 0 top-left, 1 tiled, 2 centred, 3 stretched
  uint32_t backColor = kSystemButtonFace;
  int32_t maxButton = 0, minButton = 1, controlBox = 1;
  int32_t position = 1;  // 0 stored, 1 centred, 2 minimized, 3 maximized
  int32_t closeItem = 1;
  int32_t soundPlayMode = 0;  // 0 loop, 1 once, other: no automatic play
  int32_t enterMovesFocus = 0, escCloses = 1, f1Help = 0, helpContext = 0;
  // From versions 2, 3, 3, 4, 5 and 6 on.
  int32_t showInTaskbar = 1, dragAnywhere = 0, shape = 0, alwaysOnTop = 0, keepTitleActive = 0;
  std::string windowClassName;
  std::vector<uint8_t> backPicture, windowIcon, backSound;
  std::string caption, helpFile;

  static constexpr auto Fields() {
    using P = WindowProperties;
    return std::tuple{
        Field{"border style", &P::borderStyle}, Field{"back picture mode", &P::backPictureMode},
        Field{"back colour", &P::backColor}, Field{"maximize button", &P::maxButton},
        Field{"minimize button", &P::minButton}, Field{"control box", &P::controlBox},
        Field{"position", &P::position}, Field{"close item", &P::closeItem},
        Field{"sound play mode", &P::soundPlayMode}, Field{"enter moves focus", &P::enterMovesFocus},
        Field{"Esc closes", &P::escCloses}, Field{"F1 help", &P::f1Help}, Field{"help context", &P::helpContext},
        Field{"show in taskbar", &P::showInTaskbar, 2}, Field{"drag anywhere", &P::dragAnywhere, 3},
        Field{"shape", &P::shape, 3}, Field{"always on top", &P::alwaysOnTop, 4},
        Field{"keep title active", &P::keepTitleActive, 5}, Field{"window class name", &P::windowClassName, 6},
        Field{"back picture", &P::backPicture}, Field{"window icon", &P::windowIcon},
        Field{"back sound", &P::backSound}, Field{"caption", &P::caption}, Field{"help file", &P::helpFile}};
  }
};

// An empty block gives every default; a version outside 0-6 or a short block gives nullopt, and
// error says why, with its byte counted from the start of the block.
inline std::optional<WindowProperties> ReadWindowBlock(std::span<const uint8_t> block, ReadError* error = nullptr) {
  return ReadBlock<WindowProperties>(block, error);
}
// The stored form at the properties' version (fields newer than it are left out).
inline std::vector<uint8_t> WriteWindowBlock(const WindowProperties& properties) { return WriteBlock(properties); }

}  // namespace tl
