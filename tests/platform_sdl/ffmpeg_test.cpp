// The FFmpeg decoders on files the tests make: WAV (PCM and ADPCM), Ogg Vorbis with loop
// tags, WMA in ASF, MPEG-1 movies with and without sound; damaged and truncated data.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <random>

#include "base/error.h"
#include "media_encoders.h"
#include "platform/sdl/ffmpeg_decoders.h"
#include "support/test_support.h"

extern "C" {
#include <libavutil/dict.h>
}

namespace nova {
namespace {

int Sine(int f, int c, int rate = 44100) {
  return static_cast<int>((c ? 5000 : 9000) * std::sin(2 * 3.14159265358979 * 440.0 * f / rate));
}

std::string PcmWav(int channels, int rate, int frames) {
  std::string data;
  for (int f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c) {
      int16_t s = static_cast<int16_t>(f * (c ? -3 : 3));
      data.append(reinterpret_cast<const char*>(&s), 2);
    }
  auto le32 = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
  auto le16 = [](uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
  uint16_t align = static_cast<uint16_t>(channels * 2);
  return "RIFF" + le32(36 + static_cast<uint32_t>(data.size())) + "WAVEfmt " + le32(16) + le16(1) +
         le16(static_cast<uint16_t>(channels)) + le32(static_cast<uint32_t>(rate)) + le32(static_cast<uint32_t>(rate) * align) +
         le16(align) + le16(16) + "data" + le32(static_cast<uint32_t>(data.size())) + data;
}

std::unique_ptr<TAudioDecoder> Open(const std::string& bytes, const std::string& name, TAudioDecodeOptions o = {}) {
  return CreateFfmpegDecoders()->OpenAudio(std::make_unique<TKtMemoryStream>(bytes), name, o);
}

std::vector<int16_t> ReadAll(TAudioDecoder& d) {
  std::vector<int16_t> all, buf(4096 * 2);
  for (int64_t n; (n = d.Read(buf.data(), 4096)) > 0;)
    all.insert(all.end(), buf.begin(), buf.begin() + n * d.Format().Channels);
  return all;
}

TEST(FfmpegAudio, PcmWavIsExactAndSeeksToTheFrame) {
  auto d = Open(PcmWav(2, 22050, 5000), "a.wav");
  EXPECT_EQ(d->Format().Channels, 2);
  EXPECT_EQ(d->Format().Rate, 22050);
  EXPECT_EQ(d->LengthFrames(), 5000);
  std::vector<int16_t> all = ReadAll(*d);
  ASSERT_EQ(all.size(), 10000u);
  EXPECT_EQ(all[2 * 1234], 3 * 1234);
  EXPECT_EQ(all[2 * 1234 + 1], -3 * 1234);
  for (int64_t at : {4000, 17, 0, 2500}) {
    d->Seek(at);
    int16_t s[2];
    ASSERT_EQ(d->Read(s, 1), 1) << at;
    EXPECT_EQ(s[0], 3 * at) << at;
    EXPECT_EQ(d->Position(), at + 1);
  }
  d->Seek(999999);
  int16_t s[2];
  EXPECT_EQ(d->Read(s, 1), 0);
}

TEST(FfmpegAudio, ConversionForTheMixerAndTheVoices) {
  std::string wav = PcmWav(1, 32000, 32000);  // 1 s mono at a rate the mixer does not take
  auto mixer = Open(wav, "a.wav", TAudioDecodeOptions{0, 0, true});
  EXPECT_EQ(mixer->Format().Rate, 44100);
  EXPECT_EQ(mixer->Format().Channels, 1);
  EXPECT_NEAR(static_cast<double>(mixer->LengthFrames()), 44100, 2);
  auto voice = Open(PcmWav(1, 22050, 22050), "a.wav", TAudioDecodeOptions{44100, 2});
  EXPECT_EQ(voice->Format().Channels, 2);
  EXPECT_NEAR(static_cast<double>(ReadAll(*voice).size() / 2), 44100, 64);
}

long PeakMemoryKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr long kGrowthKb = 512 * 1024;  // the sanitizer holds up to 256 MB of freed blocks back
#else
constexpr long kGrowthKb = 64 * 1024;
#endif

// A file that claims one sample a second: 1000 samples are 1000 s, 44.1 million frames at the
// voices' rate. Converting is done a piece at a time, never a packet's worth at once.
TEST(FfmpegAudio, ATinyRateIsConvertedAPieceAtATime) {
  const std::string wav = PcmWav(2, 1, 1000);
  for (TAudioDecodeOptions o : {TAudioDecodeOptions{44100, 2}, TAudioDecodeOptions{0, 0, true}}) {
    const long before = PeakMemoryKb();
    auto d = Open(wav, "a.wav", o);
    EXPECT_EQ(d->Format().Rate, 44100);
    EXPECT_EQ(d->LengthFrames(), 1000 * 44100LL);
    std::vector<int16_t> buf(4096 * 2);
    int64_t frames = 0;
    for (int64_t n; frames < 3 * 44100 && (n = d->Read(buf.data(), 4096)) > 0;) frames += n;
    EXPECT_GE(frames, 3 * 44100);
    d->Seek(20 * 44100);
    ASSERT_EQ(d->Read(buf.data(), 1), 1);
    EXPECT_EQ(d->Position(), 20 * 44100 + 1);
    EXPECT_LT(PeakMemoryKb() - before, kGrowthKb) << o.Rate;  // a packet's conversion is 700 MB
  }
}

class EncodedMedia : public testing::Test {
protected:
  test::TempDir dir_;
};

TEST_F(EncodedMedia, OggVorbisLengthSeekAndLoopTags) {
  std::string ogg = test::EncodeSound(dir_ / "a.ogg", "libvorbis", 44100, 2, 44100 * 2, [](int f, int c) { return Sine(f, c); },
                                      [](void* dict) {
                                        av_dict_set(static_cast<AVDictionary**>(dict), "LOOPSTART", "22050", 0);
                                        av_dict_set(static_cast<AVDictionary**>(dict), "LOOPLENGTH", "44100", 0);
                                      });
  auto d = Open(ogg, "bgm\\a.ogg");
  EXPECT_EQ(d->Format().Rate, 44100);
  EXPECT_NEAR(static_cast<double>(d->LengthFrames()), 88200, 64);
  EXPECT_EQ(d->LoopStart(), 22050);
  EXPECT_EQ(d->LoopEnd(), 66150);
  std::vector<int16_t> all = ReadAll(*d);
  EXPECT_NEAR(static_cast<double>(all.size() / 2), 88200, 64);
  // A seek lands on the same samples a straight read gave (lossy data decodes the same way).
  d->Seek(30000);
  std::vector<int16_t> part(200);
  ASSERT_EQ(d->Read(part.data(), 100), 100);
  int close = 0;
  for (int i = 0; i < 200; ++i) close += std::abs(part[i] - all[2 * 30000 + i]) <= 64;
  EXPECT_GT(close, 190);
}

TEST_F(EncodedMedia, AdpcmWavAndWindowsMediaSound) {
  struct Case {
    const char* file;
    const char* codec;
  } cases[] = {{"a.wav", "adpcm_ms"}, {"b.wav", "adpcm_ima_wav"}, {"c.wma", "wmav2"}, {"d.flac", "flac"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::string bytes = test::EncodeSound(dir_ / c.file, c.codec, 22050, 1, 22050, [](int f, int ch) { return Sine(f, ch, 22050); });
    auto d = Open(bytes, c.file, TAudioDecodeOptions{44100, 2});
    std::vector<int16_t> all = ReadAll(*d);
    EXPECT_NEAR(static_cast<double>(all.size() / 2), 44100, 4096);
    int peak = 0;
    for (int16_t s : all) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_GT(peak, 5000);
  }
}

TEST_F(EncodedMedia, MpegMovieFramesTimesAndSeek) {
  // 30 frames at 30 fps: red, then green from frame 10, blue from frame 20.
  std::string mpg = test::EncodeMovie(dir_ / "m.mpg", "mpeg1video", 64, 48, 30, 30, [](int k) {
    return k < 10 ? 0xFF0000u : k < 20 ? 0x00FF00u : 0x0000FFu;
  }, "mp2");
  auto v = CreateFfmpegDecoders()->OpenVideo(std::make_unique<TKtMemoryStream>(mpg), "m.mpg");
  EXPECT_EQ(v->Width(), 64);
  EXPECT_EQ(v->Height(), 48);
  EXPECT_TRUE(v->HasAudio());
  EXPECT_NEAR(static_cast<double>(v->DurationMs()), 1000, 120);  // program streams tell it roughly
  TVideoFrame f;
  std::vector<int64_t> times;
  std::vector<uint32_t> centre;
  while (v->ReadFrame(f)) {
    times.push_back(f.TimeMs);
    centre.push_back(f.Pixels[24 * 64 + 32]);
  }
  ASSERT_EQ(times.size(), 30u);
  EXPECT_EQ(times[0], 0);
  EXPECT_EQ(times[15], 500);
  auto near = [](uint32_t got, uint32_t want) {
    for (int sh : {0, 8, 16})
      if (std::abs(static_cast<int>((got >> sh) & 0xFF) - static_cast<int>((want >> sh) & 0xFF)) > 24) return false;
    return (got >> 24) == 0;
  };
  EXPECT_TRUE(near(centre[5], 0xFF0000));
  EXPECT_TRUE(near(centre[15], 0x00FF00));
  EXPECT_TRUE(near(centre[25], 0x0000FF));
  // Seek: the next frame is the last one due at or before the time.
  v->Seek(510);
  ASSERT_TRUE(v->ReadFrame(f));
  EXPECT_EQ(f.TimeMs, 500);
  ASSERT_TRUE(v->ReadFrame(f));
  EXPECT_EQ(f.TimeMs, 533);
  v->Seek(0);
  ASSERT_TRUE(v->ReadFrame(f));
  EXPECT_EQ(f.TimeMs, 0);
  // The movie's sound opens as a sound.
  auto sound = Open(mpg, "m.mpg", TAudioDecodeOptions{44100, 2});
  EXPECT_GT(ReadAll(*sound).size(), 40000u);
}

TEST_F(EncodedMedia, DamagedDataGivesAClearErrorOrAnEarlyEnd) {
  std::vector<std::pair<std::string, std::string>> files = {
      {"a.ogg", test::EncodeSound(dir_ / "a.ogg", "libvorbis", 44100, 2, 22050, [](int f, int c) { return Sine(f, c); })},
      {"b.wav", PcmWav(2, 44100, 2000)},
      {"c.wma", test::EncodeSound(dir_ / "c.wma", "wmav2", 44100, 2, 22050, [](int f, int c) { return Sine(f, c); })},
      {"d.mpg", test::EncodeMovie(dir_ / "d.mpg", "mpeg1video", 32, 32, 25, 10, [](int k) { return k * 0x102030u; })},
  };
  EXPECT_EQ(test::ErrorOf([] { Open("", "x.ogg"); }).substr(0, 24), "unrecognised media data:");
  EXPECT_NE(test::ErrorOf([] { Open(std::string(1000, '\0'), "x.ogg"); }), "(no error)");
  std::mt19937 rng(1);
  for (auto& [name, bytes] : files) {
    bool movie = name == "d.mpg";
    for (int trial = 0; trial < 24; ++trial) {
      std::string damaged = bytes;
      if (trial < 12) {
        damaged.resize(bytes.size() * static_cast<size_t>(trial) / 12);  // truncated
      } else {
        for (int k = 0; k < 20; ++k) damaged[rng() % damaged.size()] = static_cast<char>(rng());  // bytes flipped
      }
      SCOPED_TRACE(name + " trial " + std::to_string(trial));
      try {
        if (movie) {
          auto v = CreateFfmpegDecoders()->OpenVideo(std::make_unique<TKtMemoryStream>(damaged), name);
          TVideoFrame f;
          int n = 0;
          while (v->ReadFrame(f) && n < 1000) ++n;
          v->Seek(200);
          v->ReadFrame(f);
        } else {
          auto d = Open(damaged, name, TAudioDecodeOptions{44100, 2});
          ReadAll(*d);
          d->Seek(100);
          ReadAll(*d);
        }
      } catch (const ENovaError& e) {
        EXPECT_FALSE(std::string(e.what()).empty());
      }
    }
  }
}

}  // namespace
}  // namespace nova
