#include "wipe_model.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "base/kt_random.h"
#include "render/dibx.h"
#include "render/wipes.h"

namespace nova::test {

// ---------------------------------------------------------------------------------------------
// Pixels

namespace {

std::vector<uint32_t> ChannelMasks(int bits) {
  if (bits == 15) return {0x7C00, 0x3E0, 0x1F};
  if (bits == 16) return {0xF800, 0x7E0, 0x1F};
  return {0xFF0000, 0xFF00, 0xFF};
}

uint32_t Mix(uint32_t d, uint32_t s, uint32_t w, int bits) {
  uint32_t out = 0;
  for (uint32_t m : ChannelMasks(bits))
    out |= static_cast<uint32_t>(((uint64_t{d & m} * (255 - w) + uint64_t{s & m} * w) >> 8) & m);
  return out;
}

uint32_t AddSat(uint32_t d, uint32_t c, int bits) {
  uint32_t out = 0;
  for (uint32_t m : ChannelMasks(bits)) out |= std::min<uint64_t>(uint64_t{d & m} + (c & m), m);
  return out;
}

uint32_t SubSat(uint32_t d, uint32_t c, int bits) {
  uint32_t out = 0;
  for (uint32_t m : ChannelMasks(bits)) out |= (d & m) > (c & m) ? (d & m) - (c & m) : 0;
  return out;
}

uint32_t Grey(int v, int bits) { return ModelPixel(static_cast<uint32_t>(v) * 0x010101u, bits); }

// A mask value composed: 0 old, 255 new, between a blend.
uint32_t Through(uint32_t from, uint32_t to, int m, int bits) {
  return m == 0 ? from : m == 255 ? to : Mix(from, to, static_cast<uint32_t>(m), bits);
}

}  // namespace

uint32_t ModelPixel(uint32_t color, int bits) {
  uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  if (bits == 15) return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
  if (bits == 16) return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
  return r << 16 | g << 8 | b;
}

double RoundHalfEven(double v) {
  double f = std::floor(v), rest = v - f;
  if (rest > 0.5) return f + 1;
  if (rest < 0.5) return f;
  return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

int StretchIndex(int i, int srcLen, int dstLen) {
  auto step = static_cast<int64_t>(static_cast<double>(srcLen) / dstLen * 65536.0);
  return static_cast<int>((i * step) >> 16);
}

Img OldPicture(int w, int h, int bits) {
  Img img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.at(x, y) = ModelPixel(
          static_cast<uint32_t>((4 * x) % 256 | ((5 * y + 16) % 256) << 8 | ((x * x + 7 * y) % 256) << 16), bits);
  return img;
}

Img NewPicture(int w, int h, int bits) {
  Img img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.at(x, y) =
          ModelPixel(static_cast<uint32_t>((0xF0 - 4 * y) % 256 | ((0x28 + 7 * x) % 256) << 8 |
                                           ((3 * x * y + 0x80) % 256) << 16),
                     bits);
  return img;
}

// ---------------------------------------------------------------------------------------------
// Masks, one pixel at a time

namespace {

struct Ctx {
  const ModelInput& in;
  int W, H;
  int64_t e, d;
  bool rev;
  int p0, p1;
};

int64_t Soft(int64_t n, int64_t s) { return n <= 0 ? 0 : std::min<int64_t>(255, n * 255 / s); }

int BlindValue(const Ctx& c, int pos) {
  int w = std::max(2, c.p0), s = std::max(1, c.p1);
  int64_t b = (s + 2 * w - 2) * c.e / c.d;
  int i = pos % w;
  int64_t delay = c.rev ? 2 * (w - 1 - i) : 2 * i;
  return static_cast<int>(b < delay ? 0 : Soft(b - delay, s));
}

int CurtainValue(const Ctx& c, int pos, int length) {
  int w = std::max(1, c.p0), s = std::max(1, c.p1);
  int64_t blocks = (length + w - 1) / w;
  int64_t b = ((blocks + w - 2) * 16 + s) * c.e / c.d;
  int p = c.rev ? length - 1 - pos : pos;
  int64_t g = 16 * (p / w + p % w);
  return static_cast<int>(b < g ? 0 : Soft(b - g, s));
}

int GridValue(const Ctx& c, int x, int y) {
  int w = std::max(2, c.p0), s = std::max(1, c.p1);
  int cols = (c.W + w - 1) / w, rows = (c.H + w - 1) / w;
  int cc = x / w, cr = y / w;
  if (c.in.kind == WP_GRIDH) cr = 0, y %= w;  // one band, repeated
  int dist = 0, total = 0;
  int rr = c.rev ? rows - 1 - cr : cr, rc = c.rev ? cols - 1 - cc : cc;
  switch (c.in.kind) {
    case WP_GRIDH: dist = rc, total = cols; break;
    case WP_GRIDV: dist = rr, total = rows; break;
    default:
      dist = static_cast<int>(RoundHalfEven(std::hypot(rr, rc)));
      total = static_cast<int>(RoundHalfEven(std::hypot(rows - 1, cols - 1)));
  }
  int64_t b = (s + 4 * int64_t{total} - 4) * c.e / c.d, hd = 4 * int64_t{dist};
  if (b < hd) return 0;
  int64_t side = std::min<int64_t>(w, w * (b - hd) / s);
  if (side <= 0) return 0;
  int64_t off = (w - side) / 2, lx = x - cc * w, ly = y - cr * w;
  bool inside = lx >= off && lx < off + side && ly >= off && ly < off + side;
  return inside ? static_cast<int>(Soft(b - hd, s)) : 0;
}

std::vector<int> DitherRank() {
  TKtRandom r(12341);
  r.Init(4096);
  std::vector<int> rank(4096);
  for (int i = 0; i < 4096; ++i) rank[r.Next()] = i;
  return rank;
}

int GreyAt(const Ctx& c, int x, int y) {
  if (!c.in.grey || c.in.grey->w == 0) return 255;
  int g = static_cast<int>(c.in.grey->at(x % c.in.grey->w, y % c.in.grey->h));
  return c.rev ? 255 - g : g;
}

// Direction of a pixel centre in 1/65536 turn, clockwise from up.
int64_t Direction(const Ctx& c, int x, int y) {
  double a = std::atan2(2.0 * x + 1 - c.W, -(2.0 * y + 1 - c.H)) / (2 * M_PI);
  if (a < 0) a += 1;
  return static_cast<int64_t>(a * 65536) & 0xFFFF;
}

// The signed difference a - b of two directions, in [-32768, 32768).
int64_t Turn(int64_t a, int64_t b) { return ((a - b) % 65536 + 65536 + 32768) % 65536 - 32768; }

int SectorValue(const Ctx& c, int x, int y) {
  int32_t p0 = std::max(2, c.p0);  // the mask minimum applies to the start direction too
  int64_t start = (int64_t{p0} * 65536 / 360) & 0xFFFF, u = Direction(c, x, y);
  bool in = false;
  if (c.in.kind == WP_CLOCKHAND) {
    int64_t sweep = c.e * 65536 / c.d;
    int64_t ahead = ((u - start) % 65536 + 65536) % 65536, behind = ((start - u) % 65536 + 65536) % 65536;
    in = c.rev ? behind > 0 && behind <= sweep : ahead < sweep;
  } else if (c.in.kind == WP_FAN) {
    int64_t half = c.e * 32768 / c.d, t = Turn(u, start);
    in = t >= -half && t < half;
  } else {
    int64_t q = c.e * 16384 / c.d, t1 = Turn(u, start), t2 = Turn(u, start + 32768);
    in = (t1 >= -q && t1 < q) || (t2 >= -q && t2 < q);
  }
  return in ? 255 : 0;
}

int CircleValue(const Ctx& c, int x, int y) {
  double big = std::hypot(c.W / 2.0, c.H / 2.0);
  double share = c.rev ? static_cast<double>(c.d - c.e) / c.d : static_cast<double>(c.e) / c.d;
  int64_t r = static_cast<int64_t>(RoundHalfEven(big * share));
  int64_t dx = 2 * x + 1 - c.W, dy = 2 * y + 1 - c.H;
  bool inside = dx * dx + dy * dy < 4 * r * r;
  return inside != c.rev ? 255 : 0;
}

struct Lcg {
  uint32_t state;
  int32_t operator()(int32_t n) {
    state = state * 134775813u + 1u;
    return static_cast<int32_t>((uint64_t{static_cast<uint32_t>(n)} * state) >> 32);
  }
};

// Block order of BLOCKCOIL (a walk that turns right at the edge or at a block already taken)
// or BLOCKRANDOM; fills rank[block index in row order] with the position in the order.
std::vector<int> BlockRanks(const Ctx& c, int side, int cols, int rows) {
  int n = cols * rows;
  std::vector<int> rank(static_cast<size_t>(n), -1);
  if (c.in.kind == WP_BLOCKCOIL) {
    int x = 0, y = 0, dir = 0;
    const int dx[4] = {1, 0, -1, 0}, dy[4] = {0, 1, 0, -1};
    for (int i = 0; i < n; ++i) {
      rank[static_cast<size_t>(y * cols + x)] = i;
      for (int turn = 0; turn < 4 && i + 1 < n; ++turn) {
        int nx = x + dx[dir], ny = y + dy[dir];
        if (nx >= 0 && nx < cols && ny >= 0 && ny < rows && rank[static_cast<size_t>(ny * cols + nx)] < 0) {
          x = nx, y = ny;
          break;
        }
        dir = (dir + 1) % 4;
      }
    }
  } else {
    Lcg random{c.in.randomSeed};
    std::vector<int> pool(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) pool[static_cast<size_t>(i)] = i;
    for (int i = 0; i < n; ++i) {
      int k = random(static_cast<int32_t>(pool.size()));
      rank[static_cast<size_t>(pool[static_cast<size_t>(k)])] = i;
      pool.erase(pool.begin() + k);
    }
  }
  (void)side;
  return rank;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The kinds

namespace {

Img MaskKind(const Ctx& c, const std::function<int(int, int)>& value) {
  Img out(c.W, c.H);
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) out.at(x, y) = Through(c.in.from.at(x, y), c.in.to.at(x, y), value(x, y), c.in.bits);
  return out;
}

// dest(x, y) := pic(src(x, y)) over a stretch of a strip.
Img Fade(const Ctx& c) {
  Img out = c.in.from;
  double q = static_cast<double>(c.d - c.e - 1) / c.d;
  int ox = static_cast<int>(RoundHalfEven(q * c.p0)), oy = static_cast<int>(RoundHalfEven(q * c.p1));
  int64_t alpha = c.e * 256 / c.d;
  if (alpha <= 0) return out;
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) {
      int sx = x - ox, sy = y - oy;
      if (sx < 0 || sy < 0 || sx >= c.W || sy >= c.H) continue;
      uint32_t s = c.in.to.at(sx, sy), d = out.at(x, y);
      if (alpha >= 255)
        out.at(x, y) = s;
      else if (s != d)
        out.at(x, y) = Mix(d, s, static_cast<uint32_t>(alpha), c.in.bits);
    }
  return out;
}

Img Scroll(const Ctx& c, bool vertical) {
  Img out(c.W, c.H);
  int len = vertical ? c.H : c.W;
  int a = static_cast<int>(len * c.e / c.d);
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) {
      int p = vertical ? y : x;
      bool old;
      int q;
      if (!c.rev)
        old = p < len - a, q = old ? p + a : p - (len - a);
      else
        old = p >= a, q = old ? p - a : p - a + len;
      const Img& pic = old ? c.in.from : c.in.to;
      out.at(x, y) = vertical ? pic.at(x, q) : pic.at(q, y);
    }
  return out;
}

Img Light(const Ctx& c, bool darken, const std::function<std::pair<bool, int>(int, int)>& code) {
  Img out(c.W, c.H);
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) {
      auto [useNew, v] = code(x, y);
      uint32_t p = (useNew ? c.in.to : c.in.from).at(x, y);
      if (v != 0) p = darken ? SubSat(p, Grey(v, c.in.bits), c.in.bits) : AddSat(p, Grey(v, c.in.bits), c.in.bits);
      out.at(x, y) = p;
    }
  return out;
}

// Whole pictures with one grey: FillRectAdd/Sub touches every pixel (grey 0 included).
Img WholeLight(const Img& pic, int v, bool darken, int bits) {
  Img out = pic;
  for (auto& p : out.px) p = darken ? SubSat(p, Grey(v, bits), bits) : AddSat(p, Grey(v, bits), bits);
  return out;
}

Img Mosaic(const Ctx& c) {
  int64_t b = 1023 * c.e / c.d, k;
  int overlay = 0;
  const Img* base = &c.in.from;
  if (b <= 255) {
    k = 263 - (b / 2) * 15 / 16;
  } else if (b <= 511) {
    k = 263 - (b / 2) * 15 / 16;
    overlay = static_cast<int>((b - 256) / 4);
  } else {
    k = (b - 512) / 2 * 15 / 16 + 24;
    if (b <= 767)
      overlay = static_cast<int>((b - 256) / 2);
    else
      base = &c.in.to;
  }
  int rw = static_cast<int>(std::max<int64_t>(1, (c.W / 4) * k / 256));
  int rh = static_cast<int>(std::max<int64_t>(1, (c.H / 4) * k / 256));
  Img small(rw, rh);
  for (int y = 0; y < rh; ++y)
    for (int x = 0; x < rw; ++x) {
      int sx = StretchIndex(x, c.W, rw), sy = StretchIndex(y, c.H, rh);
      uint32_t p = base->at(sx, sy);
      // An overlay of 255 is a copy.
      if (overlay >= 255)
        p = c.in.to.at(sx, sy);
      else if (overlay > 0)
        p = Mix(p, c.in.to.at(sx, sy), static_cast<uint32_t>(overlay), c.in.bits);
      small.at(x, y) = p;
    }
  Img out(c.W, c.H);
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) out.at(x, y) = small.at(StretchIndex(x, rw, c.W), StretchIndex(y, rh, c.H));
  return out;
}

