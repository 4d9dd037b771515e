// The window unit's property block: the stored form of a window's own properties, read by the
// window type when it creates a window and written by the forms generator. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/byte_io.h"

namespace tl {

inline constexpr int32_t kWindowBlockVersion = 6;

// Property numbers of the window type (the property services' index minus 8).
enum class WindowProperty : int32_t {
  Caption = 0,
  BorderStyle,
  BackColor,
  BackPicture,
  BackPictureMode,
  WindowIcon,
  SoundPlayMode,
  ControlBox,
  MaxButton,
  MinButton,
  Position,
  CloseItem,
  BackSound,
  EnterMovesFocus,
  EscCloses,
  F1Help,
  HelpFile,
  HelpContext,
  ShowInTaskbar,
  DragAnywhere,
  Shape,
  AlwaysOnTop,
  KeepTitleActive,
  WindowClassName,
};
inline constexpr int32_t kWindowPropertyCount = 24;

inline constexpr uint32_t kSystemButtonFace = 0xFF000000;

struct WindowProperties {
  int32_t version = kWindowBlockVersion;
  int32_t borderStyle = 2;  // 0 none, 1 sizable, 2 fixed, 3/4 tool window, 5/6 client edge
  int32_t backPictureMode = 1;  // 0 top-left, 1 tiled, 2 centred, 3 stretched
  uint32_t backColor = kSystemButtonFace;
  int32_t maxButton = 0;
  int32_t minButton = 1;
  int32_t controlBox = 1;
  int32_t position = 1;  // 0 stored, 1 centred, 2 minimized, 3 maximized
  int32_t closeItem = 1;
  int32_t soundPlayMode = 0;  // 0 loop, 1 once, other: no automatic play
  int32_t enterMovesFocus = 0;
  int32_t escCloses = 1;
  int32_t f1Help = 0;
  int32_t helpContext = 0;
  int32_t showInTaskbar = 1;    // version >= 2
  int32_t dragAnywhere = 0;     // version >= 3
  int32_t shape = 0;            // version >= 3
  int32_t alwaysOnTop = 0;      // version >= 4
  int32_t keepTitleActive = 0;  // version >= 5
  std::string windowClassName;  // version 6
  std::vector<uint8_t> backPicture;
  std::vector<uint8_t> windowIcon;
  std::vector<uint8_t> backSound;
  std::string caption;
  std::string helpFile;
};

// An empty block gives every default; a version outside 0-6 or a short block gives nullopt, and
// error says why, with its byte counted from the start of the block.
std::optional<WindowProperties> ReadWindowBlock(std::span<const uint8_t> block,
                                                ReadError* error = nullptr);
// The stored form at the properties' version (fields newer than it are left out).
std::vector<uint8_t> WriteWindowBlock(const WindowProperties& properties);

// Integer-valued properties by number; null for the texts and byte strings.
int32_t* WindowIntegerProperty(WindowProperties& properties, WindowProperty number);
std::string* WindowTextProperty(WindowProperties& properties, WindowProperty number);
std::vector<uint8_t>* WindowBytesProperty(WindowProperties& properties, WindowProperty number);

}  // namespace tl
