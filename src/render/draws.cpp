// Unscaled draws: copies with flips and colour key, constant-alpha and additive blends, the
// 8-bit mask draws, the solid colour through a coverage mask, and whole-surface copies.
#include <algorithm>
#include <cstring>

#include "render/draw_plan.h"

namespace nova {

bool blit::PlanUnscaled(const TRect& clip, int x, int y, TRect src, const TRect& srcBounds, bool flipV, bool flipH,
                        TUnscaledPlan& plan) {
  // Cut the source to what exists; the destination follows the visible columns and rows.
  int cl = std::max(0, srcBounds.Left - src.Left), cr = std::max(0, src.Right - srcBounds.Right);
  int ct = std::max(0, srcBounds.Top - src.Top), cb = std::max(0, src.Bottom - srcBounds.Bottom);
  src = TRect{src.Left + cl, src.Top + ct, src.Right - cr, src.Bottom - cb};
  if (src.Empty()) return false;
  x += flipH ? cr : cl;
  y += flipV ? cb : ct;
  // Cut the destination to the clip and the source by the same amounts.
  TRect dest = TRect::FromSize(x, y, src.Width(), src.Height());
  int dl = std::max(0, clip.Left - dest.Left), dr = std::max(0, dest.Right - clip.Right);
  int dt = std::max(0, clip.Top - dest.Top), db = std::max(0, dest.Bottom - clip.Bottom);
  dest = TRect{dest.Left + dl, dest.Top + dt, dest.Right - dr, dest.Bottom - db};
  if (dest.Empty()) return false;
  if (flipH)
    src.Left += dr, src.Right -= dl;
  else
    src.Left += dl, src.Right -= dr;
  if (flipV)
    src.Top += db, src.Bottom -= dt;
  else
    src.Top += dt, src.Bottom -= db;
  plan.dest = dest;
  plan.srcX = flipH ? src.Right - 1 : src.Left;
  plan.srcY = flipV ? src.Bottom - 1 : src.Top;
  plan.stepX = flipH ? -1 : 1;
  plan.stepY = flipV ? -1 : 1;
  return true;
}

namespace {

using blit::TUnscaledPlan;

// Copy rows of 1-, 2- and 3-byte pixels, with or without colour key, forward or reversed.
template <int Bytes>
uint32_t Load(const uint8_t* p) {
  uint32_t v = p[0];
  if constexpr (Bytes > 1) v |= uint32_t{p[1]} << 8;
  if constexpr (Bytes > 2) v |= uint32_t{p[2]} << 16;
  return v;
}

template <int Bytes>
void CopyBytesRow(uint8_t* d, const uint8_t* s, int n, int step, bool keyed, uint32_t key) {
  if (step > 0 && !keyed) {
    std::memmove(d, s, static_cast<size_t>(n) * Bytes);
    return;
  }
  for (int i = 0; i < n; ++i, d += Bytes, s += step * Bytes) {
    if (keyed && Load<Bytes>(s) == key) continue;
    std::memcpy(d, s, Bytes);
  }
}

void CopyRows(TCustomDIBX* dest, TCustomDIBX* source, const TUnscaledPlan& p, bool keyed, uint32_t key) {
  int bits = dest->GetStoredBitCount();
  blit::TAccess d(dest);
  if (!d) return;
  blit::TAccess s(source);
  if (!s) return;
  int bytes = bits / 8, w = p.dest.Width(), h = p.dest.Height();
  if (bits == 32) {
    const TRows32& rows = ActiveRows32();
    int rev = p.stepX < 0;
    // Whole rows of equally laid out bitmaps are one block.
    int32_t pitch = dest->GetPitch();
    if (!keyed && !rev && p.stepY > 0 && w * 4 == pitch && source->GetPitch() == pitch) {
      std::memmove(d.Row32(p.dest.Top) + p.dest.Left, s.Row32(p.srcY) + p.srcX, size_t{4} * w * h);
      return;
    }
    for (int j = 0, sy = p.srcY; j < h; ++j, sy += p.stepY) {
      uint32_t* dr = d.Row32(p.dest.Top + j) + p.dest.Left;
      const uint32_t* sr = s.Row32(sy) + p.srcX;
      keyed ? rows.CopyKeyed[rev](dr, sr, w, key) : rows.Copy[rev](dr, sr, w);
    }
    return;
  }
  for (int j = 0, sy = p.srcY; j < h; ++j, sy += p.stepY)
    blit::CopyRow(bits, d.Row(p.dest.Top + j) + p.dest.Left * bytes, s.Row(sy) + p.srcX * bytes, w, p.stepX, keyed,
                  key);
}

bool KeyOf(TCustomDIBX* source, bool keyed, uint32_t& key) {
  key = static_cast<uint32_t>(source->Transparent);
  return keyed && source->Transparent != -1;
}

}  // namespace

void blit::CopyRow(int bits, uint8_t* d, const uint8_t* s, int n, int step, bool keyed, uint32_t key) {
  switch (bits) {
    case 8: CopyBytesRow<1>(d, s, n, step, keyed, key); break;
    case 16: CopyBytesRow<2>(d, s, n, step, keyed, key); break;
    case 24: CopyBytesRow<3>(d, s, n, step, keyed, key); break;
    default: {
      const TRows32& rows = ActiveRows32();
      auto* d32 = reinterpret_cast<uint32_t*>(d);
      auto* s32 = reinterpret_cast<const uint32_t*>(s);
      keyed ? rows.CopyKeyed[step < 0](d32, s32, n, key) : rows.Copy[step < 0](d32, s32, n);
    }
  }
}

void TCustomDIBX::Assign(TCustomDIBX* source) {
  if (!source || source == this) return;
  auto* d = dynamic_cast<TDIBX*>(this);
  auto* s = dynamic_cast<TDIBX*>(source);
  if (d && s && d->GetWidth() == s->GetWidth() && d->GetHeight() == s->GetHeight() && d->GetPitch() == s->GetPitch()) {
    // Equal bitmaps: the bytes in one block.
    blit::TAccess dst(d);
    if (!dst) return;
    blit::TAccess src(s);
    if (!src) return;
    int32_t pitch = d->GetPitch();
    if (pitch > 0) {
      std::memcpy(dst.Row(0), src.Row(0), static_cast<size_t>(pitch) * static_cast<size_t>(d->GetHeight()));
    } else {
      for (int y = 0; y < d->GetHeight(); ++y) std::memcpy(dst.Row(y), src.Row(y), static_cast<size_t>(-int64_t{pitch}));
    }
    return;
  }
  Draw(0, 0, false, false, false, TRect{0, 0, source->GetWidth(), source->GetHeight()}, source);
}

void TCustomDIBX::Draw(int x, int y, bool flipV, bool flipH, bool keyed, const TRect& srcRect, TCustomDIBX* source) {
  if (!blit::Compatible(this, source)) return;
  blit::TUnscaledPlan p;
  if (!blit::PlanUnscaled(EffectiveClip(), x, y, srcRect, blit::SourceBounds(source), flipV, flipH, p)) return;
  uint32_t key;
  keyed = KeyOf(source, keyed, key);
  int bits = GetStoredBitCount();
  if (GetBlitPath() != TBlitPath::PerPixel && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) {
    CopyRows(this, source, p, keyed, key);
    return;
  }
  blit::TAccess d(this), s(source);
  if (!d || !s) return;
  blit::ForPixels(p, [&](int dx, int dy, int sx, int sy) {
    uint32_t v = source->GetPixel(sx, sy);
    if (!keyed || v != key) SetPixel(dx, dy, v);
  });
}

void TCustomDIBX::DrawAlpha(int x, int y, int alpha, bool flipV, bool flipH, bool keyed, const TRect& srcRect,
                            TCustomDIBX* source) {
  if (alpha <= 0) return;
  if (alpha >= 255) {
    Draw(x, y, flipV, flipH, keyed, srcRect, source);
    return;
  }
  if (!blit::Compatible(this, source)) return;
  blit::TUnscaledPlan p;
  if (!blit::PlanUnscaled(EffectiveClip(), x, y, srcRect, blit::SourceBounds(source), flipV, flipH, p)) return;
  uint32_t key;
  keyed = KeyOf(source, keyed, key);
  uint32_t a = static_cast<uint32_t>(alpha);
  if (blit::UseRows32(this)) {
    const TRows32& rows = ActiveRows32();
    int rev = p.stepX < 0;
    blit::ForRows32(this, source, nullptr, p, [&](uint32_t* d, const uint32_t* s, const uint8_t*, int n) {
      rows.Alpha[rev](d, s, n, a, keyed, key, true);
    });
    return;
  }
  blit::TAccess d(this), s(source);
  if (!d || !s) return;
  pixel::TMasks m = blit::MasksOf(this);
  blit::ForPixels(p, [&](int dx, int dy, int sx, int sy) {
    uint32_t v = source->GetPixel(sx, sy), dv = GetPixel(dx, dy);
    if ((keyed && v == key) || v == dv) return;
    SetPixel(dx, dy, pixel::Blend(dv, v, a, m));
  });
}

void TCustomDIBX::DrawAdd(int x, int y, int factor, bool flipV, bool flipH, bool keyed, const TRect& srcRect,
                          TCustomDIBX* source) {
  if (factor <= 0 || !blit::Compatible(this, source)) return;
  blit::TUnscaledPlan p;
  if (!blit::PlanUnscaled(EffectiveClip(), x, y, srcRect, blit::SourceBounds(source), flipV, flipH, p)) return;
  uint32_t key;
  keyed = KeyOf(source, keyed, key);
  uint32_t f = static_cast<uint32_t>(std::min(factor, 255));
  if (blit::UseRows32(this)) {
    const TRows32& rows = ActiveRows32();
    int rev = p.stepX < 0;
    blit::ForRows32(this, source, nullptr, p, [&](uint32_t* d, const uint32_t* s, const uint8_t*, int n) {
      rows.Add[rev](d, s, n, f, keyed, key);
    });
    return;
  }
  blit::TAccess d(this), s(source);
  if (!d || !s) return;
  pixel::TMasks m = blit::MasksOf(this);
  bool indexImage = GetBitCount() == 8;
  blit::ForPixels(p, [&](int dx, int dy, int sx, int sy) {
    uint32_t v = source->GetPixel(sx, sy);
    if (keyed && v == key) return;
    uint32_t dv = GetPixel(dx, dy);
    // 8-bit surfaces add the plain values, whatever the factor.
    SetPixel(dx, dy, indexImage ? std::min(255u, dv + v) : pixel::AddScaled(dv, v, f, m));
  });
}

namespace {

// The mask draws share their checks and walk: f(d, s, m, n) on 32-bit rows, g(dv, sv, mv) ->
// new pixel per visible pixel otherwise (mask 0 is always invisible).
template <typename RowF, typename PixelF>
void MaskedDraw(TCustomDIBX* dest, int x, int y, TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect,
                TCustomDIBX* source, RowF&& row, PixelF&& pixel) {
  if (!blit::Compatible(dest, source) || !mask || mask->GetBitCount() != 8) return;
  blit::TUnscaledPlan p;
  if (!blit::PlanUnscaled(dest->EffectiveClip(), x, y, srcRect, blit::SourceBounds(source, mask), flipV, flipH, p))
    return;
  if (blit::UseRows32(dest)) {
    int rev = p.stepX < 0;
    blit::ForRows32(dest, source, mask, p, [&](uint32_t* d, const uint32_t* s, const uint8_t* m, int n) {
      row(rev, d, s, m, n);
    });
    return;
  }
  blit::TAccess d(dest), s(source), m(mask);
  if (!d || !s || !m) return;
  blit::ForPixels(p, [&](int dx, int dy, int sx, int sy) {
    uint32_t mv = mask->GetPixel(sx, sy);
    if (mv == 0) return;
    dest->SetPixel(dx, dy, pixel(dest->GetPixel(dx, dy), source->GetPixel(sx, sy), mv));
  });
}

}  // namespace

void TCustomDIBX::DrawMask(int x, int y, TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect,
                           TCustomDIBX* source) {
  const TRows32& rows = ActiveRows32();
  pixel::TMasks cm = blit::MasksOf(this);
  MaskedDraw(
      this, x, y, mask, flipV, flipH, srcRect, source,
      [&](int rev, uint32_t* d, const uint32_t* s, const uint8_t* m, int n) { rows.Mask[rev](d, s, m, n); },
      [&](uint32_t dv, uint32_t sv, uint32_t mv) { return mv == 255 ? sv : pixel::Blend(dv, sv, mv, cm); });
}

void TCustomDIBX::DrawAlphaMask(int x, int y, int alpha, TCustomDIBX* mask, bool flipV, bool flipH,
                                const TRect& srcRect, TCustomDIBX* source) {
  if (alpha <= 0) return;
  if (alpha >= 255) {
    DrawMask(x, y, mask, flipV, flipH, srcRect, source);
    return;
  }
  const TRows32& rows = ActiveRows32();
  pixel::TMasks cm = blit::MasksOf(this);
  uint32_t a = static_cast<uint32_t>(alpha);
  MaskedDraw(
      this, x, y, mask, flipV, flipH, srcRect, source,
      [&](int rev, uint32_t* d, const uint32_t* s, const uint8_t* m, int n) { rows.AlphaMask[rev](d, s, m, n, a); },
      [&](uint32_t dv, uint32_t sv, uint32_t mv) { return pixel::Blend(dv, sv, (a * mv) >> 8, cm); });
}

void TCustomDIBX::DrawAddMask(int x, int y, int factor, TCustomDIBX* mask, bool flipV, bool flipH,
                              const TRect& srcRect, TCustomDIBX* source) {
  if (factor <= 0) return;
  const TRows32& rows = ActiveRows32();
  pixel::TMasks cm = blit::MasksOf(this);
  uint32_t f = static_cast<uint32_t>(std::min(factor, 255));
  MaskedDraw(
      this, x, y, mask, flipV, flipH, srcRect, source,
      [&](int rev, uint32_t* d, const uint32_t* s, const uint8_t* m, int n) { rows.AddMask[rev](d, s, m, n, f); },
      [&](uint32_t dv, uint32_t sv, uint32_t mv) { return pixel::AddScaled(dv, sv, (f * mv) >> 8, cm); });
}

void TCustomDIBX::DrawMonoMask(int x, int y, int alpha, uint32_t pixel, bool flipV, bool flipH, const TRect& srcRect,
                               TCustomDIBX* mask) {
  if (alpha <= 0 || IsEmpty() || !mask || mask->GetBitCount() != 8) return;
  // The coverage rectangle must lie wholly inside the mask.
  if (srcRect.Left < 0 || srcRect.Top < 0 || srcRect.Right > mask->GetWidth() || srcRect.Bottom > mask->GetHeight())
    return;
  blit::TUnscaledPlan p;
  if (!blit::PlanUnscaled(EffectiveClip(), x, y, srcRect, blit::SourceBounds(mask), flipV, flipH, p)) return;
  uint32_t a = static_cast<uint32_t>(std::min(alpha, 255));
  if (blit::UseRows32(this)) {
    const TRows32& rows = ActiveRows32();
    int rev = p.stepX < 0;
    blit::TAccess d(this);
    if (!d) return;
    blit::TAccess m(mask);
    if (!m) return;
    for (int j = 0, sy = p.srcY; j < p.dest.Height(); ++j, sy += p.stepY)
      rows.MonoMask[rev](d.Row32(p.dest.Top + j) + p.dest.Left, m.Row(sy) + p.srcX, p.dest.Width(), a, pixel);
    return;
  }
  blit::TAccess d(this), m(mask);
  if (!d || !m) return;
  pixel::TMasks cm = blit::MasksOf(this);
  blit::ForPixels(p, [&](int dx, int dy, int sx, int sy) {
    uint32_t mv = mask->GetPixel(sx, sy);
    if (mv == 0) return;
    SetPixel(dx, dy, pixel::Blend(GetPixel(dx, dy), pixel, (a * mv) >> 8, cm));
  });
}

}  // namespace nova
