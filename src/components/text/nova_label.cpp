#include "components/text/nova_label.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "components/component_services.h"
#include "formats/image_open.h"
#include "objects/scene.h"
#include "text/font_pixels.h"
#include "text/glyph_render.h"
#include "text/kt_word.h"
#include "text/label_list.h"
#include "text/markup.h"
#include "text/text_limits.h"

namespace nova {

namespace {

// (x, y) turned by angle (1/256 turn) about (cx, cy).
TPoint Turn(double x, double y, double cx, double cy, int32_t angle) {
  const double a = angle * 2.0 * M_PI / 256.0, c = std::cos(a), s = std::sin(a);
  const double dx = x - cx, dy = y - cy;
  return TPoint{static_cast<int32_t>(std::lround(cx + dx * c - dy * s)), static_cast<int32_t>(std::lround(cy + dx * s + dy * c))};
}

// A natural size scaled by a zoom (1/256): the control's size, held to a range its position can
// be added to.
int32_t Zoomed(int32_t natural, int32_t zoom) { return TextObjectSide(int64_t{natural} * zoom / 256); }

}  // namespace

TNovaLabel::TNovaLabel(TNovaBaseList* scene, const TComponentServices& services)
    : TNovaControl(scene), glyphs_(services.Glyphs), fontName_(DefaultCaptionFontName()), services_(services) {}

TNovaLabel::~TNovaLabel() = default;

std::string TNovaLabel::FaceName() const { return fontName_.empty() ? DefaultTextFontName() : fontName_; }

void TNovaLabel::SetText(const std::string& text) {
  lines_ = SplitMarkupLines(text);
  Changed();
}

std::string TNovaLabel::Text() const {
  std::string out;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i) out += "\r\n";
    out += lines_[i];
  }
  return out;
}

void TNovaLabel::Changed() {
  stale_ = true;
  Layout();
  Invalidate();
}

void TNovaLabel::Layout() {
  if (glyphs_) glyphs_->SetQuality(antialias_ ? 3 : 0);
  const std::string face = FaceName();
  naturalWidth_ = 0;
  lineWidths_.clear();
  advances_.clear();
  for (const std::string& line : lines_) {
    std::vector<int32_t> adv;
    int32_t width = 0;
    for (uint16_t code : GlyphCodes(line)) {
      int32_t a = glyphs_ ? glyphs_->GetGlyph(code, face, style_, fontSize_).Advance()
                          : (code > 255 ? fontSize_ : fontSize_ / 2);
      adv.push_back(a);
      width = SaturatedAdd(width, a);
    }
    naturalWidth_ = std::max(naturalWidth_, width);
    lineWidths_.push_back(width);
    advances_.push_back(std::move(adv));
  }
  // Font sizes and spacings from scripts and saved games may be anything: the arithmetic
  // saturates, and a size beyond the limits is refused when rendering.
  const int32_t lines = static_cast<int32_t>(std::min<size_t>(lines_.size(), INT32_MAX));
  naturalHeight_ = SaturatedMul(SaturatedAdd(fontSize_, lineSpace_), lines);
  TNovaControl::SetWidth(Zoomed(naturalWidth_, zoomX_));
  TNovaControl::SetHeight(Zoomed(naturalHeight_, zoomY_));
}

