// novatool save list|show on a "save.dat" a game wrote: slots, captions, versions, sections
// with their summaries and the variables, as text and as JSON; damaged files say so.
#include <gtest/gtest.h>


#include "save_bytes.h"
#include "saves_fixture.h"

namespace nova::test {
namespace {

TRun Novatool(const TempDir& dir, const std::string& args) { return RunCommand(NovatoolCommand() + " " + args, dir); }

void ExpectHas(const std::string& text, const std::string& part) {
  EXPECT_NE(text.find(part), std::string::npos) << "missing: " << part << "\nin:\n" << text;
}

class NovatoolSave : public ::testing::Test {
protected:
  void SetUp() override {
    FreshFileManager();
    FrameClock() = TFrameClock{};
    RegisterProject("start.nsb", {StatusInt("runs", 4)});
    // A wait is running when the game is saved from an event: its state follows the interpreter.
    RegisterPage("start.nsb", "VarNew \"name\" str {\"勇者\"}\nWait {} {5000} {}\n");
    RegisterPage("ev.nsb", "GameSave {2} \"after.nsb\" 3 {\"二番\"}\nWait {} {100} {1}\n");
    SavesGame game(dir.Path());
    // The tool knows the object classes the player has (cabinets so far).
    TNovaCabinet* cabinet = game.scene.scene.Make<TNovaCabinet>();
    cabinet->SetName("cab");
    cabinet->SetParent(&game.scene.scene.Displayed());
    game.Frame();
    game.scene.scene.Events().PostEvent(TEventSender{}, "ev.nsb", {}, PR_ONNOTIFY);
    game.Frame();
    ASSERT_EQ(game.project->GetSaveCaption(2), Utf8ToSjis("二番"));
    // The game's pages as a game.dat, for --game.
    TVrFileCollection pages;
    for (const char* name : {"start.nsb", "ev.nsb"}) {
      TKtMemoryStream bytes;
      FileManager().ReadFile(bytes, name);
      pages.AddMemoryFile(name)->Memory->Assign(bytes.Data());
    }
    TKtMemoryStream archive;
    pages.Write(archive);
    WriteFile(dir / "game/game.dat", archive.Data());
  }
  std::string File() { return "'" + (dir / "save.dat") + "'"; }
  TempDir dir;
};

TEST_F(NovatoolSave, ListsSlotsCaptionsAndVersions) {
  TRun r = Novatool(dir, "save list " + File());
  ASSERT_EQ(r.Code, 0) << r.Err << r.Out;
  ExpectHas(r.Out, "GAMESAVEDATA2  slot 2  version 138  caption \"二番\"  after-load \"after.nsb\" 3");
  ExpectHas(r.Out, "STATUSSAVEDATA  status version 103");
  EXPECT_EQ(r.Out.find("scene"), std::string::npos);
}

TEST_F(NovatoolSave, ShowsTheSectionsOfEachEntry) {
  TRun r = Novatool(dir, "save show " + File());
  ASSERT_EQ(r.Code, 0) << r.Err << r.Out;
  ExpectHas(r.Out, "64x48, screen 0 displayed, 1 object (cabinet 1), 1 event");
  ExpectHas(r.Out, "1 format, 0 references");
  ExpectHas(r.Out, "page \"ev.nsb\" index 1 (entered), state 2, event level 2, 1 frame (start.nsb@1), "
                   "running command's state 16 bytes (told by its form)");
  ExpectHas(r.Out, "{\"name\": \"name\", \"type\": \"str\", \"dims\": [], \"values\": [\"勇者\"]}");
  ExpectHas(r.Out, "0 tables, 0 records");
  ExpectHas(r.Out, "{\"name\": \"runs\", \"type\": \"int\", \"dims\": [], \"values\": [4]}");
  ExpectHas(r.Out, "dither");
  EXPECT_EQ(r.Out.find("ERROR"), std::string::npos);
}

// With the game's pages the running command reads its own state.
TEST_F(NovatoolSave, TheGamesPagesTellTheRunningCommand) {
  for (const char* game : {"game", "game/game.dat"}) {
    TRun r = Novatool(dir, "save show " + File() + " --game '" + (dir / game) + "'");
    ASSERT_EQ(r.Code, 0) << r.Err << r.Out;
    ExpectHas(r.Out, "1 frame (start.nsb@1), running command read by its page");
  }
  EXPECT_EQ(Novatool(dir, "save show " + File() + " --game '" + (dir / "none") + "'").Code, 1);
}

TEST_F(NovatoolSave, JsonForTools) {
  TRun r = Novatool(dir, "save show --json " + File());
  ASSERT_EQ(r.Code, 0) << r.Err << r.Out;
  ExpectHas(r.Out, "\"name\": \"GAMESAVEDATA2\", \"kind\": \"game\", \"slot\": 2");
  ExpectHas(r.Out, "\"version\": 138, \"caption\": \"二番\", \"afterLoadPage\": \"after.nsb\", \"afterLoadIndex\": 3");
  ExpectHas(r.Out, "{\"name\": \"interpreter\", \"offset\": ");
  ExpectHas(r.Out, "\"kind\": \"status\"");
  ExpectHas(r.Out, "\"variables\": [{\"name\": \"name\"");
}

TEST_F(NovatoolSave, DamagedFilesAndEntriesAreReported) {
  std::string bytes = ReadFile(dir / "save.dat");
  WriteFile(dir / "cut.dat", bytes.substr(0, bytes.size() / 2));
  TRun cut = Novatool(dir, "save list '" + (dir / "cut.dat") + "'");
  EXPECT_EQ(cut.Code, 1);
  ExpectHas(cut.Out, "DAMAGED");
  // An entry cut inside its variables: the sections before it are shown, then where it stopped.
  TVrFileCollection c;
  std::string entry = OldSavedGame(138);
  c.AddMemoryFile("GAMESAVEDATA0")->Memory->Assign(entry.substr(0, entry.size() - 20));
  TKtMemoryStream m;
  c.Write(m);
  WriteFile(dir / "short.dat", m.Data());
  TRun shortEntry = Novatool(dir, "save show '" + (dir / "short.dat") + "'");
  EXPECT_EQ(shortEntry.Code, 1);
  ExpectHas(shortEntry.Out, "interpreter");
  ExpectHas(shortEntry.Out, "ERROR: tables at byte");
  TRun missing = Novatool(dir, "save list '" + (dir / "none.dat") + "'");
  EXPECT_EQ(missing.Code, 1);
  ExpectHas(missing.Out, "no such file");
  EXPECT_EQ(Novatool(dir, "save frobnicate x").Code, 2);
}

}  // namespace
}  // namespace nova::test
