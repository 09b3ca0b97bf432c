// The SDL window on the dummy driver and the FreeType caption face.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "base/encoding.h"
#include "platform/sdl/freetype_caption_font.h"
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
