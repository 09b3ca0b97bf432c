// Project start-up: the project file versions, status variables, "save.dat", the data-disk
// search, file checks with the folder-disk list, and the exit page.
#include <gtest/gtest.h>

#include "archive/install_set.h"
#include "scenario/project.h"
#include "scenario_test_util.h"
#include "support/recording_dialogs.h"
#include "support/test_support.h"

namespace nova::test {
namespace {

TStatusVarDef StatusVar(uint8_t type, const std::string& name, int32_t i, const std::string& s = "") {
  TStatusVarDef d;
  d.Type = type;
  d.Name = name;
  d.IntValue = i;
  d.StrValue = Utf8ToSjis(s);
  return d;
}

TProjectFile BasicProject(int32_t version) {
  TProjectFile p;
  p.Version = version;
  p.Name = Utf8ToSjis("テスト");
  p.ScreenWidth = 801;
  p.ScreenHeight = 600;
  p.StartPage = "start.nsb";
  p.ExitPage = "exit.nsb";
  p.SleepFlag = 1;
  p.MediaExtensions = ".ogg";
  p.DiskPrompt = Utf8ToSjis("ディスク%dを入れてから[OK]をクリックしてください");
  p.QuitText = Utf8ToSjis("終了します");
  return p;
}

std::string ProjectBytes(const TProjectFile& p) {
  TKtMemoryStream m;
  WriteProjectFile(m, p);
  return m.Data();
}

void StartAndExitPages() {
  PageBuilder start;
  VarNew(start, "started", 1, "1");
  Wait(start, "", "", "", 0);
  start.Register("start.nsb");
  PageBuilder exitPage;
  VarNew(exitPage, "exited", 1, "1");
  exitPage.Register("exit.nsb");
}

class ProjectTest : public ::testing::Test {
protected:
  void SetUp() override {
    FreshFileManager();
    ResetRunState();
    store = std::make_unique<TParamCollection>();
    funcs = std::make_unique<TSysFuncMan>(*store);
    dialogs.SetAnswer([](const std::string& text, MsgButtons) {
      return text.rfind("ディスク", 0) == 0 ? MsgResult::Cancel : MsgResult::Ok;
    });
    FileManager().SetDialogs(&dialogs);
    StartAndExitPages();
  }
  void TearDown() override {
    FileManager().SetDialogs(nullptr);
    SetQuitting(false);
    ClearCloseRequest();
  }
  std::unique_ptr<TProject> Make(bool folderParams = true, TGameStateStore* stateStore = nullptr) {
    TProjectOptions o;
    o.ExecutableFolder = dir.Path();
    o.HadFolderParameters = folderParams;
    o.StateStore = stateStore;
    return std::make_unique<TProject>(*store, *funcs, scene, dialogs, o);
  }
  TParamCollectionItem* Var(const std::string& name) { return store->FindParam(Utf8ToSjis(name)); }

