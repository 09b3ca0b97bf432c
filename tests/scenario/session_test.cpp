// The game session: start-up, frames, the trace file and the variable dump at exit.
#include <gtest/gtest.h>

#include "scenario/game_session.h"
#include "scenario_test_util.h"
#include "support/test_support.h"

namespace nova::test {
namespace {

TEST(GameSessionTest, RunsFramesThenDumpsAfterTheExitPage) {
  FreshFileManager();
  SetQuitting(false);
  FrameClock() = TFrameClock{};
  TProjectFile pf;
  pf.Name = "game";
  pf.StartPage = "start.nsb";
  pf.ExitPage = "exit.nsb";
  pf.ScreenWidth = 320;
  TKtMemoryStream npb;
  WriteProjectFile(npb, pf);
  RegisterFile("nova.npb", npb.Data());
  PageBuilder sub(kPageVersionMax, 4);
  Calc(sub, 0, "@Result = @ParamStr[0] ++ \"!\"");
  sub.Register("sub.nsb");
  PageBuilder start;
  VarNew(start, "w", 1, "@ScrWidth");
  VarNew(start, "t", 4, "@Title");
  VarNew(start, "r", 4, "");
  CallCmd(start, "sub.nsb", "r", {"\"名前\""});
  Wait(start, "", "", "", 0);
  start.Register("start.nsb");
  PageBuilder exitPage;
  Calc(exitPage, 0, "w = w + 1");
  exitPage.Register("exit.nsb");

  TempDir dir;
  TGameSessionOptions o;
  o.Project.ExecutableFolder = dir.Path();
  o.Project.HadFolderParameters = true;
  o.TraceFile = dir / "trace.txt";
  o.DumpVarsFile = dir / "vars.jsonl";
  {
    TGameSession session(o);
    session.Start();
    ASSERT_FALSE(Quitting());
    session.RunInterpreter();
    EXPECT_FALSE(session.ServiceRequests());
    session.Finish();
  }
  std::string dump = ReadFile(dir / "vars.jsonl");
  EXPECT_NE(dump.find("\"name\": \"w\", \"type\": \"int\", \"dims\": [], \"values\": [321]"), std::string::npos) << dump;
  EXPECT_NE(dump.find("\"values\": [\"game\"]"), std::string::npos) << dump;
  EXPECT_NE(dump.find("\"values\": [\"名前!\"]"), std::string::npos) << dump;
  std::string trace = ReadFile(dir / "trace.txt");
  EXPECT_EQ(trace.substr(0, 24), "00000000 : start.nsb(1)\n");
  EXPECT_NE(trace.find("00000000 : exit.nsb(1)\n"), std::string::npos) << trace;
  SetQuitting(false);
}

}  // namespace
}  // namespace nova::test
