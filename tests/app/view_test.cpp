#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "app/view.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/process.h"
#include "support/recording_dialogs.h"
#include "support/test_support.h"
#include "view_fixture.h"

namespace nova {
namespace {

// Records what the window asks of the game; a game of 640 x 480 by default.
class RecordingGame : public TGame {
public:
  std::vector<std::string> Log;
  bool Project = true;
  bool LoadRequest = false;
  bool QuitInInterpreter = false;
  bool FailProject = false;
  int Width = 640, Height = 480;
  TInputState InputState;
  TGameHost* Host = nullptr;

  void Create(TGameHost& host) override {
    Host = &host;
    Log.push_back("Create");
    if (FailProject) throw ENovaError(Utf8ToSjis("プロジェクトがありません"));
  }
  bool Running() const override { return Project; }
  int32_t ScreenWidth() const override { return Width; }
  int32_t ScreenHeight() const override { return Height; }
  std::string Title() const override { return "Game"; }
  bool SleepFlag() const override { return false; }
  TInputState& Input() override { return InputState; }
  bool Frame() override {
    Log.push_back("Frame");
    InputState.BeginFrame();
    if (QuitInInterpreter) SetQuitting(true);
    bool r = LoadRequest;
    LoadRequest = false;
    return r;
  }
  std::vector<TRect> Paint(TPicture& panel) override {
    Log.push_back("Paint");
    panel.Pixels[0] = 0x123456;
    return {TRect{0, 0, 1, 1}};
  }
  void Suspend() override {
    Log.push_back("Suspend");
    InputState.ClearKeys();
  }
  void Resume() override { Log.push_back("Resume"); }
  void Shutdown() override { Log.push_back("Shutdown"); }
  std::string FailureReason() const override { return ""; }
  int ExitCode() const override { return 0; }