void TNovaLabel::Render() {
  const int bits = Scene() ? Scene()->BitCount() : 32;
  stale_ = false;
  renderedBits_ = bits;
  lineRects_.clear();
  refused_ = !TextSurfaceFits(naturalWidth_, naturalHeight_);
  if (refused_) {
    color_.SetSize(1, 1, bits);
    coverage_.SetSize(1, 1, 8);
    ReportTextSurfaceRefused(Name(), naturalWidth_, naturalHeight_);
    return;
  }
  color_.SetSize(std::max(1, naturalWidth_), std::max(1, naturalHeight_), bits);
  color_.ResetClip();
  color_.Fill(0);
  coverage_.SetSize(std::max(1, naturalWidth_), std::max(1, naturalHeight_), 8);
  coverage_.ResetClip();
  coverage_.Fill(0);
  if (!glyphs_) return;
  glyphs_->SetQuality(antialias_ ? 3 : 0);
  const std::string face = FaceName();
  TGlyphPaint paint;
  paint.TextPixel = static_cast<uint32_t>(color_.ColorToPixel(fontColor_));
  const TRect bounds{0, 0, color_.GetWidth(), color_.GetHeight()};
  for (size_t l = 0; l < lines_.size(); ++l) {
    int32_t x = 0;
    if (halign_ == HA_CENTER) x = (naturalWidth_ - lineWidths_[l]) / 2;
    else if (halign_ == HA_RIGHT) x = naturalWidth_ - lineWidths_[l];
    const int32_t y = SaturatedMul(static_cast<int32_t>(l), SaturatedAdd(fontSize_, lineSpace_));
    TRect touched;
    std::vector<uint16_t> codes = GlyphCodes(lines_[l]);
    for (size_t i = 0; i < codes.size(); ++i) {
      const TFontPixel& glyph = glyphs_->GetGlyph(codes[i], face, style_, fontSize_);
      const int32_t adv = advances_[l][i];
      touched = Union(touched, RenderGlyph(glyph, color_, coverage_, TRect::FromSize(x, y, adv, fontSize_), paint));
      x += adv;
    }
    lineRects_.push_back(Intersect(touched, bounds));
  }
}

TPoint TNovaLabel::RotationAnchor() { return AnchorPoint(); }

TPoint TNovaLabel::RotationCentre() const {
  int32_t cx = offsetX_, cy = offsetY_;
  if (flipH_) cx = naturalWidth_ - cx - 1;
  if (flipV_) cy = naturalHeight_ - cy - 1;
  return TPoint{cx, cy};
}

TRect TNovaLabel::RotatedBounds() {
  const TPoint a = RotationAnchor(), c = RotationCentre();
  const double zx = zoomX_ / 256.0, zy = zoomY_ / 256.0;
  TRect box;
  bool first = true;
  for (int px : {0, naturalWidth_})
    for (int py : {0, naturalHeight_}) {
      TPoint p = Turn(a.X + (px - c.X) * zx, a.Y + (py - c.Y) * zy, a.X, a.Y, angle_);
      TRect one = TRect::FromSize(p.X, p.Y, 1, 1);
      box = first ? one : Union(box, one);
      first = false;
    }
  return box;
}

TRect TNovaLabel::HitRect() {
  if ((angle_ & 0xFF) == 0) return DrawnRect();
  return RotatedBounds();
}

TNovaControl* TNovaLabel::HitTest(TPoint point, TMouseModes modes) {
  if ((angle_ & 0xFF) == 0) return TNovaControl::HitTest(point, modes);
  if (!OwnVisible() || !HitRect().Contains(point)) return nullptr;
  const auto& kids = Children();
  for (auto it = kids.rbegin(); it != kids.rend(); ++it)
    if (TNovaControl* hit = (*it)->HitTest(point, modes)) return hit;
  if (!(modes & ModeBit(IgnoreMouse()))) return nullptr;
  // The point turned back about the rotation centre lies in the unturned rectangle.
  const TPoint a = RotationAnchor();
  const TPoint back = Turn(point.X + 0.5, point.Y + 0.5, a.X, a.Y, -angle_);
  return DrawnRect().Contains(back.X, back.Y) ? this : nullptr;
}

void TNovaLabel::InvalidateRect(TRect& rect) {
  // A turned caption covers its turned box rather than its rectangle.
  if ((angle_ & 0xFF) != 0 && Intersect(rect, DrawnRect()) == rect) rect = Union(rect, RotatedBounds());
  TNovaControl::InvalidateRect(rect);
}

