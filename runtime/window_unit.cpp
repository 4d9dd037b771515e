#include "runtime/window_unit.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "runtime/background.h"
#include "runtime/cursors.h"
#include "runtime/gbk.h"
#include "runtime/late_bound.h"
#include "runtime/menu_bar.h"
#include "runtime/runtime_state.h"
#include "runtime/session_end.h"
#include "runtime/system_dpi.h"
#include "runtime/top_level_windows.h"
#include "runtime/unit_events.h"
#include "runtime/value.h"
#include "runtime/window_class.h"
#include "runtime/window_map.h"

namespace tl {
namespace {

constexpr wchar_t kDefaultClass[] = L"_RT_Form";
bool g_creatingModal = false;

// The window units by their top-level windows. Every message the loop takes asks for one: a map
// in the windows' own thread answers without a round trip to the window server that a window
// property costs on Wine.
std::unordered_map<HWND, WindowUnit*>& WindowUnits() {
  thread_local std::unordered_map<HWND, WindowUnit*> units;
  return units;
}

bool Sizable(int32_t borderStyle) { return borderStyle == 1 || borderStyle == 3 || borderStyle == 5; }

struct Styles {
  DWORD style;
  DWORD exStyle;
};

Styles FrameStyles(const WindowProperties& p) {
  DWORD style = 0, ex = 0;
  if (p.borderStyle != 0) {
    if (!p.caption.empty() || p.controlBox) style |= WS_CAPTION;
    if (p.controlBox) style |= WS_SYSMENU;
    style |= WS_DLGFRAME;
    if (Sizable(p.borderStyle)) style |= WS_THICKFRAME;
    if (p.borderStyle == 3 || p.borderStyle == 4) ex |= WS_EX_TOOLWINDOW;
    if (p.borderStyle == 5 || p.borderStyle == 6) ex |= WS_EX_CLIENTEDGE;
  } else {
    style |= WS_POPUP;  // an overlapped window would get a caption whether asked or not
  }
  if (p.maxButton) style |= WS_MAXIMIZEBOX;
  if (p.minButton) style |= WS_MINIMIZEBOX;
  return {style, ex};
}

constexpr DWORD kFrameMask = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_POPUP | WS_MAXIMIZEBOX |
                             WS_MINIMIZEBOX;
constexpr DWORD kFrameExMask = WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE;

bool IsWave(std::span<const uint8_t> b) {
  return b.size() > 12 && std::memcmp(b.data(), "RIFF", 4) == 0 &&
         std::memcmp(b.data() + 8, "WAVE", 4) == 0;
}

HRGN ShapeRegion(int32_t shape, int width, int height) {
  switch (shape) {
    case 1: return CreateEllipticRgn(0, 0, width + 1, height + 1);
    case 2: return CreateRoundRectRgn(0, 0, width + 1, height + 1, width / 4, height / 4);
    case 3: {
      HRGN outer = CreateEllipticRgn(0, 0, width + 1, height + 1);
      HRGN inner = CreateEllipticRgn(width / 4, height / 4, width - width / 4 + 1, height - height / 4 + 1);
      CombineRgn(outer, outer, inner, RGN_DIFF);
      DeleteObject(inner);
      return outer;
    }
    default: return nullptr;
  }
}

Unit* CreateWindowUnit(const uint8_t* block, int32_t blockLength, uint32_t extraStyle, HWND owner,
                       int32_t, HMENU menu, int32_t left, int32_t top, int32_t width,
                       int32_t height, uint32_t windowId, uint32_t unitId, int32_t, int32_t) {
  std::span<const uint8_t> data;
  if (block && blockLength > 0) data = {block, static_cast<size_t>(blockLength)};
  auto properties = ReadWindowBlock(data);
  if (!properties) return nullptr;
  auto unit = std::make_unique<WindowUnit>(windowId, unitId, std::move(*properties));
  if (!unit->Create(extraStyle, owner, menu, left, top, width, height)) return nullptr;
  return unit.release();
}

void* WindowInterface(InterfaceCode code) { return PropertyEntries<WindowUnit>::Entry(code, &CreateWindowUnit); }

}  // namespace

const UnitTypeDescriptor kWindowType = {"窗口", "window", UnitState::RaisesEvents, WindowInterface};

void SetCreatingModal(bool modal) { g_creatingModal = modal; }

WindowUnit::WindowUnit(uint32_t windowId, uint32_t unitId, WindowProperties properties)
    : Unit(windowId, unitId), BlockProperties(std::move(properties)) {}

std::span<const Property<WindowUnit>> WindowUnit::Properties() {
  using P = WindowProperties;
  using N = WindowProperty;
  using W = WindowUnit;
  static constexpr auto kTable = TableOf<W, N>({
      {N::Caption, Stored<&P::caption, OnChange<&W::ShowCaption>{}>()},
      {N::BorderStyle, Stored<&P::borderStyle, OnChange<&W::ApplyFrame>{}>()},
      {N::BackColor, Stored<&P::backColor, OnChange<&W::RepaintBackground>{}>()},
      {N::BackPicture, Stored<&P::backPicture, OnChange<&W::RepaintBackground>{}>()},
      {N::BackPictureMode, Stored<&P::backPictureMode, OnChange<&W::RepaintBackground>{}>()},
      {N::WindowIcon, Stored<&P::windowIcon, OnChange<&W::ApplyIcons>{}>()},
      {N::SoundPlayMode, Stored<&P::soundPlayMode, OnChange<&W::PlayBackSound>{}>()},
      {N::ControlBox, Stored<&P::controlBox, OnChange<&W::ApplyFrame>{}>()},
      {N::MaxButton, Stored<&P::maxButton, OnChange<&W::ApplyFrame>{}>()},
      {N::MinButton, Stored<&P::minButton, OnChange<&W::ApplyFrame>{}>()},
      {N::Position, Live<&W::LivePosition, &W::SetPosition>()},
      {N::CloseItem, Stored<&P::closeItem, OnChange<&W::ApplyCloseItem>{}>()},
      {N::BackSound, Live<&W::BackSound, &W::SetBackSound>()},
      {N::EnterMovesFocus, Stored<&P::enterMovesFocus>()},
      {N::EscCloses, Stored<&P::escCloses>()},
      {N::F1Help, Stored<&P::f1Help>()},
      {N::HelpFile, Stored<&P::helpFile>()},
      {N::HelpContext, Stored<&P::helpContext>()},
      {N::ShowInTaskbar, Stored<&P::showInTaskbar>()},
      {N::DragAnywhere, Stored<&P::dragAnywhere>()},
      {N::Shape, Stored<&P::shape, OnChange<&W::ApplyShape>{}>()},
      {N::AlwaysOnTop, Stored<&P::alwaysOnTop, OnChange<&W::ApplyTopmost>{}>()},
      {N::KeepTitleActive, Stored<&P::keepTitleActive>()},
      {N::WindowClassName, Stored<&P::windowClassName>()},
  });
  return kTable;
}

WindowUnit::~WindowUnit() {
  if (hwnd_ && IsWindow(hwnd_)) {
    // Destroyed by its owner rather than closed: the runtime already dropped this object.
    WindowUnits().erase(hwnd_);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
  }
  ReleaseResources();
}

WindowUnit* WindowUnit::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  const auto& units = WindowUnits();
  const auto it = units.find(hwnd);
  return it == units.end() ? nullptr : it->second;
}

