// The balloon tip unit (0x60001): no visible presence on its form; it shows a rounded balloon
// near the pointer when the pointer rests on a control (or a region of one) for which a tip was
// registered with SetTip. A message hook on the UI thread watches the pointer for every balloon
// unit of the thread.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "controls/appearance.h"
#include "controls/balloon_tip_block.h"
#include "controls/control_unit.h"
#include "runtime/unit_arguments.h"
#include "runtime/value.h"

namespace tl {

class BalloonTip final : public BlockUnit<BalloonTip, BalloonTipBlock> {
 public:
  BalloonTip(const BalloonTipBlock& block, uint32_t windowId, uint32_t unitId);
  ~BalloonTip() override;
  bool Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place);
  static std::span<const Property<BalloonTip>> Properties();

  // Registers the tip of a region of the target (an empty region: the whole target); an item
  // with an equal region is replaced. Nothing is shown by this.
  void SetTip(HWND target, RECT region, std::string_view text);
  size_t ItemCount(HWND target) const;
  std::string ItemText(HWND target, size_t index) const;
  // The balloon window while it is shown, else null.
  HWND ShownTip() const;

  // From the thread's message hook: a message the thread is about to dispatch.
  void OnThreadMessage(const MSG& message);

 private:
  struct TipItem {
    RECT region;
    std::string text;
  };
  struct ItemRef {
    HWND target = nullptr;
    size_t index = 0;
    bool operator==(const ItemRef&) const = default;
  };

  // The properties are the block's int fields in stored order, then the style sheet.
  template <size_t... Number>
  static constexpr auto TableInOrder(std::index_sequence<Number...>);
  template <int32_t Number>
  PropertyValue IntProperty() const { return IntValue(*block_.IntField(Number)); }
  template <int32_t Number>
  bool SetIntProperty(PropertyValue value);
  PropertyValue StyleSheet() const { return TextValue(block_.styleSheet); }
  bool SetStyleSheet(PropertyValue value);
  // A shown tip takes a changed property at once.
  void Refresh();

  bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnPointerMoved(POINT at);
  void OnTimer(UINT_PTR id);
  std::optional<ItemRef> ItemAt(POINT screen) const;
  enum class Fade { None, In, Out };

  void Show();
  void Hide(bool fade = false);
  void HideAndForget(bool fade = false);
  void SetOpacity(BYTE alpha);
  void StartFade(Fade fade);
  // Ends a fade at once (a fading-out balloon disappears).
  void StopFade();
  void StepFade();
  void PlaceBalloon(POINT at, const std::wstring& text);
  void PaintBalloon(HDC dc) const;
  COLORREF TextColour() const;
  static LRESULT CALLBACK BalloonProcedure(HWND, UINT, WPARAM, LPARAM);

  std::map<HWND, std::vector<TipItem>> registry_;
  std::optional<ItemRef> current_;
  POINT lastPointer_{-32768, -32768};
  bool shown_ = false;
  Fade fade_ = Fade::None;
  DWORD fadeStart_ = 0;
  HWND balloon_ = nullptr;  // created on first show, owned by the form's window
  std::wstring shownText_;
  RECT textRect_{};
};

extern const UnitTypeDescriptor kBalloonTipType;

// The unit's method SetTip: the tip's text for a target unit (over the region given, else the
// whole target). The region counts only when all four of its arguments are given; the icon index
// selects from an image list this unit does not have. False when either unit is not there.
bool SetTip(BalloonTip* tip, Unit* target, std::string_view text, int32_t icon, std::optional<int32_t> left,
            std::optional<int32_t> top, std::optional<int32_t> width, std::optional<int32_t> height);

inline constexpr auto kSetTip = MakeCommand<SetTip>("SetTip", LibraryOfType(UnitType::BalloonTip));

}  // namespace tl
