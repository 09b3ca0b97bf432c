// The film player's frame.
//  - A film of 64 picture tracks (each moving, zooming, turning and fading over 120 frames,
//    two-frame pictures) played into the game scene under a cinema anchor. An iteration is
//    one ShowFrame to the next frame, without painting (the dirty rectangles are dropped);
//    the goal is well under half a millisecond.
//  - The bundled demo's opening film in a cinema at 640 x 480, read from the built game: an
//    iteration is one whole scene frame (update, the private scene's frame, painting into the
//    frame buffer), the film repeating; the goal is under 2 ms.
#include <benchmark/benchmark.h>

#include "components/component_fixtures.h"
#include "components/films/film_manager.h"
#include "components/images/nova_box.h"
#include "formats/film_file.h"
#include "support/test_support.h"

namespace nova {
namespace {

void BM_SixtyFourPictureTracks(benchmark::State& state) {
  test::ComponentScene f;
  f.scene.SetSize(640, 480);
  f.back.SetSize(640, 480, 32);
  f.AddFile("a.bri", test::BriBytes({test::Solid(32, 32, 0xFF8000, 50), test::Solid(32, 32, 0x0080FF, 50)}));
  TFilmFile film;
  for (int i = 0; i < 64; ++i) {
    TFilmTrack t = NewFilmTrack(FT_PICTURE);
    t.Duration = 120;
    t.File = "a.bri";
    t.StartPos = TPoint{(i % 8) * 70, (i / 8) * 55};
    t.EndPos = TPoint{t.StartPos.X + 60, t.StartPos.Y + 40};
    t.EaseX = static_cast<uint8_t>(i % 3);
    t.EndZoomX = t.EndZoomY = 1.5;
    t.EndAngle = i % 2 ? 90 : 0;
    t.EndAlpha = 128;
    t.Priority = i;
    film.Tracks.push_back(t);
  }
  const std::vector<uint8_t> bytes = WriteFilmFile(film);
  auto* anchor = f.Create<TNovaControl>(LT_BOX, "cinema");
  TFilmManager player(f.services);
  player.SetScene(&f.scene);
  player.SetAnchor(anchor);
  player.ReadFilm(bytes, "bench.nmt");
  player.StartFilm();
  player.ShowFrame(0);
  int32_t n = 0;
  for (auto _ : state) {
    n = (n + 1) % player.FilmFrameCount();
    player.ShowFrame(n);
    f.scene.ClearDirty();
  }
  player.Clear();
}
BENCHMARK(BM_SixtyFourPictureTracks)->Unit(benchmark::kMicrosecond);

void BM_DemoOpeningFrame(benchmark::State& state) {
  test::ComponentScene f;
  try {
    f.files.AddArchiveFile(test::BinaryDir() + "/game/game.dat");
  } catch (const std::exception&) {
    state.SkipWithError("the bundled game is not built");
    return;
  }
  f.scene.SetSize(640, 480);
  f.back.SetSize(640, 480, 32);
  auto* cinema = f.Create<TNovaControl>(LT_CINEMA, "opening", {{PR_REPEAT, TPropValue::OfFlag(true)},
                                                              {PR_SOURCE, TPropValue::OfStr("film\\opening.nmt")}});
  if (!cinema || cinema->Width() != 640) {
    state.SkipWithError("the opening film did not load");
    return;
  }
  int64_t frames = 0;
  for (auto _ : state) {
    f.Frame(17);
    ++frames;
  }
  state.counters["film frames"] = static_cast<double>(frames);
}
BENCHMARK(BM_DemoOpeningFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace nova

BENCHMARK_MAIN();
