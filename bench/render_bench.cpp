// The blitter at 800 x 600 x 32 bits against pixman doing the nearest equivalent compositing:
// megapixels per second of each operation and milliseconds of a scene frame (a full-screen
// background and 40 masked 256 x 256 images moving every frame). Ours and pixman's run in
// turn inside every iteration, so the "ratio" counter (ours / pixman speed) compares them
// under the same load. The formulas differ (pixman rounds its divisions by 255); only speed is
// compared.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "noisy_picture.h"
#include "render/dibx.h"

namespace {

using Clock = std::chrono::steady_clock;
using nova::TDIBX;
using nova::TRect;

constexpr int kW = 800, kH = 600;

// A photo-like picture: smooth gradients with a little noise.
std::unique_ptr<TDIBX> Picture(int w, int h, uint32_t seed) {
  return nova::bench::NoisyPicture(w, h, seed, [w, h](int x, int y) {
    return static_cast<uint32_t>((x * 255 / w) << 16 | (y * 255 / h) << 8 | ((x + y) * 127 / (w + h)));
  });
}

// A sprite's mask: an opaque disc whose edge fades out over 24 pixels, transparent corners.
std::unique_ptr<TDIBX> DiscMask(int w, int h) {
  auto m = std::make_unique<TDIBX>();
  m->SetSize(w, h, 8);
  double r = std::min(w, h) / 2.0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double d = std::hypot(x + 0.5 - w / 2.0, y + 0.5 - h / 2.0);
      double v = std::clamp((r - d) / 24.0, 0.0, 1.0);
      m->PixelAddress(x, y)[0] = static_cast<uint8_t>(v * 255);
    }
  return m;
}

// A mask with every value: the worst case, no pixel may be skipped or copied whole.
std::unique_ptr<TDIBX> RampMask(int w, int h) {
  auto m = std::make_unique<TDIBX>();
  m->SetSize(w, h, 8);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) m->PixelAddress(x, y)[0] = static_cast<uint8_t>(1 + (x + y) % 254);
  return m;
}

pixman_image_t* Wrap(TDIBX& s, pixman_format_code_t format) {
  return pixman_image_create_bits(format, s.GetWidth(), s.GetHeight(), reinterpret_cast<uint32_t*>(s.PixelAddress(0, 0)),
                                  s.GetPitch());
}

struct Result {
  double ours = 0, pixman = 0;  // megapixels per second, or milliseconds per frame
  bool frame = false;
};
std::map<std::string, Result>& Results() {
  static std::map<std::string, Result> r;
  return r;
}

// Times f in seconds.
double Time(const std::function<void()>& f) {
  auto t0 = Clock::now();
  f();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Runs ours and pixman's in turn every iteration, each going first every other time (the
// second finds the shared source warmer in the caches); pixels is the work of one call.
void Compare(benchmark::State& state, const std::string& name, double pixels, const std::function<void()>& ours,
             const std::function<void()>& theirs) {
  double oursSeconds = 0, theirsSeconds = 0;
  bool oursFirst = true;
  for (auto _ : state) {
    double a = 0, b = 0;
    if (oursFirst) {
      a = Time(ours);
      b = Time(theirs);
    } else {
      b = Time(theirs);
      a = Time(ours);
    }
    oursFirst = !oursFirst;
    oursSeconds += a;
    theirsSeconds += b;
    state.SetIterationTime(a + b);
  }
  double n = static_cast<double>(state.iterations());
  Result r;
  r.ours = pixels * n / oursSeconds / 1e6;
  state.counters["ours_MPix/s"] = r.ours;
  if (theirs) {
    r.pixman = pixels * n / theirsSeconds / 1e6;
    state.counters["pixman_MPix/s"] = r.pixman;
    state.counters["ratio"] = r.ours / r.pixman;
  }
  Results()[name] = r;
}

struct Setup {
  std::unique_ptr<TDIBX> src = Picture(kW, kH, 1), dstOurs = Picture(kW, kH, 2), dstTheirs = Picture(kW, kH, 2);
  pixman_image_t* pSrc = Wrap(*src, PIXMAN_x8r8g8b8);
  pixman_image_t* pDst = Wrap(*dstTheirs, PIXMAN_x8r8g8b8);
  ~Setup() {
    pixman_image_unref(pSrc);
    pixman_image_unref(pDst);
  }
};

const TRect kAll{0, 0, kW, kH};

void BM_OpaqueCopy(benchmark::State& state) {
  Setup s;
  Compare(
      state, "opaque copy", kW * kH, [&] { s.dstOurs->Draw(0, 0, false, false, false, kAll, s.src.get()); },
      [&] { pixman_image_composite32(PIXMAN_OP_SRC, s.pSrc, nullptr, s.pDst, 0, 0, 0, 0, 0, 0, kW, kH); });
}

// pixman has no colour key; its nearest equivalent is OVER from a source whose alpha is 0 on
// the keyed pixels and 255 elsewhere.
void BM_KeyedCopy(benchmark::State& state) {
  Setup s;
  auto argb = Picture(kW, kH, 1);
  uint32_t key = 0x00123456;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      bool hidden = ((x / 16) + (y / 16)) % 3 == 0;
      auto* o = reinterpret_cast<uint32_t*>(s.src->PixelAddress(x, y));
      auto* a = reinterpret_cast<uint32_t*>(argb->PixelAddress(x, y));
      if (hidden) *o = key;
      *a = hidden ? 0 : (*o | 0xFF000000);
    }
  s.src->Transparent = static_cast<int32_t>(key);
  pixman_image_t* pArgb = Wrap(*argb, PIXMAN_a8r8g8b8);
  Compare(
      state, "keyed copy", kW * kH, [&] { s.dstOurs->Draw(0, 0, false, false, true, kAll, s.src.get()); },
      [&] { pixman_image_composite32(PIXMAN_OP_OVER, pArgb, nullptr, s.pDst, 0, 0, 0, 0, 0, 0, kW, kH); });
  pixman_image_unref(pArgb);
}