Img Blind(const Ctx& c, bool vertical, bool rubber) {
  int len = vertical ? c.H : c.W;
  int64_t a = (2 * len - 1) * c.e / c.d;
  const Img* pic = &c.in.from;
  if (a >= len) pic = &c.in.to, a = 2 * len - a - 1;
  int g = 0;
  if (rubber) g = static_cast<int>(RoundHalfEven(std::fabs(c.e - c.d / 2.0) * (a / 2.0) / (c.d / 2.0)));
  Img out(c.W, c.H);
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) {
      int p = vertical ? y : x, q;
      if (!c.rev) {
        int lo = std::max<int>(0, static_cast<int>(a) - g);
        q = p <= a ? lo + StretchIndex(p, static_cast<int>(a) + 1 - lo, static_cast<int>(a) + 1) : p;
      } else {
        int at = len - 1 - static_cast<int>(a), hi = std::min(len, at + g + 1);
        q = p >= at ? at + StretchIndex(p - at, hi - at, len - at) : p;
      }
      out.at(x, y) = vertical ? pic->at(x, q) : pic->at(q, y);
    }
  return out;
}

Img Turned(const Ctx& c, bool small) {
  double later = static_cast<double>(c.e + 1) / c.d, p = static_cast<double>(c.e) / c.d;
  int zoom = static_cast<int>(RoundHalfEven(small ? (1 - later) * 255 : p * 255));
  int angle = static_cast<int>(RoundHalfEven(small ? c.p0 * p : c.p0 * (1 - later)));
  if (c.rev) angle = -angle;
  auto make = [&](const Img& img) {
    auto s = std::make_unique<TDIBX>();
    s->SetSize(img.w, img.h, c.in.bits);
    for (int y = 0; y < img.h; ++y)
      for (int x = 0; x < img.w; ++x) s->SetPixel(x, y, img.at(x, y));
    return s;
  };
  auto dest = make(small ? c.in.to : c.in.from), pic = make(small ? c.in.from : c.in.to);
  dest->DrawRotate(c.W / 2, c.H / 2, 255, false, false, false, angle, c.H / 2, c.W / 2, TRect{0, 0, c.W, c.H},
                   pic.get(), zoom, zoom);
  Img out(c.W, c.H);
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) out.at(x, y) = dest->GetPixel(x, y);
  return out;
}

