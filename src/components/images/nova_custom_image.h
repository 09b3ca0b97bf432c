#pragma once
// TNovaCustomImage: a control that shows one picture (the current frame surface with an
// optional 8-bit mask) with zoom, rotation, flips and a blend value (0..254 blend, 255 opaque,
// 256..511 additive with factor value - 256), and that can narrow its hit test to the opaque
// pixels of its mask. Its size follows the picture times the zoom unless set explicitly
// (which stretches the picture to that size). TNovaImage is the plain single-picture form
// that owns its picture (film frames, the screen snapshot of a transition).
#include <cstdint>

#include "components/component_services.h"
#include "objects/nova_control.h"
#include "render/dibx.h"

namespace nova {

class TNovaCustomImage : public TNovaControl {
public:
  TNovaCustomImage(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaCustomImage() override;

  int32_t ZoomX() const override { return zoomX_; }
  int32_t ZoomY() const override { return zoomY_; }
  bool FlipH() const override { return flipH_; }
  bool FlipV() const override { return flipV_; }
  TCustomDIBX* OwnSurface() override { return surface_; }
  TCustomDIBX* CurrentMask() const { return mask_; }

  int32_t Alpha() const { return alpha_; }
  void SetAlpha(int32_t value);
  void SetZoomX(int32_t zoom);
  void SetZoomY(int32_t zoom);
  int32_t Angle() const { return angle_; }
  void SetAngle(int32_t angle);
  void SetFlipH(bool on);
  void SetFlipV(bool on);
  // An explicit size stretches the picture and sets that axis's zoom to 0 (without a motion).
  void SetWidth(int32_t v) override;
  void SetHeight(int32_t v) override;

  // Shows a picture that someone else owns (a film's frame); the caller keeps it alive while
  // it is shown.
  void ShowPicture(TCustomDIBX* surface, TCustomDIBX* mask);
  // Width and height from the picture and the zoom (not while a motion is attached).
  void RecomputeSize();

  TRect HitRect() override;
  TRect PaintedRect() override { return HitRect(); }
  TNovaControl* HitTest(TPoint point, TMouseModes modes) override;
  void PositionChanged() override;
  bool Update(uint32_t elapsedMs) override;

  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  void PaintSelf(TCustomDIBX& target) override;
  // Around the picture: buttons draw their caption afterwards.
  virtual void PrePaint(TCustomDIBX& /*target*/) {}
  virtual void PostPaint(TCustomDIBX& /*target*/) {}
  void PaintPicture(TCustomDIBX& target);
  // Whether width and height follow the picture and the zoom (tiles keep what is set).
  virtual bool SizeFollowsPicture() const { return true; }
  // Whether the point (screen coordinates) is on the picture, by the rotation and the mask.
  bool HitsPicture(TPoint point);
  // Marks the geometry for recomputation, here and in the position-zoomed image children.
  void GeometryChanged();

  TComponentServices& services_;
  TCustomDIBX* surface_ = nullptr;  // the current frame (not owned)
  TCustomDIBX* mask_ = nullptr;     // its 8-bit mask, or none (not owned)
  int32_t alpha_ = 255;
  int32_t zoomX_ = 256, zoomY_ = 256;
  int32_t angle_ = 0;
  bool flipH_ = false, flipV_ = false;
  bool captureMask_ = false;
  bool geometryDirty_ = false;

private:
  // The zoom a draw uses: the stored one, or for an explicit size the ratio of the size to
  // the picture.
  int32_t DrawZoom(bool horizontal) const;
  // The rotated picture's box on the screen (as the rotated draw covers it).
  TRect RotatedBox();
  bool MaskHit(int32_t rx, int32_t ry);
  bool recomputing_ = false;
};

class TNovaImage : public TNovaCustomImage {
public:
  using TNovaCustomImage::TNovaCustomImage;
  // A picture of its own needs none of the game's services (the transition snapshot).
  explicit TNovaImage(TNovaBaseList* scene);
  // The picture the image owns; call PictureChanged after drawing into it.
  TDIBX& Picture() { return picture_; }
  void PictureChanged();

private:
  TDIBX picture_;
};

}  // namespace nova
