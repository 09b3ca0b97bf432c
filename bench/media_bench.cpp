// Media costs against their budgets:
// - BM_Mix16*: the software mixer's cost per second of sound with 16 sources at once
//   ("core_percent": share of one core per second of sound; budget 2 %). Mixing only (decoded
//   PCM sources), and decoding 16 Ogg Vorbis sources through the media library as the mixer
//   reads them.
// - BM_MidiTimerJitter: the sequencer's 10 ms timer thread on the system clock; "jitter_ms_*"
//   are the deviations of the tick periods from 10 ms (budget 1 ms), "late_ms_*" how long after
//   its time each event went out (the 10 ms tick makes that up to 10 ms by design).
// - BM_MovieFrame: decoding one 640 x 480 MPEG-1 frame into its surface and drawing it into a
//   640 x 480 picture ("ms_per_frame"; budget 3 ms).
// - BM_SoundLatency: a sound started as the Sound command starts it (the item's Play right after
//   AddSound) until its first sample reaches the SDL sound device's callback, on the player's SDL
//   platform with SDL's dummy driver (no sound card; a driver named in SDL_AUDIODRIVER wins).
//   direct_sound:1 plays on the media library's voices (delay_ms unused), 0 on the software
//   mixer with blocks of delay_ms (500 is game.ini's default, 100 the smallest it allows);
//   music:1 with a quiet repeating sound playing all along (the mixer then has its blocks
//   queued ahead).
//   "latency_ms_*" over the starts; "in_period_ms_mean": where the first sample lay in the
//   callback's period (it is heard that much later again); "add_ms_mean": the AddSound before
//   Play. Not included: in the running game up to one 16 ms frame passes between the command
//   and Play, and a real device buffers a period or two more (the dummy driver only waits one
//   period between callbacks).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <random>
#include <thread>

#include "archive/vrfiles.h"
#include "base/process.h"
#include "media/media_fixtures.h"
#include "media/media_system.h"
#include "media/midi_player.h"
#include "media/novadll.h"
#include "media/wavouts.h"
#include "platform/sdl/ffmpeg_decoders.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_platform.h"
#include "platform_sdl/media_encoders.h"
#include "support/test_support.h"

