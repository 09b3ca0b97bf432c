// The bundled game's films (games/films): each description builds, and every file a track
// names, resolved from the film's folder film\ as the player resolves it, is a file of the game;
// every film of the repository dumps back to its bytes.
#include <gtest/gtest.h>

#include "authoring/film_description.h"
#include "base/encoding.h"
#include "support/test_support.h"

namespace nova {
namespace {

TEST(DemoFilms, BuildAndNameFilesOfTheGame) {
  const std::filesystem::path films = test::SourceDir() + "/games/films";
  const std::filesystem::path stage = test::BinaryDir() + "/demo-src";  // the staged game sources
  if (!std::filesystem::exists(stage / "cg")) GTEST_SKIP() << "the bundled game is not built";
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(films)) {
    if (entry.path().extension() != ".film") continue;
    SCOPED_TRACE(entry.path().filename().string());
    ++count;
    TFilmFile film = ParseFilmDescription(test::ReadFile(entry.path()), "film");
    EXPECT_FALSE(WriteFilmFile(film).empty());
    EXPECT_TRUE(std::filesystem::exists(stage / "film" / (entry.path().stem().string() + ".nmt")));
    for (const TFilmTrack& t : film.Tracks) {
      if (t.File.empty()) continue;
      std::string name = SjisToUtf8(ResolveFilmName("film\\", t.File));
      std::replace(name.begin(), name.end(), '\\', '/');
      EXPECT_TRUE(std::filesystem::exists(stage / name)) << name;
    }
  }
  EXPECT_EQ(count, 3);
}

// Every film the repository builds (the demo's, the splash, the test games'): its dump builds
// back to the same bytes.
TEST(DemoFilms, EveryFilmOfTheRepositoryDumpsBackToItsBytes) {
  int count = 0;
  for (const char* folder : {"/games", "/src/app/splash", "/tests/games"}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::SourceDir() + folder)) {
      if (entry.path().extension() != ".film") continue;
      SCOPED_TRACE(entry.path().string());
      ++count;
      const std::vector<uint8_t> bytes = WriteFilmFile(ParseFilmDescription(test::ReadFile(entry.path()), "film"));
      const std::string dump = DescribeFilm(ReadFilmFile(bytes, "film"));
      EXPECT_EQ(WriteFilmFile(ParseFilmDescription(dump, "dump")), bytes);
    }
  }
  EXPECT_GE(count, 5);
}

}  // namespace
}  // namespace nova
