// The software mixer: widening, volume, saturation, repeat positions, positions in time,
// finishing, and the feeding of the device on the headless platform.
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <random>

#include "media/wavouts.h"

namespace nova {
namespace {

TPcmFormatRecord Pcm(int channels, int rate, int bits) {
  TPcmFormatRecord f;
  f.Channels = static_cast<uint16_t>(channels);
  f.SamplesPerSec = static_cast<uint32_t>(rate);
  f.BitsPerSample = static_cast<uint16_t>(bits);
  f.BlockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.AvgBytesPerSec = f.BlockAlign * f.SamplesPerSec;
  return f;
}

std::string Samples16(std::initializer_list<int16_t> s) {
  return std::string(reinterpret_cast<const char*>(s.begin()), s.size() * 2);
}

TEST(MixerWidening, TableOfFormats) {
  struct Case {
    int ch, rate, bits;
    TWidening widening;
    int factor;
  } cases[] = {
      {2, 44100, 16, TWidening::None, 1},       {1, 44100, 16, TWidening::Sample16x2, 2},
      {2, 22050, 16, TWidening::Frame16x2, 2},  {2, 44100, 8, TWidening::Byte8, 2},
      {1, 44100, 8, TWidening::Byte8x2, 4},     {2, 22050, 8, TWidening::Frame8x2, 4},
      {1, 22050, 16, TWidening::Sample16x4, 4}, {1, 22050, 8, TWidening::Byte8x4, 8},
      {2, 48000, 16, TWidening::Unsupported, 0}, {6, 44100, 16, TWidening::Unsupported, 0},
      {2, 44100, 24, TWidening::Unsupported, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ch << "/" << c.rate << "/" << c.bits);
    TWidening w = WideningOf(Pcm(c.ch, c.rate, c.bits));
    EXPECT_EQ(w, c.widening);
    EXPECT_EQ(WideningFactor(w), c.factor);
  }
}

TEST(MixerWidening, InPlaceResults) {
  struct Case {
    TWidening w;
    std::vector<uint8_t> in;
    std::vector<int16_t> out;
  } cases[] = {
      {TWidening::Sample16x2, {0x01, 0x00, 0xFF, 0xFF}, {1, 1, -1, -1}},
      // Stereo at half rate repeats each frame whole (left, right, left, right).
      {TWidening::Frame16x2, {0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00}, {1, 2, 1, 2, 3, 4, 3, 4}},
      {TWidening::Byte8, {0, 128, 255}, {-32768, 0, 32512}},
      {TWidening::Byte8x2, {129, 127}, {256, 256, -256, -256}},
      {TWidening::Frame8x2, {129, 127, 128, 0}, {256, -256, 256, -256, 0, -32768, 0, -32768}},
      {TWidening::Sample16x4, {0x05, 0x00}, {5, 5, 5, 5}},
      {TWidening::Byte8x4, {130}, {512, 512, 512, 512}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> buf(c.out.size() * 2, 0xEE);
    std::copy(c.in.begin(), c.in.end(), buf.begin());
    WidenInPlace(buf.data(), c.in.size(), c.w);
    std::vector<int16_t> got(c.out.size());
    std::memcpy(got.data(), buf.data(), buf.size());
    EXPECT_EQ(got, c.out) << static_cast<int>(c.w);
  }
}

TEST(MixerArithmetic, VolumeTruncatesTowardZero) {
  std::vector<int16_t> s = {256, -256, 255, -255, 32767, -32768, 1, -1};
  std::vector<int16_t> ref = s;
  ApplyVolume(s.data(), s.size(), 128);
  EXPECT_EQ(s, (std::vector<int16_t>{128, -128, 127, -127, 16383, -16384, 0, 0}));
  for (int v : {255, 256}) {
    std::vector<int16_t> same = ref;
    ApplyVolume(same.data(), same.size(), v);
    EXPECT_EQ(same, ref) << v;
  }
}

TEST(MixerArithmetic, FastLoopsMatchTheReference) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> sample(-32768, 32767);
  for (size_t n : {0u, 1u, 7u, 8u, 9u, 1000u, 1027u}) {
    std::vector<int16_t> a(n), b(n);
    for (auto& x : a) x = static_cast<int16_t>(sample(rng));
    for (auto& x : b) x = static_cast<int16_t>(sample(rng));
    for (int v : {0, 1, 77, 128, 254, 255, 256}) {
      std::vector<int16_t> fast = a, ref = a;
      ApplyVolume(fast.data(), n, v);
      ApplyVolumeReference(ref.data(), n, v);
      ASSERT_EQ(fast, ref) << n << " " << v;
    }
    std::vector<int16_t> fast = a, ref = a;
    AddSaturated(fast.data(), b.data(), n);
    AddSaturatedReference(ref.data(), b.data(), n);
    ASSERT_EQ(fast, ref) << n;
  }
}

TEST(MixerSettings, DelayTimeAndBlockSize) {
  EXPECT_EQ(MixerDelayTime(950), 500);
  EXPECT_EQ(MixerDelayTime(50), 100);
  EXPECT_EQ(MixerDelayTime(349), 300);
  THeadlessPlatform platform;
  EXPECT_EQ(TWavOut(platform, 500).BlockBytes(), 88200u);
  EXPECT_EQ(TWavOut(platform, 100).BlockBytes(), 17640u);
}

// A mixer on the headless platform with the smallest block (D = 100 ms, B = 17640 bytes).
class MixerTest : public testing::Test {
protected:
  void SetUp() override {
    mixer_ = std::make_unique<TWavOut>(platform_, 100);
    ASSERT_TRUE(mixer_->Open());
  }
  TWavBuffer* Source(const TPcmFormatRecord& f, std::string bytes) {
    return mixer_->AddSource(f, std::make_unique<TKtMemoryStream>(std::move(bytes)));
  }
  std::vector<int16_t> Mix() {
    std::vector<int16_t> block(mixer_->BlockBytes() / 2);
    mixed_ = mixer_->MixBlock(block.data());
    return block;
  }
  THeadlessPlatform platform_;
  std::unique_ptr<TWavOut> mixer_;
  bool mixed_ = false;
};

TEST_F(MixerTest, SourceBytesPerBlockFollowTheFormat) {
  // A mono 22050 Hz 8-bit source reads a quarter of what a stereo 44.1 kHz 16-bit one reads.
  std::string big(200000, '\x80');
  TWavBuffer* full = Source(Pcm(2, 44100, 16), big);
  TWavBuffer* small = Source(Pcm(1, 22050, 8), big);
  TWavBuffer* mono16 = Source(Pcm(1, 44100, 16), big);
  for (TWavBuffer* s : {full, small, mono16}) s->Start();
  Mix();
  EXPECT_EQ(full->ReadPosition(), 17640);
  EXPECT_EQ(small->ReadPosition(), 17640 / 8);
  EXPECT_EQ(mono16->ReadPosition(), 17640 / 2);
}

TEST_F(MixerTest, SaturatesInsteadOfWrapping) {
  std::string loud;
  for (int i = 0; i < 4410 * 2; ++i) loud += Samples16({30000});
  TWavBuffer* a = Source(Pcm(2, 44100, 16), loud);
  TWavBuffer* b = Source(Pcm(2, 44100, 16), loud);
  a->Start(), b->Start();
  std::vector<int16_t> block = Mix();
  EXPECT_TRUE(mixed_);
  EXPECT_EQ(block[0], 32767);
  EXPECT_EQ(block.back(), 32767);
}

TEST_F(MixerTest, VolumePausedNotStartedAndUnsupportedSources) {
  std::string data;
  for (int i = 0; i < 8820; ++i) data += Samples16({1000});
  TWavBuffer* quiet = Source(Pcm(2, 44100, 16), data);
  quiet->SetVolume(64);
  quiet->Start();
  TWavBuffer* paused = Source(Pcm(2, 44100, 16), data);
  paused->Start();
  paused->Stop();
  Source(Pcm(2, 44100, 16), data);  // never started
  TWavBuffer* odd = Source(Pcm(2, 48000, 16), data);
  odd->Start();
  std::vector<int16_t> block = Mix();
  EXPECT_EQ(block[0], 250);
  EXPECT_EQ(paused->ReadPosition(), 0);
  EXPECT_EQ(odd->ReadPosition(), 0);
}

TEST_F(MixerTest, EndRepeatAndRepeatPositions) {
  // 1000 frames of a rising ramp; a block needs 4410 frames.
  std::string ramp;
  for (int i = 0; i < 1000; ++i) ramp += Samples16({static_cast<int16_t>(i), static_cast<int16_t>(i)});
  TWavBuffer* once = Source(Pcm(2, 44100, 16), ramp);
  once->Start();
  std::vector<int16_t> block = Mix();
  EXPECT_EQ(block[2 * 999], 999);
  EXPECT_EQ(block[2 * 1000], 0);  // silence after the end
  EXPECT_TRUE(once->Ended());
  mixer_->RemoveSource(once);

  TWavBuffer* loop = Source(Pcm(2, 44100, 16), ramp);
  loop->SetRepeat(true);
  loop->SetRepeatPosition(400 * 4 + 2);  // aligned down to the frame
  loop->Start();
  block = Mix();
  EXPECT_EQ(block[2 * 1000], 400);  // the first frame after the end is the repeat frame
  EXPECT_EQ(block[2 * 1600], 400);
  EXPECT_FALSE(loop->Ended());
  mixer_->RemoveSource(loop);

  // A repeating source whose block ends exactly at the end stays playing.
  TWavBuffer* exact = Source(Pcm(2, 44100, 16), std::string(17640, '\x01'));
  exact->SetRepeat(true);
  exact->Start();
  Mix();
  EXPECT_FALSE(exact->Ended());
  EXPECT_EQ(exact->ReadPosition(), 0);
  Mix();
  EXPECT_TRUE(mixed_);
  mixer_->RemoveSource(exact);

  // A repeat position past the end keeps reading from the end: nothing more, no endless loop.
  TWavBuffer* stuck = Source(Pcm(2, 44100, 16), ramp);
  stuck->SetRepeat(true);
  stuck->SetRepeatPosition(5000 * 4);
  stuck->Start();
  block = Mix();
  EXPECT_EQ(block[2 * 999], 999);
  EXPECT_EQ(block[2 * 1000], 0);
  EXPECT_EQ(stuck->ReadPosition(), 4000);
  block = Mix();
  EXPECT_FALSE(mixed_);
}

TEST_F(MixerTest, ReadPositionsAlignToFrames) {
  TWavBuffer* s = Source(Pcm(2, 44100, 16), std::string(4000, '\0'));
  s->SetReadPosition(529);  // 3 ms at 176.4 bytes/ms
  EXPECT_EQ(s->ReadPosition(), 528);
  s->SetReadPosition(99999);
  EXPECT_EQ(s->ReadPosition(), 4000);
}

TEST_F(MixerTest, FinishedOnlyAfterTwoDelaysOfSilence) {
  TWavBuffer* s = Source(Pcm(2, 44100, 16), std::string(400, '\x10'));
  s->Start();
  mixer_->FeedStep();
  EXPECT_TRUE(s->Ended());
  EXPECT_FALSE(s->IsFinished());
  // 2 x D + 10 = 210 ms must pass since the last mix: 13 frames of 16 ms = 208, 14 = 224.
  for (int i = 0; i < 13; ++i) platform_.Clock().FrameStep();
  EXPECT_FALSE(s->IsFinished());
  platform_.Clock().FrameStep();
  EXPECT_TRUE(s->IsFinished());
  mixer_->Close();
  EXPECT_TRUE(mixer_->IsOpen() == false);
}

TEST_F(MixerTest, PlayedPositionLagsByTheDelay) {
  std::string data(176400 * 2, '\0');  // 2 s
  TWavBuffer* s = Source(Pcm(2, 44100, 16), data);
  s->Start();
  Mix();  // read position 17640 bytes (100 ms), mixed at t = 0
  EXPECT_EQ(s->PlayedPosition(), 0);
  platform_.Clock().FrameStep();  // t = 16; the ticker feeds too (two more blocks)
  int64_t read = s->ReadPosition();
  // (read - 100 ms + 0 ms): the mix of this step happened at t = 16.
  EXPECT_EQ(s->PlayedPosition(), read - 17640);
  for (int i = 0; i < 20; ++i) platform_.Clock().FrameStep();
  EXPECT_LE(s->PlayedPosition(), s->ReadPosition());
}

TEST_F(MixerTest, FeedingKeepsAtMostTwoBlocksAndReusesThePool) {
  std::string data(176400 * 3, '\x01');
  TWavBuffer* s = Source(Pcm(2, 44100, 16), data);
  s->Start();
  EXPECT_GE(mixer_->PoolPairs(), 4u);
  for (int i = 0; i < 200; ++i) {
    platform_.Clock().FrameStep();
    ASSERT_LE(mixer_->QueuedBlocks(), 2u);
  }
  EXPECT_EQ(mixer_->PoolPairs(), 4u);  // blocks come back to the pool
  // 3.2 s of frame clock: the source (3 s) has been read through.
  EXPECT_TRUE(s->Ended());
  EXPECT_EQ(platform_.Audio().FramesWritten(), 200u * 16 * 441 / 10);
}

}  // namespace
}  // namespace nova