void BM_ConstantAlpha(benchmark::State& state) {
  Setup s;
  pixman_color_t half{0, 0, 0, 0x8080};
  pixman_image_t* solid = pixman_image_create_solid_fill(&half);
  Compare(
      state, "constant-alpha blend", kW * kH,
      [&] { s.dstOurs->DrawAlpha(0, 0, 128, false, false, false, kAll, s.src.get()); },
      [&] { pixman_image_composite32(PIXMAN_OP_OVER, s.pSrc, solid, s.pDst, 0, 0, 0, 0, 0, 0, kW, kH); });
  pixman_image_unref(solid);
}

void BM_Additive(benchmark::State& state) {
  Setup s;
  Compare(
      state, "additive blend", kW * kH, [&] { s.dstOurs->DrawAdd(0, 0, 200, false, false, false, kAll, s.src.get()); },
      [&] { pixman_image_composite32(PIXMAN_OP_ADD, s.pSrc, nullptr, s.pDst, 0, 0, 0, 0, 0, 0, kW, kH); });
}

void BM_MaskBlend(benchmark::State& state) {
  Setup s;
  auto mask = RampMask(kW, kH);
  pixman_image_t* pMask = Wrap(*mask, PIXMAN_a8);
  Compare(
      state, "8-bit mask blend", kW * kH,
      [&] { s.dstOurs->DrawMask(0, 0, mask.get(), false, false, kAll, s.src.get()); },
      [&] { pixman_image_composite32(PIXMAN_OP_OVER, s.pSrc, pMask, s.pDst, 0, 0, 0, 0, 0, 0, kW, kH); });
  pixman_image_unref(pMask);
}

void BM_Scaled(benchmark::State& state) {
  Setup s;
  auto small = Picture(640, 480, 3);
  pixman_image_t* pSmall = Wrap(*small, PIXMAN_x8r8g8b8);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(640.0 / kW), pixman_double_to_fixed(480.0 / kH));
  pixman_image_set_transform(pSmall, &t);
  pixman_image_set_filter(pSmall, PIXMAN_FILTER_NEAREST, nullptr, 0);
  Compare(
      state, "scaled draw 640x480 -> 800x600", kW * kH,
      [&] { s.dstOurs->StretchDraw(kAll, small.get(), 255, false, false, false, TRect{0, 0, 640, 480}); },
      [&] { pixman_image_composite32(PIXMAN_OP_SRC, pSmall, nullptr, s.pDst, 0, 0, 0, 0, 0, 0, kW, kH); });
  pixman_image_unref(pSmall);
}

