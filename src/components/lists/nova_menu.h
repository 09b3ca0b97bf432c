#pragma once
// TNovaMenu (LT_MENU, "メニュー"): a list box that opens and closes. A new menu is closed; the
// Menu command opens it with SetMenuState(1), MenuClose closes it with SetMenuState(3). Opening
// and closing animate the height over PR_DELAY ms and post PR_ONOPENING, PR_ONOPENED,
// PR_ONCLOSING and PR_ONCLOSED. The hovered row is highlighted with PR_HOVERCOLOR. Enter or
// Space chooses the hovered item; with PR_AUTOSCRAP a choice closes the menu, with
// PR_RCLICKSCRAP a right click (anywhere on the screen, through the scene's right-click list)
// or Escape cancels it (@SelStr empty, @SelIndex -1) and closes it animated. A menu that has
// closed animated, or after an auto-scrap choice, destroys itself once the handlers of its
// closing events have run.
#include <cstdint>
#include <string>
#include <vector>

#include "components/lists/nova_list_box.h"

namespace nova {

class TNovaMenu : public TNovaCustomListBox {
public:
  // Menu states.
  static constexpr int32_t kOpen = 0, kOpening = 1, kClosed = 2, kClosing = 3;
  // Animation phases (Update steps).
  static constexpr int32_t kIdle = 0, kCancel = 10, kOpenStart = 100, kOpenClock = 101, kOpenGrow = 102,
                           kCloseStart = 200, kCloseShrink = 201, kScrapStart = 300, kScrapNext = 301,
                           kScrapWait = 302;

  TNovaMenu(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaMenu() override;
  uint8_t TypeCode() const override { return LT_MENU; }

  // 0 opens now, 1 opens animated, 2 closes now, 3 closes animated; 1 counts as 0 and 3 as 2,
  // so a state equal in that sense changes nothing.
  void SetMenuState(int32_t state) override;
  int32_t MenuState() const override { return state_; }
  int32_t Phase() const { return phase_; }
  bool Closing() const { return closing_; }
  // The height the menu has when fully open.
  int32_t FullHeight() const { return fullHeight_; }

  bool IsEventBlocked() const override { return closing_; }
  bool RightClickScrap() override;
  void DoRButtonDown(TPoint mouse) override;
  TNovaControl* FindKeyTarget() override;
  bool Update(uint32_t elapsedMs) override;

  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  int32_t HoverColor() const override { return hoverColor_; }
  bool ItemsActive() const override { return state_ != kClosed && state_ != kClosing && !closing_; }
  bool LayoutOnPaint() const override { return phase_ == kIdle; }
  void ApplyLayoutSize(int32_t width, int32_t height) override;
  bool BarNarrowsCentre() const override { return !Animating(); }
  void ItemChosen() override;
  void KeyStep(const std::vector<int>& keys) override;

private:
  bool Animating() const { return phase_ == kOpenClock || phase_ == kOpenGrow || phase_ == kCloseShrink; }
  // The open/close events go out whenever their page is set: the closing flag that blocks
  // every other event does not hold them back.
  void PostMenuEvent(int code);
  void ReleaseFocus();
  void Cancel();
  uint32_t Elapsed() const;

  int32_t hoverColor_ = -1;
  int32_t delay_ = 0;
  bool autoScrap_ = false;
  int32_t state_ = kClosed;
  int32_t fullHeight_ = 0;
  uint32_t animationStart_ = 0;
  bool closing_ = false;
  std::string onOpening_, onOpened_, onClosing_, onClosed_;
};

}  // namespace nova
