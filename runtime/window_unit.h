// The window unit type (0x10001): a program window created from its property block, with its
// background, icons, shape, keyboard and mouse conveniences, close and destroy. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/unit.h"
#include "runtime/unit_type.h"
#include "runtime/window_block.h"

namespace tl {

extern const UnitTypeDescriptor kWindowType;

// The window's own events, raised with the window's own unit id.
namespace WindowEvent {
inline constexpr int32_t Created = 0;
inline constexpr int32_t MayClose = 1;  // after CloseRequest; never at log-off or shut-down
inline constexpr int32_t Destroyed = 2;
inline constexpr int32_t Moved = 3;
inline constexpr int32_t Resized = 4;
inline constexpr int32_t CloseRequest = 12;
}  // namespace WindowEvent

// A button's event raised when Enter presses the window's default button.
inline constexpr int32_t kButtonClickedEvent = 0;

// The loader tells the create entry whether the window is modal for the duration of the call.
void SetCreatingModal(bool modal);

class BackgroundPicture;

class WindowUnit : public Unit {
 public:
  WindowUnit(uint32_t windowId, uint32_t unitId, WindowProperties properties);
  ~WindowUnit() override;

  static WindowUnit* FromHandle(HWND hwnd);  // the window unit owning a top-level window
  bool Create(uint32_t style, HWND owner, HMENU menu, int left, int top, int width, int height);

  std::vector<uint8_t> PropertyData() const override;
  const WindowProperties& properties() const { return properties_; }
  PropertyValue ReadProperty(int32_t number);
  int WriteProperty(int32_t number, PropertyValue value);

  // Loader state. Moves and resizes raise their events from the created event on, so that a
  // created handler's own writes are heard; the window counts as loaded once its load is done.
  bool raisesFrameEvents = false;
  bool loaded = false;
  bool closePending = false;
  void SetAccelerators(HACCEL table);
  HACCEL accelerators() const { return accelerators_; }
  void KeepDetachedMenu(HMENU menu) { detachedMenus_.push_back(menu); }
  void DisableOtherWindows(const std::vector<HWND>& windows);
  void RestoreDisabledWindows();

  // The pump's pre-processing: the keyboard and mouse conveniences. True swallows the message.
  bool PreTranslate(MSG& msg);
  // A close request: events 12 and 1, then destruction unless refused. True when it closed.
  bool RequestClose();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void ApplyIcons();
  void ApplyShape();
  void PlayBackSound();
  bool EraseBackground(HDC dc);
  void ReleaseResources();
  bool MoveFocus(bool backward);
  bool HandleEnter(HWND focus);
  void OpenHelp() const;
  Unit* UnitOfHandle(HWND hwnd) const;

  WindowProperties properties_;
  HICON bigIcon_ = nullptr, smallIcon_ = nullptr;
  bool ownsIcons_ = false;
  HACCEL accelerators_ = nullptr;
  std::vector<HMENU> detachedMenus_;
  std::vector<std::pair<HWND, bool>> disabled_;
  std::unique_ptr<BackgroundPicture> picture_;
};

}  // namespace tl
