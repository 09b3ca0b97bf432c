// The SDL window on the dummy driver and the FreeType caption face.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "base/encoding.h"
#include "platform/sdl/freetype_caption_font.h"
#include "platform/sdl/sdl_cursor.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/sdl_window.h"

namespace nova {
namespace {

TEST(SdlWindow, OpensOnTheDummyDriver) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);  // no display needed
  auto window = CreateSdlWindow(320, 240);
  window->SetCaption("ノヴァ");
  window->SetClientSize(320, 262);
  TPicture picture;
  picture.Resize(320, 262, 0x00FF00);
  window->Present(picture, {});
  TRect area = window->UsableArea();
  EXPECT_GT(area.Width(), 0);
  TInputEvent e;
  while (window->PollEvent(e)) {
  }
}

TEST(SdlWindow, TranslatesEvents) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  auto window = CreateSdlWindow(320, 240);
  TPicture picture;
  picture.Resize(320, 240);
  window->Present(picture, {});
  TInputEvent e;
  while (window->PollEvent(e)) {
  }
  auto push = [](SDL_Event ev) { ASSERT_EQ(SDL_PushEvent(&ev), 1); };
  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  key.key.keysym.sym = SDLK_a;
  key.key.keysym.scancode = SDL_SCANCODE_A;
  key.key.repeat = 1;
  push(key);
  key.type = SDL_KEYUP;
  key.key.keysym.sym = SDLK_UNKNOWN;  // no virtual key: dropped
  key.key.keysym.scancode = SDL_SCANCODE_UNKNOWN;
  key.key.repeat = 0;
  push(key);
  SDL_Event button{};
  button.type = SDL_MOUSEBUTTONDOWN;
  button.button.button = SDL_BUTTON_RIGHT;
  button.button.x = 10;
  button.button.y = 20;
  push(button);
  SDL_Event wheel{};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.y = 1;
  wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
  push(wheel);
  SDL_Event focus{};
  focus.type = SDL_WINDOWEVENT;
  focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  push(focus);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  push(quit);

  std::vector<TInputEvent> got;
  while (window->PollEvent(e)) got.push_back(e);
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[0].Kind, InputKind::KeyDown);
  EXPECT_EQ(got[0].Key, 65);
  EXPECT_TRUE(got[0].Repeat);
  EXPECT_EQ(got[1].Kind, InputKind::MouseDown);
  EXPECT_EQ(got[1].Button, MouseButton::Right);
  EXPECT_EQ(got[1].X, 10);
  EXPECT_EQ(got[1].Y, 20);
  EXPECT_EQ(got[2].Kind, InputKind::Wheel);
  EXPECT_LT(got[2].Wheel, 0);  // a flipped wheel turns the other way
  EXPECT_EQ(got[3].Kind, InputKind::FocusLost);
  EXPECT_EQ(got[4].Kind, InputKind::Close);
}

// What the renderer drew, read back (the dummy driver renders in software, at the window size).
TPicture ReadBack(TPlatformWindow& window) {
  SDL_Renderer* renderer = SDL_GetRenderer(SdlWindowHandle(window));
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(renderer, &w, &h);
  TPicture p;
  p.Resize(w, h);
  EXPECT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, p.Pixels.data(), w * 4), 0) << SDL_GetError();
  for (uint32_t& px : p.Pixels) px &= 0xFFFFFF;
  return p;
}

std::vector<TInputEvent> Drain(TPlatformWindow& window) {
  std::vector<TInputEvent> events;
  TInputEvent e;
  while (window.PollEvent(e)) events.push_back(e);
  return events;
}

void Fill(TPicture& p, const TRect& r, uint32_t colour) {
  for (int y = r.Top; y < r.Bottom; ++y) std::fill(p.Row(y) + r.Left, p.Row(y) + r.Right, colour);
}

TEST(SdlWindow, UploadsOnlyTheRectanglesGiven) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  auto window = CreateSdlWindow(64, 48);
  ASSERT_NE(SdlWindowHandle(*window), nullptr);
  TPicture p;
  p.Resize(64, 48, 0x102030);
  window->Present(p, {});  // the first picture goes up whole
  Drain(*window);
  EXPECT_EQ(ReadBack(*window).Pixels, p.Pixels);
  const TRect a{0, 0, 8, 8}, b{20, 20, 30, 30};
  Fill(p, a, 0xFF0000);
  Fill(p, b, 0x00FF00);
  std::vector<TRect> dirty{a};
  window->Present(p, dirty);
  TPicture shown = ReadBack(*window);
  EXPECT_EQ(shown.Row(0)[0], 0xFF0000u);
  EXPECT_EQ(shown.Row(7)[7], 0xFF0000u);
  EXPECT_EQ(shown.Row(25)[25], 0x102030u);  // not given: still the old pixels
  dirty = {TRect{25, 25, 40, 60}};          // partly outside the picture
  window->Present(p, dirty);
  shown = ReadBack(*window);
  EXPECT_EQ(shown.Row(25)[25], 0x00FF00u);
  EXPECT_EQ(shown.Row(20)[20], 0x102030u);
  // A resize makes the next picture go up whole.
  SDL_SetWindowSize(SdlWindowHandle(*window), 64, 50);
  bool exposed = false;
  for (const TInputEvent& e : Drain(*window)) exposed |= e.Kind == InputKind::Expose;
  EXPECT_TRUE(exposed);
  SDL_SetWindowSize(SdlWindowHandle(*window), 64, 48);
  Drain(*window);
  window->Present(p, {});
  EXPECT_EQ(ReadBack(*window).Pixels, p.Pixels);
}

