// The wave proxy: forwards fills and draws to its target in bands of rows that share one
// sideways offset, clipped (unshifted) to the proxy's clip and area.
#include <algorithm>

#include "render/dibx.h"

namespace nova {

TDIBXWave::TDIBXWave(TCustomDIBX* target) : target_(target) {}

int TDIBXWave::GetBitCount() { return target_ ? target_->GetBitCount() : 0; }
TCustomDIBX* TDIBXWave::GetTarget() { return target_; }
int TDIBXWave::GetStoredBitCount() { return target_ ? target_->GetStoredBitCount() : 0; }

void TDIBXWave::SetSize(int width, int height, int bitCount) {
  TCustomDIBX::SetSize(width, height, bitCount);
  offsets_.resize(static_cast<size_t>(FHeight), 0);
}

TRect TDIBXWave::Area() const { return TRect::FromSize(originX_, rowOrigin_, FWidth, FHeight); }

TRect TDIBXWave::EffectiveClip() {
  TRect area = Area();
  if (target_) area = Intersect(area, TRect{0, 0, target_->GetWidth(), target_->GetHeight()});
  return ClipRight == 0 ? area : Intersect(GetClipRect(), area);
}

template <typename F>
void TDIBXWave::ForEachBand(int top, int bottom, F&& forward) {
  if (!target_) return;
  TRect clip = EffectiveClip();
  int lo = std::max(top, clip.Top), hi = std::min(bottom, clip.Bottom);
  if (clip.Empty() || lo >= hi) return;
  savedClip_ = target_->GetClipRect();
  for (int r = lo; r < hi;) {
    size_t index = static_cast<size_t>(r - rowOrigin_);
    if (index >= offsets_.size()) {
      ++r;
      continue;
    }
    int32_t offset = offsets_[index];
    int end = r + 1;
    while (end < hi && static_cast<size_t>(end - rowOrigin_) < offsets_.size() &&
           offsets_[static_cast<size_t>(end - rowOrigin_)] == offset)
      ++end;
    target_->SetClipRect(TRect{clip.Left, r, clip.Right, end});
    forward(offset);
    r = end;
  }
  target_->SetClipRect(savedClip_);
}

template <typename F>
void TDIBXWave::ForEachRow(int top, int bottom, F&& forward) {
  if (!target_) return;
  TRect clip = EffectiveClip();
  int lo = std::max(top, clip.Top), hi = std::min(bottom, clip.Bottom);
  if (clip.Empty() || lo >= hi) return;
  savedClip_ = target_->GetClipRect();
  for (int r = lo; r < hi; ++r) {
    size_t index = static_cast<size_t>(r - rowOrigin_);
    if (index >= offsets_.size()) continue;
    target_->SetClipRect(TRect{clip.Left, r, clip.Right, r + 1});
    forward(offsets_[index]);
  }
  target_->SetClipRect(savedClip_);
}

void TDIBXWave::ResetClip() {
  TCustomDIBX::ResetClip();
  if (target_) target_->ResetClip();
}

void TDIBXWave::AddClip(const TRect& r) {
  TRect c = Intersect(r, Area());
  if (!c.Empty()) SetClipRect(ClipRight == 0 ? c : Union(GetClipRect(), c));
  if (target_) target_->AddClip(r);
}

int32_t TDIBXWave::ColorToPixel(int32_t color) { return target_ ? target_->ColorToPixel(color) : -1; }

void TDIBXWave::Fill(uint32_t pixel) { FillRect(Area(), pixel); }

void TDIBXWave::FillRect(const TRect& r, uint32_t pixel) {
  ForEachBand(r.Top, r.Bottom, [&](int o) { target_->FillRect(r.Offset(o, 0), pixel); });
}

void TDIBXWave::FillRectAlpha(const TRect& r, uint32_t pixel, int alpha) {
  ForEachBand(r.Top, r.Bottom, [&](int o) { target_->FillRectAlpha(r.Offset(o, 0), pixel, alpha); });
}

void TDIBXWave::FillRectAdd(const TRect& r, uint32_t pixel) {
  ForEachBand(r.Top, r.Bottom, [&](int o) { target_->FillRectAdd(r.Offset(o, 0), pixel); });
}

void TDIBXWave::FillRectSub(const TRect& r, uint32_t pixel) {
  ForEachBand(r.Top, r.Bottom, [&](int o) { target_->FillRectSub(r.Offset(o, 0), pixel); });
}

void TDIBXWave::Assign(TCustomDIBX* source) {
  if (source) Draw(0, 0, false, false, false, TRect{0, 0, source->GetWidth(), source->GetHeight()}, source);
}

void TDIBXWave::Draw(int x, int y, bool flipV, bool flipH, bool keyed, const TRect& srcRect, TCustomDIBX* source) {
  ForEachBand(y, y + srcRect.Height(),
              [&](int o) { target_->Draw(x + o, y, flipV, flipH, keyed, srcRect, source); });
}

void TDIBXWave::DrawMask(int x, int y, TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect,
                         TCustomDIBX* source) {
  ForEachBand(y, y + srcRect.Height(),
              [&](int o) { target_->DrawMask(x + o, y, mask, flipV, flipH, srcRect, source); });
}

void TDIBXWave::DrawAlpha(int x, int y, int alpha, bool flipV, bool flipH, bool keyed, const TRect& srcRect,
                          TCustomDIBX* source) {
  ForEachBand(y, y + srcRect.Height(),
              [&](int o) { target_->DrawAlpha(x + o, y, alpha, flipV, flipH, keyed, srcRect, source); });
}

void TDIBXWave::DrawAlphaMask(int x, int y, int alpha, TCustomDIBX* mask, bool flipV, bool flipH,
                              const TRect& srcRect, TCustomDIBX* source) {
  ForEachBand(y, y + srcRect.Height(),
              [&](int o) { target_->DrawAlphaMask(x + o, y, alpha, mask, flipV, flipH, srcRect, source); });
}

void TDIBXWave::DrawAdd(int x, int y, int factor, bool flipV, bool flipH, bool keyed, const TRect& srcRect,
                        TCustomDIBX* source) {
  ForEachBand(y, y + srcRect.Height(),
              [&](int o) { target_->DrawAdd(x + o, y, factor, flipV, flipH, keyed, srcRect, source); });
}

void TDIBXWave::DrawAddMask(int x, int y, int factor, TCustomDIBX* mask, bool flipV, bool flipH,
                            const TRect& srcRect, TCustomDIBX* source) {
  ForEachBand(y, y + srcRect.Height(),
              [&](int o) { target_->DrawAddMask(x + o, y, factor, mask, flipV, flipH, srcRect, source); });
}

// A turned picture may cover any row of the clip.
void TDIBXWave::DrawRotate(int x, int y, int alpha, bool flipV, bool flipH, bool keyed, int angle, int centreY,
                           int centreX, const TRect& srcRect, TCustomDIBX* source, int zoomY, int zoomX) {
  TRect clip = EffectiveClip();
  ForEachBand(clip.Top, clip.Bottom, [&](int o) {
    target_->DrawRotate(x + o, y, alpha, flipV, flipH, keyed, angle, centreY, centreX, srcRect, source, zoomY, zoomX);
  });
}

void TDIBXWave::DrawRotateMask(int x, int y, int alpha, TCustomDIBX* mask, bool flipV, bool flipH, int angle,
                               int centreY, int centreX, const TRect& srcRect, TCustomDIBX* source, int zoomY,
                               int zoomX) {
  TRect clip = EffectiveClip();
  ForEachBand(clip.Top, clip.Bottom, [&](int o) {
    target_->DrawRotateMask(x + o, y, alpha, mask, flipV, flipH, angle, centreY, centreX, srcRect, source, zoomY,
                            zoomX);
  });
}

// Stretched draws go one destination row at a time: a clipped scaled draw starts its rows
// from the clip, so a band would sample differently from the same rows drawn unclipped.
void TDIBXWave::StretchDraw(const TRect& destRect, TCustomDIBX* source, int alpha, bool flipV, bool flipH, bool keyed,
                            const TRect& srcRect) {
  ForEachRow(destRect.Top, destRect.Bottom, [&](int o) {
    target_->StretchDraw(destRect.Offset(o, 0), source, alpha, flipV, flipH, keyed, srcRect);
  });
}

void TDIBXWave::StretchDrawMask(const TRect& destRect, TCustomDIBX* source, int alpha, TCustomDIBX* mask, bool flipV,
                                bool flipH, const TRect& srcRect) {
  ForEachRow(destRect.Top, destRect.Bottom, [&](int o) {
    target_->StretchDrawMask(destRect.Offset(o, 0), source, alpha, mask, flipV, flipH, srcRect);
  });
}

void TDIBXWave::StretchDrawAdd(const TRect& destRect, TCustomDIBX* source, int factor, bool flipV, bool flipH,
                               bool keyed, const TRect& srcRect) {
  ForEachRow(destRect.Top, destRect.Bottom, [&](int o) {
    target_->StretchDrawAdd(destRect.Offset(o, 0), source, factor, flipV, flipH, keyed, srcRect);
  });
}

void TDIBXWave::StretchDrawAddMask(const TRect& destRect, TCustomDIBX* source, int factor, TCustomDIBX* mask,
                                   bool flipV, bool flipH, const TRect& srcRect) {
  ForEachRow(destRect.Top, destRect.Bottom, [&](int o) {
    target_->StretchDrawAddMask(destRect.Offset(o, 0), source, factor, mask, flipV, flipH, srcRect);
  });
}

// A reduction's rows are whole blocks of n source rows, so bands of destination rows draw
// exactly what single rows would.
void TDIBXWave::DrawMonoSmooth(int x, int y, int factor, int alpha, bool flipV, bool flipH, uint32_t pixel,
                               const TRect& srcRect, TCustomDIBX* source) {
  if (factor < 1) return;
  ForEachBand(y, y + srcRect.Height() / factor, [&](int o) {
    target_->DrawMonoSmooth(x + o, y, factor, alpha, flipV, flipH, pixel, srcRect, source);
  });
}

void TDIBXWave::DrawQuadSmooth(int x, int y, int factor, int alpha, bool flipV, bool flipH, uint32_t pixel1,
                               uint32_t pixel2, uint32_t pixel3, const TRect& srcRect, TCustomDIBX* source) {
  if (factor < 1) return;
  ForEachBand(y, y + srcRect.Height() / factor, [&](int o) {
    target_->DrawQuadSmooth(x + o, y, factor, alpha, flipV, flipH, pixel1, pixel2, pixel3, srcRect, source);
  });
}

void TDIBXWave::FramePattern(const TRect& r, int width, int offsetY, int offsetX, TCustomDIBX* pattern) {
  ForEachBand(r.Top, r.Bottom,
              [&](int o) { target_->FramePattern(r.Offset(o, 0), width, offsetY, offsetX, pattern); });
}

void TDIBXWave::DrawIndexed4(int x, int y, const uint32_t* table, int alpha, bool flipV, bool flipH,
                             const TRect& srcRect, TCustomDIBX* source) {
  ForEachBand(y, y + srcRect.Height(),
              [&](int o) { target_->DrawIndexed4(x + o, y, table, alpha, flipV, flipH, srcRect, source); });
}

void TDIBXWave::DrawIndexedAdd(int x, int y, const uint32_t* table, int factor, bool flipV, bool flipH,
                               int threshold, const TRect& srcRect, TCustomDIBX* source) {
  ForEachBand(y, y + srcRect.Height(), [&](int o) {
    target_->DrawIndexedAdd(x + o, y, table, factor, flipV, flipH, threshold, srcRect, source);
  });
}

void TDIBXWave::StretchIndexed(const TRect& destRect, TCustomDIBX* source, const uint32_t* table, int alpha,
                               bool flipV, bool flipH, int threshold, const TRect& srcRect) {
  ForEachRow(destRect.Top, destRect.Bottom, [&](int o) {
    target_->StretchIndexed(destRect.Offset(o, 0), source, table, alpha, flipV, flipH, threshold, srcRect);
  });
}

void TDIBXWave::PatternDraw(const TRect& destRect, int zoomY, int alpha, bool flipV, bool flipH, bool keyed,
                            int offsetX, int offsetY, TCustomDIBX* pattern, int zoomX) {
  ForEachBand(destRect.Top, destRect.Bottom, [&](int o) {
    target_->PatternDraw(destRect.Offset(o, 0), zoomY, alpha, flipV, flipH, keyed, offsetX, offsetY, pattern, zoomX);
  });
}

void TDIBXWave::PatternDrawMask(const TRect& destRect, int zoomY, int alpha, TCustomDIBX* mask, bool flipV,
                                bool flipH, int offsetX, int offsetY, TCustomDIBX* pattern, int zoomX) {
  ForEachBand(destRect.Top, destRect.Bottom, [&](int o) {
    target_->PatternDrawMask(destRect.Offset(o, 0), zoomY, alpha, mask, flipV, flipH, offsetX, offsetY, pattern,
                             zoomX);
  });
}

void TDIBXWave::PatternFill(const TRect& destRect, TCustomDIBX* pattern, bool flipV, bool flipH, int offsetY,
                            int offsetX) {
  ForEachBand(destRect.Top, destRect.Bottom, [&](int o) {
    target_->PatternFill(destRect.Offset(o, 0), pattern, flipV, flipH, offsetY, offsetX);
  });
}

void TDIBXWave::DrawMonoMask(int x, int y, int alpha, uint32_t pixel, bool flipV, bool flipH, const TRect& srcRect,
                             TCustomDIBX* mask) {
  ForEachBand(y, y + srcRect.Height(),
              [&](int o) { target_->DrawMonoMask(x + o, y, alpha, pixel, flipV, flipH, srcRect, mask); });
}

}  // namespace nova
