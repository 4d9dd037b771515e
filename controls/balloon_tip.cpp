#include "controls/balloon_tip.h"

#include <algorithm>
#include <array>

#include "runtime/gbk.h"
#include "runtime/late_bound.h"
#include "runtime/system_dpi.h"
#include "runtime/unit_events.h"
#include "runtime/window_class.h"

namespace tl {
namespace {

constexpr wchar_t kHolderClass[] = L"_RT_BalloonTip";
constexpr wchar_t kBalloonClass[] = L"_RT_BalloonTipWindow";
constexpr UINT_PTR kDelayTimer = 1;
constexpr UINT_PTR kDisplayTimer = 2;
constexpr UINT_PTR kFadeTimer = 3;
constexpr UINT kFadeStep = 10;  // ms between two steps of a fade
constexpr LONG kMaxTextWidth = 320;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;

// The balloon units of one thread and the hooks that show them the thread's pointer and key
// input. Only input wakes these hooks: a hook on every message would cost each timer tick a
// round trip to the window server on Wine.
struct ThreadTips {
  HHOOK mouse = nullptr;
  HHOOK keyboard = nullptr;
  std::vector<BalloonTip*> units;
};
thread_local ThreadTips t_tips;

void ShowUnits(const MSG& message) {
  const std::vector<BalloonTip*> units = t_tips.units;
  for (BalloonTip* unit : units) {
    if (std::find(t_tips.units.begin(), t_tips.units.end(), unit) != t_tips.units.end())
      unit->OnThreadMessage(message);
  }
}

// Only input taken off the queue (HC_ACTION): a peek that leaves it would count it twice.
LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* mouse = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    MSG message{mouse->hwnd, static_cast<UINT>(wParam), 0, 0, 0, mouse->pt};
    ShowUnits(message);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  constexpr LPARAM kReleased = LPARAM{1} << 31;
  if (code == HC_ACTION && !(lParam & kReleased)) {
    MSG message{nullptr, WM_KEYDOWN, wParam, lParam, 0, {}};
    ShowUnits(message);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Enlist(BalloonTip* unit) {
  if (t_tips.units.empty()) {
    t_tips.mouse = SetWindowsHookExW(WH_MOUSE, &MouseHook, nullptr, GetCurrentThreadId());
    t_tips.keyboard = SetWindowsHookExW(WH_KEYBOARD, &KeyboardHook, nullptr, GetCurrentThreadId());
  }
  t_tips.units.push_back(unit);
}

void Dismiss(BalloonTip* unit) {
  std::erase(t_tips.units, unit);
  if (!t_tips.units.empty()) return;
  for (HHOOK* hook : {&t_tips.mouse, &t_tips.keyboard}) {
    if (*hook) UnhookWindowsHookEx(*hook);
    *hook = nullptr;
  }
}

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

GdiObject BodyFontObject(std::string_view styleSheet) {
  const TipFont body = BodyFont(styleSheet);
  LOGFONTW font{};
  HDC screen = GetDC(nullptr);
  font.lfHeight = -MulDiv(body.pointSize, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = GB2312_CHARSET;
  const std::wstring face = Widen(body.face);
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  HFONT created = CreateFontIndirectW(&font);
  return created ? GdiObject(created, true) : FontFromRecord({}, SystemDpi());
}

}  // namespace

const UnitTypeDescriptor kBalloonTipType = DescriptorOf<BalloonTip>("气球提示框", "Q_tip", UnitState::Invisible);

template <size_t... Number>
constexpr auto BalloonTip::TableInOrder(std::index_sequence<Number...>) {
  return std::array{
      Live<&BalloonTip::IntProperty<Number>, &BalloonTip::SetIntProperty<Number>>()...,
      Live<&BalloonTip::StyleSheet, &BalloonTip::SetStyleSheet>(),
  };
}

// The rows stand in stored order, which is the order of the property names.
std::span<const Property<BalloonTip>> BalloonTip::Properties() {
  static constexpr auto kTable = TableInOrder(std::make_index_sequence<BalloonTipBlock::kIntCount>());
  static_assert(Number(BalloonTipProperty::StyleSheet) - kFirstOwnProperty == kTable.size() - 1);
  static_assert(Number(BalloonTipProperty::End) - kFirstOwnProperty == kTable.size());
  return kTable;
}

BalloonTip::BalloonTip(const BalloonTipBlock& block, uint32_t windowId, uint32_t unitId)
    : BlockUnit(block, windowId, unitId) {
  font_ = BodyFontObject(block.styleSheet);
}

// The loader's extra styles do not apply: the holder is never shown.
bool BalloonTip::Build(uint32_t, HWND parent, int32_t childId, Place place) {
  if (!RegisterWindowClass(kBalloonClass, &BalloonProcedure, 0)) return false;
  // A hidden child at the unit's place: it carries the timers and the common properties.
  if (!CreateOwnWindow(kHolderClass, 0, 0, WS_CHILD, L"", parent, childId, place)) return false;
  Enlist(this);
  return true;
}

BalloonTip::~BalloonTip() {
  Dismiss(this);
  if (balloon_ && IsWindow(balloon_)) DestroyWindow(balloon_);
  DestroyControl();
}

template <int32_t Number>
bool BalloonTip::SetIntProperty(PropertyValue value) {
  *block_.IntField(Number) = ValueInt(value);
  Refresh();
  return false;
}

bool BalloonTip::SetStyleSheet(PropertyValue value) {
  block_.styleSheet = ValueText(value);
  font_ = BodyFontObject(block_.styleSheet);
  Refresh();
  return false;
}

void BalloonTip::Refresh() {
  if (shown_) Show();
}

bool BalloonTip::OnWindowMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_TIMER) return false;
  OnTimer(wParam);
  result = 0;
  return true;
}

void BalloonTip::SetTip(HWND target, RECT region, std::string_view text) {
  std::vector<TipItem>& items = registry_[target];
  auto same = std::find_if(items.begin(), items.end(), [&](const TipItem& i) { return EqualRect(&i.region, &region); });
  if (same == items.end()) {
    items.push_back(TipItem{region, std::string(text)});
    return;
  }
  same->text = text;
  // A shown tip whose text changed shows the new text where it is.
  if (shown_ && current_ && current_->target == target &&
      current_->index == static_cast<size_t>(same - items.begin()) && Widen(text) != shownText_) {
    Show();
  }
}

size_t BalloonTip::ItemCount(HWND target) const {
  auto found = registry_.find(target);
  return found == registry_.end() ? 0 : found->second.size();
}

std::string BalloonTip::ItemText(HWND target, size_t index) const {
  auto found = registry_.find(target);
  return found == registry_.end() || index >= found->second.size() ? std::string() : found->second[index].text;
}

HWND BalloonTip::ShownTip() const { return shown_ ? balloon_ : nullptr; }

void BalloonTip::OnThreadMessage(const MSG& message) {
  // Between the form window's end and the unit's own there is nothing to show a tip for.
  if (!hwnd_ || !IsWindow(hwnd_)) return;
  switch (message.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
      if (!SamePoint(message.pt, lastPointer_)) OnPointerMoved(message.pt);
      break;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_XBUTTONDOWN: case WM_XBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK: case WM_NCXBUTTONDOWN: case WM_NCXBUTTONDBLCLK:
    case WM_MOUSEWHEEL: case WM_MOUSEHWHEEL: case WM_KEYDOWN: case WM_SYSKEYDOWN:
      HideAndForget();
      break;
    default:
      break;
  }
}

std::optional<BalloonTip::ItemRef> BalloonTip::ItemAt(POINT screen) const {
  // The target itself or a window inside it (a list view's header, say).
  HWND window = WindowFromPoint(screen);
  auto found = registry_.end();
  while (window && (found = registry_.find(window)) == registry_.end()) {
    if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) return std::nullopt;
    window = GetParent(window);
  }
  if (!window) return std::nullopt;
  POINT inTarget = screen;
  ScreenToClient(window, &inTarget);
  const std::vector<TipItem>& items = found->second;
  for (size_t i = 0; i < items.size(); ++i) {
    if (IsRectEmpty(&items[i].region) || PtInRect(&items[i].region, inTarget)) return ItemRef{window, i};
  }
  return std::nullopt;
}

