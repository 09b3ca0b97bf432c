#pragma once
// A scene whose sounds and movies play through the media managers on the headless platform
// with the player's decoders; it writes the sound of every 16 ms frame step to a WAV file.
// Frames are run by hand.
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/vrfiles.h"
#include "base/process.h"
#include "components/component_services.h"
#include "components/media/nova_sound.h"
#include "components/register_components.h"
#include "media/media_system.h"
#include "objects/object_factory.h"
#include "objects/property_access.h"
#include "objects/scene.h"
#include "platform/platform.h"
#include "platform/sdl/ffmpeg_decoders.h"
#include "render/dibx.h"
#include "support/test_support.h"

namespace nova::test {

// A 16-bit PCM WAV file; sample(frame, channel) gives each sample.
inline std::string Wav16(int channels, int rate, int frames, const std::function<int(int, int)>& sample) {
  std::string data;
  for (int f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c) {
      const auto s = static_cast<int16_t>(sample(f, c));
      data.append(reinterpret_cast<const char*>(&s), 2);
    }
  auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto le16 = [](uint32_t v) { return std::string{char(v), char(v >> 8)}; };
  const auto align = static_cast<uint32_t>(channels * 2);
  return "RIFF" + le32(36 + static_cast<uint32_t>(data.size())) + "WAVEfmt " + le32(16) + le16(1) +
         le16(static_cast<uint32_t>(channels)) + le32(static_cast<uint32_t>(rate)) +
         le32(static_cast<uint32_t>(rate) * align) + le16(align) + le16(16) + "data" +
         le32(static_cast<uint32_t>(data.size())) + data;
}

// A sine of `ms` milliseconds at 44100 Hz stereo, 16 bits.
inline std::string ToneWav(int ms, int amplitude = 8000) {
  return Wav16(2, 44100, 44100 * ms / 1000, [amplitude](int f, int) {
    return static_cast<int>(amplitude * std::sin(2 * 3.14159265358979 * 440.0 * f / 44100));
  });
}

// One note: the smallest standard MIDI file that sounds.
inline std::string NoteMidi() {
  return std::string("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\x0D\0\x90\x3C\x7F\x83\x60\x80\x3C\0\0\xFF\x2F\0", 35);
}

struct MediaScene {
  explicit MediaScene(bool directSound = true) {
    FrameClock() = TFrameClock{};
    SetQuitting(false);
    platform = std::make_unique<THeadlessPlatform>(THeadlessOptions{dir / "out.wav"});
    platform->SetDecoders(CreateFfmpegDecoders());  // the player's: movies too
    files.SetBaseFolder(dir.Path());
    TMediaSettings settings;
    settings.UseDirectSound = directSound;
    settings.DelayTime = 100;
    settings.GameFolder = dir.Path();
    media = std::make_unique<TMediaSystem>(*platform, files, settings, nullptr);
    services.Files = &files;
    services.Media = media.get();
    services.Platform = platform.get();
    RegisterComponentClasses(factory, services);
    scene.SetFactory(&factory);
    scene.SetSize(64, 48);
    back.SetSize(64, 48, 32);
    scene.SetBackSurface(&back);
  }
  ~MediaScene() {
    scene.Clear();  // the sounds hand their items back before media ends
  }

  void Write(const std::string& name, const std::string& bytes) { WriteFile(dir / name, bytes); }

  // One frame as the player runs it: the clock's step (decoding and the step's sound), then
  // input, update, media's per-frame work and the paint, overlay movies last. Events are
  // collected and the queue emptied.
  void Frame() {
    platform->Clock().FrameStep();
    FrameClock().Total += 16;
    FrameClock().LastDelta = 16;
    scene.ProcessInput(16);
    scene.UpdateScene(16);
    media->Update();
    scene.PaintScene();
    media->RepaintMovies(back);
    scene.ClearDirty();
    TEventQueue& q = scene.Events();
    for (int i = 0; i < q.Count(); ++i) events.push_back(scene.SenderName(q.Entry(i).Sender) + ":" + std::to_string(q.Entry(i).EventCode));
    q.Clear();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }
  uint32_t Now() const { return FrameClock().Total; }

  TNovaSound* Sound(const std::string& name, const std::string& source) {
    auto* s = dynamic_cast<TNovaSound*>(scene.CreateObject(LT_SOUND));
    if (!name.empty()) s->SetName(name);
    Set(*s, PR_SOURCE, TPropValue::OfStr(source));
    Set(*s, PR_VOLUME, TPropValue::OfInt(1000));
    return s;
  }
  static void Set(TNovaObject& o, int id, TPropValue v) { WriteProperty(o, id, std::move(v)); }
  static TPropValue Get(TNovaObject& o, int id) { return ReadProperty(o, id); }

  // The largest sample (both channels) written between two clock times.
  int Peak(uint32_t fromMs, uint32_t toMs) {
    platform->Audio().Flush();
    const std::string bytes = ReadFile(dir / "out.wav");
    const size_t count = bytes.size() > 44 ? (bytes.size() - 44) / 2 : 0;
    const size_t from = std::min<size_t>(count, static_cast<size_t>(fromMs) * 441 / 10 * 2);
    const size_t to = std::min<size_t>(count, static_cast<size_t>(toMs) * 441 / 10 * 2);
    int peak = 0;
    for (size_t i = from; i < to; ++i) {
      int16_t s;
      std::memcpy(&s, bytes.data() + 44 + 2 * i, 2);
      peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
  }
  int Count(const std::string& event) const {
    int n = 0;
    for (const std::string& e : events) n += e == event;
    return n;
  }

  TempDir dir;
  std::unique_ptr<THeadlessPlatform> platform;
  TVrFileManager files{false};
  std::unique_ptr<TMediaSystem> media;
  TComponentServices services;
  TObjectFactory factory;
  TNovaBaseList scene;
  TDIBX back;  // the picture the displayed screen paints into
  std::vector<std::string> events;
};

}  // namespace nova::test
