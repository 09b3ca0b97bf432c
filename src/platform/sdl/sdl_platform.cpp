#include "platform/sdl/sdl_platform.h"

#include "platform/sdl/curl_http.h"
#include "platform/sdl/ffmpeg_decoders.h"
#include "platform/sdl/freetype_caption_font.h"
#include "platform/sdl/freetype_fonts.h"
#include "platform/sdl/player_midi.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_dialogs.h"
#include "platform/sdl/sdl_window.h"

namespace nova {
namespace {

class TSdlPlatform : public TPlatform {
public:
  TSdlPlatform()
      : clock_(CreateSystemClock()),
        shell_(CreateDesktopShell()),
        config_(LoadUserMediaConfig()),
        audio_(config_.AudioDevice),
        decoders_(CreateFfmpegDecoders()),
        midi_(config_, [this] { return audio_.OpenStream(TAudioFormat{}); }, true),
        http_(CreateCurlHttpClient()) {}

  bool Headless() const override { return false; }
  TPlatformClock& Clock() override { return *clock_; }
  TShell& Shell() override { return *shell_; }
  TDialogs& Dialogs() override { return dialogs_; }
  std::unique_ptr<TPlatformWindow> CreateWindow(int width, int height) override {
    return CreateSdlWindow(width, height, &dialogs_);
  }
  std::unique_ptr<TCaptionFont> OpenCaptionFont(int pixelSize) override { return OpenFreeTypeCaptionFont(pixelSize); }
  TFontRasterizer& Fonts() override {
    if (!fonts_) fonts_ = CreateFreeTypeFontRasterizer();
    return *fonts_;
  }
  std::unique_ptr<TAudioOutput> OpenAudio(const TAudioFormat& format) override { return audio_.OpenStream(format); }
  std::vector<std::string> MidiPorts() override { return midi_.Names(); }
  std::unique_ptr<TMidiOutput> OpenMidi(int index) override { return midi_.Open(index); }
  TMediaDecoders& Decoders() override { return *decoders_; }
  TUserMediaConfig MediaConfig() override { return config_; }
  THttpClient& Http() override { return *http_; }

private:
  std::unique_ptr<TPlatformClock> clock_;
  std::unique_ptr<TShell> shell_;
  TSdlDialogs dialogs_;
  std::unique_ptr<TFontRasterizer> fonts_;  // made on first use (fontconfig takes a moment)
  TUserMediaConfig config_;
  TSdlAudioDevice audio_;
  std::unique_ptr<TMediaDecoders> decoders_;
  TPlayerMidiPorts midi_;
  std::unique_ptr<THttpClient> http_;
};

// The headless player: the headless platform with the real decoders; with a sound file, the
// synthesizer renders MIDI into it (else the recording port takes MIDI).
class THeadlessPlayerPlatform : public THeadlessPlatform {
public:
  explicit THeadlessPlayerPlatform(const THeadlessOptions& options)
      : THeadlessPlatform(options, CreateFreeTypeFontRasterizer()),
        withSynth_(!options.AudioOut.empty()),
        config_(HeadlessConfig()),
        midi_(config_, [this] { return OpenAudio(TAudioFormat{}); }, false) {
    SetDecoders(CreateFfmpegDecoders());
    SetHttp(CreateCurlHttpClient());
  }
  std::vector<std::string> MidiPorts() override {
    return withSynth_ ? midi_.Names() : THeadlessPlatform::MidiPorts();
  }
  std::unique_ptr<TMidiOutput> OpenMidi(int index) override {
    return withSynth_ ? midi_.Open(index) : THeadlessPlatform::OpenMidi(index);
  }
  TUserMediaConfig MediaConfig() override { return config_; }

private:
  // Only the sound font comes from the user's settings: a headless run sounds the same for
  // every user.
  static TUserMediaConfig HeadlessConfig() {
    TUserMediaConfig c;
    c.SoundFont = LoadUserMediaConfig().SoundFont;
    return c;
  }
  bool withSynth_;
  TUserMediaConfig config_;
  TPlayerMidiPorts midi_;
};

}  // namespace

std::unique_ptr<TPlatform> CreateSdlPlatform() { return std::make_unique<TSdlPlatform>(); }

std::unique_ptr<TPlatform> CreatePlayerPlatform(bool headless, const std::filesystem::path& audioOut) {
  // Headless runs still draw text with the installed fonts, so their screenshots show real text.
  if (headless) return std::make_unique<THeadlessPlayerPlatform>(THeadlessOptions{audioOut});
  return CreateSdlPlatform();
}

}  // namespace nova
