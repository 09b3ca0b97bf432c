// Media costs against their budgets:
// - BM_Mix16*: the software mixer's cost per second of sound with 16 sources at once
//   ("core_percent": share of one core per second of sound; budget 2 %). Mixing only (decoded
//   PCM sources), and decoding 16 Ogg Vorbis sources through the media library as the mixer
//   reads them.
// - BM_MidiTimerJitter: the sequencer's 10 ms timer thread on the system clock (a port with no
//   tick source of its own; external ports tick on a thread like it); "jitter_ms_*" are the
//   deviations of the tick periods from 10 ms (budget 1 ms), "late_ms_*" how long after its
//   time each event went out (the 10 ms tick makes that up to 10 ms by design). busy:1 keeps
//   every core busy meanwhile with two spinning threads each.
// - BM_MidiAudioTime: the same notes on a port heard in a stream of the SDL sound device (dummy
//   driver), as the synthesizer is: the sequencer ticks in the device's render, and the figures
//   are in the sound's own time, where a note is heard (the frame it sounds from).
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
#include <atomic>
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

// 100 notes 20 ms apart (division 96, tempo 500000: 20 ms = 3.84 ticks; 4 ticks = 20.8 ms).
const std::string& JitterSmf() {
  static const std::string smf = [] {
    std::string track;
    for (int i = 0; i < 100; ++i) track += std::string{static_cast<char>(i ? 4 : 0), '\x90', '\x3C', '\x40'};
    track += std::string("\x00\xFF\x2F\x00", 4);
    uint32_t n = static_cast<uint32_t>(track.size());
    return std::string("MThd\0\0\0\6\0\0\0\1\0\x60MTrk", 18) +
           std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n)} +
           track;
  }();
  return smf;
}

// Two threads a core spinning at normal priority while it lives (none when off).
class TBusyMachine {
public:
  explicit TBusyMachine(bool on) {
    if (!on) return;
    for (unsigned i = 0; i < 2 * std::max(1u, std::thread::hardware_concurrency()); ++i)
      threads_.emplace_back([this] {
        volatile uint64_t x = 0;
        while (!stop_.load(std::memory_order_relaxed)) x = x * 6364136223846793005ull + 1;
      });
  }
  ~TBusyMachine() {
    stop_.store(true);
    for (auto& t : threads_) t.join();
  }

private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> threads_;
};

// The figures of the sends of one note each: `times` in ms (from the start of playing) against
// the events' times. Sends happen at ticks: the gaps between consecutive sends are multiples of
// the period.
struct TMidiTiming {
  std::vector<double> periods, late;
  void Add(const std::vector<double>& times, const std::vector<TMidiMsgEvent>& events) {
    for (size_t i = 1; i < times.size(); ++i) {
      double gap = times[i] - times[i - 1];
      double ticks = std::max(1.0, std::round(gap / 10.0));
      periods.push_back(std::abs(gap - ticks * 10.0) / ticks);
    }
    for (size_t i = 0; i < times.size() && i < events.size(); ++i) late.push_back(times[i] - events[i].Time);
  }
  void Report(benchmark::State& state) const {
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
};

void BM_MidiTimerJitter(benchmark::State& state) {
  TBusyMachine busy(state.range(0) != 0);
  TMidiTiming timing;
  for (auto _ : state) {
    TRealTimePlatform platform;
    auto* out = new TTimedOutput;
    platform.output = out;
    TMidiPlayV player(platform);
    player.Open(0);
    TKtMemoryStream s(JitterSmf());
    player.LoadFromStream(s);
    Clock::time_point start = Clock::now();
    player.PlayFrom(0);
    while (!player.IsEnded()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    player.Stop();
    std::vector<double> times;
    for (Clock::time_point t : out->Times) times.push_back(std::chrono::duration<double, std::milli>(t - start).count());
    timing.Add(times, player.File().Events);
  }
  timing.Report(state);
}
BENCHMARK(BM_MidiTimerJitter)->ArgName("busy")->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

// A port heard in a stream of the sound device, as the synthesizer is (silent here): the
// sequencer ticks in the stream's render; each note on is noted with the frame it sounds from.
class TRenderedOutput : public TMidiOutput, public TAudioSource {
public:
  explicit TRenderedOutput(std::unique_ptr<TAudioOutput> stream) : stream_(std::move(stream)), clock_(44100) {
    stream_->SetSource(this);
  }
  ~TRenderedOutput() override { stream_->SetSource(nullptr); }
  void SendShort(uint32_t m) override {
    if ((m & 0xF0) == 0x90) Frames.push_back(clock_.Frames());
  }
  void SendLong(const std::vector<uint8_t>&) override {}
  void Reset() override {}
  TMidiTickSource* TickSource() override { return &clock_; }
  void Render(int16_t* out, size_t frames) override {
    std::fill(out, out + 2 * frames, int16_t{0});
    clock_.Render(frames, [](size_t, size_t) {});
  }
  std::vector<uint64_t> Frames;  // written by the ticks only

private:
  std::unique_ptr<TAudioOutput> stream_;
  TRenderTickSource clock_;
};

void BM_MidiAudioTime(benchmark::State& state) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  TBusyMachine busy(state.range(0) != 0);
  TSdlAudioDevice device;
  TMidiTiming timing;
  for (auto _ : state) {
    class TAudioPlatform : public THeadlessPlatform {
    public:
      explicit TAudioPlatform(TSdlAudioDevice& d) : device(d) {}
      TFrameTicker* FrameTicker() override { return nullptr; }
      std::unique_ptr<TMidiOutput> OpenMidi(int) override {
        auto stream = device.OpenStream(TAudioFormat{});
        if (!stream) return nullptr;
        auto port = std::make_unique<TRenderedOutput>(std::move(stream));
        output = port.get();
        return port;
      }
      TSdlAudioDevice& device;
      TRenderedOutput* output = nullptr;
    } platform(device);
    TMidiPlayV player(platform);
    if (!player.Open(0)) {
      state.SkipWithError("no sound device");
      break;
    }
    TKtMemoryStream s(JitterSmf());
    player.LoadFromStream(s);
    uint64_t start = platform.output->TickSource()->NowMs();
    player.PlayFrom(0);
    while (!player.IsEnded()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    player.Stop();
    std::vector<double> times;
    for (uint64_t f : platform.output->Frames) times.push_back(f * 1000.0 / 44100 - static_cast<double>(start));
    timing.Add(times, player.File().Events);
  }
  timing.Report(state);
}
BENCHMARK(BM_MidiAudioTime)->ArgName("busy")->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

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