WindowUnit* LoadedWindow(const WindowDefinition& definition) {
  return static_cast<WindowUnit*>(UnitObject(definition, 0));
}

bool WindowUnit::Create(uint32_t style, HWND owner, HMENU menu, int left, int top, int width,
                        int height) {
  Styles frame = FrameStyles(block_);
  DWORD windowStyle = style | WS_CLIPCHILDREN | frame.style;
  recordPlace_ = {left, top, left + width, top + height};
  if (block_.position == 1) {
    const POINT centred = StartPosition();
    left = centred.x;
    top = centred.y;
  } else if (block_.position == 2) {
    windowStyle |= WS_MINIMIZE;
  } else if (block_.position == 3 && Sizable(block_.borderStyle)) {
    windowStyle |= WS_MAXIMIZE;
  }
  if (owner) {
    windowStyle |= WS_POPUP;
  } else if (g_creatingModal || !block_.showInTaskbar) {
    owner = Runtime().hiddenOwner;
  }
  std::wstring className =
      block_.windowClassName.empty() ? kDefaultClass : Widen(block_.windowClassName);
  if (!RegisterWindowClass(className.c_str(), WindowProc, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                           Runtime().defaultBigIcon, Runtime().defaultSmallIcon)) {
    return false;
  }
  // Made topmost as it is created: a window moved there afterwards costs the display a restack.
  const DWORD exStyle = frame.exStyle | (block_.alwaysOnTop ? WS_EX_TOPMOST : 0);
  HWND hwnd = CreateWindowExW(exStyle, className.c_str(), Widen(block_.caption).c_str(),
                              windowStyle, left, top, width, height, owner, menu,
                              GetModuleHandleW(nullptr), this);
  if (!hwnd) return false;
  dpi_ = QueryWindowDpi(hwnd);
  RECT placed;
  GetWindowRect(hwnd, &placed);
  if (!(windowStyle & (WS_MINIMIZE | WS_MAXIMIZE)) &&
      (placed.left != left || placed.top != top || placed.right - placed.left != width ||
       placed.bottom - placed.top != height)) {
    SetWindowPos(hwnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ApplyIcons();
  if (block_.shape != 0) ApplyShape();  // a new window has no region to remove
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (!block_.closeItem) DeleteMenu(GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND);
  PlayBackSound();
  return true;
}

std::vector<uint8_t> WindowUnit::PropertyData() const { return WriteWindowBlock(block_); }

// A window without an icon of its own shows the program's default icons through its class and is
// not told them: on Wine each icon a window is told is converted for the display there and then.
// One that loses its own icons is told it has none, and shows the class's again.
void WindowUnit::ApplyIcons() {
  HICON big = nullptr, small = nullptr;
  if (!block_.windowIcon.empty()) {
    big = CreateIconFromFile(block_.windowIcon, false, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    small = CreateIconFromFile(block_.windowIcon, false, GetSystemMetrics(SM_CXSMICON),
                               GetSystemMetrics(SM_CYSMICON));
  }
  if (big || small || bigIcon_ || smallIcon_) {
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  }
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
  bigIcon_ = big;
  smallIcon_ = small;
}

void WindowUnit::ApplyShape() {
  if (!hwnd_) return;
  if (block_.shape == 0) {
    SetWindowRgn(hwnd_, nullptr, TRUE);
    return;
  }
  RECT r;
  GetWindowRect(hwnd_, &r);
  if (HRGN region = ShapeRegion(block_.shape, r.right - r.left, r.bottom - r.top)) {
    SetWindowRgn(hwnd_, region, TRUE);  // the system owns the region from here
  }
}

void WindowUnit::PlayBackSound() {
  if ((block_.soundPlayMode == 0 || block_.soundPlayMode == 1) &&
      IsWave(block_.backSound)) {
    DWORD flags = SND_MEMORY | SND_ASYNC | SND_NODEFAULT;
    if (block_.soundPlayMode == 0) flags |= SND_LOOP;
    late::PlaySoundW(reinterpret_cast<LPCWSTR>(block_.backSound.data()), nullptr, flags);
  }
}

void WindowUnit::SetAccelerators(HACCEL table) {
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
  accelerators_ = table;
}

void WindowUnit::DisableOtherWindows(const std::vector<HWND>& windows) {
  for (HWND other : windows) {
    disabled_.emplace_back(other, IsWindowEnabled(other) != FALSE);
    EnableWindow(other, FALSE);
  }
}

void WindowUnit::RestoreDisabledWindows() {
  for (auto& [other, wasEnabled] : disabled_) {
    if (IsWindow(other)) EnableWindow(other, wasEnabled);
  }
  disabled_.clear();
}

void WindowUnit::ReleaseResources() {
  if (IsWave(block_.backSound)) late::StopSound();
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
  bigIcon_ = smallIcon_ = nullptr;
  SetAccelerators(nullptr);
  for (HMENU menu : detachedMenus_) DestroyMenu(menu);
  detachedMenus_.clear();
  RestoreDisabledWindows();
}

bool WindowUnit::EraseBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  RECT area;
  if (GetClipBox(dc, &area) == ERROR) area = client;
  if (!picture_ && !block_.backPicture.empty()) {
    if (auto decoded = DecodePicture(block_.backPicture, block_.backColor)) {
      picture_ = std::make_unique<BackgroundPicture>(std::move(*decoded));
    }
  }
  RECT covered{};
  if (picture_) covered = picture_->Draw(dc, client, block_.backPictureMode);
  FillOutside(dc, area, covered, block_.backColor);
  return true;
}

Unit* WindowUnit::UnitOfHandle(HWND hwnd) const {
  WindowDefinition* definition = FindWindowDefinition(windowId());
  if (!definition) return nullptr;
  const auto owner = definition->handles.NearestOwner(hwnd, hwnd_);
  return owner ? owner->unit : nullptr;
}

bool WindowUnit::MoveFocus(bool backward) {
  WindowDefinition* definition = FindWindowDefinition(windowId());
  if (!definition) return false;
  struct Stop {
    int32_t order;
    size_t index;
    HWND hwnd;
  };
  std::vector<Stop> stops;
  for (size_t i = 1; i < definition->units.size(); ++i) {
    Unit* unit = UnitObject(*definition, i);
    if (!unit || !unit->hwnd()) continue;
    HWND h = unit->hwnd();
    if (IsWindowVisible(h) && IsWindowEnabled(h) && (GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP)) {
      stops.push_back({definition->units.Unit(i).tabOrder, i, h});
    }
  }
  if (stops.empty()) return false;
  std::sort(stops.begin(), stops.end(), [](const Stop& a, const Stop& b) {
    return a.order != b.order ? a.order < b.order : a.index < b.index;
  });
  Unit* focused = UnitOfHandle(GetFocus());
  size_t current = stops.size();
  for (size_t i = 0; i < stops.size(); ++i) {
    if (focused && stops[i].hwnd == focused->hwnd()) current = i;
  }
  size_t next;
  if (current == stops.size()) next = backward ? stops.size() - 1 : 0;
  else next = backward ? (current + stops.size() - 1) % stops.size() : (current + 1) % stops.size();
  SetFocus(stops[next].hwnd);
  return true;
}

bool WindowUnit::HandleEnter(HWND focus) {
  auto isDefaultButton = [](HWND h) {
    wchar_t name[16];
    return GetClassNameW(h, name, 16) && lstrcmpiW(name, L"Button") == 0 &&
           (GetWindowLongW(h, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON;
  };
  Unit* focused = UnitOfHandle(focus);
  if (focused && focused != this && focused->hwnd() && isDefaultButton(focused->hwnd())) {
    RaiseEvent(*focused, kButtonClickedEvent);
    return true;
  }
  if (block_.enterMovesFocus) return MoveFocus(false);
  WindowDefinition* definition = FindWindowDefinition(windowId());
  for (size_t i = 1; definition && i < definition->units.size(); ++i) {
    Unit* unit = UnitObject(*definition, i);
    if (unit && unit->hwnd() && IsWindowEnabled(unit->hwnd()) && isDefaultButton(unit->hwnd())) {
      RaiseEvent(*unit, kButtonClickedEvent);
      return true;
    }
  }
  return false;
}

// The help file, or the program's name with "hlp", opened by its associated viewer when it
// exists. The viewer has no notion of a context id, so HelpContext is not passed on.
void WindowUnit::OpenHelp() const {
  std::string file = block_.helpFile;
  if (file.empty()) {
    const std::string& name = Runtime().programFileName;
    file = Runtime().programDirectory + name.substr(0, name.find_last_of('.')) + ".hlp";
  }
  std::wstring path = Widen(file);
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    late::ShellExecuteW(hwnd_, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
}

bool WindowUnit::PreTranslate(MSG& msg) {
  if (!loaded) return false;
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    const UINT key = static_cast<UINT>(msg.wParam);
    Unit* focused = UnitOfHandle(GetFocus());
    if (focused && focused != this && focused->ClaimsKey(key)) return false;
    // A system key message carries the Alt state itself (context bit 29).
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool alt = msg.message == WM_SYSKEYDOWN ? (msg.lParam & (1 << 29)) != 0
                                                  : GetKeyState(VK_MENU) < 0;
    if (msg.message == WM_KEYDOWN && !ctrl && !alt) {
      switch (key) {
        case VK_TAB: return MoveFocus(GetKeyState(VK_SHIFT) < 0);
        case VK_RETURN: return HandleEnter(GetFocus());
        case VK_ESCAPE:
          if (!block_.escCloses) return false;
          PostMessageW(hwnd_, WM_CLOSE, 0, 0);
          return true;
        case VK_F1:
          if (!block_.f1Help) return false;
          OpenHelp();
          return true;
        default: return false;
      }
    }
    if (msg.message == WM_SYSKEYDOWN && alt && ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))) {
      WindowDefinition* definition = FindWindowDefinition(windowId());
      for (size_t i = 1; definition && i < definition->units.size(); ++i) {
        Unit* unit = UnitObject(*definition, i);
        if (!unit || !unit->hwnd() || !IsWindowVisible(unit->hwnd()) || !IsWindowEnabled(unit->hwnd())) continue;
        wchar_t caption[256];
        int length = GetWindowTextW(unit->hwnd(), caption, 256);
        for (int c = 0; c + 1 < length; ++c) {
          if (caption[c] == L'&' && towupper(caption[c + 1]) == static_cast<wint_t>(key)) {
            SetFocus(unit->hwnd());
            return true;
          }
        }
      }
    }
    return false;
  }
  if (msg.message == WM_LBUTTONDOWN && block_.dragAnywhere) {
    Unit* target = UnitOfHandle(msg.hwnd);
    if (msg.hwnd == hwnd_ || (target && target != this && target->IsDragHandle())) {
      POINT screen;
      GetCursorPos(&screen);
      ReleaseCapture();
      PostMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
    }
  }
  return false;
}

// A centred window is centred on the screen as it is now; another goes where its record says.
POINT WindowUnit::StartPosition() const {
  const int width = recordPlace_.right - recordPlace_.left, height = recordPlace_.bottom - recordPlace_.top;
  if (block_.position != 1) return {recordPlace_.left, recordPlace_.top};
  return {(GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
}

void WindowUnit::BringIntoReach() {
  RECT r{};
  if (!hwnd_ || IsIconic(hwnd_) || IsZoomed(hwnd_) || !GetWindowRect(hwnd_, &r) || InReach(r)) return;
  const POINT start = StartPosition();
  SetWindowPos(hwnd_, nullptr, start.x, start.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool WindowUnit::RequestClose() {
  HWND hwnd = hwnd_;
  if (Refused(RaiseEvent(*this, WindowEvent::CloseRequest)) || !IsWindow(hwnd)) return false;
  if (Refused(RaiseEvent(*this, WindowEvent::MayClose)) || !IsWindow(hwnd)) return false;
  closePending = true;
  RestoreDisabledWindows();
  DestroyWindow(hwnd);  // this object is released by the runtime during the call
  return true;
}

// The window went to a monitor of another DPI. Its units take their places, sizes and fonts at the
// new DPI first; then the window takes the place the system suggests, and its resized event lets
// the handlers lay it out at the DPI they find here.
void WindowUnit::ChangeDpi(int32_t dpi, const RECT& suggested) {
  const int32_t previous = dpi_;
  dpi_ = dpi;
  if (WindowDefinition* definition = FindWindowDefinition(windowId()); definition && previous != dpi) {
    for (size_t i = 1; i < definition->units.size(); ++i) {
      if (Unit* unit = UnitObject(*definition, i)) unit->OnDpiChanged(previous, dpi);
    }
  }
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowUnit::ShowCaption() { SetWindowTextW(hwnd_, Widen(block_.caption).c_str()); }

void WindowUnit::ApplyFrame() {
  Styles frame = FrameStyles(block_);
  LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
  LONG ex = GetWindowLongW(hwnd_, GWL_EXSTYLE);
  SetWindowLongW(hwnd_, GWL_STYLE, static_cast<LONG>((style & ~kFrameMask) | frame.style));
  SetWindowLongW(hwnd_, GWL_EXSTYLE, static_cast<LONG>((ex & ~kFrameExMask) | frame.exStyle));
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void WindowUnit::RepaintBackground() {
  picture_.reset();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void WindowUnit::ApplyTopmost() {
  SetWindowPos(hwnd_, block_.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowUnit::ApplyCloseItem() {
  GetSystemMenu(hwnd_, TRUE);
  if (!block_.closeItem) DeleteMenu(GetSystemMenu(hwnd_, FALSE), SC_CLOSE, MF_BYCOMMAND);
}

// The user may have minimized or maximized the window: the live state is what reads, and what a
// write is compared with.
PropertyValue WindowUnit::LivePosition() const {
  if (hwnd_ && IsIconic(hwnd_)) return IntValue(2);
  if (hwnd_ && IsZoomed(hwnd_)) return IntValue(3);
  return IntValue(0);
}

bool WindowUnit::SetPosition(PropertyValue value) {
  const int32_t position = ValueInt(value);
  if ((hwnd_ ? ValueInt(LivePosition()) : block_.position) == position) return false;
  block_.position = position;
  if (hwnd_) ShowWindow(hwnd_, position == 2 ? SW_MINIMIZE : position == 3 ? SW_MAXIMIZE : SW_RESTORE);
  return false;
}

// A sound playing stops before it is replaced.
bool WindowUnit::SetBackSound(PropertyValue value) {
  std::vector<uint8_t> sound = ValueBytes(value);
  if (sound == block_.backSound) return false;
  if (IsWave(block_.backSound)) late::StopSound();
  block_.backSound = std::move(sound);
  if (hwnd_) PlayBackSound();
  return false;
}

LRESULT CALLBACK WindowUnit::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<WindowUnit*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    WindowUnits()[hwnd] = self;
  }
  auto* self = reinterpret_cast<WindowUnit*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    WindowUnits().erase(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->ReleaseResources();
    const uint32_t windowId = self->windowId();
    LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
    CallRuntime(Request::WindowDestroyed, windowId);  // releases self
    return result;
  }
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT WindowUnit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (std::optional<LRESULT> answer = RouteToOwningUnit(hwnd_, message, wParam, lParam)) return *answer;
  switch (message) {
    case WM_ERASEBKGND: return EraseBackground(reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    case WM_SIZE:
      if (block_.shape != 0) ApplyShape();
      if (raisesFrameEvents && wParam != SIZE_MINIMIZED) RaiseEvent(*this, WindowEvent::Resized);
      return 0;
    case WM_MOVE:
      if (raisesFrameEvents) RaiseEvent(*this, WindowEvent::Moved);
      return 0;
    case WM_CLOSE:
      RequestClose();
      return 0;
    // The program never stands in the way of a log-off or shut-down: nothing is closed yet, so no
    // close event is raised, and what must be kept is saved when the end is certain.
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
      SessionEnding(wParam);
      return 0;
    case WM_NCACTIVATE:
      if (block_.keepTitleActive && !wParam) {
        return DefWindowProcW(hwnd_, WM_NCACTIVATE, TRUE, lParam);
      }
      break;
    case WM_SETCURSOR: {
      if (LOWORD(lParam) != HTCLIENT) break;
      WindowDefinition* definition = FindWindowDefinition(windowId());
      Unit* unit = UnitOfHandle(reinterpret_cast<HWND>(wParam));
      if (!definition || !unit) break;
      auto index = definition->units.IndexOf(unit->unitId());
      HCURSOR cursor = index ? WordPointer<HCURSOR>(definition->units.CursorSlot(*index)) : nullptr;
      if (!cursor) break;
      SetCursor(cursor);
      return TRUE;
    }
    case WM_COMMAND: {
      WindowDefinition* definition = lParam ? nullptr : FindWindowDefinition(windowId());
      if (!definition) break;
      const UINT command = LOWORD(wParam);
      MenuRun run = FindMenuRun(definition->units);
      if (command >= kFirstMenuCommand && command - kFirstMenuCommand < run.count) {
        RaiseEvent(windowId(), definition->units.IdAt(run.first + command - kFirstMenuCommand),
                   kMenuItemChosenEvent);
      }
      return 0;
    }
    case WM_DESTROY:
      RaiseEvent(*this, WindowEvent::Destroyed);
      return 0;
    // A monitor removed, or the screen made smaller, can leave the window where nobody sees it.
    case WM_DISPLAYCHANGE: BringIntoReach(); break;
    case WM_DPICHANGED:
      if (lParam && LOWORD(wParam) > 0) {
        ChangeDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
      }
      break;
    default:
      // A second start asks: the window comes into reach and forward, which the second start,
      // ending at once, cannot be trusted to finish for it.
      if (message == BringIntoReachMessage()) {
        BringIntoReach();
        SetForegroundWindow(hwnd_);
        return 0;
      }
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace tl
