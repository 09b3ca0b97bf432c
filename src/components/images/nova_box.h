#pragma once
// TNovaBox (LT_BOX, "矩形サーフェス"): a rectangle filled with PR_COLOR (-1: no fill) and
// framed with PR_BORDERWIDTH pixels of PR_BORDERCOLOR (-1: no frame), drawn with a blend
// value (0..254 blend, 255 opaque, 256..511 additive with factor value - 256; 0 and 512 and
// above draw nothing). A motion file as PR_SOURCE moves it (see image_motion.h).
#include <cstdint>
#include <memory>
#include <string>

#include "components/component_services.h"
#include "objects/nova_control.h"

namespace nova {

class TNovaBox : public TNovaControl {
public:
  TNovaBox(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaBox() override;
  uint8_t TypeCode() const override { return LT_BOX; }

  void SetSource(const std::string& name);
  bool HasMotion() const override { return motion_ != nullptr; }
  TImageMotion* Motion() const { return motion_.get(); }
  bool Paused() const override { return paused_; }
  bool Update(uint32_t elapsedMs) override;

  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  void PaintSelf(TCustomDIBX& target) override;

private:
  void SetInt(int32_t& field, int32_t value);

  TComponentServices& services_;
  int32_t borderWidth_ = 0;
  int32_t borderColor_ = -1;
  int32_t alpha_ = 255;
  std::string source_;
  std::unique_ptr<TImageMotion> motion_;
  bool repeat_ = false, autoScrap_ = false, paused_ = false;
  std::string onIdle_, onPlayEnd_;
};

// The colour an additive box draws: every channel scaled by factor / 256.
int32_t ScaleColor(int32_t colour, int32_t factor);

}  // namespace nova