// A 400 x 400 picture turned by 20/256 of a turn about its centre, placed at the screen's
// centre; pixman maps the same destination box through the inverse transform.
void BM_Rotated(benchmark::State& state) {
  Setup s;
  auto pic = Picture(400, 400, 4);
  pixman_image_t* pPic = Wrap(*pic, PIXMAN_x8r8g8b8);
  int angle = 20;
  double a = angle * 2.0 * M_PI / 256.0, c = std::cos(a), sn = std::sin(a);
  double cx = 200, cy = 200, px = kW / 2.0, py = kH / 2.0;
  pixman_transform_t t;
  pixman_transform_init_identity(&t);
  t.matrix[0][0] = pixman_double_to_fixed(c);
  t.matrix[0][1] = pixman_double_to_fixed(sn);
  t.matrix[0][2] = pixman_double_to_fixed(cx - (c * px + sn * py));
  t.matrix[1][0] = pixman_double_to_fixed(-sn);
  t.matrix[1][1] = pixman_double_to_fixed(c);
  t.matrix[1][2] = pixman_double_to_fixed(cy - (-sn * px + c * py));
  pixman_image_set_transform(pPic, &t);
  pixman_image_set_filter(pPic, PIXMAN_FILTER_NEAREST, nullptr, 0);
  // The turned box: half-diagonal 200 x (|cos| + |sin|) each way.
  int half = static_cast<int>(std::ceil(200 * (std::abs(c) + std::abs(sn))));
  TRect box{kW / 2 - half, kH / 2 - half, kW / 2 + half, kH / 2 + half};
  box = nova::Intersect(box, kAll);
  Compare(
      state, "rotated draw 400x400", static_cast<double>(box.Width()) * box.Height(),
      [&] { s.dstOurs->DrawRotate(kW / 2, kH / 2, 255, false, false, false, angle, 200, 200, TRect{0, 0, 400, 400},
                                  pic.get(), 256, 256); },
      [&] {
        pixman_image_composite32(PIXMAN_OP_OVER, pPic, nullptr, s.pDst, box.Left, box.Top, 0, 0, box.Left, box.Top,
                                 box.Width(), box.Height());
      });
  pixman_image_unref(pPic);
}

// The scene: the background, then 40 masked sprites on paths that leave the screen in part.
void BM_SceneFrame(benchmark::State& state) {
  Setup s;
  std::unique_ptr<TDIBX> sprites[4];
  pixman_image_t* pSprites[4];
  for (int i = 0; i < 4; ++i) {
    sprites[i] = Picture(256, 256, 10 + static_cast<uint32_t>(i));
    pSprites[i] = Wrap(*sprites[i], PIXMAN_x8r8g8b8);
  }
  auto mask = DiscMask(256, 256);
  pixman_image_t* pMask = Wrap(*mask, PIXMAN_a8);
  int frame = 0;
  auto place = [&](int i, int& x, int& y) {
    double t = frame * 0.02 + i * 0.7;
    x = static_cast<int>(kW / 2 - 128 + std::cos(t * 1.3) * 420);
    y = static_cast<int>(kH / 2 - 128 + std::sin(t * 0.9) * 330);
  };
  auto ours = [&] {
    s.dstOurs->Draw(0, 0, false, false, false, kAll, s.src.get());
    for (int i = 0; i < 40; ++i) {
      int x, y;
      place(i, x, y);
      s.dstOurs->DrawMask(x, y, mask.get(), false, false, TRect{0, 0, 256, 256}, sprites[i % 4].get());
    }
  };
  auto theirs = [&] {
    pixman_image_composite32(PIXMAN_OP_SRC, s.pSrc, nullptr, s.pDst, 0, 0, 0, 0, 0, 0, kW, kH);
    for (int i = 0; i < 40; ++i) {
      int x, y;
      place(i, x, y);
      pixman_image_composite32(PIXMAN_OP_OVER, pSprites[i % 4], pMask, s.pDst, 0, 0, 0, 0, x, y, 256, 256);
    }
  };
  double oursMs = 0, theirsMs = 0;
  for (auto _ : state) {
    ++frame;
    double a, b;
    if (frame % 2) {
      a = Time(ours);
      b = Time(theirs);
    } else {
      b = Time(theirs);
      a = Time(ours);
    }
    oursMs += a * 1000;
    theirsMs += b * 1000;
    state.SetIterationTime(a + b);
  }
  double n = static_cast<double>(state.iterations());
  Result r{oursMs / n, theirsMs / n, true};
  state.counters["ours_ms"] = r.ours;
  state.counters["pixman_ms"] = r.pixman;
  state.counters["ratio"] = r.pixman / r.ours;
  Results()["scene frame (background + 40 masked 256x256)"] = r;
  for (auto* p : pSprites) pixman_image_unref(p);
  pixman_image_unref(pMask);
}

BENCHMARK(BM_OpaqueCopy)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_KeyedCopy)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_ConstantAlpha)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_Additive)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_MaskBlend)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_Scaled)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_Rotated)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_SceneFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\n%-48s %12s %12s %8s\n", "operation (800x600x32)", "ours", "pixman", "ratio");
  for (const auto& [name, r] : Results()) {
    if (r.frame)
      std::printf("%-48s %9.3f ms %9.3f ms %8.2f\n", name.c_str(), r.ours, r.pixman, r.pixman / r.ours);
    else
      std::printf("%-48s %7.0f MP/s %7.0f MP/s %8.2f\n", name.c_str(), r.ours, r.pixman, r.ours / r.pixman);
  }
  std::printf("ratio: ours / pixman speed (above 1: ours is faster)\n");
  return 0;
}