void BalloonTip::OnPointerMoved(POINT at) {
  lastPointer_ = at;
  const std::optional<ItemRef> item = ItemAt(at);
  if (!item) {
    HideAndForget(/*fade=*/true);
    return;
  }
  if (item != current_) {
    Hide();
    current_ = item;
    if (block_.initialDelay <= 0) {
      KillTimer(hwnd_, kDelayTimer);
      Show();
    } else {
      SetTimer(hwnd_, kDelayTimer, static_cast<UINT>(block_.initialDelay), nullptr);
    }
    return;
  }
  if (!shown_) return;
  const int32_t behaviour = block_.behaviour;
  if (behaviour & TipBehaviour::FollowPointer) PlaceBalloon(at, shownText_);
  if (behaviour & TipBehaviour::RestartDisplayTime && block_.displayTime > 0)
    SetTimer(hwnd_, kDisplayTimer, static_cast<UINT>(block_.displayTime), nullptr);
  const int32_t keeps = TipBehaviour::FollowPointer | TipBehaviour::RestartDisplayTime | TipBehaviour::StayWhileMoving;
  if (!(behaviour & keeps)) Hide(/*fade=*/true);
}

void BalloonTip::OnTimer(UINT_PTR id) {
  if (id == kFadeTimer) {
    StepFade();
    return;
  }
  KillTimer(hwnd_, id);
  if (id == kDisplayTimer) {
    Hide(/*fade=*/true);
    return;
  }
  if (id != kDelayTimer || !current_) return;
  POINT now;
  GetCursorPos(&now);
  if (ItemAt(now) != current_) {
    current_.reset();
    return;
  }
  if (SamePoint(now, lastPointer_)) {
    Show();
  } else {
    // Still moving inside the item: it has to rest for the whole delay.
    lastPointer_ = now;
    SetTimer(hwnd_, kDelayTimer, static_cast<UINT>(std::max(block_.initialDelay, 1)), nullptr);
  }
}