Img Ripple(const Ctx& c) {
  int wq = c.W / 2, hq = c.H / 2, L = std::min(wq, hq) * 2 / 3, q = L / 4;
  int a = c.p0;
  Img out(c.W, c.H);
  int pos = static_cast<int>((RoundHalfEven(std::hypot(hq, wq)) + L) * c.e / c.d);
  for (int y = 0; y < hq; ++y)
    for (int x = 0; x < wq; ++x) {
      int n = static_cast<int>(RoundHalfEven(std::hypot(x - wq, y - hq)));
      double ang = std::atan2(y - hq, x - wq);
      int64_t co = static_cast<int64_t>(RoundHalfEven(std::cos(ang) * 65536));
      int64_t si = static_cast<int64_t>(RoundHalfEven(std::sin(ang) * 65536));
      int k = n + (L - 1) - pos;
      const Img& pic = k > L - 1 ? c.in.from : c.in.to;
      int sx = x, sy = y;
      bool mirrored = false;
      if (k >= 0 && k <= L - 1) {
        int64_t r = n + (q > 0 ? (k % q) * a / q : 0);
        int mx = wq + static_cast<int>(r * co / 65536), my = hq + static_cast<int>(r * si / 65536);
        if (mx >= 0 && mx < c.W && my >= 0 && my < c.H) sx = mx, sy = my, mirrored = true;
      }
      int xr = c.W - 1 - x, yr = c.H - 1 - y;
      int sxr = mirrored ? c.W - 1 - sx : xr, syr = mirrored ? c.H - 1 - sy : yr;
      out.at(x, y) = pic.at(sx, sy);
      out.at(xr, y) = pic.at(sxr, sy);
      out.at(x, yr) = pic.at(sx, syr);
      out.at(xr, yr) = pic.at(sxr, syr);
    }
  if (c.W % 2)
    for (int y = 0; y < c.H; ++y) out.at(wq, y) = out.at(wq - 1, y);
  if (c.H % 2)
    for (int x = 0; x < c.W; ++x) out.at(x, hq) = out.at(x, hq - 1);
  return out;
}

