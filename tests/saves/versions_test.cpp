// Saved games of every version the player reads, from byte fixtures in the forms older players
// wrote: each version's branches read exactly their fields; too old and too new ones refused.
#include <gtest/gtest.h>

#include "saves/section_forms.h"
#include "save_bytes.h"
#include "saves_fixture.h"

namespace nova::test {
namespace {

class Versions : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterWaitingGame();
    RegisterPage("after.nsb", "VarNew \"afterRan\" int {1}\n");
  }
  TempDir dir;
};

TEST_F(Versions, EachVersionReadsItsOwnFields) {
  for (int32_t v : {107, 112, 113, 115, 116, 118, 119, 120, 121, 122, 123, 124, 129, 130, 134, 135, 138}) {
    SavesGame game(dir.Path());
    std::vector<std::string> calls;
    std::array<int32_t, 6> historySettings{};
    game.saves->Sections.LoadHistory = [&](TStream& s, int32_t version) {
      calls.push_back("history " + std::to_string(version));
      ScanHistory(s, version);
    };
    game.saves->Sections.ApplyOldHistorySettings = [&](const std::array<int32_t, 6>& six) {
      calls.push_back("settings");
      historySettings = six;
    };
    game.saves->Sections.LoadTables = [&](TStream& s, bool isStatus) {
      calls.push_back(std::string("tables ") + (isStatus ? "status" : "game"));
      EXPECT_EQ(ScanTables(s, isStatus).Records, 2);
    };
    TKtMemoryStream entry(OldSavedGame(v) + "END");
    game.saves->ApplySavedGame(entry);
    EXPECT_EQ(entry.ReadBytes(3), "END") << v;

    std::vector<std::string> expected{"history " + std::to_string(v)};
    if (v > 112 && v < 135) expected.push_back("settings");
    if (v > 122) expected.push_back("tables game");
    EXPECT_EQ(calls, expected) << v;
    if (v > 112 && v < 135) {
      EXPECT_EQ(historySettings, (std::array<int32_t, 6>{1, 2, 3, 4, 5, 6})) << v;
    }
    EXPECT_EQ(game.Int("x"), 5) << v;
    EXPECT_EQ(game.store->TextDelay, 30) << v;
    EXPECT_EQ(game.store->SelStr, "sel") << v;
    EXPECT_EQ(game.store->TempTarget, v > 120 ? "x" : "") << v;
    EXPECT_EQ(game.Cm().EventLevel(), v >= 116 ? 3 : 2) << v;
    EXPECT_EQ(game.Cm().CurrentPage()->Name(), "start.nsb") << v;
    EXPECT_EQ(game.Cm().Index(), 1) << v;
    ASSERT_EQ(game.scene.scene.Events().Count(), 1) << v;
    EXPECT_EQ(game.scene.scene.Events().Entry(0).Args, std::vector<std::string>{"x"}) << v;
    EXPECT_EQ(game.scene.scene.GetScreen(1).Color(), 0x0000FF) << v;
    game.Frame();
    EXPECT_EQ(game.Int("ran"), 1) << v;
  }
}

// Without owners the history and the tables of an old save are walked over and dropped.
TEST_F(Versions, SectionsWithoutOwnersAreSkipped) {
  for (int32_t v : {110, 130, 138}) {
    SavesGame game(dir.Path());
    TKtMemoryStream entry(OldSavedGame(v, "after.nsb") + "END");
    game.saves->ApplySavedGame(entry);
    EXPECT_EQ(entry.ReadBytes(3), "END") << v;
    EXPECT_EQ(game.Int("x"), 5) << v;
    // The after-load page runs first, then the saved position (index 1) goes on.
    EXPECT_EQ(game.Cm().CurrentPage()->Name(), "after.nsb") << v;
    game.Frame();
    EXPECT_EQ(game.Int("afterRan"), 1) << v;
    EXPECT_EQ(game.Int("ran"), 1) << v;
  }
}

TEST_F(Versions, TooOldAndTooNewAreRefused) {
  for (int32_t v : {0, 100, 106, 139, 200}) {
    SavesGame game(dir.Path());
    std::string bytes = OldSavedGame(std::clamp(v, 107, 138));
    bytes[0] = static_cast<char>(v);
    TKtMemoryStream entry(bytes);
    EXPECT_NE(ErrorOf([&] { game.saves->ApplySavedGame(entry); }), "(no error)") << v;
  }
}

}  // namespace
}  // namespace nova::test
