#pragma once
// TNovaButton (LT_BUTTON, "ボタン"): an image with four states, each with its own source:
// normal (0), hover (1, PR_HOVERSOURCE), pressed (2, PR_PRESSEDSOURCE) and clicked (3,
// PR_CLICKEDSOURCE, played once after a click). A state without pictures is not shown. A click
// (press and release over the button) posts PR_ONNOTIFY; buttons with a group index other
// than 0 are radio buttons among their siblings of the same group. The caption (PR_TEXT) is
// drawn centred over the picture from the glyph cache.
#include <cstdint>
#include <memory>
#include <string>

#include "components/lists/item_list.h"
#include "components/images/nova_images.h"

namespace nova {

class TKtLabelList;

class TNovaButton : public TNovaImages, public TNovaItemList {
public:
  static constexpr int kNormal = 0, kHover = 1, kPressed = 2, kClicked = 3;

  TNovaButton(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaButton() override;
  uint8_t TypeCode() const override { return LT_BUTTON; }

  int32_t ButtonState() const { return buttonState_; }
  int32_t PendingButtonState() const { return pendingState_; }
  int32_t PressTracking() const { return pressTracking_; }
  // While the clicked state shows, only the state to return to is recorded.
  void SetButtonState(int32_t state);
  void SetStateSource(int state, const std::string& name);
  const std::string& StateSource(int state) const { return states_[static_cast<size_t>(state)]->Source; }

  int32_t GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int32_t group);
  bool Selected() const { return selected_; }
  void SetSelected(bool on);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool on);
  std::string Text() const;
  void SetText(const std::string& text);
  TKtLabelList& Labels() { return *labels_; }

  void DoMouseMove(TPoint mouse) override;
  void DoMouseOut() override;
  void DoLButtonDown(TPoint mouse) override;
  void DoLButtonUp(TPoint mouse) override;
  bool Update(uint32_t elapsedMs) override;

  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

  // The button is a list of one item (index 0): check and selected are its selected flag,
  // enabled is not paused, visible its own visibility flag.
  int ItemCount() const override { return 1; }
  bool GetItemCheck(int index) override { return index == 0 && selected_; }
  void SetItemCheck(int index, bool on) override;
  bool GetItemEnabled(int index) override { return index == 0 && !paused_; }
  void SetItemEnabled(int index, bool on) override;
  bool GetItemVisible(int index) override { return index == 0 && OwnVisible(); }
  void SetItemVisible(int index, bool on) override;
  int32_t GetItemGroupIndex(int index) override { return index == 0 ? groupIndex_ : 0; }
  bool GetItemSelected(int index) override { return index == 0 && selected_; }
  void SetItemSelected(int index, bool on) override;

protected:
  int DisplayedState() const override { return buttonState_; }
  void PostPaint(TCustomDIBX& target) override;

private:
  // Shows a state from its first frame, also out of the clicked state.
  void ShowState(int32_t state);
  void Click();
  // Keeps one selected button per group among the parent's children.
  static void ApplyGroup(TNovaButton& changed);
  void CaptionChanged();

  int32_t buttonState_ = kNormal;
  int32_t pendingState_ = kNormal;
  int32_t pressTracking_ = 0;  // 1 pressed, -1 destroy at the next update
  int32_t groupIndex_ = 0;
  bool selected_ = false;
  bool allowAllUp_ = false;
  std::string onNotify_;
  std::unique_ptr<TKtLabelList> labels_;
};

}  // namespace nova
