// The status data: status variables survive a restart, every status version reads its own
// sections, sections without an owner are written back as they were read, and the write-status
// flag keeps the file's status block.
#include <gtest/gtest.h>

#include "save_bytes.h"
#include "saves/save_file.h"
#include "saves/section_forms.h"
#include "saves_fixture.h"

namespace nova::test {
namespace {

class Status : public ::testing::Test {
protected:
  void SetUp() override {
    FreshFileManager();
    FrameClock() = TFrameClock{};
    RegisterPage("start.nsb",
                 "Calc {runs = runs + 1}\n"
                 "VarNew \"made\" str {\"run \" ++ IntToStr(runs)} status\n"
                 "Wait {} {} {}\n");
  }
  std::string StatusEntry() {
    TSaveFile file(dir / "save.dat");
    file.Open();
    TKtMemoryStream m;
    EXPECT_TRUE(file.Read("STATUSSAVEDATA", m));
    return m.Data();
  }
  TempDir dir;
};

TEST_F(Status, StatusVariablesSurviveARestart) {
  RegisterProject("start.nsb", {StatusInt("runs", 0)});
  for (int run = 1; run <= 3; ++run) {
    SavesGame game(dir.Path());
    game.Frame();
    EXPECT_EQ(game.Int("runs"), run);
    // A status variable made by VarNew keeps the value of the run that made it.
    EXPECT_EQ(game.store->FindParam("made")->Param->GetAsStr(), "run 1");
  }
}

// With the write-status flag clear the status data is never written: game saves still write
// the file, with the status block that was there before.
TEST_F(Status, WithTheWriteStatusFlagClearTheOldStatusBlockStays) {
  RegisterProject("start.nsb", {StatusInt("runs", 0)}, false);
  RegisterPage("save.nsb", "Calc {runs = 50}\nGameSave {1} \"\" 0 {\"one\"}\n");
  TKtMemoryStream before;
  before.WriteBytes("Status103");
  {
    TParamCollection other;
    TParamCollectionItem* runs = other.AddParam(PT_INT);
    other.SetParamName(runs, "runs");
    runs->IsStatus = 1;
    runs->Param->SetAsInt(7);
    other.SaveStatusVars(before);
  }
  WriteEmptyReadMarks(before);
  before.WriteByte(0);
  WriteEmptyTables(before, true);
  {
    TVrFileCollection c;
    c.AddMemoryFile("STATUSSAVEDATA")->Memory->Assign(before.Data());
    TFileStream out(dir / "save.dat", TFileStream::Create);
    c.Write(out);
  }
  for (int run = 1; run <= 2; ++run) {
    SavesGame game(dir.Path());
    game.Frame();
    EXPECT_EQ(game.Int("runs"), 8);
  }
  {
    SavesGame game(dir.Path());
    game.Cm().Start("save.nsb");
    game.Frame();
    TSaveFile file(dir / "save.dat");
    file.Open();
    EXPECT_TRUE(file.Has("GAMESAVEDATA1"));
  }
  EXPECT_EQ(StatusEntry(), before.Data());
}

// Status data of every version: the header gives the version (none: 0, read from the first
// byte); read marks from 100, the dither flag above 100, status tables above 102.
TEST_F(Status, EveryStatusVersionReadsItsSections) {
  RegisterProject("start.nsb", {StatusInt("runs", 0)});
  for (int version : {0, 99, 100, 101, 102, 103}) {
    TKtMemoryStream entry;
    if (version > 0) entry.WriteBytes(Format("Status%.3d", version));
    {
      TParamCollection other;
      TParamCollectionItem* runs = other.AddParam(PT_INT);
      other.SetParamName(runs, "runs");
      runs->IsStatus = 1;
      runs->Param->SetAsInt(20);
      other.SaveStatusVars(entry);
    }
    if (version >= 100) {
      Ints(entry, {1});
      entry.WriteString("a.nsb");
      Ints(entry, {1, 4, 0});
      entry.WriteString("");
      Ints(entry, {0, 0});
      entry.WriteString("");
    }
    if (version > 100) entry.WriteByte(1);
    if (version > 102) WriteOneTable(entry, true);
    TVrFileCollection c;
    c.AddMemoryFile("STATUSSAVEDATA")->Memory->Assign(entry.Data());
    TFileStream out(dir / "save.dat", TFileStream::Create);
    c.Write(out);
    out.Flush();

    std::vector<std::string> calls;
    SavesGame game(dir.Path(), false);
    game.saves->Sections.LoadReadMarks = [&](TStream& s, int32_t v) {
      calls.push_back("marks " + std::to_string(ScanReadMarks(s, v).Keys));
    };
    game.saves->Sections.SetDither = [&](bool on) { calls.push_back(on ? "dither on" : "dither off"); };
    game.saves->Sections.LoadTables = [&](TStream& s, bool isStatus) {
      calls.push_back("tables " + std::to_string(ScanTables(s, isStatus).Records));
    };
    game.project->Create();
    std::vector<std::string> expected{version >= 100 ? "marks 1" : "marks 0"};
    if (version > 100) expected.push_back("dither on");
    if (version > 102) expected.push_back("tables 2");
    EXPECT_EQ(calls, expected) << version;
    EXPECT_EQ(game.Int("runs"), 20) << version;
    EXPECT_FALSE(game.project->SaveFileDamaged()) << version;
  }
}

// Without owners, read marks, dither flag and status tables are written back as they were.
TEST_F(Status, SectionsWithoutOwnersAreWrittenBackUnchanged) {
  RegisterProject("start.nsb", {StatusInt("runs", 0)});
  RegisterPage("start.nsb", "Wait {} {} {}\n");
  TKtMemoryStream entry;
  entry.WriteBytes("Status103");
  {
    TParamCollection other;
    TParamCollectionItem* runs = other.AddParam(PT_INT);
    other.SetParamName(runs, "runs");
    runs->IsStatus = 1;
    runs->Param->SetAsInt(5);
    other.SaveStatusVars(entry);
  }
  Ints(entry, {2});
  for (const char* key : {"a.nsb", "b.nsb"}) {
    entry.WriteString(key);
    Ints(entry, {2, 1, 2, 0, 0});
  }
  entry.WriteString("a.nsb");
  Ints(entry, {3, 1});
  entry.WriteString("box");
  entry.WriteByte(1);
  WriteOneTable(entry, true);
  {
    TVrFileCollection c;
    c.AddMemoryFile("STATUSSAVEDATA")->Memory->Assign(entry.Data());
    TFileStream out(dir / "save.dat", TFileStream::Create);
    c.Write(out);
  }
  {
    SavesGame game(dir.Path());
    game.Frame();
  }
  EXPECT_EQ(StatusEntry(), entry.Data());
}

TEST_F(Status, AGameWithoutAnythingReadWritesTheEmptyForms) {
  RegisterProject("start.nsb");
  RegisterPage("start.nsb", "Wait {} {} {}\n");
  {
    SavesGame game(dir.Path());
    game.Frame();
  }
  TKtMemoryStream expected;
  expected.WriteBytes("Status103");
  expected.WriteInt32(0);
  WriteEmptyReadMarks(expected);
  expected.WriteByte(0);
  WriteEmptyTables(expected, true);
  EXPECT_EQ(StatusEntry(), expected.Data());
}

// A game that never started writes nothing.
TEST_F(Status, AGameThatNeverStartedWritesNothing) {
  RegisterProject("missing.nsb");
  {
    SavesGame game(dir.Path());
    EXPECT_TRUE(Quitting());
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "save.dat"));
}

}  // namespace
}  // namespace nova::test