Img Blurred(const Img& pic, int r, int bits) {
  if (r <= 0) return pic;
  Img out(pic.w, pic.h);
  for (int y = 0; y < pic.h; ++y)
    for (int x = 0; x < pic.w; ++x) {
      uint32_t v = 0;
      for (uint32_t m : ChannelMasks(bits)) {
        uint64_t sum = 0, count = 0;
        int shift = __builtin_ctz(m);
        for (int j = y - r; j <= y + r; ++j)
          for (int i = x - r; i <= x + r; ++i)
            if (i >= 0 && j >= 0 && i < pic.w && j < pic.h) sum += (pic.at(i, j) & m) >> shift, ++count;
        v |= static_cast<uint32_t>(sum / count) << shift;
      }
      out.at(x, y) = v;
    }
  return out;
}

Img Blur(const Ctx& c, bool darken) {
  int r = std::min(c.W, c.H) / 20;
  Img bf = Blurred(c.in.from, r, c.in.bits), bt = Blurred(c.in.to, r, c.in.bits);
  int64_t b = 639 * c.e / c.d;
  auto alphaOver = [&](const Img& base, const Img& top, int64_t alpha) {
    Img out = base;
    if (alpha <= 0) return out;
    for (size_t i = 0; i < out.px.size(); ++i)
      if (alpha >= 255)
        out.px[i] = top.px[i];
      else if (top.px[i] != out.px[i])
        out.px[i] = Mix(out.px[i], top.px[i], static_cast<uint32_t>(alpha), c.in.bits);
    return out;
  };
  if (b <= 255) return alphaOver(c.in.from, bf, b);
  if (b <= 319) return WholeLight(bf, static_cast<int>(4 * (b - 256)), darken, c.in.bits);
  if (b <= 383) return WholeLight(bt, static_cast<int>(4 * (383 - b)), darken, c.in.bits);
  return alphaOver(c.in.to, bt, 639 - b);
}

