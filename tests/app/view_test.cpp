#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "app/app_environment.h"
#include "app/view.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/process.h"

namespace nova {
namespace {

// Records the order of the steps; a game of 640 x 480 by default.
class TRecordingHooks : public TGameHooks {
public:
  std::vector<std::string> Log;
  bool Project = true;
  bool LoadRequest = false;
  bool QuitInInterpreter = false;
  bool FailProject = false;
  int Width = 640, Height = 480;

  void Attach(TFormView&, TPlatform&) override { Log.push_back("Attach"); }
  void Configure(const TStartupInfo&) override { Log.push_back("Configure"); }
  void SeedRandom(uint32_t) override { Log.push_back("SeedRandom"); }
  void CreateVariableStore() override { Log.push_back("CreateVariableStore"); }
  void InitSound(bool) override {
    Log.push_back("InitSound");
    throw ENovaError("no sound device");  // ignored
  }
  void CreateDisplaySystem() override { Log.push_back("CreateDisplaySystem"); }
  void CreateProject() override {
    Log.push_back("CreateProject");
    if (FailProject) throw ENovaError(Utf8ToSjis("プロジェクトがありません"));
  }
  bool HasProject() override { return Project; }
  int32_t ProjectWidth() override { return Width; }
  int32_t ProjectHeight() override { return Height; }
  std::string ProjectName() override { return "Game"; }
  void StartMedia(int, int) override { Log.push_back("StartMedia"); }
  void SetSceneSize(int, int) override { Log.push_back("SetSceneSize"); }
  void ProcessInput(TInputState& input) override {
    Log.push_back("ProcessInput");
    input.BeginFrame();
  }
  void RunInterpreter() override {
    Log.push_back("RunInterpreter");
    if (QuitInInterpreter) SetQuitting(true);
  }
  void UpdateScene() override { Log.push_back("UpdateScene"); }
  bool ServiceRequests() override {
    Log.push_back("ServiceRequests");
    bool r = LoadRequest;
    LoadRequest = false;
    return r;
  }
  void PaintScene(TPicture& panel) override {
    Log.push_back("PaintScene");
    panel.Pixels[0] = 0x123456;
  }
  void SuspendMedia() override { Log.push_back("SuspendMedia"); }
  void ResumeMedia() override { Log.push_back("ResumeMedia"); }
  void ClearKeys() override { Log.push_back("ClearKeys"); }
  void DestroyProject() override { Log.push_back("DestroyProject"); }
  void DestroySystemFunctions() override { Log.push_back("DestroySystemFunctions"); }
  void DestroyVariableStore() override { Log.push_back("DestroyVariableStore"); }
  void DestroyDisplaySystem() override { Log.push_back("DestroyDisplaySystem"); }
  void FinalizeMedia() override { Log.push_back("FinalizeMedia"); }

  int Count(const std::string& step) const { return static_cast<int>(std::count(Log.begin(), Log.end(), step)); }
};

class ViewTest : public testing::Test {
protected:
  void SetUp() override {
    FrameClock() = TFrameClock{};
    SetQuitting(false);
    ClearCloseRequest();
    platform = TPlatform::Create(true);
  }
  void TearDown() override {
    SetQuitting(false);
    ClearCloseRequest();
    FrameClock() = TFrameClock{};
  }
  TFormView& Make() {
    view = std::make_unique<TFormView>(*platform, hooks, TStartupInfo{});
    view->Create();
    hooks.Log.clear();
    return *view;
  }
  THeadlessWindow& Window() { return dynamic_cast<THeadlessWindow&>(view->Window()); }
  void Send(InputKind kind, int x, int y, MouseButton b = MouseButton::Left) {
    TInputEvent e;
    e.Kind = kind, e.X = x, e.Y = y, e.Button = b;
    view->HandleEvent(e);
  }
  void Key(InputKind kind, int code, bool repeat = false) {
    TInputEvent e;
    e.Kind = kind, e.Key = code, e.Repeat = repeat;
    view->HandleEvent(e);
  }

