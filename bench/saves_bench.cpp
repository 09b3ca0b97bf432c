// Saving and loading a game of 300 objects (trees of boxes, timers) and 500 variables, a call
// stack of two pages and a running wait, with 20 other slots in "save.dat": the whole GameSave
// (the entry's bytes, the archive, the atomic replacement with its fsync) against the
// reference of writing the same file in place without flushing it (what the player pays for a
// save that survives a crash), the entry's bytes alone, and the whole GameLoad.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>

#include "saves/save_file.h"
#include "saves/saves_fixture.h"
#include "scenario/save_entries.h"

namespace nova {
namespace {

constexpr int kBoxes = 200, kTimers = 100, kVariables = 500, kOtherSlots = 20;

struct Game {
  test::TempDir dir;
  std::unique_ptr<test::SavesGame> game;

  Game() {
    test::FreshFileManager();
    test::RegisterProject("start.nsb");
    test::RegisterPage("start.nsb", "Call \"a.nsb\" 0 \"\" {} [{\"x\"}]\n");
    test::RegisterPage("a.nsb", "VarNew \"l\" int {1} local\nCall \"b.nsb\" 0 \"\" {} [{\"y\"}]\n");
    test::RegisterPage("b.nsb", "Wait {} {100000} {}\n");
    game = std::make_unique<test::SavesGame>(dir.Path());
    TParamCollection& st = *game->store;
    for (int i = 0; i < kVariables; ++i) {
      TParamCollectionItem* v = st.AddParam(i % 3 == 0 ? PT_STR : PT_INT);
      st.SetParamName(v, "v" + std::to_string(i));
      if (i % 50 == 0) v->Param->SetDims({100});
      v->Param->SetAsStr("value " + std::to_string(i));
    }
    test::SceneFixture& f = game->scene;
    TNovaControl* parent = nullptr;
    for (int i = 0; i < kBoxes; ++i) {
      // Trees of ten: a parent and nine children.
      test::TestBox* b = f.Box("box" + std::to_string(i), i % 40, i % 30, 20, 10, i % 10 == 0 ? nullptr : parent);
      b->onIdle = "";
      if (i % 10 == 0) parent = b;
    }
    for (int i = 0; i < kTimers; ++i) f.scene.Make<test::TestTimer>()->SetName("timer" + std::to_string(i));
    game->Frame();
    // Other slots already in the file, as a played game has them.
    TSaveFile file(dir / "save.dat");
    file.Open();
    const std::string entry = game->saves->SavedGameBytes(TPendingSave{0, "", 0, "other"});
    for (int s = 1; s <= kOtherSlots; ++s) file.Put(GameSaveEntryName(s), entry);
    file.Commit();
  }
};

// The same archive written over the file in place and never flushed: the reference.
void WriteInPlace(Game& g) {
  TSaveFile file(g.dir / "save.dat");
  file.Open();
  file.Put(GameSaveEntryName(0), g.game->saves->SavedGameBytes(TPendingSave{0, "", 0, "bench"}));
  file.Put(kStatusEntryName, g.game->saves->StatusBytes());
  const std::string bytes = file.Build();
  std::ofstream out(g.dir / "save.dat", std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Both run in each iteration, interleaved; "ratio" is save time / reference time.
void BM_SaveGame(benchmark::State& state) {
  Game g;
  double saveSeconds = 0, referenceSeconds = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    g.game->saves->SaveGame(TPendingSave{0, "", 0, "bench"});
    auto t1 = std::chrono::steady_clock::now();
    WriteInPlace(g);
    auto t2 = std::chrono::steady_clock::now();
    saveSeconds += std::chrono::duration<double>(t1 - t0).count();
    referenceSeconds += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  if (!g.game->saves->LastError().empty()) state.SkipWithError(g.game->saves->LastError().c_str());
  const double n = static_cast<double>(state.iterations());
  state.counters["save_ms"] = saveSeconds * 1000 / n;
  state.counters["reference_ms"] = referenceSeconds * 1000 / n;
  state.counters["ratio"] = saveSeconds / referenceSeconds;
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(g.dir / "save.dat"));
}
BENCHMARK(BM_SaveGame)->UseManualTime()->Unit(benchmark::kMillisecond);

// The saved game's bytes alone (scene, interpreter, variables), without the file.
void BM_SavedGameBytes(benchmark::State& state) {
  Game g;
  size_t bytes = 0;
  for (auto _ : state) bytes = g.game->saves->SavedGameBytes(TPendingSave{0, "", 0, "bench"}).size();
  state.counters["entry_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SavedGameBytes)->Unit(benchmark::kMillisecond);

void BM_LoadGame(benchmark::State& state) {
  Game g;
  g.game->saves->SaveGame(TPendingSave{0, "", 0, "bench"});
  for (auto _ : state) {
    g.game->saves->LoadGame(0);
    if (Quitting()) {
      state.SkipWithError(g.game->saves->LastError().c_str());
      break;
    }
  }
  state.counters["objects"] = g.game->scene.scene.ObjectCount();
  state.counters["variables"] = g.game->store->Count();
}
BENCHMARK(BM_LoadGame)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nova

BENCHMARK_MAIN();