TEST(SdlWindow, ScalingModesPlaceThePictureAndMapTheMouseBack) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  struct Case {
    ScaleMode mode;
    TRect viewport;  // in the 700 x 500 window
  } cases[] = {
      {ScaleMode::Nearest, {16, 0, 683, 500}},  // 667 = 320 * 500 / 240 rounded
      {ScaleMode::Integer, {30, 10, 670, 490}},
      {ScaleMode::Smooth, {16, 0, 683, 500}},
  };
  for (const Case& c : cases) {
    auto window = CreateSdlWindow(320, 240);
    window->SetScaleMode(c.mode);
    TPicture p;
    p.Resize(320, 240, 0x4080C0);
    window->Present(p, {});
    SDL_SetWindowSize(SdlWindowHandle(*window), 700, 500);  // the user makes it larger
    Drain(*window);
    window->Present(p, {});
    TPicture shown = ReadBack(*window);
    ASSERT_EQ(shown.Width, 700);
    const TRect& v = c.viewport;
    EXPECT_EQ(shown.Row(250)[v.Left - 1], 0u) << ScaleModeName(c.mode);  // black bars
    EXPECT_EQ(shown.Row(250)[v.Left + 2], 0x4080C0u) << ScaleModeName(c.mode);
    EXPECT_EQ(shown.Row(250)[v.Right], 0u) << ScaleModeName(c.mode);
    if (v.Top > 0) {
      EXPECT_EQ(shown.Row(v.Top - 1)[350], 0u);
    }

    struct Point {
      int x, y, px, py;
    } points[] = {
        {v.Left, v.Top, 0, 0},
        {v.Right - 1, v.Bottom - 1, 319, 239},
        {v.Left - 1, v.Top - 1, -1, -1},
        {v.Left + v.Width() / 2, v.Top + v.Height() / 2, 160, 120},
    };
    for (const Point& pt : points) {
      SDL_Event motion{};
      motion.type = SDL_MOUSEMOTION;
      motion.motion.x = pt.x;
      motion.motion.y = pt.y;
      SDL_PushEvent(&motion);
      std::vector<TInputEvent> got = Drain(*window);
      ASSERT_EQ(got.size(), 1u);
      EXPECT_EQ(got[0].Kind, InputKind::MouseMove);
      EXPECT_EQ(got[0].X, pt.px) << ScaleModeName(c.mode) << " at " << pt.x;
      EXPECT_EQ(got[0].Y, pt.py) << ScaleModeName(c.mode) << " at " << pt.y;
    }
    // Full screen and back: the window takes back the size the user gave it.
    if (window->SetFullScreen(true)) {
      window->SetFullScreen(false);
      int w = 0, h = 0;
      SDL_GetWindowSize(SdlWindowHandle(*window), &w, &h);
      EXPECT_EQ(w, 700);
      EXPECT_EQ(h, 500);
    }
  }
}

TEST(SdlWindow, AltKeysAreReported) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  auto window = CreateSdlWindow(32, 32);
  Drain(*window);
  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  key.key.keysym.sym = SDLK_RETURN;
  key.key.keysym.scancode = SDL_SCANCODE_RETURN;
  key.key.keysym.mod = KMOD_LALT;
  SDL_PushEvent(&key);
  std::vector<TInputEvent> got = Drain(*window);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].Key, 13);
  EXPECT_TRUE(got[0].Alt);
}

TEST(SdlCursor, MakesOneCursorPerFrameAndAnimates) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  auto window = CreateSdlWindow(32, 32);  // the video subsystem
  TCursorImage image;
  for (uint32_t colour : {0xFFFF0000u, 0xFF00FF00u}) {
    TCursorFrame f;
    f.Width = f.Height = 4;
    f.HotX = 1;
    f.Pixels.assign(16, colour);
    image.Frames.push_back(f);
  }
  image.Steps = {{0, 20}, {1, 100000}};
  TSdlCursor cursor;
  cursor.Set(&image);
  EXPECT_EQ(cursor.FrameCount(), 2u);
  EXPECT_EQ(cursor.CurrentStep(), 0u);
  SDL_Delay(40);
  cursor.Tick();
  EXPECT_EQ(cursor.CurrentStep(), 1u);
  cursor.Tick();
  EXPECT_EQ(cursor.CurrentStep(), 1u);  // the long step holds
  cursor.Set(nullptr);
  EXPECT_EQ(cursor.FrameCount(), 0u);
  window->SetCursor(&image);  // through the window too
  window->SetCursor(nullptr);
}

TEST(CaptionFont, DecodesUtf8AndDrawsJapanese) {
  EXPECT_EQ(DecodeUtf8("a終"), std::u32string(U"a終"));
  EXPECT_EQ(DecodeUtf8("\xE7\xB5"), std::u32string(U"\uFFFD\uFFFD"));  // cut short
  EXPECT_EQ(DecodeUtf8("\xFF" "b"), std::u32string(U"\uFFFDb"));
  auto font = OpenFreeTypeCaptionFont(12);
  if (!font) GTEST_SKIP() << "no Japanese font installed";
  TPicture p;
  p.Resize(67, 18, 0xFFFFFF);
  font->DrawCentred(p, TRect::FromSize(0, 0, 67, 18), "終了", 0x000000);
  int dark = 0;
  for (uint32_t px : p.Pixels) dark += (px & 0xFF) < 0x80;
  EXPECT_GT(dark, 20);
  EXPECT_GT(font->TextWidth("画面切替"), font->TextWidth("終了"));
}

}  // namespace
}  // namespace nova