  TempDir dir;
  std::unique_ptr<TParamCollection> store;
  std::unique_ptr<TSysFuncMan> funcs;
  TNovaBaseList scene;
  RecordingDialogs dialogs;
  std::vector<std::string>& boxes = dialogs.Boxes;
};

// Records what the project asks of the save and load code.
class RecordingStateStore : public TGameStateStore {
public:
  void LoadGame(int32_t slot) override { Done.push_back("load" + std::to_string(slot)); }
  void SaveGame(const TPendingSave& s) override {
    Done.push_back("save" + std::to_string(s.Slot) + s.Caption + s.AfterLoadPage + std::to_string(s.AfterLoadIndex));
  }
  void WriteStatus() override { Done.push_back("status"); }
  void RestoreStatusRest(TStream&, int32_t version) override { RestoredVersion = version; }
  std::vector<std::string> Done;
  int32_t RestoredVersion = -1;
};

TEST_F(ProjectTest, ProjectFileVersions) {
  struct Case {
    int32_t version;
    const char* exitPage;
    uint8_t sleep;
    const char* media;
  } cases[] = {{105, "", 0, ".wav.wma.ogg.mid"}, {112, "exit.nsb", 1, ".ogg"}};
  for (const Case& c : cases) {
    RegisterFile("nova.npb", ProjectBytes(BasicProject(c.version)));
    auto p = Make();
    p->Create();
    ASSERT_FALSE(Quitting()) << c.version;
    EXPECT_EQ(p->File().ExitPage, c.exitPage);
    EXPECT_EQ(p->File().SleepFlag, c.sleep);
    EXPECT_EQ(p->File().MediaExtensions, c.media);
    EXPECT_EQ(SjisToUtf8(ApplicationTitle()), "テスト");
    EXPECT_EQ(p->Transition30Param1, 400);
    EXPECT_EQ(p->Transition30Param2, 300);
    ASSERT_NE(p->CallMan()->CurrentPage(), nullptr);
    EXPECT_EQ(p->CallMan()->CurrentPage()->Name(), "start.nsb");
    p->RunFrame();
    EXPECT_EQ(Var("started")->Param->GetAsInt(), 1);
    p.reset();  // runs the exit page when there is one
    EXPECT_EQ(Var("exited") != nullptr, c.version >= 110);
    EXPECT_EQ(Quitting(), c.version >= 110);  // set again after the exit page's pass
    for (const char* n : {"started", "exited"})
      if (TParamCollectionItem* i = Var(n)) store->FreeItem(i);
    SetQuitting(false);
  }
}

TEST_F(ProjectTest, StartUpFailures) {
  struct Case {
    const char* what;
    std::function<void()> setup;
    const char* box;
  } cases[] = {
      {"no project file", [] {}, nullptr},
      {"empty project file", [] { RegisterFile("nova.npb", ""); }, "警告|プロジェクトがありません"},
      {"too new", [] { RegisterFile("nova.npb", std::string("\x71\x00\x00\x00", 4).append(64, '\0')); }, nullptr},
      {"no start page",
       [] {
         TProjectFile p = BasicProject(112);
         p.StartPage = "none.nsb";
         RegisterFile("nova.npb", ProjectBytes(p));
       },
       "警告|スタートページがありません"},
  };
  for (const Case& c : cases) {
    FileManager().Archive(0)->RemoveFile("nova.npb");
    boxes.clear();
    SetQuitting(false);
    c.setup();
    auto p = Make();
    p->Create();
    EXPECT_TRUE(Quitting()) << c.what;
    if (c.box) {
      ASSERT_EQ(boxes.size(), 1u) << c.what;
      EXPECT_EQ(boxes[0], c.box);
    } else {
      EXPECT_TRUE(boxes.empty()) << c.what;
    }
  }
}

TEST_F(ProjectTest, SaveFileGivesCaptionsStatusAndStoredFiles) {
  // The status data of an earlier run holds st = 9.
  std::string status;
  {
    TParamCollection other;
    TParamCollectionItem* st = other.AddParam(PT_INT);
    other.SetParamName(st, "st");
    st->IsStatus = 1;
    st->Param->SetAsInt(9);
    TKtMemoryStream m;
    m.WriteBytes("Status103");
    other.SaveStatusVars(m);
    status = m.Data();
  }
  {
    TVrFileCollection save;
    TKtMemoryStream* e = save.AddMemoryFile("GAMESAVEDATA3")->Memory.get();
    e->WriteInt32(138);
    e->WriteString(Utf8ToSjis("三番"));
    e = save.AddMemoryFile("GAMESAVEDATA12")->Memory.get();
    e->WriteInt32(138);
    e->WriteString("twelve");
    e = save.AddMemoryFile("GAMESAVEDATAx")->Memory.get();
    e->WriteInt32(138);
    e->WriteString("not a slot");
    save.AddMemoryFile("STATUSSAVEDATA")->Memory->Assign(status);
    save.AddMemoryFile("SAVE:memo.txt")->Memory->Assign("hello");
    TFileStream out(dir / "save.dat", TFileStream::Create);
    save.Write(out);
  }
  TProjectFile pf = BasicProject(112);
  pf.StatusVars = {StatusVar(1, "st", 1), StatusVar(4, "st2", 0, "初期")};
  RegisterFile("nova.npb", ProjectBytes(pf));
  auto p = Make();
  p->Create();
  ASSERT_FALSE(Quitting());
  EXPECT_EQ(SjisToUtf8(p->GetSaveCaption(3)), "三番");
  EXPECT_EQ(p->GetSaveCaption(12), "twelve");
  EXPECT_EQ(p->SaveCaptions().size(), 2u);
  EXPECT_EQ(p->GetSaveCaption(4), "");
  EXPECT_EQ(Var("st")->Param->GetAsInt(), 9);  // restored, not re-initialised
  ASSERT_NE(Var("st2"), nullptr);
  EXPECT_EQ(SjisToUtf8(Var("st2")->Param->GetAsStr()), "初期");
  EXPECT_EQ(Var("st2")->IsStatus, 1);
  TKtMemoryStream memo;
  FileManager().ReadFile(memo, "save:memo.txt");
  EXPECT_EQ(memo.Data(), "hello");
  p->SetSaveCaption(3, "again");
  EXPECT_EQ(p->GetSaveCaption(3), "again");
}

TEST_F(ProjectTest, StatusEntryWithoutHeaderReadsAsVersionZero) {
  TParamCollection other;
  TParamCollectionItem* st = other.AddParam(PT_INT);
  other.SetParamName(st, "old");
  st->IsStatus = 1;
  st->Param->SetAsInt(5);
  TKtMemoryStream m;
  other.SaveStatusVars(m);
  m.SetPosition(0);
  RecordingStateStore states;
  auto p = Make(true, &states);
  EXPECT_EQ(p->RestoreStatus(m), 0);
  EXPECT_EQ(states.RestoredVersion, 0);
  EXPECT_EQ(Var("old")->Param->GetAsInt(), 5);
}

TEST_F(ProjectTest, CheckFileWithFolderDisksAndMediaList) {
  TProjectFile pf = BasicProject(112);
  pf.MediaExtensions = ".wav.wma.ogg.mid";
  pf.FolderDisks = {{"CG", 2}, {"cg\\sub\\deep", 3}};
  RegisterFile("nova.npb", ProjectBytes(pf));
  auto p = Make();
  p->Create();
  ASSERT_FALSE(Quitting());
  EXPECT_EQ(p->FolderDisk("cg\\sub\\x.bri"), 2);
  EXPECT_EQ(p->FolderDisk("Cg\\Sub\\Deep\\x.bri"), 3);
  EXPECT_EQ(p->FolderDisk("other\\x.bri"), 0);
  EXPECT_EQ(p->FolderDisk("cgx\\a.bri"), 0);
  struct Case {
    const char* name;
    bool result;
    bool prompts;
  } cases[] = {{"", false, false},
               {"start.nsb", true, false},
               {"cg\\sub\\a.ogg", false, false},
               {"cg\\sub\\a.OGG", false, false},
               {"other\\a.bri", false, false},
               {"cg\\sub\\a.bri", false, true}};
  for (const Case& c : cases) {
    boxes.clear();
    SetQuitting(false);
    EXPECT_EQ(p->CheckFile(c.name), c.result) << c.name;
    if (c.prompts) {
      // Cancel on the disk prompt, then OK on the quit text: the game ends.
      ASSERT_EQ(boxes.size(), 2u) << c.name;
      EXPECT_EQ(boxes[0], "テスト|ディスク2を入れてから[OK]をクリックしてください");
      EXPECT_EQ(boxes[1], "テスト|終了します");
      EXPECT_TRUE(Quitting());
    } else {
      EXPECT_TRUE(boxes.empty()) << c.name;
    }
  }
}

TEST_F(ProjectTest, OriginalProjectCopyReplacesTheFolderDisks) {
  TProjectFile pf = BasicProject(112);
  pf.FolderDisks = {{"CG", 2}};
  RegisterFile("nova.npb", ProjectBytes(pf));
  pf.FolderDisks = {{"BGM", 4}};
  RegisterFile("/original_nova.npb", ProjectBytes(pf));
  auto p = Make();
  p->Create();
  ASSERT_EQ(p->FolderDisks().size(), 1u);
  EXPECT_EQ(p->FolderDisks()[0].first, "BGM");
  EXPECT_EQ(p->FolderDisk("bgm\\a.mid"), 4);
}

TEST_F(ProjectTest, DataDiskSearch) {
  // Without install.dat the player asks for a reinstallation.
  {
    auto p = Make(false);
    p->Create();
    EXPECT_TRUE(Quitting());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "情報|インストールし直してください");
  }
  // install.dat (data complete) and game.dat beside the executable.
  FreshFileManager();
  SetQuitting(false);
  boxes.clear();
  TNovaInstallSet set;
  set.ProjectName = Utf8ToSjis("テスト");
  set.DataComplete = 1;
  set.SaveToFile(dir / "install.dat");
  {
    TVrFileCollection game;
    game.AddMemoryFile("nova.npb")->Memory->Assign(ProjectBytes(BasicProject(112)));
    PageBuilder start;
    Calc(start, 0, "x = 1");
    game.AddMemoryFile("start.nsb")->Memory->Assign(start.Bytes());
    TFileStream out(dir / "game.dat", TFileStream::Create);
    game.Write(out);
  }
  auto p = Make(false);
  p->Create();
  EXPECT_FALSE(Quitting());
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(FileManager().ArchiveCount(), 2);
  ASSERT_NE(p->CallMan()->CurrentPage(), nullptr);
  EXPECT_EQ(p->CallMan()->CurrentPage()->Count(), 1);
}

TEST_F(ProjectTest, DiscSearchWithoutRemovableMediaEndsEvenWhenEveryBoxSaysOk) {
  TNovaInstallSet set;
  set.ProjectName = Utf8ToSjis("テスト");
  set.DataComplete = 0;  // the rest of the data is on a disc
  set.SaveToFile(dir / "install.dat");
  dialogs.SetAnswer([](const std::string&, MsgButtons) { return MsgResult::Ok; });  // what the headless player answers
  auto p = Make(false);
  p->Create();
  EXPECT_TRUE(Quitting());
  EXPECT_EQ(boxes, (std::vector<std::string>{"情報|ディスクを入れてください", "情報|終了します"}));
  EXPECT_TRUE(p->MissingGameData);  // the player's exit code tells it apart
}

TEST_F(ProjectTest, RequestsAreServicedOncePerFrame) {
  RegisterFile("nova.npb", ProjectBytes(BasicProject(112)));
  RecordingStateStore states;
  auto p = Make(true, &states);
  p->Create();
  std::vector<std::string>& done = states.Done;
  p->RequestSave(1, "a.nsb", 2, "x");
  p->RequestSave(4, "b.nsb", 5, "y");  // the later request of a frame wins
  p->RequestLoad(7);
  EXPECT_TRUE(p->ServiceRequests());
  EXPECT_FALSE(p->ServiceRequests());
  ASSERT_EQ(done.size(), 2u);
  EXPECT_EQ(done[0], "load7");
  EXPECT_EQ(done[1], "save4yb.nsb5");
  p.reset();  // the status data is written when the project goes
  EXPECT_EQ(done.back(), "status");
}

}  // namespace
}  // namespace nova::test