Img Twist(const Ctx& c, bool vertical) {
  int lines = vertical ? c.W : c.H, len = vertical ? c.H : c.W;
  double phi = static_cast<double>(c.e) / c.d * 3 * M_PI / 2;
  Img out(c.W, c.H);
  for (int i = 0; i < lines; ++i) {
    int counted = c.rev ? lines - 1 - i : i;
    double theta = phi - static_cast<double>(counted) / lines * M_PI / 2;
    for (int j = 0; j < len; ++j) {
      int x = vertical ? i : j, y = vertical ? j : i;
      uint32_t v = 0;
      if (theta < 0) {
        v = c.in.from.at(x, y);
      } else if (theta >= M_PI) {
        v = c.in.to.at(x, y);
      } else {
        double co = std::cos(theta);
        int sq = static_cast<int>(RoundHalfEven(len * std::fabs(co))), lo = (len - sq) / 2;
        if (sq > 0 && j >= lo && j < lo + sq) {
          int s = StretchIndex(j - lo, len, sq);
          v = (co < 0 ? c.in.to : c.in.from).at(vertical ? i : s, vertical ? s : i);
        }
      }
      out.at(x, y) = v;
    }
  }
  return out;
}

Img Crack(const Ctx& c) {
  int side = std::max(16, c.p0);
  struct Chip {
    int x, y, w, h, v;
  };
  std::vector<Chip> pool, chips;
  for (int y = 0; y < c.H; y += side)
    for (int x = 0; x < c.W; x += side) pool.push_back({x, y, std::min(side, c.W - x), std::min(side, c.H - y), 0});
  Lcg random{c.in.randomSeed};
  while (!pool.empty()) {
    int k = random(static_cast<int32_t>(pool.size()));
    chips.push_back(pool[static_cast<size_t>(k)]);
    pool.erase(pool.begin() + k);
  }
  for (auto& chip : chips) chip.v = random(200) - 100;
  auto fall = [](int64_t k) { return (5 * k * k - 1500 * k) / 1000; };
  int64_t f = 0;
  while (fall(f) < c.H) ++f;
  int64_t steps = (f + static_cast<int64_t>(chips.size() - 1) * c.p1) * c.e / c.d;
  Img out = c.in.to;
  for (size_t j = 0; j < chips.size(); ++j) {
    const Chip& chip = chips[j];
    int64_t k = std::max<int64_t>(0, steps - static_cast<int64_t>(j) * c.p1);
    int64_t dy = fall(k), dx = k * chip.v / 100;
    if (dy >= c.H) continue;
    for (int y = 0; y < chip.h; ++y)
      for (int x = 0; x < chip.w; ++x) {
        int64_t tx = chip.x + x + dx, ty = chip.y + y + dy;
        if (tx >= 0 && ty >= 0 && tx < c.W && ty < c.H)
          out.at(static_cast<int>(tx), static_cast<int>(ty)) = c.in.from.at(chip.x + x, chip.y + y);
      }
  }
  return out;
}

