#pragma once
// TNovaPrevMenu (LT_PREVMENU, "プレビューメニュー"): picture buttons laid out by a preview-menu
// file (prev_menu_file.h). Each button is a TNovaPrevImages child showing the picture of its
// state (normal, hover, leave, selected, disabled, checked ... images 1-18 of the file), and
// may show a preview picture, a second child at the button's preview offset. Buttons are
// enabled, visible and checked one by one (the item functions); buttons of a group > 0 are
// exclusive (one checked), of a group < 0 check toggles. Choosing a button sets @SelStr and
// @SelIndex, posts PR_ONSELECT and plays its selection pictures; when they have played the
// menu finishes: PR_ONPLAYEND, or with PR_AUTOSCRAP it goes.
//
// Which button reads checked: a button of a group whose flag is set, when it is visible and no
// earlier member reads checked; in an exclusive group without such a member, the first
// visible member (the group's default). The pictures of a group follow the same state.
#include <cstdint>
#include <string>
#include <vector>

#include "components/component_services.h"
#include "components/lists/item_list.h"
#include "components/images/nova_prev_images.h"
#include "components/lists/prev_menu_file.h"
#include "objects/nova_control.h"

namespace nova {

class TNovaPrevMenu : public TNovaControl, public TNovaItemList, public TPrevImagesOwner {
public:
  TNovaPrevMenu(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaPrevMenu() override;
  uint8_t TypeCode() const override { return LT_PREVMENU; }

  const std::string& Source() const { return source_; }
  // Clears the buttons and, when the game has the file, reads it and makes the buttons. A file
  // of the wrong form or version raises its error after the menu has been cleared.
  void SetSource(const std::string& name);
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  const TNovaPrevMenuData& Data(int button) const { return buttons_[static_cast<size_t>(button)].Data; }
  TNovaPrevImages* ButtonImage(int button);
  TNovaPrevImages* PreviewPicture(int button);
  int32_t HoveredButton() const { return hovered_; }
  int32_t PressedButton() const { return pressed_; }
  int32_t RunningAnimations() const { return running_; }
  // Moves the hover (pictures, preview pictures, PR_ONMAPOUT / PR_ONMAPIN); nothing while the
  // current button's selection pictures play.
  void ChangeHover(int32_t button);
  // Chooses the hovered button.
  void Select();
  // The effective checked state (see above).
  bool Checked(int button) const;

  // ---- items (buttons by index) ----
  int ItemCount() const override { return ButtonCount(); }
  bool GetItemCheck(int button) override { return Valid(button) && Checked(button); }
  void SetItemCheck(int button, bool on) override;
  bool GetItemEnabled(int button) override { return Valid(button) && buttons_[static_cast<size_t>(button)].Enabled; }
  void SetItemEnabled(int button, bool on) override;
  bool GetItemVisible(int button) override { return Valid(button) && buttons_[static_cast<size_t>(button)].Visible; }
  void SetItemVisible(int button, bool on) override;
  int32_t GetItemGroupIndex(int button) override {
    return Valid(button) ? buttons_[static_cast<size_t>(button)].Data.Group : 0;
  }
  int ItemIndexOfName(const std::string& name) override;

  // ---- the control ----
  bool Paused() const override { return paused_; }
  TNovaControl* HitTest(TPoint point, TMouseModes modes) override;
  // The cursor of the enabled button under the mouse, else the menu's own.
  std::string EffectiveCursor() override;
  void DoMouseMove(TPoint mouse) override;
  void DoMouseOut() override;
  void DoLButtonDown(TPoint mouse) override;
  void DoLButtonUp(TPoint mouse) override;
  void DoRButtonDown(TPoint mouse) override;
  void FireKeyEvent(int code, const std::vector<int>& keys) override;
  void PrevImageFinished(TNovaPrevImages& image) override;

  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

private:
  struct TButton {
    TNovaPrevMenuData Data;
    TObjectRef Image, Preview;
    bool Enabled = true, Visible = true, Flag = false;
  };

  bool Valid(int button) const { return button >= 0 && button < ButtonCount(); }
  void ClearButtons();
  TNovaPrevImages* Resolve(const TObjectRef& ref) const;
  TNovaPrevImages* MakeChild(int32_t left, int32_t top);
  // The button an image (button picture or preview picture) belongs to, or -1.
  int ButtonOf(const TNovaObject* image, bool* isPreview = nullptr) const;
  // The topmost picture of an enabled button under the point, or nullptr.
  TNovaControl* EnabledButtonImageAt(TPoint point, TMouseModes modes);
  // The first button, in index order, whose picture is under the point.
  int32_t ButtonAt(TPoint point);
  // Image k of a button, or the normal image when k is not set (or k is 0).
  int Existing(int button, int k) const;
  // The picture of a button that is not checked: normal, or image 4 while disabled.
  int PlainImage(int button) const;
  // The picture of the button's present state: image 12 while checked, else PlainImage.
  int StateImage(int button) const;
  void ShowImage(int button, int k, bool repeat);
  void SetImageSource(int button, int k);
  void ShowPreview(int button, int k, bool repeat, int32_t priority);
  void DeletePreview(int button);
  // Shows every visible member of a group (but `except`) by its state.
  void RefreshGroup(int32_t group, int except);
  bool FlagChecked(int button) const;
  void Finish();
  std::vector<std::string> EventArgs(int button) const;

  TComponentServices& services_;
  std::string source_;
  std::vector<TButton> buttons_;
  int32_t hovered_ = -1, pressed_ = -1;
  int32_t running_ = 0;
  bool paused_ = false, autoScrap_ = false;
  std::string onSelect_, onPlayEnd_, onMapIn_, onMapOut_, onIdle_;
};

}  // namespace nova