void BalloonTip::Show() {
  if (!current_) return;
  const std::string text = ItemText(current_->target, current_->index);
  if (!balloon_) {
    HWND owner = GetAncestor(hwnd_, GA_ROOT);
    CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kBalloonClass, L"", WS_POPUP, 0, 0, 0, 0,
                    owner, nullptr, GetModuleHandleW(nullptr), this);
    if (!balloon_) return;
  }
  StopFade();
  shownText_ = Widen(text);
  // The balloon paints its own text; as its window text too, screen readers and tests read it.
  SetWindowTextW(balloon_, shownText_.c_str());
  PlaceBalloon(lastPointer_, shownText_);
  const bool fadeIn = block_.fadeInTime > 0 && !shown_;
  SetOpacity(fadeIn ? 0 : 255);
  ShowWindow(balloon_, SW_SHOWNOACTIVATE);
  InvalidateRect(balloon_, nullptr, TRUE);
  shown_ = true;
  if (fadeIn) StartFade(Fade::In);
  if (block_.displayTime > 0) SetTimer(hwnd_, kDisplayTimer, static_cast<UINT>(block_.displayTime), nullptr);
}

void BalloonTip::Hide(bool fade) {
  KillTimer(hwnd_, kDisplayTimer);
  if (!shown_ || !balloon_) return;
  shown_ = false;
  if (fade && block_.fadeOutTime > 0) {
    StartFade(Fade::Out);
    return;
  }
  StopFade();
  ShowWindow(balloon_, SW_HIDE);
}

