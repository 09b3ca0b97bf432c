#include "components/effects/nova_fire.h"

#include <algorithm>

#include "components/effects/effect_random.h"

namespace nova {

namespace {

constexpr int32_t kFireStepMs = 40;

// image side x zoom / 256, kept within what a rectangle can add to a position.
int32_t FireSide(int32_t side, int32_t zoom) {
  const int64_t v = int64_t{side} * zoom / 256;
  return static_cast<int32_t>(std::clamp<int64_t>(v, 0, int64_t{1} << 30));
}

}  // namespace

TNovaFire::TNovaFire(TNovaBaseList* scene, TComponentServices& services)
    : TNovaControl(scene), services_(services) {
  image_.SetSize(8, 8, 8);
  image_.Transparent = kFireFloor;
  tables_.BuildDecay(kNewFireDecay);
}

TNovaFire::~TNovaFire() = default;

void TNovaFire::Resize() {
  const int32_t w = FireSide(imageWidth_, zoomX_), h = FireSide(imageHeight_, zoomY_);
  if (w == width_ && h == height_) return;
  Invalidate();
  width_ = w, height_ = h;
  Invalidate();
  PositionChanged();
}

void TNovaFire::SetPower(int32_t power) {
  if (power == power_) return;
  power_ = std::clamp(power, 0, 255);
  tables_.BuildDecay(FireDecayOf(power_));
}

void TNovaFire::SetZoomX(int32_t zoom) {
  zoomX_ = std::max(zoom, 1);
  Resize();
}

void TNovaFire::SetZoomY(int32_t zoom) {
  zoomY_ = std::max(zoom, 1);
  Resize();
}

void TNovaFire::SetImageSize(int32_t width, int32_t height) {
  if (width == imageWidth_ && height == imageHeight_) return;
  Invalidate();
  imageWidth_ = width, imageHeight_ = height;
  state_ = 0;
  Resize();
  Invalidate();
}

bool TNovaFire::Prepare() {
  if (!FireImageFits(imageWidth_, imageHeight_)) {
    // Nothing to burn (or more than a picture may be): no image, no steps.
    tables_.Reset(0, 0, nullptr);
    image_.SetSize(8, 8, 8);
    return false;
  }
  if (image_.GetWidth() != imageWidth_ || image_.GetHeight() != imageHeight_ || image_.GetBitCount() != 8)
    image_.SetSize(imageWidth_, imageHeight_, 8);
  tables_.Reset(imageWidth_, imageHeight_, [this](int32_t n) { return EffectRandomInt(services_, n); });
  image_.Fill(kFireFloor);
  return true;
}

bool TNovaFire::Update(uint32_t elapsedMs) {
  const bool done = TNovaControl::Update(elapsedMs);
  if (state_ == 0) {
    if (!Prepare()) return done;
    state_ = 1;
  }
  if (aniPaused_) return done;
  accumulator_ = static_cast<int32_t>(std::min<int64_t>(int64_t{accumulator_} + elapsedMs, INT32_MAX));
  if (accumulator_ >= kFireStepMs) {
    accumulator_ %= kFireStepMs;
    FireStep(image_.PixelAddress(0, 0), image_.GetPitch(), tables_);
    image_.Unlock();
    Invalidate();
  }
  return done;
}

void TNovaFire::PaintSelf(TCustomDIBX& surface) {
  if (state_ != 1 || tables_.Width <= 0) return;
  const uint32_t* table = FirePaletteFor(surface.GetBitCount());
  if (!table) return;
  const TRect src{0, 0, imageWidth_, imageHeight_};
  const int threshold = kFireFloor + 1;
  if (zoomX_ == 256 && zoomY_ == 256)
    surface.DrawIndexedAdd(ScreenLeft(), ScreenTop(), table, 255, false, false, threshold, src, &image_);
  else
    surface.StretchIndexed(DrawnRect(), &image_, table, 255, false, false, threshold, src);
}

bool TNovaFire::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_ZOOMX: v = TPropValue::OfInt(zoomX_); return true;
    case PR_ZOOMY: v = TPropValue::OfInt(zoomY_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_POWER: v = TPropValue::OfInt(power_); return true;
    case PR_ORIGWIDTH: v = TPropValue::OfInt(imageWidth_); return true;
    case PR_ORIGHEIGHT: v = TPropValue::OfInt(imageHeight_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    case PR_PLAYING: v = TPropValue::OfFlag(!paused_ && !aniPaused_); return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaFire::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_WIDTH:
    case PR_HEIGHT: return true;  // the size follows the image and the zooms
    case PR_ZOOMX: SetZoomX(v.Int); return true;
    case PR_ZOOMY: SetZoomY(v.Int); return true;
    case PR_PAUSED: paused_ = v.Flag; return true;
    case PR_POWER: SetPower(v.Int); return true;
    case PR_ORIGWIDTH: SetImageSize(v.Int, imageHeight_); return true;
    case PR_ORIGHEIGHT: SetImageSize(imageWidth_, v.Int); return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    default: return TNovaControl::SetProperty(id, v);
  }
}

void TNovaFire::SaveToStream(TStream& s) {
  TNovaControl::SaveToStream(s);
  s.WriteInt32(power_);
  s.WriteInt32(imageWidth_);
  s.WriteInt32(imageHeight_);
  s.WriteInt32(zoomX_);
  s.WriteString(onIdle_);
  s.WriteByte(paused_);
  s.WriteInt32(zoomY_);
}

void TNovaFire::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);
  SetPower(s.ReadInt32());
  imageWidth_ = s.ReadInt32();
  imageHeight_ = s.ReadInt32();
  SetZoomX(s.ReadInt32());
  if (version >= 104) {
    onIdle_ = s.ReadString();
    paused_ = s.ReadByte() != 0;
    SetZoomY(s.ReadInt32());
  }
  Resize();
  state_ = 0;
  accumulator_ = 0;
}

}  // namespace nova