void TNovaLabel::PaintSelf(TCustomDIBX& surface) {
  if (lines_.empty() || alpha_ <= 0) return;
  const int bits = Scene() ? Scene()->BitCount() : 32;
  if (stale_ || renderedBits_ != bits) Render();
  if (refused_) return;
  const TRect src{0, 0, naturalWidth_, naturalHeight_};
  if ((angle_ & 0xFF) != 0) {
    const TPoint a = RotationAnchor(), c = RotationCentre();
    surface.DrawRotateMask(a.X, a.Y, alpha_, &coverage_, flipV_, flipH_, angle_, c.Y, c.X, src, &color_, zoomY_, zoomX_);
    return;
  }
  const TRect dest = DrawnRect();
  if (zoomX_ == 256 && zoomY_ == 256 && !flipH_ && !flipV_ && alpha_ <= 255) {
    const uint32_t pixel = static_cast<uint32_t>(surface.ColorToPixel(fontColor_));
    for (const TRect& r : lineRects_)
      if (!r.Empty()) surface.DrawMonoMask(dest.Left + r.Left, dest.Top + r.Top, alpha_, pixel, false, false, r, &coverage_);
    return;
  }
  if (alpha_ <= 255) {
    surface.StretchDrawMask(dest, &color_, alpha_, &coverage_, flipV_, flipH_, src);
  } else {
    surface.StretchDrawAddMask(dest, &color_, std::min(alpha_, 511) - 256, &coverage_, flipV_, flipH_, src);
  }
}

void TNovaLabel::SetSource(const std::string& name) {
  if (name == source_) return;
  source_ = name;
  motion_.reset();
  if (LowerExtension(name) == ".nmt" && services_.MakeMotion) motion_ = services_.MakeMotion(*this, name);
}

bool TNovaLabel::Update(uint32_t elapsedMs) {
  if (!motion_ || !motion_->Step(elapsedMs)) return false;
  if (autoScrap_) return true;
  PostEventIfFree(PR_ONPLAYEND);
  return false;
}

