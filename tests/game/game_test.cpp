// The composition root: creation and teardown order, frames, the trace file and the variable
// dump at exit, the variables each subsystem binds.
#include <gtest/gtest.h>

#include "archive/vrfiles.h"
#include "base/encoding.h"
#include "base/process.h"
#include "game/nova_game.h"
#include "objects/scene.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "platform/trace_log.h"
#include "scenario/page_format.h"
#include "scenario/project.h"
#include "scenario/project_file.h"
#include "support/page_builder.h"
#include "support/quiet_host.h"
#include "support/test_support.h"

namespace nova::test {
namespace {

// A headless window with three display modes.
class ModesWindow : public THeadlessWindow {
public:
  std::vector<TDisplayMode> DisplayModes() override {
    return {{640, 480, 32, 60}, {800, 600, 32, 60}, {1024, 768, 32, 60}};
  }
};

// A window that remembers what the game asked of it.
class FakeHost : public TGameHost {
public:
  TPlatformWindow* MainWindow() override { return &window; }
  ModesWindow window;
  bool FullScreen() override { return full; }
  void SetFullScreen(bool on) override { full = on; }
  int DisplayModeCount() override { return 3; }
  void ApplyScreenMode() override { ++modeChanges; }
  void MoveCursor(int32_t x, int32_t y) override { cursor = {x, y}; }
  void KeepResponsive() override { ++pumps; }
  bool full = false;
  int modeChanges = 0, pumps = 0;
  TPoint cursor;
};

class GameTest : public ::testing::Test {
protected:
  void SetUp() override {
    FreshFileManager();
    ResetRunState();
  }
  void TearDown() override {
    SetQuitting(false);
    ClearCloseRequest();
    ResetFileManager(false);
  }
  void Register(const std::string& name, const std::string& bytes) {
    FileManager().Archive(0)->AddMemoryFile(name)->Memory->Assign(bytes);
  }
  void RegisterProject(const std::string& start, const std::string& exitPage = "") {
    TProjectFile pf;
    pf.Name = "game";
    pf.StartPage = start;
    pf.ExitPage = exitPage;
    pf.ScreenWidth = 320;
    TKtMemoryStream npb;
    WriteProjectFile(npb, pf);
    Register("nova.npb", npb.Data());
  }
  TGameConfig Config() { return FolderGameConfig(dir.Path()); }
  TempDir dir;
  THeadlessPlatform platform;
  FakeHost host;
};

// A page of Calc commands (each with the continue flag) ending in a wait for ever.
std::string CalcPage(const std::vector<std::string>& statements, bool waitForEver = true) {
  TPageFile page;
  page.PropSetRecords.assign(kCommandCount, std::string(kPropSetBytes, '\0'));
  int line = 1;
  auto add = [&](int code, std::vector<TFieldValue> fields, uint8_t cont) {
    TCommandRecord rec;
    rec.CodeByte = static_cast<uint8_t>(code);
    rec.Continue = cont;
    rec.Line = line++;
    rec.Fields = std::move(fields);
    page.Commands.push_back(std::move(rec));
  };
  for (const std::string& s : statements) {
    TFieldValue v;
    v.Kind = TFieldKind::Expr;
    v.Expr = CompileExpression(Utf8ToSjis(s));
    std::vector<TFieldValue> fields;
    fields.push_back(std::move(v));
    add(FindCommandByName("Calc"), std::move(fields), 1);
  }
  if (waitForEver) {
    std::vector<TFieldValue> fields(3);
    for (auto& f : fields) {
      f.Kind = TFieldKind::Expr;
      f.Expr = std::make_unique<TNovaParser>();
    }
    add(FindCommandByName("Wait"), std::move(fields), 0);
  }
  TKtMemoryStream m;
  WritePageFile(m, page);
  return m.Data();
}

TEST_F(GameTest, CreatesAndTearsDownInTheFixedOrder) {
  RegisterProject("start.nsb", "exit.nsb");
  Register("start.nsb", CalcPage({}));
  Register("exit.nsb", CalcPage({}, false));
  TraceLog().Init(dir / "points.txt");
  {
    TNovaGame game(platform, Config());
    game.Create(host);
    EXPECT_TRUE(game.Running());
    game.Shutdown();
    EXPECT_FALSE(game.Running());
  }
  TraceLog().Final();
  EXPECT_EQ(ReadFile(dir / "points.txt"),
            "DXSound.Initialize\nNovaInitialize\nTProject.Create\nMediaInit\n"
            "Project.Free\nSysFuncMan.Free\nParamMan.Free\nNovaFinalize\nMediaFinal\n");
}

TEST_F(GameTest, RunsFramesThenDumpsAfterTheExitPage) {
  RegisterProject("start.nsb", "exit.nsb");
  Register("start.nsb", CalcPage({"w = @ScrWidth", "t = @Title", "k = @UpdateCount"}));
  Register("exit.nsb", CalcPage({"w = w + 1"}, false));
  TGameConfig config = Config();
  config.TraceFile = dir / "trace.txt";
  config.DumpVarsFile = dir / "vars.jsonl";
  {
    TNovaGame game(platform, config);
    game.Create(host);
    ASSERT_FALSE(Quitting());
    TParamCollection& store = *game.Store();
    for (const char* v : {"w", "t", "k"}) {
      TParamCollectionItem* item = store.AddParam(std::string(v) == "t" ? 4 : 1);
      store.SetParamName(item, v);
    }
    EXPECT_FALSE(game.Frame());
    EXPECT_EQ(FrameClock().FrameCount, 1u);
    game.Shutdown();
    EXPECT_EQ(game.ExitCode(), 0);
  }
  std::string dump = ReadFile(dir / "vars.jsonl");
  EXPECT_NE(dump.find("\"name\": \"w\", \"type\": \"int\", \"dims\": [], \"values\": [321]"), std::string::npos) << dump;
  EXPECT_NE(dump.find("\"values\": [\"game\"]"), std::string::npos) << dump;
  std::string trace = ReadFile(dir / "trace.txt");
  EXPECT_EQ(trace.substr(0, 24), "00000000 : start.nsb(1)\n");
  EXPECT_NE(trace.find("00000000 : exit.nsb(1)\n"), std::string::npos) << trace;
}

TEST_F(GameTest, WindowAndInputVariablesReachTheHostAndTheScene) {
  RegisterProject("start.nsb");
  Register("start.nsb", CalcPage({}));
  TNovaGame game(platform, Config());
  game.Create(host);
  TParamCollection& store = *game.Store();
  auto sys = [&](const char* name) -> TCustomParam& { return *store.FindParam(name)->Param; };
  sys("@FullScr").SetAsBool(true);
  EXPECT_TRUE(host.full);
  EXPECT_TRUE(sys("@FullScr").GetAsBool());
  // The display modes are media's: the window's modes at least as large as the screen, the
  // first one chosen.
  EXPECT_EQ(sys("@DisplayModeCount").GetAsInt(), 3);
  EXPECT_EQ(sys("@DisplayModeIndex").GetAsInt(), 0);
  sys("@DisplayModeIndex").SetAsInt(2);
  EXPECT_EQ(sys("@DisplayModeIndex").GetAsInt(), 2);
  EXPECT_EQ(host.modeChanges, 1);
  TInputState& input = game.Input();
  input.Screens[0].X = 40, input.Screens[0].Y = 7;
  input.Screens[0].LeftPressedNow = true;
  input.SetKeyState(13, true);
  input.SetKeyPressed(13);
  game.Frame();  // the input step hands "now" over to this frame
  EXPECT_TRUE(sys("@LClick").GetAsBool());
  EXPECT_TRUE(sys("@KeyPush").GetBoolAt(13));
  EXPECT_TRUE(sys("@KeyClick").GetBoolAt(13));
  EXPECT_EQ(sys("@MouseX").GetAsInt(), 40);
  sys("@MouseY").SetAsInt(99);
  EXPECT_EQ(host.cursor, (TPoint{40, 99}));
  EXPECT_EQ(sys("@ScrWidth").GetAsInt(), 320);
  EXPECT_EQ(sys("@TickCount").GetAsInt(), 0);
  EXPECT_EQ(sys("@Year").GetAsInt(), 2000);  // the headless clock's day
}

// A window closed by its user while the third long-pass check runs.
class ClosingHost : public FakeHost {
public:
  void KeepResponsive() override {
    if (++pumps == 3) {
      SetQuitting(true);
      PostCloseRequest();
    }
  }
};

TEST_F(GameTest, ARunawayPageKeepsTheWindowAnsweringAndStopsOnQuitting) {
  RegisterProject("start.nsb");
  // "n = n + 1", then a jump back to it, both continuing: the pass never ends on its own.
  TPageFile loop;
  TKtMemoryStream first(CalcPage({"n = n + 1"}, false));
  ReadPageFile(first, loop);
  TCommandRecord jump;
  jump.CodeByte = static_cast<uint8_t>(FindCommandByName("Jump"));
  jump.Continue = 1;
  jump.Fields.resize(3);
  jump.Fields[0].Kind = TFieldKind::String;
  jump.Fields[0].Str = "start.nsb";
  jump.Fields[1].Kind = TFieldKind::Int32;
  jump.Fields[2].Kind = TFieldKind::Expr;
  jump.Fields[2].Expr = std::make_unique<TNovaParser>();
  loop.Commands.push_back(std::move(jump));
  TKtMemoryStream bytes;
  WritePageFile(bytes, loop);
  Register("start.nsb", bytes.Data());
  ClosingHost closing;
  TNovaGame game(platform, Config());
  game.Create(closing);
  TParamCollectionItem* n = game.Store()->AddParam(1);
  game.Store()->SetParamName(n, "n");
  game.Frame();
  EXPECT_EQ(closing.pumps, 3);
  EXPECT_TRUE(CloseRequested());
  EXPECT_GE(n->Param->GetAsInt(), 4096);  // the pass ran until the window was closed
}

TEST_F(GameTest, TransitionsAimTheZoomAtTheScreenAndDrawFromTheGamesRandom) {
  RegisterProject("start.nsb");
  Register("start.nsb", CalcPage({}));
  TNovaGame game(platform, Config());
  game.Create(host);
  const TWipeContext& wipes = game.Scene()->WipeContext();
  EXPECT_EQ(wipes.Defaults.Pairs[WP_ZOOMIN], (std::array<int32_t, 2>{160, 240}));
  EXPECT_EQ(wipes.Defaults.Pairs[WP_BLINDH], (std::array<int32_t, 2>{20, 1}));
  ASSERT_TRUE(wipes.Random);
  SetRandomSeed(5);
  EXPECT_EQ(wipes.Random(1000), TWipeRandomLcg(5)(1000));
  EXPECT_EQ(RandomSeed(), 5u * 134775813u + 1u);  // the game's Random went on
}

}  // namespace
}  // namespace nova::test