namespace nova::test {
namespace {

// An executable that carries the whole game (its archive holds "install.dat" with the
// data-complete flag) starts alone: no "game.dat" beside it and no disc are needed.
TEST_F(ProjectTest, AGameWholeInItsExecutableNeedsNoGameDat) {
  TNovaInstallSet set;
  set.ProjectName = Utf8ToSjis("テスト");
  set.DataComplete = 1;
  TKtMemoryStream install;
  set.Save(install);
  RegisterFile("install.dat", install.Data());
  RegisterFile("nova.npb", ProjectBytes(BasicProject(112)));
  auto p = Make(false);
  p->Create();
  EXPECT_FALSE(Quitting());
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(p->FailureReason, "");
  ASSERT_NE(p->CallMan()->CurrentPage(), nullptr);
}

TEST_F(ProjectTest, FailuresAreNamedForTheExitCode) {
  struct Case {
    const char* what;
    std::function<void()> setup;
    bool folderParams, missingData;
    const char* reason;
  } cases[] = {
      {"no install.dat", [] {}, false, true, "インストールし直してください"},
      {"no start page",
       [] {
         TProjectFile p = BasicProject(112);
         p.StartPage = "none.nsb";
         RegisterFile("nova.npb", ProjectBytes(p));
       },
       true, false, "スタートページがありません"},
      {"empty project", [] { RegisterFile("nova.npb", ""); }, true, false, "プロジェクトがありません"},
  };
  for (const Case& c : cases) {
    FileManager().Archive(0)->RemoveFile("nova.npb");
    SetQuitting(false);
    c.setup();
    auto p = Make(c.folderParams);
    p->Create();
    EXPECT_TRUE(Quitting()) << c.what;
    EXPECT_EQ(SjisToUtf8(p->FailureReason), c.reason) << c.what;
    EXPECT_EQ(p->MissingGameData, c.missingData) << c.what;
  }
}

// A screen no display can show is refused before anything is allocated for it.
TEST_F(ProjectTest, AbsurdScreenSizesAreRefused) {
  for (auto [w, h] : {std::pair{100000, 600}, std::pair{800, 70000}, std::pair{0, 600}, std::pair{800, -5}}) {
    TProjectFile pf = BasicProject(112);
    pf.ScreenWidth = w;
    pf.ScreenHeight = h;
    RegisterFile("nova.npb", ProjectBytes(pf));
    auto p = Make();
    std::string error = ErrorOf([&] { p->Create(); });
    EXPECT_NE(error.find("nova.npb"), std::string::npos) << w << "x" << h << ": " << error;
    EXPECT_EQ(p->CallMan(), nullptr);
  }
  TProjectFile pf = BasicProject(112);
  pf.ScreenWidth = kMaxScreenSide;
  pf.ScreenHeight = 1;
  RegisterFile("nova.npb", ProjectBytes(pf));
  SetQuitting(false);
  auto p = Make();
  p->Create();
  EXPECT_FALSE(Quitting());
}

// A name without an extension is no media file: a file of a folder on another disc asks for it.
TEST_F(ProjectTest, AFileWithoutExtensionOnAnotherDiscPrompts) {
  TProjectFile pf = BasicProject(112);
  pf.FolderDisks = {{"data", 2}};
  RegisterFile("nova.npb", ProjectBytes(pf));
  auto p = Make();
  p->Create();
  boxes.clear();
  EXPECT_FALSE(p->CheckFile("data\\readme"));
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], "テスト|ディスク2を入れてから[OK]をクリックしてください");
}