  std::unique_ptr<TPlatform> platform;
  TRecordingHooks hooks;
  std::unique_ptr<TFormView> view;
};

TEST_F(ViewTest, StartUpAndTeardownRunInOrder) {
  view = std::make_unique<TFormView>(*platform, hooks, TStartupInfo{});
  view->Create();
  EXPECT_FALSE(view->StartupFailed());
  EXPECT_EQ(hooks.Log, (std::vector<std::string>{"Attach", "Configure", "SeedRandom", "CreateVariableStore", "InitSound",
                                                  "CreateDisplaySystem", "CreateProject", "StartMedia",
                                                  "SetSceneSize"}));
  hooks.Log.clear();
  view->Close();
  EXPECT_TRUE(Quitting());
  EXPECT_EQ(hooks.Log, (std::vector<std::string>{"DestroyProject", "DestroySystemFunctions", "DestroyVariableStore",
                                                  "DestroyDisplaySystem", "FinalizeMedia"}));
  view->Close();  // once only
  EXPECT_EQ(hooks.Count("DestroyProject"), 1);
}

TEST_F(ViewTest, StartUpErrorIsShownAndCloses) {
  hooks.FailProject = true;
  testing::internal::CaptureStderr();
  view = std::make_unique<TFormView>(*platform, hooks, TStartupInfo{});
  view->Create();
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(view->StartupFailed());
  EXPECT_TRUE(Quitting());
  EXPECT_TRUE(CloseRequested());
  EXPECT_NE(err.find("プロジェクトがありません"), std::string::npos);
}

TEST_F(ViewTest, WindowIsSizedCentredAndThePanelPlaced) {
  hooks.Width = 800, hooks.Height = 600;
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
  EXPECT_EQ(hooks.Log, (std::vector<std::string>{"ProcessInput", "RunInterpreter", "UpdateScene", "ServiceRequests",
                                                  "PaintScene"}));
  EXPECT_EQ(FrameClock().FrameCount, 1u);
  EXPECT_EQ(Window().LastPicture().Row(kDockHeight)[0], 0x123456u);  // the panel lies below the dock
}

TEST_F(ViewTest, WithoutProjectAFrameDoesNothing) {
  hooks.Project = false;
  Make();
  view->Frame();
  EXPECT_TRUE(hooks.Log.empty());
  EXPECT_EQ(FrameClock().FrameCount, 0u);
}

TEST_F(ViewTest, QuittingInTheInterpreterEndsTheFrame) {
  hooks.QuitInInterpreter = true;
  Make();
  view->Frame();
  EXPECT_EQ(hooks.Log, (std::vector<std::string>{"ProcessInput", "RunInterpreter"}));
  EXPECT_EQ(FrameClock().FrameCount, 0u);
}

TEST_F(ViewTest, DrawingDivisorPaintsEveryNthFrame) {
  Make();
  FrameClock().DrawDivisor = 4;
  int presentedBefore = Window().PresentCount();
  for (int i = 0; i < 8; ++i) view->Frame();
  EXPECT_EQ(hooks.Count("UpdateScene"), 8);
  EXPECT_EQ(hooks.Count("PaintScene"), 2);
  EXPECT_EQ(Window().PresentCount() - presentedBefore, 2);
}

TEST_F(ViewTest, AGameLoadSkipsOneDrawing) {
  Make();
  hooks.LoadRequest = true;
  view->Frame();
  EXPECT_EQ(hooks.Count("PaintScene"), 0);
  view->Frame();
  EXPECT_EQ(hooks.Count("PaintScene"), 1);
}

TEST_F(ViewTest, HeadlessRunCountsSixteenMsPerFrame) {
  Make();
  view->Run(10);
  EXPECT_TRUE(view->Closed());
  EXPECT_EQ(view->FramesDriven(), 10u);
  EXPECT_EQ(FrameClock().FrameCount, 10u);
  EXPECT_EQ(FrameClock().Total, 160u);
  EXPECT_EQ(FrameClock().LastDelta, 16u);
  EXPECT_EQ(hooks.Log.back(), "FinalizeMedia");
}

TEST_F(ViewTest, CloseRequestEndsTheLoop) {
  Make();
  PostCloseRequest();
  view->Run();
  EXPECT_TRUE(view->Closed());
  EXPECT_EQ(hooks.Count("RunInterpreter"), 0);
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
  EXPECT_EQ(hooks.Count("SuspendMedia"), 1);
  EXPECT_EQ(hooks.Count("ClearKeys"), 1);
  Key(InputKind::KeyDown, 32);
  Send(InputKind::MouseDown, 10, 100);
  EXPECT_FALSE(in.IsKeyHeld(32));
  EXPECT_FALSE(in.Screens[0].LeftHeld);
  for (int i = 0; i < 100; ++i) platform->Clock().FrameStep();  // 1600 ms away
  view->HandleEvent(TInputEvent{InputKind::FocusGained});
  EXPECT_EQ(FrameClock().LastTick, 1600u);  // the frame clock starts again from now
  view->Run(1);
  EXPECT_EQ(hooks.Count("ResumeMedia"), 1);
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
  EXPECT_EQ(hooks.Count("SuspendMedia"), 2);
  EXPECT_EQ(hooks.Count("ResumeMedia"), 2);
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
  std::string askedText, askedCaption;
  MsgResult answer = MsgResult::No;
  SetMessageBoxHook([&](const std::string& text, const std::string& caption, MsgButtons buttons, MsgIcon) {
    askedText = text, askedCaption = caption;
    EXPECT_EQ(buttons, MsgButtons::YesNo);
    EXPECT_TRUE(Quitting());  // frames stop while the question is open
    return answer;
  });
  view->ConfirmQuit();
  EXPECT_EQ(askedText, Utf8ToSjis("「Game」を終了しますか？"));
  EXPECT_EQ(askedCaption, "Game");
  EXPECT_FALSE(Quitting());
  EXPECT_FALSE(CloseRequested());
  answer = MsgResult::Yes;
  TRect quit = TToolbar::ButtonRect(ToolButton::Quit);
  Send(InputKind::MouseDown, quit.Left + 3, quit.Top + 3);
  Send(InputKind::MouseUp, quit.Left + 3, quit.Top + 3);
  EXPECT_TRUE(Quitting());
  EXPECT_TRUE(CloseRequested());
  SetMessageBoxHook(nullptr);
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

TEST_F(ViewTest, EnvironmentAnswersClockInputAndScreen) {
  Make();
  TAppEnvironment env(*view, platform->Clock());
  Send(InputKind::MouseMove, 7, 9 + kDockHeight);
  Send(InputKind::MouseDown, 7, 9 + kDockHeight);
  Key(InputKind::KeyDown, 38);
  EXPECT_FALSE(env.LeftClick());  // seen from the next frame on
  view->Run(1);
  EXPECT_TRUE(env.LeftClick());
  EXPECT_TRUE(env.LeftPush());
  EXPECT_FALSE(env.RightClick());
  env.SetLeftClick(false);
  EXPECT_FALSE(env.LeftClick());
  EXPECT_EQ(env.MouseX(), 7);
  EXPECT_EQ(env.MouseY(), 9);
  EXPECT_TRUE(env.KeyHeld(38));
  EXPECT_TRUE(env.KeyPressedThisFrame(38));
  EXPECT_EQ(env.FrameCount(), 1u);
  EXPECT_EQ(env.TotalMilliseconds(), 16u);
  EXPECT_EQ(env.TimerMilliseconds(), 16u);
  EXPECT_EQ(env.CachedDateTime().MSec, 16);
  EXPECT_EQ(env.DisplayModeCount(), 0);
  env.SetDisplayModeIndex(3);  // no such mode
  EXPECT_EQ(env.DisplayModeIndex(), -1);
  env.SetFullScreen(true);
  EXPECT_TRUE(env.FullScreen());
}

}  // namespace
}  // namespace nova