Img Zoom(const Ctx& c) {
  double cc = 2.0 * c.e / c.d;
  bool old = cc <= 1;
  double f = old ? 1 - cc : cc - 1, g = old ? cc : 2 - cc;
  int sw = std::max(1, static_cast<int>(RoundHalfEven(c.W * f)));
  int sh = std::max(1, static_cast<int>(RoundHalfEven(c.H * f)));
  int cx = static_cast<int>(RoundHalfEven((c.p0 - c.W / 2) * g)) + c.W / 2;
  int cy = static_cast<int>(RoundHalfEven((c.p1 - c.H / 2) * g)) + c.H / 2;
  int left = std::min(std::max(cx - sw / 2, 0), c.W - sw), top = std::min(std::max(cy - sh / 2, 0), c.H - sh);
  const Img& pic = old ? c.in.from : c.in.to;
  Img out(c.W, c.H);
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x)
      out.at(x, y) = pic.at(left + StretchIndex(x, sw, c.W), top + StretchIndex(y, sh, c.H));
  return out;
}

}  // namespace

Img ModelStep(const ModelInput& in) {
  Ctx c{in, in.from.w, in.from.h, in.elapsed, std::max(1, in.duration), in.reversed, in.p0, in.p1};
  const int bits = in.bits;
  switch (in.kind) {
    case WP_FADE: return Fade(c);
    case WP_BLINDH: return MaskKind(c, [&](int x, int) { return BlindValue(c, x); });
    case WP_BLINDV: return MaskKind(c, [&](int, int y) { return BlindValue(c, y); });
    case WP_CURTAINH: return MaskKind(c, [&](int x, int) { return CurtainValue(c, x, c.W); });
    case WP_CURTAINV: return MaskKind(c, [&](int, int y) { return CurtainValue(c, y, c.H); });
    case WP_SCROLLH: return Scroll(c, false);
    case WP_SCROLLV: return Scroll(c, true);
    case WP_GRID:
    case WP_GRIDH:
    case WP_GRIDV: return MaskKind(c, [&](int x, int y) { return GridValue(c, x, y); });
    case WP_DITHER: {
      static const std::vector<int> rank = DitherRank();
      int64_t n = 4096 * c.e / c.d;
      return MaskKind(c, [&](int x, int y) { return rank[static_cast<size_t>((y % 64) * 64 + x % 64)] < n ? 255 : 0; });
    }
    case WP_WHITE:
    case WP_BLACK: {
      int64_t a = 511 * c.e / c.d;
      return WholeLight(a < 256 ? in.from : in.to, static_cast<int>(a < 256 ? a : 511 - a), in.kind == WP_BLACK, bits);
    }
    case WP_FLASH: return WholeLight(in.to, static_cast<int>(255 - 255 * c.e / c.d), false, bits);
    case WP_MOSAIC: return Mosaic(c);
    case WP_SUDAREH: return Blind(c, false, false);
    case WP_SUDAREV: return Blind(c, true, false);
    case WP_RUBBERH: return Blind(c, false, true);
    case WP_RUBBERV: return Blind(c, true, true);
    case WP_SPOT: {
      double big = std::hypot(c.H / 2, c.W / 2);
      int64_t b = static_cast<int64_t>(std::floor(c.e * (big + 512) / c.d));
      return Light(c, false, [&](int x, int y) -> std::pair<bool, int> {
        int64_t n = static_cast<int64_t>(RoundHalfEven(std::hypot(y - c.H / 2, x - c.W / 2)));
        if (c.rev) n = static_cast<int64_t>(RoundHalfEven(big)) - n;
        int64_t k = b - n;
        if (k < 0) return {false, 0};
        if (k < 256) return {false, static_cast<int>(k)};
        if (k < 512) return {true, static_cast<int>(511 - k)};
        return {true, 0};
      });
    }
    case WP_MASKFADE: {
      int64_t b = 512 * c.e / c.d;
      return MaskKind(c, [&](int x, int y) {
        return static_cast<int>(std::clamp<int64_t>(b + GreyAt(c, x, y) - 256, 0, 255));
      });
    }
    case WP_MASKWHITE:
    case WP_MASKBLACK: {
      int64_t b = 768 * c.e / c.d;
      return Light(c, in.kind == WP_MASKBLACK, [&](int x, int y) -> std::pair<bool, int> {
        int64_t v = std::clamp<int64_t>(b + GreyAt(c, x, y) - 256, 0, 511);
        if (v <= 255) return {false, static_cast<int>(v)};
        return {true, static_cast<int>(511 - v)};
      });
    }
    case WP_SMALL: return Turned(c, true);
    case WP_BIG: return Turned(c, false);
    case WP_RIPPLE: return Ripple(c);
    case WP_BLURWHITE: return Blur(c, false);
    case WP_BLURBLACK: return Blur(c, true);
    case WP_TWISTH: return Twist(c, false);
    case WP_TWISTV: return Twist(c, true);
    case WP_CRACK: return Crack(c);
    case WP_ZOOMIN: return Zoom(c);
    case WP_CLOCKHAND:
    case WP_FAN:
    case WP_WFAN: return MaskKind(c, [&](int x, int y) { return SectorValue(c, x, y); });
    case WP_CIRCLE: return MaskKind(c, [&](int x, int y) { return CircleValue(c, x, y); });
    case WP_BLOCKCOIL:
    case WP_BLOCKRANDOM: {
      int side = std::max(1, std::min({std::max(10, c.p0), c.W, c.H}));
      int cols = (c.W + side - 1) / side, rows = (c.H + side - 1) / side;
      std::vector<int> rank = BlockRanks(c, side, cols, rows);
      int64_t last = int64_t{cols} * rows - 1;
      int64_t k = last * c.e / c.d, j0 = last * (c.d - c.e) / c.d;
      return MaskKind(c, [&](int x, int y) {
        int r = rank[static_cast<size_t>((y / side) * cols + x / side)];
        return (c.rev ? r >= j0 : r <= k) ? 255 : 0;
      });
    }
    default: return in.from;
  }
}

}  // namespace nova::test