// The project's file functions see the game's file space, in-memory "save:" files included.
TEST_F(ProjectTest, FileFunctionsSeeTheFileManager) {
  RegisterFile("nova.npb", ProjectBytes(BasicProject(112)));
  RegisterFile("data\\note.txt", "one\r\ntwo\rthree\n");
  RegisterFile("empty.txt", "");
  RegisterFile("save:p.nsb", "stored");
  auto p = Make();
  p->Create();
  auto run = [&](const std::string& text) {
    std::unique_ptr<TNovaParser> e = CompileExpr(text);
    e->Execute(*store, *funcs);
    return e->Result ? SjisToUtf8(e->Result->GetAsStr()) : std::string("none");
  };
  EXPECT_EQ(run("FileExists(\"data\\\\note.txt\")"), "TRUE");
  EXPECT_EQ(run("FileExists(\"DATA\\\\NOTE.TXT\")"), "TRUE");
  EXPECT_EQ(run("FileExists(\"save:p.nsb\")"), "TRUE");
  EXPECT_EQ(run("FileExists(\"missing.txt\")"), "FALSE");
  EXPECT_EQ(run("FileExists(\"\")"), "FALSE");
  TParamCollectionItem* v = store->AddParam(PT_STR);
  store->SetParamName(v, "v");
  v->Param->SetAsStr("keep");
  EXPECT_EQ(run("LoadTextFile(v, \"missing.txt\")"), "FALSE");
  EXPECT_EQ(run("LoadTextFile(v, \"empty.txt\")"), "FALSE");
  EXPECT_EQ(v->Param->GetAsStr(), "keep");
  EXPECT_EQ(run("LoadTextFile(v, \"data\\\\note.txt\")"), "TRUE");
  EXPECT_EQ(run("ArrayToString(v, \"|\")"), "one|two|three");
  EXPECT_EQ(run("GetSaveCaption(1)"), "");
  EXPECT_EQ(run("ListSaveCaption()"), "0");
  EXPECT_EQ(run("@ScrWidth"), "801");
  p.reset();
  EXPECT_EQ(run("FileExists(\"data\\\\note.txt\")"), "none");  // gone with the project
}

// A page that must be rebuilt stops the game with the rebuild warning.
TEST_F(ProjectTest, AnOutdatedPageWarnsAndCloses) {
  RegisterFile("nova.npb", ProjectBytes(BasicProject(112)));
  PageBuilder old(102);
  Calc(old, 0, "x = 1");
  old.Register("p.nsb");
  PageBuilder start;
  Jump(start, "p.nsb", 0);
  start.Register("start.nsb");
  auto p = Make();
  p->Create();
  p->RunFrame();
  EXPECT_TRUE(Quitting());
  EXPECT_TRUE(CloseRequested());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "警告|p.nsb\r\nリビルドしてください");
  EXPECT_EQ(SjisToUtf8(p->FailureReason), "p.nsb\r\nリビルドしてください");
}

}  // namespace
}  // namespace nova::test
