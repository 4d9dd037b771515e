// The window unit type (0x10001): a program window created from its property block, with its
// background, icons, shape, keyboard and mouse conveniences, close and destroy. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/dpi.h"
#include "runtime/property_table.h"
#include "runtime/unit.h"
#include "runtime/unit_type.h"
#include "runtime/window_block.h"

namespace tl {

extern const UnitTypeDescriptor kWindowType;

// A button's event raised when Enter presses the window's default button.
inline constexpr int32_t kButtonClickedEvent = 0;

// The loader tells the create entry whether the window is modal for the duration of the call.
void SetCreatingModal(bool modal);

class BackgroundPicture;

class WindowUnit : public Unit, public BlockProperties<WindowUnit, WindowProperties> {
 public:
  WindowUnit(uint32_t windowId, uint32_t unitId, WindowProperties properties);
  ~WindowUnit() override;
  // A value written again changes nothing: no repaint, no restyle, no sound restarted.
  static std::span<const Property<WindowUnit>> Properties();

  static WindowUnit* FromHandle(HWND hwnd);  // the window unit owning a top-level window
  bool Create(uint32_t style, HWND owner, HMENU menu, int left, int top, int width, int height);

  std::vector<uint8_t> PropertyData() const override;
  const WindowProperties& properties() const { return block_; }

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
  // A window that no monitor's work area shows any part of goes back to where its start put it,
  // keeping its size.
  void BringIntoReach();
  // The DPI the window is shown at: the system's answer when it was created, then the one each
  // WM_DPICHANGED brings. Kept here so that reading it costs no call to the system.
  int32_t dpi() const { return dpi_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void ShowCaption();
  void ApplyFrame();
  void RepaintBackground();
  void ApplyIcons();
  void ApplyShape();
  void ApplyTopmost();
  void ApplyCloseItem();
  void PlayBackSound();
  PropertyValue LivePosition() const;
  bool SetPosition(PropertyValue value);
  PropertyValue BackSound() const { return BytesValue(block_.backSound); }
  bool SetBackSound(PropertyValue value);
  bool EraseBackground(HDC dc);
  void ReleaseResources();
  bool MoveFocus(bool backward);
  bool HandleEnter(HWND focus);
  void OpenHelp() const;
  Unit* UnitOfHandle(HWND hwnd) const;
  POINT StartPosition() const;
  void ChangeDpi(int32_t dpi, const RECT& suggested);

  HICON bigIcon_ = nullptr, smallIcon_ = nullptr;  // the window's own, from its icon property
  HACCEL accelerators_ = nullptr;
  RECT recordPlace_{};  // left, top, right and bottom the window was created with
  int32_t dpi_ = kDesignDpi;
  std::vector<HMENU> detachedMenus_;
  std::vector<std::pair<HWND, bool>> disabled_;
  std::unique_ptr<BackgroundPicture> picture_;
};

struct WindowDefinition;
// The window unit of a loaded window, the object in its window record's slot; null when the
// window is not loaded.
WindowUnit* LoadedWindow(const WindowDefinition& definition);

}  // namespace tl
