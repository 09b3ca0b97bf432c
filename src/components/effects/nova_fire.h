#pragma once
// TNovaFire (LT_FIRE, "炎サーフェス"): a cellular fire computed in an 8-bit index image of
// PR_ORIGWIDTH x PR_ORIGHEIGHT pixels and added to the screen through the fire palette,
// unscaled at zoom 256 x 256, else stretched to PR_WIDTH x PR_HEIGHT (= image size x zoom /
// 256; writes to them are ignored). It steps at most once per 40 ms and once per frame;
// PR_POWER (0..255) sets how high it burns.
#include <cstdint>
#include <string>

#include "components/component_services.h"
#include "components/effects/fire_tables.h"
#include "objects/nova_control.h"
#include "render/dibx.h"

namespace nova {

class TNovaFire : public TNovaControl {
public:
  TNovaFire(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaFire() override;
  uint8_t TypeCode() const override { return LT_FIRE; }

  int32_t ZoomX() const override { return zoomX_; }
  int32_t ZoomY() const override { return zoomY_; }
  bool Paused() const override { return paused_; }
  bool Update(uint32_t elapsedMs) override;

  int32_t Power() const { return power_; }
  void SetPower(int32_t power);
  void SetZoomX(int32_t zoom);
  void SetZoomY(int32_t zoom);
  void SetImageSize(int32_t width, int32_t height);
  int32_t ImageWidth() const { return imageWidth_; }
  int32_t ImageHeight() const { return imageHeight_; }
  // The index image (8 bits, transparent 16) and the tables, for inspection.
  TDIBX& Image() { return image_; }
  const TFireTables& Tables() const { return tables_; }
  // Whether the image is set up and stepping (false until the first update after a change).
  bool Running() const { return state_ == 1; }

  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  void PaintSelf(TCustomDIBX& surface) override;

private:
  void Resize();   // PR_WIDTH / PR_HEIGHT from the image size and the zooms
  bool Prepare();  // state 0: a new image and tables; false when the size is refused

  TComponentServices& services_;
  TDIBX image_;
  TFireTables tables_;
  int32_t power_ = 1;
  int32_t imageWidth_ = 0, imageHeight_ = 0;
  int32_t zoomX_ = 256, zoomY_ = 256;
  int32_t state_ = 0;
  int32_t accumulator_ = 0;
  bool paused_ = false;
  std::string onIdle_;
};

}  // namespace nova