void BalloonTip::HideAndForget(bool fade) {
  Hide(fade);
  KillTimer(hwnd_, kDelayTimer);
  current_.reset();
}

void BalloonTip::PlaceBalloon(POINT at, const std::wstring& text) {
  RECT measured{0, 0, kMaxTextWidth, 0};
  HDC dc = GetDC(balloon_);
  HGDIOBJ previous = SelectObject(dc, font_.font());
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, kTextFormat | DT_CALCRECT);
  SelectObject(dc, previous);
  ReleaseDC(balloon_, dc);

  const LONG marginX = std::max(block_.marginX, 0), marginY = std::max(block_.marginY, 0);
  const LONG anchorW = std::max(block_.anchorWidth, 0), anchorH = std::max(block_.anchorHeight, 0);
  const LONG width = measured.right + 2 * marginX + 2 * std::max(block_.borderWidth, 0);
  const LONG bodyHeight = measured.bottom + 2 * marginY + 2 * std::max(block_.borderHeight, 0);
  const LONG height = bodyHeight + anchorH;
  at.x += block_.anchorOffsetX;
  at.y += block_.anchorOffsetY;

  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  // Below the pointer with the anchor pointing up, unless that leaves the screen.
  const bool below = at.y + height <= work.bottom;
  LONG left = at.x - std::max(block_.anchorMargin, 0);
  left = std::max(work.left, std::min(left, work.right - width));
  const LONG top = below ? at.y : at.y - height;

  const LONG tipX = std::clamp(at.x - left, 0L, width);
  const LONG inset = std::max(block_.cornerWidth / 2, 0);
  // A narrow balloon leaves no room between the rounded corners: the anchor's base then starts
  // at the corner's inset (std::clamp needs its low bound not above its high one).
  const LONG baseLow = std::min(inset, width);
  const LONG baseLeft = std::clamp(tipX, baseLow, std::max(width - anchorW - inset, baseLow));
  const RECT body = below ? RECT{0, anchorH, width, height} : RECT{0, 0, width, bodyHeight};
  const POINT anchor[3] = {
      {tipX, below ? 0 : height},
      {baseLeft, below ? anchorH + 1 : bodyHeight - 1},
      {baseLeft + anchorW, below ? anchorH + 1 : bodyHeight - 1}};
  HRGN shape = CreateRoundRectRgn(body.left, body.top, body.right + 1, body.bottom + 1, block_.cornerWidth,
                                  block_.cornerHeight);
  if (anchorW > 0 && anchorH > 0) {
    HRGN pointer = CreatePolygonRgn(anchor, 3, WINDING);
    CombineRgn(shape, shape, pointer, RGN_OR);
    DeleteObject(pointer);
  }
  textRect_ = body;
  InflateRect(&textRect_, -(marginX + std::max(block_.borderWidth, 0)), -(marginY + std::max(block_.borderHeight, 0)));
  SetWindowRgn(balloon_, shape, FALSE);  // the window owns the region from here on
  SetWindowPos(balloon_, HWND_TOPMOST, left, top, width, height, SWP_NOACTIVATE);
  InvalidateRect(balloon_, nullptr, TRUE);
}

