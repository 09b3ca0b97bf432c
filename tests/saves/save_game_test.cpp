// Saving: the captions the scenario sees, an empty caption that saves nothing, requests of one
// frame, and a save that cannot be written (the old file stays, the user is told).
#include <gtest/gtest.h>

#include <filesystem>

#include "saves/save_file.h"
#include "saves_fixture.h"
#include "scenario/save_entries.h"

namespace nova::test {
namespace {

namespace fs = std::filesystem;

class SaveGame : public ::testing::Test {
protected:
  void SetUp() override {
    FreshFileManager();
    FrameClock() = TFrameClock{};
    RegisterProject("start.nsb");
  }
  TempDir dir;
};

TEST_F(SaveGame, CaptionsOfTheSlotsAsTheScenarioSeesThem) {
  RegisterPage("start.nsb",
               "VarNew \"caps\" str {\"\"}\n"
               "VarNew \"slots\" int {0}\n"
               "VarNew \"none\" int {ListSaveCaption(caps, slots) + 100}\n"
               "GameSave {3} \"\" 0 {\"三番\"}\n"
               "GameSave {1} \"\" 0 {\"first\"}\n"
               "GameSave {3} \"\" 0 {\"three again\"}\n"
               "VarNew \"n\" int {ListSaveCaption(caps, slots)}\n"
               "VarNew \"c3\" str {GetSaveCaption(3)}\n"
               "VarNew \"c9\" str {GetSaveCaption(9)}\n"
               "Wait {} {} {}\n");
  {
    SavesGame game(dir.Path());
    game.Frames(4);
    EXPECT_EQ(game.Int("none"), 100);  // no saves yet: 0, the arrays untouched
    EXPECT_EQ(game.Int("n"), 2);
    TCustomParam& caps = *game.store->FindParam("caps")->Param;
    TCustomParam& slots = *game.store->FindParam("slots")->Param;
    ASSERT_EQ(caps.GetCount(), 2);
    EXPECT_EQ(caps.GetStrAt(0), "three again");
    EXPECT_EQ(slots.GetIntAt(0), 3);
    EXPECT_EQ(caps.GetStrAt(1), "first");
    EXPECT_EQ(slots.GetIntAt(1), 1);
    EXPECT_EQ(game.store->FindParam("c3")->Param->GetAsStr(), "three again");
    EXPECT_EQ(game.store->FindParam("c9")->Param->GetAsStr(), "");
  }
  // The next run reads the captions from the file, in the file's order.
  SavesGame next(dir.Path());
  EXPECT_EQ(next.project->SaveCaptions(),
            (std::vector<std::pair<std::string, int32_t>>{{"first", 1}, {"three again", 3}}));
  TSaveFile file(dir / "save.dat");
  file.Open();
  int games = 0;
  for (int i = 0; i < file.Archive().EntryCount(); ++i) games += SlotOfEntryName(file.Archive().Entry(i)->Name()) >= 0;
  EXPECT_EQ(games, 2);
}

TEST_F(SaveGame, AnEmptyCaptionSavesNothing) {
  RegisterPage("start.nsb", "GameSave {1} \"\" 0 {\"\"}\nWait {} {} {}\n");
  SavesGame game(dir.Path());
  game.Frames(2);
  EXPECT_FALSE(fs::exists(dir / "save.dat"));
  EXPECT_EQ(game.project->GetSaveCaption(1), "");
}

// Of two requests of a kind in one frame the later one is done; a load goes before a save.
TEST_F(SaveGame, TheLastRequestOfAFrameWins) {
  RegisterPage("start.nsb",
               "VarNew \"v\" int {1}\n"
               "GameSave {1} \"\" 0 {\"one\"}\n"
               "Calc {v = 2}\n"
               "GameSave {2} \"\" 0 {\"two\"}\n"
               "Calc {v = 3}\n"
               "Wait {} {} {}\n");
  SavesGame game(dir.Path());
  game.Frames(3);
  EXPECT_EQ(game.project->SaveCaptions(), (std::vector<std::pair<std::string, int32_t>>{{"one", 1}, {"two", 2}}));
  EXPECT_EQ(game.Int("v"), 3);
  game.project->RequestLoad(1);
  game.project->RequestLoad(2);
  game.project->RequestSave(3, "", 0, "three");
  game.project->RequestSave(4, "", 0, "four");
  EXPECT_TRUE(game.project->ServiceRequests());
  EXPECT_EQ(game.Int("v"), 2);  // slot 2 was loaded, then saved as slot 4
  EXPECT_EQ(game.project->GetSaveCaption(3), "");
  EXPECT_EQ(game.project->GetSaveCaption(4), "four");
  EXPECT_FALSE(game.project->ServiceRequests());  // nothing is left pending
}

// Save and quit from an event handler: the frame stops at the Terminate before the requests
// are done, so the save is made when the game goes.
TEST_F(SaveGame, SaveAndQuitFromAnEventHandler) {
  RegisterPage("start.nsb", "VarNew \"v\" int {9}\nWait {} {} {}\n");
  RegisterPage("quit.nsb", "GameSave {5} \"\" 0 {\"last\"}\nTerminate\nWait {} {} {}\n");
  {
    SavesGame game(dir.Path());
    game.Frame();
    game.scene.scene.Events().PostEvent(TEventSender{}, "quit.nsb", {}, PR_ONLBTNDOWN);
    game.Frame();
    EXPECT_TRUE(Quitting());
    EXPECT_FALSE(fs::exists(dir / "save.dat"));
  }
  SavesGame next(dir.Path());
  EXPECT_EQ(next.project->GetSaveCaption(5), "last");
  next.project->RequestLoad(5);
  next.project->ServiceRequests();
  EXPECT_EQ(next.Int("v"), 9);
}

TEST_F(SaveGame, ASaveThatCannotBeWrittenLeavesTheFileAndTellsTheUser) {
  RegisterPage("start.nsb", "GameSave {1} \"\" 0 {\"one\"}\nGameSave {2} \"\" 0 {\"two\"}\nWait {} {} {}\n");
  SavesGame game(dir.Path());
  game.Frame();
  const std::string before = ReadFile(dir / "save.dat");
  WriteFile(dir / "save.dat.new/blocker", "x");  // the new file cannot be made
  game.Frame();
  EXPECT_EQ(ReadFile(dir / "save.dat"), before);
  ASSERT_EQ(game.dialogs.Boxes.size(), 1u);
  EXPECT_EQ(game.dialogs.Boxes[0].rfind("警告|", 0), 0u) << game.dialogs.Boxes[0];
  EXPECT_NE(game.dialogs.Boxes[0].find("save.dat.new"), std::string::npos);
  EXPECT_EQ(game.project->GetSaveCaption(2), "");
  EXPECT_FALSE(Quitting());
  fs::remove_all(dir / "save.dat.new");
}

}  // namespace
}  // namespace nova::test
