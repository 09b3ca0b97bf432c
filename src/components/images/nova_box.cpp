#include "components/images/nova_box.h"

#include "formats/image_open.h"

namespace nova {

int32_t ScaleColor(int32_t colour, int32_t factor) {
  int32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) out |= (((colour >> shift) & 0xFF) * factor / 256) << shift;
  return out;
}

TNovaBox::TNovaBox(TNovaBaseList* scene, TComponentServices& services) : TNovaControl(scene), services_(services) {}

TNovaBox::~TNovaBox() = default;

void TNovaBox::SetSource(const std::string& name) {
  if (name == source_) return;
  source_ = name;
  motion_.reset();
  if (LowerExtension(name) == ".nmt" && services_.MakeMotion) motion_ = services_.MakeMotion(*this, name);
}

void TNovaBox::SetInt(int32_t& field, int32_t value) {
  if (value == field) return;
  field = value;
  Invalidate();
}

bool TNovaBox::Update(uint32_t elapsedMs) {
  if (!motion_ || !motion_->Step(elapsedMs)) return false;
  if (autoScrap_) return true;
  PostEventIfFree(PR_ONPLAYEND);
  return false;
}

void TNovaBox::PaintSelf(TCustomDIBX& d) {
  const int32_t a = alpha_;
  if (a <= 0 || a >= 512) return;
  auto pixel = [&](int32_t colour) {
    return static_cast<uint32_t>(d.ColorToPixel(a >= 256 ? ScaleColor(colour, a - 256) : colour));
  };
  auto fill = [&](const TRect& r, int32_t colour) {
    if (a <= 254) d.FillRectAlpha(r, pixel(colour), a);
    else if (a == 255) d.FillRect(r, pixel(colour));
    else d.FillRectAdd(r, pixel(colour));
  };
  const TRect r = DrawnRect();
  if (borderWidth_ > 0) {
    if (borderColor_ >= 0) {
      if (a <= 254) d.FrameRectAlpha(r, borderWidth_, a, pixel(borderColor_));
      else if (a == 255) d.FrameRect(r, borderWidth_, pixel(borderColor_));
      else d.FrameRectAdd(r, borderWidth_, pixel(borderColor_));
    }
    if (color_ >= 0)
      fill(TRect{r.Left + borderWidth_, r.Top + borderWidth_, r.Right - borderWidth_, r.Bottom - borderWidth_}, color_);
  } else if (color_ >= 0) {
    fill(r, color_);
  }
}

bool TNovaBox::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(source_); return true;
    case PR_BORDERWIDTH: v = TPropValue::OfInt(borderWidth_); return true;
    case PR_BORDERCOLOR: v = TPropValue::OfInt(borderColor_); return true;
    case PR_ALPHA: v = TPropValue::OfInt(alpha_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_REPEAT: v = TPropValue::OfFlag(repeat_); return true;
    case PR_AUTOSCRAP: v = TPropValue::OfFlag(autoScrap_); return true;
    case PR_ONPLAYEND: v = TPropValue::OfStr(onPlayEnd_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    case PR_PLAYING:
      v = TPropValue::OfFlag(motion_ && !motion_->Finished() && !paused_ && !aniPaused_);
      return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaBox::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: SetSource(v.Str); return true;
    case PR_BORDERWIDTH: SetInt(borderWidth_, v.Int); return true;
    case PR_BORDERCOLOR: SetInt(borderColor_, v.Int); return true;
    case PR_ALPHA: SetInt(alpha_, v.Int); return true;
    case PR_PAUSED: paused_ = v.Flag; return true;
    case PR_REPEAT:
      repeat_ = v.Flag;
      if (repeat_ && motion_ && motion_->Finished()) motion_->Rewind();
      return true;
    case PR_AUTOSCRAP: autoScrap_ = v.Flag; return true;
    case PR_ONPLAYEND: onPlayEnd_ = v.Str; return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    default: return TNovaControl::SetProperty(id, v);
  }
}

void TNovaBox::SaveToStream(TStream& s) {
  TNovaControl::SaveToStream(s);
  s.WriteInt32(borderWidth_);
  s.WriteInt32(borderColor_);
  s.WriteInt32(alpha_);
  s.WriteString(onIdle_);
  s.WriteString(source_);
  s.WriteByte(repeat_);
  s.WriteByte(autoScrap_);
  s.WriteString(onPlayEnd_);
  s.WriteByte(paused_);
  s.WriteByte(aniPaused_);
}

void TNovaBox::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);
  borderWidth_ = s.ReadInt32();
  borderColor_ = s.ReadInt32();
  alpha_ = s.ReadInt32();
  if (version <= 103) return;
  onIdle_ = s.ReadString();
  const std::string source = s.ReadString();
  repeat_ = s.ReadByte() != 0;
  autoScrap_ = s.ReadByte() != 0;
  onPlayEnd_ = s.ReadString();
  paused_ = s.ReadByte() != 0;
  aniPaused_ = s.ReadByte() != 0;
  SetSource(source);
}

}  // namespace nova