bool TNovaLabel::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(source_); return true;
    case PR_ZOOMX: v = TPropValue::OfInt(zoomX_); return true;
    case PR_ZOOMY: v = TPropValue::OfInt(zoomY_); return true;
    case PR_ALPHA: v = TPropValue::OfInt(alpha_); return true;
    case PR_FONTNAME: v = TPropValue::OfStr(fontName_); return true;
    case PR_FONTHEIGHT: v = TPropValue::OfInt(fontSize_); return true;
    case PR_FONTSTYLE: v = TPropValue::OfInt(style_); return true;
    case PR_LINESPACE: v = TPropValue::OfInt(lineSpace_); return true;
    case PR_FONTCOLOR: v = TPropValue::OfInt(fontColor_); return true;
    case PR_ANTIALIAS: v = TPropValue::OfFlag(antialias_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_REPEAT: v = TPropValue::OfFlag(repeat_); return true;
    case PR_PLAYING:
      v = TPropValue::OfFlag(motion_ && !motion_->Finished() && !paused_ && !aniPaused_);
      return true;
    case PR_ANGLE: v = TPropValue::OfInt(angle_); return true;
    case PR_ONPLAYEND: v = TPropValue::OfStr(onPlayEnd_); return true;
    case PR_TEXT: v = TPropValue::OfStr(Text()); return true;
    case PR_HALIGN: v = TPropValue::OfInt(halign_); return true;
    case PR_AUTOSCRAP: v = TPropValue::OfFlag(autoScrap_); return true;
    case PR_FLIPH: v = TPropValue::OfFlag(flipH_); return true;
    case PR_FLIPV: v = TPropValue::OfFlag(flipV_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaLabel::SetProperty(int id, const TPropValue& v) {
  // Setters of what the picture shows: store, then lay out and render again.
  auto text = [&](auto& field, auto value) {
    if (field == value) return true;
    field = value;
    Changed();
    return true;
  };
  // Setters of how the picture is drawn.
  auto look = [&](auto& field, auto value) {
    if (field == value) return true;
    Invalidate();
    field = value;
    Invalidate();
    return true;
  };
  switch (id) {
    case PR_SOURCE: SetSource(v.Str); return true;
    case PR_ZOOMX: return text(zoomX_, std::max(1, v.Int));
    case PR_ZOOMY: return text(zoomY_, std::max(1, v.Int));
    case PR_ALPHA: return look(alpha_, v.Int);
    case PR_FONTNAME: return text(fontName_, v.Str);
    case PR_FONTHEIGHT: return text(fontSize_, v.Int);
    case PR_FONTSTYLE: return text(style_, static_cast<uint8_t>(v.Int & 0x0F));
    case PR_LINESPACE: return text(lineSpace_, v.Int);
    case PR_FONTCOLOR: return text(fontColor_, v.Int);
    case PR_ANTIALIAS: return text(antialias_, v.Flag);
    case PR_PAUSED: paused_ = v.Flag; return true;
    case PR_REPEAT:
      repeat_ = v.Flag;
      if (repeat_ && motion_ && motion_->Finished()) motion_->Rewind();
      return true;
    case PR_ANGLE: return look(angle_, v.Int);
    case PR_ONPLAYEND: onPlayEnd_ = v.Str; return true;
    case PR_TEXT: SetText(v.Str); return true;
    case PR_HALIGN: return text(halign_, static_cast<uint8_t>(v.Int));
    case PR_AUTOSCRAP: autoScrap_ = v.Flag; return true;
    case PR_FLIPH: return look(flipH_, v.Flag);
    case PR_FLIPV: return look(flipV_, v.Flag);
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    default: return TNovaControl::SetProperty(id, v);
  }
}

void TNovaLabel::SaveToStream(TStream& s) {
  TNovaControl::SaveToStream(s);
  s.WriteString(fontName_);
  s.WriteInt32(fontSize_);
  s.WriteInt32(lineSpace_);
  s.WriteByte(style_);
  s.WriteInt32(alpha_);
  s.WriteInt32(fontColor_);
  s.WriteByte(halign_);
  s.WriteByte(antialias_ ? 1 : 0);
  s.WriteByte(flipH_ ? 1 : 0);
  s.WriteByte(flipV_ ? 1 : 0);
  s.WriteInt32(angle_);
  s.WriteInt32(zoomX_);
  s.WriteString(Text());
  s.WriteString(onIdle_);
  s.WriteString(source_);
  s.WriteByte(repeat_ ? 1 : 0);
  s.WriteByte(autoScrap_ ? 1 : 0);
  s.WriteString(onPlayEnd_);
  s.WriteByte(paused_ ? 1 : 0);
  s.WriteInt32(zoomY_);
}

void TNovaLabel::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);
  fontName_ = s.ReadString();
  fontSize_ = s.ReadInt32();
  lineSpace_ = s.ReadInt32();
  style_ = s.ReadByte();
  alpha_ = s.ReadInt32();
  fontColor_ = s.ReadInt32();
  halign_ = s.ReadByte();
  antialias_ = s.ReadByte() != 0;
  flipH_ = s.ReadByte() != 0;
  flipV_ = s.ReadByte() != 0;
  angle_ = s.ReadInt32();
  zoomX_ = std::max(1, s.ReadInt32());
  lines_ = SplitMarkupLines(s.ReadString());
  if (version > 103) {
    onIdle_ = s.ReadString();
    SetSource(s.ReadString());
    repeat_ = s.ReadByte() != 0;
    autoScrap_ = s.ReadByte() != 0;
    onPlayEnd_ = s.ReadString();
    paused_ = s.ReadByte() != 0;
    zoomY_ = std::max(1, s.ReadInt32());
  }
  stale_ = true;
  Layout();
}

}  // namespace nova
