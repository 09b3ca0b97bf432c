#pragma once
// TNovaTile (LT_TILE, "タイルサーフェス"): a rectangle of the size the scenario gives it,
// filled with its picture repeated, scrolled by PR_SCROLLX/PR_SCROLLY and spaced by
// PR_DISTANCEX/PR_DISTANCEY. Its place ignores anchor, zoom and plus offsets; its animation
// always repeats.
#include <string>

#include "components/images/nova_images.h"

namespace nova {

class TNovaTile : public TNovaCustomImages {
public:
  TNovaTile(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaTile() override;
  uint8_t TypeCode() const override { return LT_TILE; }

  const std::string& Source() const { return state_.Source; }
  TImageMotion* Motion() const { return state_.Motion.get(); }
  void SetSource(const std::string& name);
  int32_t ScrollX() const override { return scrollX_; }
  int32_t ScrollY() const override { return scrollY_; }
  void SetScroll(int32_t x, int32_t y);
  void SetDistance(int32_t x, int32_t y);

  int32_t ScreenLeft() override;
  int32_t ScreenTop() override;
  // The size is only what is set: no zoom to 0, no recomputation from the picture.
  void SetWidth(int32_t v) override { TNovaControl::SetWidth(v); }
  void SetHeight(int32_t v) override { TNovaControl::SetHeight(v); }
  TRect HitRect() override { return DrawnRect(); }
  TRect PaintedRect() override { return DrawnRect(); }
  TNovaControl* HitTest(TPoint point, TMouseModes modes) override { return TNovaControl::HitTest(point, modes); }

  bool Update(uint32_t elapsedMs) override;
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  bool SizeFollowsPicture() const override { return false; }
  TNovaImageList* CurrentList() override { return &state_.List; }
  const TNovaImageList* CurrentList() const override { return &state_.List; }
  TImageMotion* CurrentMotion() const override { return state_.Motion.get(); }
  bool Repeat() const override { return true; }
  void PaintSelf(TCustomDIBX& target) override;

private:
  void LoadSource(const std::string& name);

  TImageState state_;
  int32_t scrollX_ = 0, scrollY_ = 0;
  int32_t distanceX_ = 0, distanceY_ = 0;
  std::string onIdle_;
};

}  // namespace nova