void BalloonTip::SetOpacity(BYTE alpha) {
  const LONG exStyle = GetWindowLongW(balloon_, GWL_EXSTYLE);
  if (alpha == 255 && !(exStyle & WS_EX_LAYERED)) return;
  if (!(exStyle & WS_EX_LAYERED)) SetWindowLongW(balloon_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  SetLayeredWindowAttributes(balloon_, 0, alpha, LWA_ALPHA);
}

void BalloonTip::StartFade(Fade fade) {
  fade_ = fade;
  fadeStart_ = GetTickCount();
  SetTimer(hwnd_, kFadeTimer, kFadeStep, nullptr);
}

void BalloonTip::StopFade() {
  if (fade_ == Fade::Out && balloon_) ShowWindow(balloon_, SW_HIDE);
  fade_ = Fade::None;
  KillTimer(hwnd_, kFadeTimer);
}

void BalloonTip::StepFade() {
  const int32_t total = fade_ == Fade::In ? block_.fadeInTime : block_.fadeOutTime;
  const DWORD elapsed = GetTickCount() - fadeStart_;
  const bool done = fade_ == Fade::None || total <= 0 || elapsed >= static_cast<DWORD>(total);
  const int share = done ? 255 : static_cast<int>(elapsed * 255 / static_cast<DWORD>(total));
  if (balloon_) SetOpacity(static_cast<BYTE>(fade_ == Fade::Out ? 255 - share : share));
  if (!done) return;
  if (fade_ == Fade::Out && balloon_) {
    ShowWindow(balloon_, SW_HIDE);
    SetOpacity(255);
  }
  fade_ = Fade::None;
  KillTimer(hwnd_, kFadeTimer);
}

COLORREF BalloonTip::TextColour() const {
  return block_.textColour == kSystemTipTextColour ? GetSysColor(COLOR_INFOTEXT) : block_.textColour;
}

void BalloonTip::PaintBalloon(HDC dc) const {
  RECT client;
  GetClientRect(balloon_, &client);
  if (block_.shadeEffect == 1) {
    TRIVERTEX ends[2] = {
        {client.left, client.top, static_cast<COLOR16>(GetRValue(block_.shadeColour1) << 8),
         static_cast<COLOR16>(GetGValue(block_.shadeColour1) << 8),
         static_cast<COLOR16>(GetBValue(block_.shadeColour1) << 8), 0},
        {client.right, client.bottom, static_cast<COLOR16>(GetRValue(block_.shadeColour2) << 8),
         static_cast<COLOR16>(GetGValue(block_.shadeColour2) << 8),
         static_cast<COLOR16>(GetBValue(block_.shadeColour2) << 8), 0}};
    GRADIENT_RECT span{0, 1};
    late::GradientFill(dc, ends, 2, &span, 1, GRADIENT_FILL_RECT_V);
  } else {
    GdiObject back = SolidBrush(block_.backColour);
    FillRect(dc, &client, back.brush());
  }
  if (block_.borderWidth > 0 && block_.borderHeight > 0) {
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(balloon_, shape) != ERROR) {
      GdiObject border = SolidBrush(block_.borderColour);
      FrameRgn(dc, shape, border.brush(), block_.borderWidth, block_.borderHeight);
    }
    DeleteObject(shape);
  }
  HGDIOBJ previous = SelectObject(dc, font_.font());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, TextColour());
  RECT text = textRect_;
  DrawTextW(dc, shownText_.c_str(), static_cast<int>(shownText_.size()), &text, kTextFormat);
  SelectObject(dc, previous);
}

LRESULT CALLBACK BalloonTip::BalloonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<BalloonTip*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->balloon_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<BalloonTip*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // the pointer "under" the balloon stays on its target
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      if (self) self->PaintBalloon(dc);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_NCDESTROY:
      if (self) {
        self->balloon_ = nullptr;
        self->shown_ = false;
      }
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool SetTip(BalloonTip* tip, Unit* target, std::string_view text, int32_t, std::optional<int32_t> left,
            std::optional<int32_t> top, std::optional<int32_t> width, std::optional<int32_t> height) {
  if (!tip || !target || !target->hwnd() || !IsWindow(target->hwnd())) return false;
  RECT region{};
  if (left && top && width && height) region = RECT{*left, *top, *left + *width, *top + *height};
  tip->SetTip(target->hwnd(), region, text);
  return true;
}

}  // namespace tl
