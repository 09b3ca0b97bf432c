#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "base/encoding.h"
#include "base/error.h"
#include "base/process.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/instance_lock.h"
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
  THeadlessDialogs dialogs;
  testing::internal::CaptureStderr();
  MsgResult r =
      dialogs.MessageBox(Utf8ToSjis("終了しますか"), Utf8ToSjis("題"), MsgButtons::YesNo, MsgIcon::Question);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(r, MsgResult::Yes);
  EXPECT_EQ(err, "[題] 終了しますか\n");
  EXPECT_EQ(DefaultAnswer(MsgButtons::OkCancel), MsgResult::Ok);
  EXPECT_EQ(DefaultAnswer(MsgButtons::Ok), MsgResult::Ok);
  EXPECT_EQ(dialogs.ChoiceBox("menu", "text", {"a", "b"}), -1);
}

TEST(HeadlessPlatform, NeedsNoDisplay) {
  auto platform = std::make_unique<THeadlessPlatform>();
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

}  // namespace
}  // namespace nova
