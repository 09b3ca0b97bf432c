// The particle emitter's frame at 640 x 480: an emitter over the whole screen keeps about 500
// particles (8 x 8 pictures) under way, one made every 16 ms frame and each living about 500
// frames; the pre-roll fills it before the first iteration. An iteration is one whole scene
// frame: the emitter's update (stepping every particle, making the next), the particles'
// updates and painting the dirty rectangles into the frame buffer. The goal is under 1 ms.
//  - snow: a swaying fall;
//  - twister: a rising whirl, whose particles change their priority (and so the drawing order
//    of the emitter's children) at every step.
#include <benchmark/benchmark.h>

#include <memory>

#include "base/process.h"
#include "components/component_fixtures.h"
#include "components/effects/nova_particle.h"
#include "params/parser.h"

namespace nova {
namespace {

void RunParticles(benchmark::State& state, uint8_t pattern, const char* y, long double p1, long double p2,
                  long double p3) {
  test::ComponentScene f;
  FrameClock().FrameBudget = 16;
  f.scene.SetSize(640, 480);
  f.back.SetSize(640, 480, 32);
  f.AddFile("flake.bri", test::BriBytes({test::Solid(8, 8, 0xE0F0FF)}));
  auto* e = static_cast<TNovaParticle*>(f.scene.CreateObject(LT_PARTICLE));
  auto hand = [e](int id, const char* text) {
    e->TakeExpression(id, std::shared_ptr<TNovaParser>(CompileExpression(text)));
  };
  hand(PR_APPEARX, "Random(640)");
  hand(PR_APPEARY, y);
  hand(PR_DELAY, "16");
  e->SetName("snow");
  e->SetParent(&f.scene.Displayed());
  e->SetBounds(0, 0, 640, 480);
  for (const auto& [id, v] : std::vector<std::pair<int, TPropValue>>{
           {PR_SOURCE, TPropValue::OfStr("flake.bri")}, {PR_PARTMOTION, TPropValue::OfInt(pattern)},
           {PR_PARAM1, TPropValue::OfFloat(p1)}, {PR_PARAM2, TPropValue::OfFloat(p2)},
           {PR_PARAM3, TPropValue::OfFloat(p3)}, {PR_INDEX, TPropValue::OfInt(500 * 16)}})
    WriteProperty(*e, id, v);
  f.Frame(16);
  if (e->Particles().Count() < 450) {
    state.SkipWithError("the pre-roll did not fill the emitter");
    return;
  }
  int64_t live = 0, frames = 0;
  for (auto _ : state) {
    f.Frame(16);
    live += e->Particles().Count();
    ++frames;
  }
  state.counters["live particles"] = frames ? static_cast<double>(live) / frames : 0;
}

void BM_FiveHundredSnowParticles(benchmark::State& state) {
  // 0.97 pixels a step from the top: about 500 steps to leave the 480 rows.
  RunParticles(state, PM_SNOW, "0", 0.97L, 4, 12);
}
BENCHMARK(BM_FiveHundredSnowParticles)->Unit(benchmark::kMicrosecond);

void BM_FiveHundredTwisterParticles(benchmark::State& state) {
  // Rising 0.97 pixels a step from the bottom, whirling 300 pixels wide around their x.
  RunParticles(state, PM_TWISTER, "484", 0.97L, 300, 0.05L);
}
BENCHMARK(BM_FiveHundredTwisterParticles)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace nova

BENCHMARK_MAIN();