namespace nova {
namespace {

using Clock = std::chrono::steady_clock;

const std::string& OggBytes() {
  static test::TempDir dir;
  static std::string bytes = test::EncodeSound(dir / "bench.ogg", "libvorbis", 44100, 2, 44100 * 4, [](int f, int c) {
    return static_cast<int>(9000 * std::sin(2 * 3.14159265 * (440 + 110 * c) * f / 44100.0));
  });
  return bytes;
}

// A stream of decoded PCM bytes through the media library (what an Ogg wave item gives the mixer).
class TLibraryPcm : public TStream {
public:
  explicit TLibraryPcm(int32_t h) : h_(h) {}
  int64_t Read(void* b, int64_t n) override { return novaOggStrRead(h_, b, static_cast<int32_t>(n)); }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t o, SeekOrigin origin) override {
    if (origin == SeekOrigin::Current && o == 0) return novaOggStrGetPos(h_);
    return novaOggStrSetPos(h_, origin == SeekOrigin::Begin ? o : origin == SeekOrigin::Current ? novaOggStrGetPos(h_) + o : Size() + o);
  }
  int64_t Size() override { return novaOggStrGetSize(h_); }

private:
  int32_t h_;
};

TPcmFormatRecord Stereo44() { return TPcmFormatRecord{}; }

void MixSecond(benchmark::State& state, bool decode) {
  THeadlessPlatform platform;
  platform.SetDecoders(CreateFfmpegDecoders());
  novaInit(platform, TStreamCallbacks(), 0);
  TWavOut mixer(platform, 500);
  mixer.Open();
  std::vector<std::unique_ptr<TKtMemoryStream>> data;
  std::vector<int32_t> handles;
  std::string pcm(176400 * 4, '\0');
  for (size_t i = 0; i < pcm.size(); i += 2) pcm[i] = static_cast<char>(i * 7), pcm[i + 1] = static_cast<char>(i >> 9);
  for (int i = 0; i < 16; ++i) {
    TWavBuffer* source;
    if (decode) {
      data.push_back(std::make_unique<TKtMemoryStream>(OggBytes()));
      int32_t h = novaOggStrmanAdd(data.back().get(), kNovaTrue);
      handles.push_back(h);
      TPcmFormatRecord f;
      novaOggStrGetFormat(h, &f);
      source = mixer.AddSource(f, std::make_unique<TLibraryPcm>(h));
    } else {
      source = mixer.AddSource(Stereo44(), std::make_unique<TKtMemoryStream>(pcm));
    }
    source->SetRepeat(true);
    source->SetVolume(200);
    source->Start();
  }
  std::vector<int16_t> block(mixer.BlockBytes() / 2);
  for (auto _ : state) {
    // One second of sound: two blocks of 500 ms.
    mixer.MixBlock(block.data());
    mixer.MixBlock(block.data());
    benchmark::DoNotOptimize(block.data());
  }
  state.counters["core_percent"] = benchmark::Counter(0.01, benchmark::Counter::kIsIterationInvariantRate |
                                                                 benchmark::Counter::kInvert);
  mixer.Close();
  for (int32_t h : handles) novaOggStrmanDel(h);
  novaFinal();
}

void BM_Mix16Pcm(benchmark::State& state) { MixSecond(state, false); }
void BM_Mix16OggDecoded(benchmark::State& state) { MixSecond(state, true); }
BENCHMARK(BM_Mix16Pcm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mix16OggDecoded)->Unit(benchmark::kMillisecond);

// A port that notes when each message went out.
class TTimedOutput : public TMidiOutput {
public:
  std::vector<Clock::time_point> Times;
  void SendShort(uint32_t m) override {
    if ((m & 0xF0) == 0x90) Times.push_back(Clock::now());
  }
  void SendLong(const std::vector<uint8_t>&) override {}
  void Reset() override {}
};

class TRealTimePlatform : public THeadlessPlatform {
public:
  TFrameTicker* FrameTicker() override { return nullptr; }
  TPlatformClock& Clock() override { return *clock_; }
  std::unique_ptr<TMidiOutput> OpenMidi(int) override { return std::unique_ptr<TMidiOutput>(output); }
  std::unique_ptr<TPlatformClock> clock_ = CreateSystemClock();
  TTimedOutput* output = nullptr;
};

void BM_MidiTimerJitter(benchmark::State& state) {
  // 100 notes 20 ms apart (division 96, tempo 500000: 20 ms = 3.84 ticks; 4 ticks = 20.8 ms).
  std::string track;
  for (int i = 0; i < 100; ++i) track += std::string{static_cast<char>(i ? 4 : 0), '\x90', '\x3C', '\x40'};
  track += std::string("\x00\xFF\x2F\x00", 4);
  uint32_t n = static_cast<uint32_t>(track.size());
  std::string smf = std::string("MThd\0\0\0\6\0\0\0\1\0\x60MTrk", 18) +
                    std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n)} + track;
  std::vector<double> periods, late;
  for (auto _ : state) {
    TRealTimePlatform platform;
    auto* out = new TTimedOutput;
    platform.output = out;
    TMidiPlayV player(platform);
    player.Open(0);
    TKtMemoryStream s(smf);
    player.LoadFromStream(s);
    Clock::time_point start = Clock::now();
    player.PlayFrom(0);
    while (!player.IsEnded()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    player.Stop();
    const auto& events = player.File().Events;
    // Sends happen at ticks: the gaps between consecutive sends are multiples of the period.
    for (size_t i = 1; i < out->Times.size(); ++i) {
      double gap = std::chrono::duration<double, std::milli>(out->Times[i] - out->Times[i - 1]).count();
      double ticks = std::max(1.0, std::round(gap / 10.0));
      periods.push_back(std::abs(gap - ticks * 10.0) / ticks);
    }
    for (size_t i = 0; i < out->Times.size() && i < events.size(); ++i)
      late.push_back(std::chrono::duration<double, std::milli>(out->Times[i] - start).count() - events[i].Time);
  }
  auto mean = [](const std::vector<double>& v) { return v.empty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / v.size(); };
  auto max = [](const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); };
  std::vector<double> sorted = periods;
  std::sort(sorted.begin(), sorted.end());
  state.counters["jitter_ms_mean"] = mean(periods);
  state.counters["jitter_ms_p99"] = sorted.empty() ? 0 : sorted[sorted.size() * 99 / 100];
  state.counters["jitter_ms_max"] = max(periods);
  state.counters["late_ms_mean"] = mean(late);
  state.counters["late_ms_max"] = max(late);
}
BENCHMARK(BM_MidiTimerJitter)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_MovieFrame(benchmark::State& state) {
  static test::TempDir dir;
  static std::string file = [] {
    // A moving gradient, so every frame has something to code.
    test::EncodeMovie(dir / "m.mpg", "mpeg1video", 640, 480, 30, 90, [](int k) { return static_cast<uint32_t>(k * 0x030507); });
    return dir / "m.mpg";
  }();
  THeadlessPlatform platform;
  platform.SetDecoders(CreateFfmpegDecoders());
  novaInit(platform, TStreamCallbacks(), 0);
  FrameClock() = TFrameClock{};
  int32_t h = novaVidmanAdd(file.c_str(), nullptr, kNovaTrue);
  novaVideoSetAutoRepeat(h, kNovaTrue);
  novaVideoPlay(h);
  TDIBX picture;
  picture.SetSize(640, 480, 32);
  int64_t frames = 0;
  for (auto _ : state) {
    FrameClock().Total += 33;  // one movie frame later
    if (novaVideoNeedPaint(h)) ++frames;
    TCustomDIBX* dc = novaVideoGetDC(h);
    picture.Draw(0, 0, false, false, false, TRect{0, 0, 640, 480}, dc);
    benchmark::DoNotOptimize(picture.PixelAddress(0, 0));
  }
  state.counters["ms_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()) / 1e3,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["new_frames"] = static_cast<double>(frames);
  novaVidmanDel(h);
  novaFinal();
}
BENCHMARK(BM_MovieFrame)->Unit(benchmark::kMillisecond);

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_SoundLatency(benchmark::State& state) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  const bool directSound = state.range(0) != 0, music = state.range(2) != 0;
  const auto delay = static_cast<int32_t>(state.range(1));
  // The effect is loud from its first sample; the music stays under the probe's threshold.
  constexpr int kThreshold = 1000;
  test::TempDir dir;
  test::WriteFile(dir / "effect.wav", test::WavBytes(2, 44100, 16, 4410, [](int f, int) { return f / 50 % 2 ? -8000 : 8000; }));
  test::WriteFile(dir / "music.wav", test::WavBytes(2, 44100, 16, 44100, [](int, int) { return 100; }));
  TVrFileManager files(false);
  files.SetBaseFolder(dir.Path());
  std::unique_ptr<TPlatform> platform = CreateSdlPlatform();
  TMediaSettings settings;
  settings.UseDirectSound = directSound;
  settings.DelayTime = delay;
  settings.GameFolder = dir.Path();
  TMediaSystem media(*platform, files, settings, nullptr);
  // Waits, calling the media system's per-frame work every 16 ms as the frame loop does.
  Clock::time_point lastUpdate = Clock::now();
  auto idle = [&](Clock::duration d) {
    for (Clock::time_point end = Clock::now() + d; Clock::now() < end;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (Clock::now() - lastUpdate >= std::chrono::milliseconds(16)) media.Update(), lastUpdate = Clock::now();
    }
  };
  // What the mixer may still have queued of the last effect (two blocks), plus a period.
  const auto drain = std::chrono::milliseconds(directSound ? 50 : 2 * MixerDelayTime(delay) + 50);
  TDMediaItem* bgm = nullptr;
  if (music) {
    bgm = media.AddSound("music.wav");
    bgm->SetAutoRepeat(true);
    bgm->Play();
  }
  idle(drain);
  std::vector<double> latency, inPeriod, add;
  std::mt19937 random(1);
  for (auto _ : state) {
    ArmOutputProbe(kThreshold);
    Clock::time_point before = Clock::now();
    TDMediaItem* effect = media.AddSound("effect.wav");
    Clock::time_point played = Clock::now();
    effect->Play();
    std::optional<TOutputProbeHit> hit;
    while (!(hit = OutputProbeHit()) && Clock::now() - played < std::chrono::seconds(3)) idle(std::chrono::milliseconds(1));
    media.Release(effect);
    if (!hit) {
      state.SkipWithError("the sound never reached the device");
      break;
    }
    latency.push_back(Ms(hit->Time - played));
    inPeriod.push_back(hit->Frame * 1000.0 / 44100);
    add.push_back(Ms(played - before));
    // Starts spread at random over the device's period and the mixer's feeding steps.
    idle(drain + std::chrono::milliseconds(random() % 200));
  }
  if (bgm) media.Release(bgm);
  auto mean = [](const std::vector<double>& v) { return v.empty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / v.size(); };
  state.counters["latency_ms_mean"] = mean(latency);
  state.counters["latency_ms_min"] = latency.empty() ? 0 : *std::min_element(latency.begin(), latency.end());
  state.counters["latency_ms_max"] = latency.empty() ? 0 : *std::max_element(latency.begin(), latency.end());
  state.counters["in_period_ms_mean"] = mean(inPeriod);
  state.counters["add_ms_mean"] = mean(add);
}
BENCHMARK(BM_SoundLatency)
    ->ArgNames({"direct_sound", "delay_ms", "music"})
    ->Args({1, 0, 0})
    ->Args({1, 0, 1})
    ->Args({0, 500, 0})
    ->Args({0, 500, 1})
    ->Args({0, 100, 0})
    ->Args({0, 100, 1})
    ->Iterations(16)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nova

BENCHMARK_MAIN();
