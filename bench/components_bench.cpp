// One game frame of a busy image scene: 40 animated 64 x 64 images (four 16-ms frames each,
// a third blended, a third zoomed to 150 %, every fifth turned) on a 640 x 480 32-bit scene,
// updated and repainted every iteration as the game's frame does. A frame is the update
// plus the paint of the dirty rectangles: the reported time per iteration (CPU time). The
// argument picks the blend path: 0 the fast row routines, 1 their plain reference twins.
#include <benchmark/benchmark.h>

#include "components/component_fixtures.h"
#include "components/images/nova_images.h"

namespace nova {
namespace {

void BM_FortyImagesFrame(benchmark::State& state) {
  SetBlitPath(state.range(0) == 0 ? TBlitPath::FastRows : TBlitPath::ReferenceRows);
  test::ComponentScene f;
  f.scene.SetSize(640, 480);
  f.back.SetSize(640, 480, 32);
  f.scene.Displayed().SetColor(0x303030);
  std::vector<test::BriFrame> frames;
  for (int i = 0; i < 4; ++i) {
    test::BriFrame fr;
    fr.Width = fr.Height = 64;
    fr.Delay = 16;
    fr.Color = [i](int x, int y) { return static_cast<uint32_t>((x * 4) << 16 | (y * 4) << 8 | i * 60); };
    fr.Mask = [](int x, int y) { return static_cast<uint8_t>((x + y) % 64 < 48 ? 255 : 128); };
    frames.push_back(fr);
  }
  f.AddFile("anim.bri", test::BriBytes(frames));
  for (int i = 0; i < 40; ++i) {
    std::vector<std::pair<int, TPropValue>> props = {{PR_SOURCE, test::Str("anim.bri")},
                                                     {PR_LEFT, test::Int((i % 8) * 76 + 8)},
                                                     {PR_TOP, test::Int((i / 8) * 90 + 8)},
                                                     {PR_REPEAT, test::Flag(true)}};
    if (i % 3 == 1) props.push_back({PR_ALPHA, test::Int(160)});
    if (i % 3 == 2) props.push_back({PR_ZOOMX, test::Int(384)}), props.push_back({PR_ZOOMY, test::Int(384)});
    if (i % 5 == 0) props.push_back({PR_ANGLE, test::Int(20)}), props.push_back({PR_OFFSETX, test::Int(32)});
    f.Create(LT_IMAGES, "i" + std::to_string(i), props);
  }
  f.Frame(16);
  for (auto _ : state) f.Frame(16);
  SetBlitPath(TBlitPath::FastRows);
}
BENCHMARK(BM_FortyImagesFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nova

BENCHMARK_MAIN();
