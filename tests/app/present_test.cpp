// The main window presenting the game: the rectangles handed to the window, scripted input
// arriving at its frames, screenshots of chosen frames, the player's own keys and the cursor.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/view.h"
#include "base/process.h"
#include "formats/png_image.h"
#include "support/recording_dialogs.h"
#include "support/test_support.h"
#include "view_fixture.h"

namespace nova {
namespace {

// A 64 x 48 game whose paint is given by the test; it records the input it sees each frame.
class PaintingGame : public TGame {
public:
  struct TSeen {
    int X = 0, Y = 0;
    bool Left = false, Right = false, LeftHeld = false, WheelUp = false, WheelDown = false;
    std::vector<int> KeysPressed;
  };
  std::function<std::vector<TRect>(TPicture&, uint32_t)> Painter;
  std::vector<TSeen> Seen;  // one per frame
  TInputState InputState;
  TGameHost* Host = nullptr;
  uint32_t Frames = 0;

  void Create(TGameHost& host) override { Host = &host; }
  bool Running() const override { return true; }
  int32_t ScreenWidth() const override { return 64; }
  int32_t ScreenHeight() const override { return 48; }
  std::string Title() const override { return "Demo"; }
  bool SleepFlag() const override { return false; }
  TInputState& Input() override { return InputState; }
  bool Frame() override {
    ++Frames;
    InputState.BeginFrame();
    const TScreenMouseState& m = InputState.DisplayedScreen();
    TSeen s{m.X, m.Y, m.LeftPressedThisFrame, m.RightPressedThisFrame, m.LeftHeld, m.WheelUpThisFrame, m.WheelDownThisFrame, {}};
    for (int k = 0; k < 256; ++k) {
      if (InputState.IsKeyPressedThisFrame(k)) s.KeysPressed.push_back(k);
    }
    Seen.push_back(s);
    return false;
  }
  std::vector<TRect> Paint(TPicture& panel) override { return Painter ? Painter(panel, Frames) : std::vector<TRect>{}; }
  void Suspend() override { InputState.ClearKeys(); }
  void Resume() override {}
  void Shutdown() override {}
  std::string FailureReason() const override { return ""; }
  int ExitCode() const override { return 0; }
};

void Fill(TPicture& p, const TRect& r, uint32_t colour) {
  for (int y = r.Top; y < r.Bottom; ++y) std::fill(p.Row(y) + r.Left, p.Row(y) + r.Right, colour);
}

class PresentTest : public test::ViewFixture<PaintingGame> {
protected:
  void Send(InputKind kind, int x, int y, MouseButton b = MouseButton::None) {
    TInputEvent e;
    e.Kind = kind, e.X = x, e.Y = y, e.Button = b;
    view->HandleEvent(e);
  }
  TRect Client() const { return TRect{0, 0, view->ClientWidth(), view->ClientHeight()}; }
};

TEST_F(PresentTest, TheWindowGetsTheRectanglesThatChanged) {
  const TRect red{1, 2, 5, 6}, green{10, 10, 12, 12}, unreported{30, 30, 31, 31};
  game.Painter = [&](TPicture& p, uint32_t frame) -> std::vector<TRect> {
    if (frame != 1) return {};
    Fill(p, red, 0xFF0000);
    Fill(p, green, 0x00FF00);
    Fill(p, unreported, 0x0000FF);  // painted but not reported: the window must not learn of it
    return {red, green, TRect{60, 40, 70, 60}};  // the last one reaches past the screen
  };
  Make();
  EXPECT_EQ(Window().LastDirty(), std::vector<TRect>{Client()});  // the first picture: all of it
  int presented = Window().PresentCount();
  view->Frame();
  EXPECT_EQ(Window().PresentCount(), presented + 1);
  EXPECT_EQ(Window().LastDirty(), (std::vector<TRect>{red.Offset(0, kDockHeight), green.Offset(0, kDockHeight),
                                                      TRect{60, 40 + kDockHeight, 64, 48 + kDockHeight}}));
  const TPicture& shown = Window().LastPicture();
  EXPECT_EQ(shown.Row(2 + kDockHeight)[1], 0xFF0000u);
  EXPECT_EQ(shown.Row(11 + kDockHeight)[11], 0x00FF00u);
  EXPECT_EQ(shown.Row(30 + kDockHeight)[30], 0u);
  // A frame that changes nothing presents nothing.
  view->Frame();
  EXPECT_EQ(Window().PresentCount(), presented + 1);
  // An expose brings everything, the unreported pixel too.
  view->HandleEvent(TInputEvent{InputKind::Expose});
  EXPECT_EQ(Window().LastDirty(), std::vector<TRect>{Client()});
  EXPECT_EQ(Window().LastPicture().Row(30 + kDockHeight)[30], 0x0000FFu);
  // The toolbar's own changes are the dock strip only.
  TRect quit = TToolbar::ButtonRect(ToolButton::Quit);
  Send(InputKind::MouseMove, quit.Left + 2, quit.Top + 2);
  EXPECT_EQ(Window().LastDirty(), (std::vector<TRect>{TRect{0, 0, 64, kDockHeight}}));
}

TEST_F(PresentTest, InFullScreenTheToolbarLiesOverTheGame) {
  game.Painter = [&](TPicture& p, uint32_t frame) -> std::vector<TRect> {
    if (frame != 1) return {};
    Fill(p, TRect{0, 0, 64, 48}, 0x336699);
    return {TRect{0, 0, 64, 48}};
  };
  Make();
  view->Frame();
  Key(InputKind::KeyDown, vk::F11);
  ASSERT_TRUE(view->FullScreen());
  EXPECT_EQ(Window().LastDirty(), (std::vector<TRect>{TRect{0, 0, 64, 48}}));
  EXPECT_EQ(Window().LastPicture().Row(0)[40], 0x336699u);
  Send(InputKind::MouseMove, 40, 0);  // the top row shows the toolbar
  ASSERT_TRUE(view->ToolbarVisible());
  EXPECT_EQ(Window().LastDirty(), (std::vector<TRect>{TRect{0, 0, 64, kDockHeight}}));
  EXPECT_NE(Window().LastPicture().Row(5)[40], 0x336699u);
  // The game's repaint under the toolbar keeps the toolbar on top.
  game.Painter = [&](TPicture& p, uint32_t) -> std::vector<TRect> {
    Fill(p, TRect{0, 0, 64, 30}, 0x112233);
    return {TRect{0, 0, 64, 30}};
  };
  view->Frame();
  EXPECT_EQ(Window().LastDirty(), (std::vector<TRect>{TRect{0, 0, 64, 30}}));
  EXPECT_NE(Window().LastPicture().Row(5)[40], 0x112233u);
  EXPECT_EQ(Window().LastPicture().Row(25)[40], 0x112233u);
  game.Painter = nullptr;
  Send(InputKind::MouseMove, 40, 40);  // back into the game: hidden, the game shows again
  ASSERT_FALSE(view->ToolbarVisible());
  EXPECT_EQ(Window().LastDirty(), (std::vector<TRect>{TRect{0, 0, 64, kDockHeight}}));
  EXPECT_EQ(Window().LastPicture().Row(5)[40], 0x112233u);
}

TEST_F(PresentTest, ScriptedInputArrivesAtItsFrameThroughTheWindowRouting) {
  TStartupInfo info;
  info.Input = ParseInputScript(
      "1 ldown\n"  // before the first move: outside the game, nothing happens
      "1 lup\n"
      "2 move 10 20\n"
      "3 ldown\n"
      "4 lup\n"
      "4 keydown 65\n"
      "5 keyup 65\n"
      "5 wheel up\n"
      "6 wheel down\n"
      "6 rdown\n"
      "6 move 70 5\n"  // outside the game, but a held button keeps the mouse with it
      "7 keydown 122\n",  // F11: the player's key
      "script");
  Make(std::move(info));
  EXPECT_EQ(game.InputState.Screens[0].X, -1);  // nowhere until the first move
  EXPECT_EQ(game.InputState.Screens[1].Y, -1);
  for (int i = 0; i < 7; ++i) view->Frame();
  ASSERT_EQ(game.Seen.size(), 7u);
  auto& s = game.Seen;
  EXPECT_EQ(s[0].X, -1);
  EXPECT_FALSE(s[0].Left);
  EXPECT_EQ(s[1].X, 10);
  EXPECT_EQ(s[1].Y, 20);
  EXPECT_FALSE(s[1].Left);
  EXPECT_TRUE(s[2].Left);
  EXPECT_TRUE(s[2].LeftHeld);
  EXPECT_FALSE(s[3].Left);
  EXPECT_FALSE(s[3].LeftHeld);
  EXPECT_EQ(s[3].KeysPressed, std::vector<int>{65});
  EXPECT_TRUE(s[4].KeysPressed.empty());
  EXPECT_TRUE(s[4].WheelUp);
  EXPECT_FALSE(s[4].WheelDown);
  EXPECT_TRUE(s[5].WheelDown);
  EXPECT_TRUE(s[5].Right);
  EXPECT_EQ(s[5].X, 70);
  EXPECT_TRUE(s[6].KeysPressed.empty());
  EXPECT_TRUE(view->FullScreen());
  EXPECT_FALSE(game.InputState.IsKeyHeld(65));
}

TEST_F(PresentTest, ScriptedMovesFollowThePanelInFullScreen) {
  TStartupInfo info;
  info.Input = ParseInputScript("1 keydown 122\n2 move 5 30\n", "script");
  Make(std::move(info));
  view->Frame();
  ASSERT_TRUE(view->FullScreen());
  view->Frame();
  EXPECT_EQ(game.Seen[1].X, 5);
  EXPECT_EQ(game.Seen[1].Y, 30);  // the panel starts at the top now
}

// Screenshots after chosen frames: frame 1 draws nothing (drawing divisor 2), frame 3 neither.
TEST_F(PresentTest, ScreenshotsHoldThePictureOfTheirFrame) {
  test::TempDir dir;
  game.Painter = [](TPicture& p, uint32_t frame) -> std::vector<TRect> {
    Fill(p, TRect{0, 0, 64, 48}, 0x010101 * frame);
    p.Row(47)[63] = 0xABCDEF;
    return {TRect{0, 0, 64, 48}};
  };
  FrameClock().DrawDivisor = 2;
  TStartupInfo info;
  for (uint32_t n : {1u, 2u, 3u, 4u, 99u}) info.Screenshots.push_back({n, dir / ("f" + std::to_string(n) + ".png")});
  info.Screenshots.push_back({2, dir / "missing/f2.png"});
  Make(std::move(info));
  view->Run(4);
  auto pixel = [&](const std::string& name, int x, int y) {
    std::string bytes = test::ReadFile(dir / name);
    TDecodedImage image = DecodePng(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), name);
    EXPECT_EQ(image.Color.Width(), 64);
    EXPECT_EQ(image.Color.Height(), 48);  // the game's size: no toolbar
    return image.Color.Pixel(x, y);
  };
  EXPECT_EQ(pixel("f1.png", 0, 0), 0u);  // nothing presented yet
  EXPECT_EQ(pixel("f2.png", 0, 0), 0x020202u);
  EXPECT_EQ(pixel("f2.png", 63, 47), 0xABCDEFu);
  EXPECT_EQ(pixel("f3.png", 0, 0), 0x020202u);  // drew nothing: the last picture
  EXPECT_EQ(pixel("f4.png", 0, 0), 0x040404u);
  EXPECT_FALSE(std::filesystem::exists(dir / "f99.png"));
  EXPECT_EQ(view->PendingScreenshots(), (std::vector<TScreenshotRequest>{{99, dir / "f99.png"}}));
  ASSERT_EQ(view->Problems().size(), 1u);  // the folder that does not exist
  EXPECT_NE(view->Problems()[0].find("--screenshot 2"), std::string::npos);
}

TEST_F(PresentTest, PlayerKeysAreNotTheGames) {
  test::TempDir dir;
  game.Painter = [](TPicture& p, uint32_t) -> std::vector<TRect> {
    Fill(p, TRect{0, 0, 64, 48}, 0x445566);
    return {TRect{0, 0, 64, 48}};
  };
  TStartupInfo info;
  info.GameName = "Demo";
  info.PicturesDir = dir / "pics";
  Make(std::move(info));
  TInputState& in = game.InputState;
  struct Case {
    const char* what;
    std::vector<std::pair<int, bool>> keys;  // code, alt flag of the event
    bool fullScreen;                          // afterwards
  } cases[] = {
      {"F11", {{vk::F11, false}}, true},
      {"F11 again", {{vk::F11, false}}, false},
      {"Alt, then Enter", {{vk::Menu, false}, {vk::Return, false}}, true},
      {"Enter with the Alt flag", {{vk::Return, true}}, false},
  };
  for (const Case& c : cases) {
    for (auto [code, alt] : c.keys) Key(InputKind::KeyDown, code, false, alt);
    EXPECT_EQ(view->FullScreen(), c.fullScreen) << c.what;
    EXPECT_FALSE(in.IsKeyHeld(vk::F11)) << c.what;
    EXPECT_FALSE(in.IsKeyHeld(vk::Return)) << c.what;
    for (auto [code, alt] : c.keys) Key(InputKind::KeyUp, code);
  }
  Key(InputKind::KeyDown, vk::F11, true);  // auto-repeat: nothing
  EXPECT_FALSE(view->FullScreen());
  Key(InputKind::KeyDown, vk::Return);  // Enter alone is the game's
  EXPECT_TRUE(in.IsKeyHeld(vk::Return));
  Key(InputKind::KeyUp, vk::Return);

  view->Frame();
  Key(InputKind::KeyDown, vk::F12);
  Key(InputKind::KeyUp, vk::F12);
  Key(InputKind::KeyDown, vk::F12);
  EXPECT_FALSE(in.IsKeyHeld(vk::F12));
  EXPECT_EQ(view->LastPicturesFile(), dir / "pics/novaplayer-Demo-20000101-000000-2.png");
  std::string bytes = test::ReadFile(dir / "pics/novaplayer-Demo-20000101-000000.png");
  TDecodedImage image = DecodePng(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "shot");
  EXPECT_EQ(image.Color.Width(), 64);
  EXPECT_EQ(image.Color.Height(), 48);
  EXPECT_EQ(image.Color.Pixel(10, 10), 0x445566u);
  EXPECT_TRUE(view->Problems().empty());
}

TEST_F(PresentTest, TheGamesCursorShowsOverTheGameOnly) {
  Make();
  TCursorImage hand;
  hand.Frames.push_back(TCursorFrame{2, 2, 1, 1, {0xFF000000, 0xFFFFFFFF, 0, 0xFF000000}});
  hand.Steps.push_back({0, 0});
  game.Host->SetCursor(&hand);
  ASSERT_NE(Window().Cursor(), nullptr);
  EXPECT_EQ(Window().Cursor()->Frames[0].Pixels, hand.Frames[0].Pixels);
  Send(InputKind::MouseMove, 5, 5);  // the toolbar: the arrow
  EXPECT_EQ(Window().Cursor(), nullptr);
  game.Host->SetCursor(&hand);  // a change while away shows on return
  EXPECT_EQ(Window().Cursor(), nullptr);
  Send(InputKind::MouseMove, 5, 30);
  ASSERT_NE(Window().Cursor(), nullptr);
  int changes = Window().CursorChanges();
  Send(InputKind::MouseMove, 6, 31);
  EXPECT_EQ(Window().CursorChanges(), changes);  // moving inside changes nothing
  game.Host->SetCursor(nullptr);
  EXPECT_EQ(Window().Cursor(), nullptr);
}

TEST_F(PresentTest, TheScalingModeReachesTheWindow) {
  TStartupInfo info;
  info.Scale = ScaleMode::Integer;
  Make(std::move(info));
  EXPECT_EQ(Window().Scale(), ScaleMode::Integer);
}

}  // namespace
}  // namespace nova
