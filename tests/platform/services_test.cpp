#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "base/encoding.h"
#include "base/error.h"
#include "base/process.h"
#include "platform/caption_font.h"
#include "platform/clock.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"
#include "platform/mounts.h"
#include "platform/platform.h"
#include "support/test_support.h"

namespace nova {
namespace {

TEST(HeadlessClock, AdvancesOnlyPerFrame) {
  auto clock = CreateHeadlessClock(16);
  EXPECT_EQ(clock->Now(), 0u);
  clock->Sleep(1000);
  EXPECT_EQ(clock->Now(), 0u);
  for (int i = 0; i < 3; ++i) clock->FrameStep();
  EXPECT_EQ(clock->Now(), 48u);
  clock = CreateHeadlessClock(16);
  for (int i = 0; i < 225000; ++i) clock->FrameStep();  // one hour
  TLocalTime t = clock->LocalTime();
  EXPECT_EQ(t.Hour, 1);
  EXPECT_EQ(t.Min, 0);
  EXPECT_EQ(MillisecondsSinceMidnight(t), 3600000u);
  EXPECT_EQ(MillisecondsSinceMidnight(TLocalTime{2024, 5, 6, 13, 2, 3, 4}), ((13u * 60 + 2) * 60 + 3) * 1000 + 4);
}

TEST(InstanceLock, SameKeyIsRefusedOtherKeyIsNot) {
  test::TempDir dir;
  auto first = TInstanceLock::TryAcquire("-HOME-U-GAME-", dir.Path());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(TInstanceLock::TryAcquire("-HOME-U-GAME-", dir.Path()), nullptr);
  auto other = TInstanceLock::TryAcquire("-HOME-U-OTHER-", dir.Path());
  EXPECT_NE(other, nullptr);
  first.reset();  // released with its holder
  EXPECT_NE(TInstanceLock::TryAcquire("-HOME-U-GAME-", dir.Path()), nullptr);
}

TEST(InstanceLock, FileNamesAreEscapedAndBounded) {
  EXPECT_EQ(InstanceLockFileName("-HOME-U-GAME-"), "novaplayer--HOME-U-GAME-.lock");
  EXPECT_EQ(InstanceLockFileName("/A B\x83\x5C"), "novaplayer-%2FA%20B%83%5C.lock");
  std::string longKey(400, 'A');
  std::string name = InstanceLockFileName(longKey);
  EXPECT_LE(name.size(), 255u);
  EXPECT_NE(name, InstanceLockFileName(longKey + "B"));  // the checksum tells them apart
  EXPECT_THROW(TInstanceLock::TryAcquire("X", "/nonexistent-folder-for-locks"), ENovaError);
}

TEST(Mounts, OpticalMediaByTheInnermostMount) {
  const std::string table =
      "/dev/sda1 / ext4 rw 0 0\n"
      "/dev/sr0 /media/cdrom iso9660 ro 0 0\n"
      "/dev/sdb1 /media/disk\\040two udf ro 0 0\n"
      "tmpfs /media/cdrom/inner tmpfs rw 0 0\n";
  struct Case {
    const char* path;
    bool optical;
  } cases[] = {
      {"/home/u/player", false},         {"/media/cdrom/player", true},   {"/media/cdrom", true},
      {"/media/cdromx/player", false},   {"/media/disk two/a", true},     {"/media/cdrom/inner/a", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsOnOpticalMedium(c.path, table), c.optical) << c.path;
  EXPECT_FALSE(IsOnOpticalMedium("/nonexistent/file"));
}

TEST(MessageBoxes, HeadlessTakesTheFirstButton) {
  InstallHeadlessMessageBoxes();
  testing::internal::CaptureStderr();
  MsgResult r = MessageBox(Utf8ToSjis("終了しますか"), Utf8ToSjis("題"), MsgButtons::YesNo, MsgIcon::Question);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(r, MsgResult::Yes);
  EXPECT_EQ(err, "[題] 終了しますか\n");
  EXPECT_EQ(DefaultAnswer(MsgButtons::OkCancel), MsgResult::Ok);
  EXPECT_EQ(DefaultAnswer(MsgButtons::Ok), MsgResult::Ok);
  THeadlessWindow window;
  EXPECT_EQ(ShowChoiceBox(&window, "menu", "text", {"a", "b"}), -1);
  SetMessageBoxHook(nullptr);
}

TEST(HeadlessPlatform, NeedsNoDisplay) {
  auto platform = TPlatform::Create(true);
  EXPECT_TRUE(platform->Headless());
  auto window = platform->CreateWindow(640, 480);
  auto* headless = dynamic_cast<THeadlessWindow*>(window.get());
  ASSERT_NE(headless, nullptr);
  headless->Inject(TInputEvent{InputKind::KeyDown, 65});
  TInputEvent e;
  ASSERT_TRUE(window->PollEvent(e));
  EXPECT_EQ(e.Key, 65);
  EXPECT_FALSE(window->PollEvent(e));
  EXPECT_TRUE(platform->Shell().Open("https://example.org/"));
  EXPECT_EQ(dynamic_cast<THeadlessShell&>(platform->Shell()).Opened().size(), 1u);
}

TEST(SdlWindow, OpensOnTheDummyDriver) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);  // no display needed
  auto window = CreateSdlWindow(320, 240);
  window->SetCaption("ノヴァ");
  window->SetClientSize(320, 262);
  TPicture picture;
  picture.Resize(320, 262, 0x00FF00);
  window->Present(picture);
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
  window->Present(picture);
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
  auto font = TCaptionFont::Open(12);
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