  int Count(const std::string& step) const { return static_cast<int>(std::count(Log.begin(), Log.end(), step)); }
};

class ViewTest : public test::ViewFixture<RecordingGame> {
protected:
  // The view created, the game's log of its creation cleared.
  TFormView& Make() {
    ViewFixture::Make();
    game.Log.clear();
    return *view;
  }
  test::RecordingDialogs& Dialogs() { return dynamic_cast<test::RecordingDialogs&>(platform->Dialogs()); }
  void Send(InputKind kind, int x, int y, MouseButton b = MouseButton::Left) {
    TInputEvent e;
    e.Kind = kind, e.X = x, e.Y = y, e.Button = b;
    view->HandleEvent(e);
  }
};

TEST_F(ViewTest, StartUpAndTeardownRunInOrder) {
  view = std::make_unique<TFormView>(*platform, game, TStartupInfo{});
  view->Create();
  EXPECT_FALSE(view->StartupFailed());
  EXPECT_EQ(game.Log, (std::vector<std::string>{"Create"}));
  EXPECT_EQ(game.Host, view.get());
  game.Log.clear();
  view->Close();
  EXPECT_TRUE(Quitting());
  EXPECT_EQ(game.Log, (std::vector<std::string>{"Shutdown"}));
  view->Close();  // once only
  EXPECT_EQ(game.Count("Shutdown"), 1);
}

TEST_F(ViewTest, StartUpErrorIsShownAndCloses) {
  game.FailProject = true;
  view = std::make_unique<TFormView>(*platform, game, TStartupInfo{});
  view->Create();
  EXPECT_TRUE(view->StartupFailed());
  EXPECT_TRUE(Quitting());
  EXPECT_TRUE(CloseRequested());
  ASSERT_EQ(Dialogs().Boxes.size(), 1u);
  EXPECT_NE(Dialogs().Boxes[0].find("プロジェクトがありません"), std::string::npos);
}

TEST_F(ViewTest, WindowIsSizedCentredAndThePanelPlaced) {
  game.Width = 800, game.Height = 600;
  Make();
  EXPECT_EQ(view->ClientWidth(), 800);
  EXPECT_EQ(view->ClientHeight(), 600 + kDockHeight);
  EXPECT_EQ(kDockHeight, 22);
  EXPECT_EQ(Window().ClientWidth(), 800);
  EXPECT_EQ(Window().Left(), (1920 - 800) / 2);
  EXPECT_EQ(Window().Top(), (1080 - 622) / 2);
  EXPECT_EQ(view->Panel().Left, 0);
  EXPECT_EQ(view->Panel().Top, kDockHeight);
  EXPECT_EQ(Window().Caption(), "NovaPlayer");
}

TEST(PanelPlacement, HalvesRoundTowardZero) {
  struct Case {
    int cw, ch, sw, sh;
    bool full;
    int left, top;
  } cases[] = {
      {640, 502, 640, 480, false, 0, 22}, {641, 503, 640, 480, true, 0, 11}, {1024, 768, 640, 480, true, 192, 144},
      {639, 479, 640, 480, true, 0, 0},    // -1 / 2 rounds toward zero
      {637, 477, 640, 480, true, -1, -1}, {700, 480, 640, 480, false, 30, 22},
  };
  for (const Case& c : cases) {
    TRect r = PlacePanel(c.cw, c.ch, c.sw, c.sh, c.full);
    EXPECT_EQ(r.Left, c.left) << c.cw;
    EXPECT_EQ(r.Top, c.top) << c.ch;
    EXPECT_EQ(r.Width(), c.sw);
    EXPECT_EQ(r.Height(), c.sh);
  }
  TRect at = CentreIn(TRect::FromSize(0, 30, 1921, 1050), 640, 502);
  EXPECT_EQ(at.Left, 640);
  EXPECT_EQ(at.Top, 30 + 274);
  EXPECT_EQ(CentreIn(TRect::FromSize(0, 0, 639, 400), 640, 502).Left, 0);  // -1 / 2 -> 0
}

TEST_F(ViewTest, FrameStepsRunInOrder) {
  Make();
  view->Frame();
  EXPECT_EQ(game.Log, (std::vector<std::string>{"Frame", "Paint"}));
  EXPECT_EQ(Window().LastPicture().Row(kDockHeight)[0], 0x123456u);  // the panel lies below the dock
}

TEST_F(ViewTest, WithoutProjectAFrameDoesNothing) {
  game.Project = false;
  Make();
  view->Frame();
  EXPECT_TRUE(game.Log.empty());
}

TEST_F(ViewTest, QuittingInTheInterpreterEndsTheFrame) {
  game.QuitInInterpreter = true;
  Make();
  view->Frame();
  EXPECT_EQ(game.Log, (std::vector<std::string>{"Frame"}));
}

TEST_F(ViewTest, DrawingDivisorPaintsEveryNthFrame) {
  Make();
  FrameClock().DrawDivisor = 4;
  int presentedBefore = Window().PresentCount();
  for (int i = 0; i < 8; ++i) view->Frame();
  EXPECT_EQ(game.Count("Frame"), 8);
  EXPECT_EQ(game.Count("Paint"), 2);
  EXPECT_EQ(Window().PresentCount() - presentedBefore, 2);
}

TEST_F(ViewTest, AGameLoadSkipsOneDrawing) {
  Make();
  game.LoadRequest = true;
  view->Frame();
  EXPECT_EQ(game.Count("Paint"), 0);
  view->Frame();
  EXPECT_EQ(game.Count("Paint"), 1);
}

TEST_F(ViewTest, HeadlessRunCountsSixteenMsPerFrame) {
  Make();
  view->Run(10);
  EXPECT_TRUE(view->Closed());
  EXPECT_EQ(view->FramesDriven(), 10u);
  EXPECT_EQ(game.Count("Frame"), 10);
  EXPECT_EQ(FrameClock().Total, 160u);
  EXPECT_EQ(FrameClock().LastDelta, 16u);
  EXPECT_EQ(game.Log.back(), "Shutdown");
}

TEST_F(ViewTest, CloseRequestEndsTheLoop) {
  Make();
  PostCloseRequest();
  view->Run();
  EXPECT_TRUE(view->Closed());
  EXPECT_EQ(game.Count("Frame"), 0);
}

TEST_F(ViewTest, MouseGoesToBothScreensInPanelCoordinates) {
  Make();
  TInputState& in = view->Input();
  in.Displayed = 1;
  Send(InputKind::MouseMove, 100, 50 + kDockHeight);
  EXPECT_EQ(in.Screens[0].X, 100);
  EXPECT_EQ(in.Screens[0].Y, 50);
  EXPECT_EQ(in.Screens[1].Y, 50);
  Send(InputKind::MouseDown, 100, 50 + kDockHeight, MouseButton::Right);
  for (const TScreenMouseState& s : in.Screens) {
    EXPECT_TRUE(s.RightHeld);
    EXPECT_FALSE(s.LeftHeld);
  }
  EXPECT_TRUE(in.Screens[1].RightPressedNow);
  EXPECT_FALSE(in.Screens[0].RightPressedNow);  // only the displayed screen
  Send(InputKind::MouseUp, 5, 5, MouseButton::Right);  // released anywhere
  EXPECT_FALSE(in.Screens[0].RightHeld);
  EXPECT_FALSE(in.Screens[1].RightHeld);
  view->HandleEvent(TInputEvent{InputKind::Wheel, 0, false, MouseButton::None, 0, 0, -1});
  EXPECT_TRUE(in.Screens[1].WheelDownNow);
  view->Frame();  // the frame hands the "now" flags over
  EXPECT_TRUE(in.Screens[1].RightPressedThisFrame);
  EXPECT_TRUE(in.Screens[1].WheelDownThisFrame);
  EXPECT_FALSE(in.Screens[1].RightPressedNow);
  Send(InputKind::MouseDown, 10, 5);  // on the dock: not the game's
  EXPECT_FALSE(in.Screens[0].LeftHeld);
}

TEST_F(ViewTest, AutoRepeatDoesNotPressAgain) {
  Make();
  TInputState& in = view->Input();
  Key(InputKind::KeyDown, 65);
  Key(InputKind::KeyDown, 65, true);
  Key(InputKind::KeyDown, 65, true);
  EXPECT_EQ(in.KeyDownCount(), 1);
  EXPECT_TRUE(in.IsKeyHeld(65));
  view->Frame();
  EXPECT_TRUE(in.IsKeyPressedThisFrame(65));
  Key(InputKind::KeyDown, 65, true);
  view->Frame();
  EXPECT_FALSE(in.IsKeyPressedThisFrame(65));  // a repeat is no new press
  Key(InputKind::KeyUp, 65);
  EXPECT_FALSE(in.IsKeyHeld(65));
  Key(InputKind::KeyDown, 300);  // no such virtual key
  EXPECT_EQ(in.KeyDownCount(), 1);
}

TEST_F(ViewTest, InactiveWindowTakesNoKeysAndRunsNoFrames) {
  Make();
  TInputState& in = view->Input();
  Key(InputKind::KeyDown, 13);
  view->HandleEvent(TInputEvent{InputKind::FocusLost});
  EXPECT_FALSE(view->Active());
  EXPECT_FALSE(in.IsKeyHeld(13));  // keys cleared
  EXPECT_EQ(game.Count("Suspend"), 1);
  Key(InputKind::KeyDown, 32);
  Send(InputKind::MouseDown, 10, 100);
  EXPECT_FALSE(in.IsKeyHeld(32));
  EXPECT_FALSE(in.Screens[0].LeftHeld);
  for (int i = 0; i < 100; ++i) platform->Clock().FrameStep();  // 1600 ms away
  view->HandleEvent(TInputEvent{InputKind::FocusGained});
  EXPECT_EQ(FrameClock().LastTick, 1600u);  // the frame clock starts again from now
  view->Run(1);
  EXPECT_EQ(game.Count("Resume"), 1);
  EXPECT_EQ(view->FramesDriven(), 1u);
  EXPECT_EQ(FrameClock().Total, 16u);  // the time away is not counted
  EXPECT_EQ(FrameClock().LastDelta, 16u);
}

TEST_F(ViewTest, FullScreenScalesTheSceneAndShowsTheToolbarOnRowZero) {
  Make();
  view->SetFullScreen(true);
  EXPECT_TRUE(view->FullScreen());
  EXPECT_TRUE(Window().FullScreen());
  EXPECT_EQ(view->ClientWidth(), 640);
  EXPECT_EQ(view->ClientHeight(), 480);
  EXPECT_EQ(view->Panel().Top, 0);
  EXPECT_FALSE(view->ToolbarVisible());
  Send(InputKind::MouseMove, 300, 0);
  EXPECT_TRUE(view->ToolbarVisible());
  Send(InputKind::MouseMove, 30, 10);  // onto its buttons: stays
  EXPECT_TRUE(view->ToolbarVisible());
  Send(InputKind::MouseMove, 300, 200);
  EXPECT_FALSE(view->ToolbarVisible());
  EXPECT_EQ(view->Input().Screens[0].Y, 200);
  view->SetFullScreen(false);
  EXPECT_EQ(view->ClientHeight(), 480 + kDockHeight);
  EXPECT_EQ(view->Panel().Top, kDockHeight);
  EXPECT_TRUE(view->ToolbarVisible());
  EXPECT_EQ(game.Count("Suspend"), 2);
  EXPECT_EQ(game.Count("Resume"), 2);
}

TEST_F(ViewTest, ToolbarButtonsActOnRelease) {
  Make();
  TRect screen = TToolbar::ButtonRect(ToolButton::Screen);
  Send(InputKind::MouseDown, screen.Left + 5, screen.Top + 5);
  EXPECT_FALSE(view->FullScreen());
  Send(InputKind::MouseUp, screen.Left + 5, screen.Top + 5);
  EXPECT_TRUE(view->FullScreen());
}

TEST_F(ViewTest, ConfirmQuitAsksWithTheProjectName) {
  Make();
  MsgResult answer = MsgResult::No;
  Dialogs().SetAnswer([&](const std::string&, MsgButtons buttons) {
    EXPECT_EQ(buttons, MsgButtons::YesNo);
    EXPECT_TRUE(Quitting());  // frames stop while the question is open
    return answer;
  });
  view->ConfirmQuit();
  ASSERT_EQ(Dialogs().Boxes.size(), 1u);
  EXPECT_EQ(Dialogs().Boxes[0], "Game|「Game」を終了しますか？");
  EXPECT_FALSE(Quitting());
  EXPECT_FALSE(CloseRequested());
  answer = MsgResult::Yes;
  TRect quit = TToolbar::ButtonRect(ToolButton::Quit);
  Send(InputKind::MouseDown, quit.Left + 3, quit.Top + 3);
  Send(InputKind::MouseUp, quit.Left + 3, quit.Top + 3);
  EXPECT_TRUE(Quitting());
  EXPECT_TRUE(CloseRequested());
}

TEST_F(ViewTest, MenuEntriesSetBudgetAndDivisor) {
  Make();
  struct Case {
    MenuEntry entry;
    uint32_t budget, divisor;
  } cases[] = {
      {MenuEntry::Speed4, 64, 1}, {MenuEntry::Speed8, 128, 1}, {MenuEntry::NoWait, 1, 1}, {MenuEntry::Speed1, 16, 1},
      {MenuEntry::Fps2, 16, 2},   {MenuEntry::FpsAuto, 16, 2}, {MenuEntry::Fps10, 16, 10}, {MenuEntry::Fps4, 16, 4},
      {MenuEntry::Fps1, 16, 1},
  };
  for (const Case& c : cases) {
    view->ChooseMenuEntry(c.entry);
    EXPECT_EQ(FrameClock().FrameBudget, c.budget);
    EXPECT_EQ(FrameClock().DrawDivisor, c.divisor);
  }
  view->ChooseMenuEntry(MenuEntry::FullScreen);
  EXPECT_TRUE(view->FullScreen());
}

TEST_F(ViewTest, TheProjectTitleBecomesTheCaption) {
  Make();
  SetApplicationTitle(Utf8ToSjis("冒険"));
  view->Frame();
  EXPECT_EQ(Window().Caption(), "冒険");
  SetApplicationTitle("");
}

// A long interpreter pass lets the window act on a close request and nothing else.
TEST_F(ViewTest, ALongPassStillTakesTheCloseRequest) {
  Make();
  Window().Inject(TInputEvent{InputKind::KeyDown, 65});
  Window().Inject(TInputEvent{InputKind::Close});
  view->KeepResponsive();  // the pass has run for no time: nothing happens
  EXPECT_FALSE(CloseRequested());
  for (int i = 0; i < 70; ++i) platform->Clock().FrameStep();  // 1120 ms into the pass
  view->KeepResponsive();
  EXPECT_TRUE(Quitting());
  EXPECT_TRUE(CloseRequested());
  EXPECT_FALSE(game.Input().IsKeyHeld(65));  // the key waits for the frame loop
  view->Run();
  EXPECT_TRUE(view->Closed());
}

}  // namespace
}  // namespace nova
