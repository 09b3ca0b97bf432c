// Members that move, stretch or turn the pictures: scrolls, bamboo blinds and rubber bands,
// mosaic, shrinking and growing, twists and the zoom.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "render/blit.h"
#include "render/wipe_kinds.h"
#include "render/wipe_math.h"

namespace nova {

namespace {

TRect Whole(TCustomDIBX* s) { return TRect{0, 0, s->GetWidth(), s->GetHeight()}; }

// A rectangle along one axis: [lo, hi) on the moving axis, the whole other axis.
TRect Band(bool vertical, int lo, int hi, int across) {
  return vertical ? TRect{0, lo, across, hi} : TRect{lo, 0, hi, across};
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// SCROLLH: a = W x elapsed / duration; the old picture at x = -a and the new one at its width
// - a (reversed: the old at a, the new at a - its width). SCROLLV: the same downwards.

void TWipeScrollH::DrawStep() {
  const int a = static_cast<int>(Scaled(W()));
  const int wt = to_->GetWidth();
  dest_->Draw(reverse_ ? a : -a, 0, false, false, false, Whole(from_), from_);
  dest_->Draw(reverse_ ? a - wt : wt - a, 0, false, false, false, Whole(to_), to_);
}

void TWipeScrollV::DrawStep() {
  const int a = static_cast<int>(Scaled(H()));
  const int ht = to_->GetHeight();
  dest_->Draw(0, reverse_ ? a : -a, false, false, false, Whole(from_), from_);
  dest_->Draw(0, reverse_ ? a - ht : ht - a, false, false, false, Whole(to_), to_);
}

// ---------------------------------------------------------------------------------------------
// SUDARE: a = (2L - 1) x elapsed / duration over the L columns (rows); the old picture while
// a < L, then the new one with a := 2L - a - 1. Column a of the picture is stretched over
// columns 0 .. a and the columns after it are drawn as they are (reversed: column L - 1 - a
// over L - 1 - a .. L - 1, the columns before it as they are).
// RUBBER: the stretched strip is g = round(|elapsed - duration / 2| x (a / 2) / (duration / 2))
// columns wider: it runs from max(0, a - g) to column a inclusive (reversed: from L - 1 - a
// over g more columns), so at the middle of the time it is the single column of SUDARE.

namespace {

void DrawBlind(TCustomDIBX* dest, TCustomDIBX* from, TCustomDIBX* to, int64_t elapsed, int64_t duration,
               bool reversed, bool vertical, bool rubber) {
  const int length = vertical ? dest->GetHeight() : dest->GetWidth();
  const int across = vertical ? dest->GetWidth() : dest->GetHeight();
  if (length <= 0) return;
  int64_t a = (2 * int64_t{length} - 1) * elapsed / duration;
  TCustomDIBX* picture = from;
  if (a >= length) picture = to, a = 2 * int64_t{length} - a - 1;
  const int pos = static_cast<int>(a);
  int extra = 0;
  if (rubber) {
    double half = duration / 2.0;
    extra = wipe::Round(std::fabs(elapsed - half) * (a / 2.0) / half);
  }
  auto draw = [&](int lo, int hi) {  // the picture's own columns lo .. hi - 1 in place
    if (hi > lo) {
      TRect r = Band(vertical, lo, hi, across);
      dest->Draw(r.Left, r.Top, false, false, false, r, picture);
    }
  };
  if (!reversed) {
    const int stripLo = std::max(0, pos - extra);
    dest->StretchDraw(Band(vertical, 0, pos + 1, across), picture, 255, false, false, false,
                      Band(vertical, stripLo, pos + 1, across));
    draw(pos + 1, length);
  } else {
    const int at = length - 1 - pos;
    const int stripHi = std::min(length, at + extra + 1);
    dest->StretchDraw(Band(vertical, at, length, across), picture, 255, false, false, false,
                      Band(vertical, at, stripHi, across));
    draw(0, at);
  }
}

}  // namespace

void TWipeSudareH::DrawStep() { DrawBlind(dest_, from_, to_, elapsed_, duration_, reverse_, false, false); }
void TWipeSudareV::DrawStep() { DrawBlind(dest_, from_, to_, elapsed_, duration_, reverse_, true, false); }
void TWipeRubberH::DrawStep() { DrawBlind(dest_, from_, to_, elapsed_, duration_, reverse_, false, true); }
void TWipeRubberV::DrawStep() { DrawBlind(dest_, from_, to_, elapsed_, duration_, reverse_, true, true); }

// ---------------------------------------------------------------------------------------------
// MOSAIC: b = elapsed x 1023 / duration. A scratch picture receives a reduced copy of
// (W / 4 x k >> 8, H / 4 x k >> 8) pixels (each at least 1), stretched back over the screen.
// k falls from 263 to 24 over the old picture (the new one fading in over it from b = 256)
// and rises to 263 again over the new one.

void TWipeMosaic::DrawStep() {
  const int64_t b = Scaled(1023);
  int64_t k;
  int overlay = 0;  // alpha of the new picture over the old one
  TCustomDIBX* base = from_;
  if (b <= 255) {
    k = 263 - (b / 2) * 15 / 16;
  } else if (b <= 511) {
    k = 263 - (((b / 2) * 15) >> 4);
    overlay = static_cast<int>((b - 256) / 4);
  } else {
    k = ((b - 512) / 2 * 15) / 16 + 24;
    if (b <= 767)
      overlay = static_cast<int>((b - 256) / 2);
    else
      base = to_;
  }
  const int rw = static_cast<int>(std::max<int64_t>(1, (W() / 4) * k >> 8));
  const int rh = static_cast<int>(std::max<int64_t>(1, (H() / 4) * k >> 8));
  if (scratch_.GetWidth() != W() || scratch_.GetHeight() != H() || scratch_.GetBitCount() != dest_->GetBitCount())
    scratch_.SetSize(W(), H(), dest_->GetBitCount());
  scratch_.ResetClip();
  const TRect reduced{0, 0, rw, rh};
  scratch_.StretchDraw(reduced, base, 255, false, false, false, Whole(base));
  if (overlay > 0) scratch_.StretchDraw(reduced, to_, overlay, false, false, false, Whole(to_));
  dest_->StretchDraw(TRect{0, 0, W(), H()}, &scratch_, 255, false, false, false, reduced);
}

// ---------------------------------------------------------------------------------------------
// SMALL: over the new picture, the old one turned about its centre at the screen's centre,
// zoom round((1 - p') x 255) with p' = (elapsed + 1) / duration, angle round(parameter 0 x
// progress), negated when reversed. BIG: over the old picture, the new one at zoom
// round(progress x 255) and angle round(parameter 0 x (1 - p')), negated when reversed as well.

namespace {

void DrawTurned(TCustomDIBX* dest, TCustomDIBX* picture, int zoom, int angle) {
  dest->DrawRotate(dest->GetWidth() / 2, dest->GetHeight() / 2, 255, false, false, false, angle,
                   picture->GetHeight() / 2, picture->GetWidth() / 2, Whole(picture), picture, zoom, zoom);
}

}  // namespace

void TWipeSmall::DrawStep() {
  StartFrom(to_);
  const double later = static_cast<double>(elapsed_ + 1) / duration_;
  const int angle = wipe::Round(params_[0] * Progress());
  DrawTurned(dest_, from_, wipe::Round((1 - later) * 255), reverse_ ? -angle : angle);
}

void TWipeBig::DrawStep() {
  StartFrom(from_);
  const double later = static_cast<double>(elapsed_ + 1) / duration_;
  const int angle = wipe::Round(params_[0] * (1 - later));
  DrawTurned(dest_, to_, wipe::Round(Progress() * 255), reverse_ ? -angle : angle);
}

// ---------------------------------------------------------------------------------------------
// TWISTH: phi = progress x 3 pi / 2; row y (from the bottom when reversed) is turned by
// theta = phi - (y / H) x pi / 2. Turning rows (0 <= theta < pi) are cleared to 0 and show
// their row of the old picture squeezed to round(W cos theta) pixels, centred (the new
// picture's row where the cosine is negative); turned rows (theta >= pi) show the new picture.
// Rows not yet turning (theta < 0) show the old picture: leaving them as they are would keep
// the old picture the destination started with; redrawing it keeps a step independent of the
// one before. TWISTV: the same with columns. The squeeze samples as StretchDraw does
// (16.16 steps); 15/16- and 32-bit pictures are drawn row by row on raw rows, the plain path
// line by line through the surface operations.

namespace {

// One line's state at the current time.
struct TTwistLine {
  enum { Old, New, Turning } state = Old;
  bool showsNew = false;    // turning past a quarter: the new picture's line
  int lo = 0, length = 0;   // the squeezed span
  int64_t step = 0;         // 16.16 source step of the squeeze, as StretchDraw takes it
};

std::vector<TTwistLine> TwistLines(int lines, int length, double progress, bool reversed) {
  const double phi = progress * 3 * M_PI / 2;
  std::vector<TTwistLine> out(static_cast<size_t>(lines));
  for (int i = 0; i < lines; ++i) {
    TTwistLine& l = out[static_cast<size_t>(i)];
    const int counted = reversed ? lines - 1 - i : i;
    const double theta = phi - static_cast<double>(counted) / lines * M_PI / 2;
    if (theta < 0) continue;
    if (theta >= M_PI) {
      l.state = TTwistLine::New;
      continue;
    }
    const double c = std::cos(theta);
    l.state = TTwistLine::Turning;
    l.showsNew = c < 0;
    l.length = wipe::Round(length * std::fabs(c));
    l.lo = (length - l.length) / 2;
    if (l.length > 0) l.step = static_cast<int64_t>(static_cast<double>(length) / l.length * 65536.0);
  }
  return out;
}

// The plain form through the surface operations: every line copied, cleared or stretched.
void DrawTwist(TCustomDIBX* dest, TCustomDIBX* from, TCustomDIBX* to, const std::vector<TTwistLine>& lines,
               bool vertical) {
  const int length = vertical ? dest->GetHeight() : dest->GetWidth();
  auto line = [&](int i, int lo, int hi) { return vertical ? TRect{i, lo, i + 1, hi} : TRect{lo, i, hi, i + 1}; };
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    const TTwistLine& l = lines[static_cast<size_t>(i)];
    const TRect whole = line(i, 0, length);
    if (l.state != TTwistLine::Turning) {
      dest->Draw(whole.Left, whole.Top, false, false, false, whole, l.state == TTwistLine::New ? to : from);
      continue;
    }
    dest->FillRect(whole, 0);
    if (l.length > 0)
      dest->StretchDraw(line(i, l.lo, l.lo + l.length), l.showsNew ? to : from, 255, false, false, false, whole);
  }
}

// The same on raw 16- or 32-bit rows, walking the destination row by row.
template <typename Pixel>
void DrawTwistRows(TCustomDIBX* dest, TCustomDIBX* from, TCustomDIBX* to, const std::vector<TTwistLine>& lines,
                   bool vertical) {
  blit::TAccess d(dest), f(from), t(to);
  if (!blit::AllLocked(d, f, t)) return;
  const int w = dest->GetWidth(), h = dest->GetHeight();
  auto row = [](const blit::TAccess& a, int y) { return reinterpret_cast<Pixel*>(a.Row(y)); };
  for (int y = 0; y < h; ++y) {
    Pixel* out = row(d, y);
    if (!vertical) {
      const TTwistLine& l = lines[static_cast<size_t>(y)];
      if (l.state != TTwistLine::Turning) {
        std::memcpy(out, row(l.state == TTwistLine::New ? t : f, y), sizeof(Pixel) * static_cast<size_t>(w));
        continue;
      }
      std::fill_n(out, w, Pixel{0});
      const Pixel* src = row(l.showsNew ? t : f, y);
      for (int j = 0; j < l.length; ++j) out[l.lo + j] = src[(j * l.step) >> 16];
      continue;
    }
    const Pixel* oldRow = row(f, y);
    const Pixel* newRow = row(t, y);
    for (int x = 0; x < w; ++x) {
      const TTwistLine& l = lines[static_cast<size_t>(x)];
      if (l.state == TTwistLine::Old) {
        out[x] = oldRow[x];
      } else if (l.state == TTwistLine::New) {
        out[x] = newRow[x];
      } else if (y >= l.lo && y < l.lo + l.length) {
        out[x] = row(l.showsNew ? t : f, static_cast<int>(((y - l.lo) * l.step) >> 16))[x];
      } else {
        out[x] = 0;
      }
    }
  }
}

void Twist(TCustomDIBX* dest, TCustomDIBX* from, TCustomDIBX* to, double progress, bool reversed, bool vertical) {
  const int lines = vertical ? dest->GetWidth() : dest->GetHeight();
  const int length = vertical ? dest->GetHeight() : dest->GetWidth();
  const std::vector<TTwistLine> plan = TwistLines(lines, length, progress, reversed);
  const int bits = dest->GetStoredBitCount();
  auto covers = [&](TCustomDIBX* p) {
    return blit::Compatible(dest, p) && p->GetWidth() >= dest->GetWidth() && p->GetHeight() >= dest->GetHeight();
  };
  const bool direct = GetBlitPath() != TBlitPath::PerPixel && (bits == 16 || bits == 32) && covers(from) && covers(to);
  if (!direct)
    DrawTwist(dest, from, to, plan, vertical);
  else if (bits == 32)
    DrawTwistRows<uint32_t>(dest, from, to, plan, vertical);
  else
    DrawTwistRows<uint16_t>(dest, from, to, plan, vertical);
}

}  // namespace

void TWipeTwistH::DrawStep() { Twist(dest_, from_, to_, Progress(), reverse_, false); }
void TWipeTwistV::DrawStep() { Twist(dest_, from_, to_, Progress(), reverse_, true); }

// ---------------------------------------------------------------------------------------------
// ZOOMIN: c = 2 x progress; up to c = 1 the old picture with size factor f = 1 - c and pan
// weight g = c, then the new one with f = c - 1, g = 2 - c. The source rectangle of
// (max(1, round(W f)), max(1, round(H f))) pixels is centred on
// (round((parameter 0 - W / 2) g) + W / 2, round((parameter 1 - H / 2) g) + H / 2), moved
// into the picture where it would reach out of it, and stretched over the whole screen.

TRect TWipeZoomin::SourceRect(bool& fromOld) {
  const double c = 2 * Progress();
  fromOld = c <= 1;
  const double f = fromOld ? 1 - c : c - 1;
  const double g = fromOld ? c : 2 - c;
  const int sw = std::max(1, wipe::Round(W() * f)), sh = std::max(1, wipe::Round(H() * f));
  const int cx = wipe::Round((params_[0] - W() / 2) * g) + W() / 2;
  const int cy = wipe::Round((params_[1] - H() / 2) * g) + H() / 2;
  const int left = std::clamp(cx - sw / 2, 0, std::max(0, W() - sw));
  const int top = std::clamp(cy - sh / 2, 0, std::max(0, H() - sh));
  return TRect{left, top, left + sw, top + sh};
}

void TWipeZoomin::DrawStep() {
  bool fromOld = true;
  const TRect source = SourceRect(fromOld);
  dest_->StretchDraw(TRect{0, 0, W(), H()}, fromOld ? from_ : to_, 255, false, false, false, source);
}

}  // namespace nova
