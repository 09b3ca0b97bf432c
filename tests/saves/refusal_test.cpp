// Saves that cannot be used: the warning box with the player's text, the quitting flag, and
// the file never lost (kept aside before the status data is written over it). A missing file
// or slot does nothing; a damaged file at start-up still lets the game start.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/vrfile_collection.h"
#include "save_bytes.h"
#include "saves/save_file.h"
#include "saves_fixture.h"
#include "support/archive_fixtures.h"

namespace nova::test {
namespace {

namespace fs = std::filesystem;

const char kRefusal[] = "警告|このセーブデータは使用できません\r\n終了してください";

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return s.replace(at, from.size(), to);
}

class Refusal : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterWaitingGame();
  }
  std::string Path() { return dir / "save.dat"; }
  TempDir dir;
};

TEST_F(Refusal, UnusableSavesGiveTheBoxAndAreKept) {
  const std::string good = OldSavedGame(138);
  std::string noPage = Replace(good, std::string("\x09\0\0\0start.nsb", 13), std::string("\x0a\0\0\0absent.nsb", 14));
  // The variable x of 8192 x 8192 integers that holds 12.
  std::string shape = std::string("\x02\0\0\0\0\x20\0\0\0\x20\0\0\x0c\0\0\0", 16);
  for (int i = 0; i < 12; ++i) shape += std::string("\x07\0\0\0", 4);
  std::string misshapen = Replace(good, std::string("\x01\0\0\0x\0\0\0\0\x01\0\0\0\x05\0\0\0", 17),
                                  std::string("\x01\0\0\0x", 5) + shape);
  std::string unknownObject = Replace(good, std::string("\0\0\0\0\x01\0\0\0\x06\0\0\0ev.nsb", 18),
                                      std::string("\x01\0\0\0\x63", 5) + std::string("\x01\0\0\0\x06\0\0\0ev.nsb", 14));
  struct Case {
    const char* what;
    std::string file;
  } cases[] = {
      {"version 106", ArchiveBytes({{"GAMESAVEDATA1", std::string("\x6a\0\0\0", 4) + good.substr(4)}})},
      {"version 139", ArchiveBytes({{"GAMESAVEDATA1", std::string("\x8b\0\0\0", 4) + good.substr(4)}})},
      {"cut in the header", ArchiveBytes({{"GAMESAVEDATA1", good.substr(0, 10)}})},
      {"cut in the scene", ArchiveBytes({{"GAMESAVEDATA1", good.substr(0, good.size() / 4)}})},
      {"cut in the middle", ArchiveBytes({{"GAMESAVEDATA1", good.substr(0, good.size() / 2)}})},
      {"cut near the end", ArchiveBytes({{"GAMESAVEDATA1", good.substr(0, good.size() - 5)}})},
      {"no class for an object", ArchiveBytes({{"GAMESAVEDATA1", unknownObject}})},
      {"a page that is not there", ArchiveBytes({{"GAMESAVEDATA1", noPage}})},
      {"an array smaller than its dimensions", ArchiveBytes({{"GAMESAVEDATA1", misshapen}})},
      {"broken zlib stream", WithBrokenFirstEntry(ArchiveBytes({{"GAMESAVEDATA1", good}}))},
      {"directory cut short", ArchiveBytes({{"GAMESAVEDATA1", good}}).substr(0, 30)},
      {"not an archive", "garbage garbage garbage garbage"},
  };
  for (const Case& c : cases) {
    fs::remove_all(dir.Path());
    fs::create_directories(dir.Path());
    WriteFile(Path(), c.file);
    {
      SavesGame game(dir.Path());
      ASSERT_FALSE(Quitting()) << c.what;  // the game starts whatever the file holds
      game.project->RequestLoad(1);
      EXPECT_TRUE(game.project->ServiceRequests()) << c.what;
      EXPECT_TRUE(Quitting()) << c.what;
      EXPECT_EQ(game.dialogs.Boxes, std::vector<std::string>{kRefusal}) << c.what;
      EXPECT_FALSE(game.saves->LastError().empty()) << c.what;
      EXPECT_EQ(ReadFile(Path()), c.file) << c.what;
    }  // the status data is written at the end: the file is kept aside first
    EXPECT_EQ(ReadFile(dir / "save.dat.damaged"), c.file) << c.what;
    TSaveFile rewritten(Path());
    rewritten.Open();
    EXPECT_FALSE(rewritten.Damaged()) << c.what;
    EXPECT_TRUE(rewritten.Has("STATUSSAVEDATA")) << c.what;
  }
}

TEST_F(Refusal, NoFileOrNoSlotDoesNothing) {
  for (bool withFile : {false, true}) {
    fs::remove_all(dir.Path());
    fs::create_directories(dir.Path());
    if (withFile) WriteFile(Path(), ArchiveBytes({{"GAMESAVEDATA2", OldSavedGame(138)}}));
    SavesGame game(dir.Path());
    game.Frame();
    game.project->RequestLoad(1);
    EXPECT_TRUE(game.project->ServiceRequests());
    EXPECT_FALSE(Quitting()) << withFile;
    EXPECT_TRUE(game.dialogs.Boxes.empty()) << withFile;
    EXPECT_EQ(game.Int("ran"), 1) << withFile;  // the game is as it was
  }
}

// A save requested in the frame of a failed load is not made (it would save a half-restored
// game); after a load that worked it is.
TEST_F(Refusal, ASaveInTheFrameOfAFailedLoadIsDropped) {
  for (bool loadWorks : {true, false}) {
    fs::remove_all(dir.Path());
    fs::create_directories(dir.Path());
    std::string entry = OldSavedGame(138);
    if (!loadWorks) entry.resize(entry.size() / 2);
    WriteFile(Path(), ArchiveBytes({{"GAMESAVEDATA1", entry}}));
    SavesGame game(dir.Path());
    game.project->RequestLoad(1);
    game.project->RequestSave(2, "", 0, "two");
    game.project->ServiceRequests();
    TSaveFile file(Path());
    file.Open();
    EXPECT_EQ(file.Has("GAMESAVEDATA2"), loadWorks) << loadWorks;
  }
}

// Damaged status data at start-up: the status variables keep their declared values, the game
// runs, and the next write keeps the file aside.
TEST_F(Refusal, DamagedStatusDataAtStartUp) {
  RegisterProject("start.nsb", {StatusInt("st", 4)});
  TKtMemoryStream status;
  status.WriteBytes("Status103");
  status.WriteInt32(1);
  status.WriteByte(PT_INT);
  status.WriteString("st");  // the record ends here
  const std::string file = ArchiveBytes({{"GAMESAVEDATA1", OldSavedGame(138)}, {"STATUSSAVEDATA", status.Data()}});
  WriteFile(Path(), file);
  {
    SavesGame game(dir.Path());
    EXPECT_FALSE(Quitting());
    EXPECT_TRUE(game.project->SaveFileDamaged());
    EXPECT_EQ(game.Int("st"), 4);
    EXPECT_EQ(game.store->FindParam("st")->IsStatus, 1);
    EXPECT_EQ(game.project->GetSaveCaption(1), "old");
  }
  EXPECT_EQ(ReadFile(dir / "save.dat.damaged"), file);
  TSaveFile rewritten(Path());
  rewritten.Open();
  EXPECT_TRUE(rewritten.Has("GAMESAVEDATA1"));  // the saved game is carried over
}

}  // namespace
}  // namespace nova::test
