#pragma once
// The services the player takes from the system, as one bundle chosen at start-up: the
// headless bundle here (no display, no sound device, a clock that advances a fixed step per
// frame; no third-party library), or the real one of platform/sdl (SDL2, FreeType and the
// other libraries), which only the player links.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_hub.h"
#include "platform/audio_output.h"
#include "platform/caption_font.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/font_rasterizer.h"
#include "platform/frame_ticker.h"
#include "platform/http_client.h"
#include "platform/media_decoder.h"
#include "platform/midi_output.h"
#include "platform/user_config.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace nova {

class TPlatform {
public:
  virtual ~TPlatform() = default;

  virtual bool Headless() const = 0;
  virtual TPlatformClock& Clock() = 0;
  virtual TShell& Shell() = 0;
  // Boxes shown before the window exists have no parent; afterwards the window's.
  virtual TDialogs& Dialogs() = 0;
  // Raises ENovaError when no window can be made.
  virtual std::unique_ptr<TPlatformWindow> CreateWindow(int width, int height) = 0;
  // The face of the player's own captions, or null without one.
  virtual std::unique_ptr<TCaptionFont> OpenCaptionFont(int /*pixelSize*/) { return nullptr; }
  // The faces of the game's text (the glyph cache's rasteriser).
  virtual TFontRasterizer& Fonts() = 0;
  // A stream of the sound device, or null without one (or in another format than the
  // device's 44100 Hz stereo).
  virtual std::unique_ptr<TAudioOutput> OpenAudio(const TAudioFormat& /*format*/) { return nullptr; }
  // MIDI output ports by name, and one opened by index (-1: the MIDI mapper, the port the
  // user chose; null when it cannot be opened).
  virtual std::vector<std::string> MidiPorts() { return {}; }
  virtual std::unique_ptr<TMidiOutput> OpenMidi(int /*index*/) { return nullptr; }
  // Sound and movie decoding.
  virtual TMediaDecoders& Decoders() = 0;
  // Null: media work runs on threads of its own; else the ticker that runs it per frame step.
  virtual TFrameTicker* FrameTicker() { return nullptr; }
  // The user's media settings (headless: the defaults).
  virtual TUserMediaConfig MediaConfig() { return {}; }
  // HTTP requests (by default no network: every request fails).
  virtual THttpClient& Http() { return OfflineHttpClient(); }
};

struct THeadlessOptions {
  std::filesystem::path AudioOut;  // the WAV file of the sound device; empty: sound is dropped
};

// No display; message boxes on stderr; the headless clock (16 ms per frame); the headless font
// rasteriser unless another one is given (the player's headless mode renders with the installed
// fonts). Its sound device
// takes the sound of each frame step after the frame ticker ran (THeadlessAudio); its one MIDI
// port records what it is sent, ticking the sequencer in the sound device's time (a silent
// stream's frames); its decoders read PCM WAV only unless others are given.
class THeadlessPlatform : public TPlatform {
public:
  explicit THeadlessPlatform(const THeadlessOptions& options = {}, std::unique_ptr<TFontRasterizer> fonts = nullptr);
  ~THeadlessPlatform() override;
  bool Headless() const override { return true; }
  TPlatformClock& Clock() override { return *clock_; }
  TShell& Shell() override { return shell_; }
  TDialogs& Dialogs() override { return *dialogs_; }
  std::unique_ptr<TPlatformWindow> CreateWindow(int width, int height) override;
  TFontRasterizer& Fonts() override { return *fonts_; }
  std::unique_ptr<TAudioOutput> OpenAudio(const TAudioFormat& format) override;
  std::vector<std::string> MidiPorts() override;
  std::unique_ptr<TMidiOutput> OpenMidi(int index) override;
  TMediaDecoders& Decoders() override { return *decoders_; }
  TFrameTicker* FrameTicker() override { return &ticker_; }
  // Tests answer boxes their own way.
  void SetDialogs(std::unique_ptr<TDialogs> dialogs) { dialogs_ = std::move(dialogs); }
  void SetDecoders(std::unique_ptr<TMediaDecoders> decoders) { decoders_ = std::move(decoders); }
  THttpClient& Http() override { return http_ ? *http_ : TPlatform::Http(); }
  void SetHttp(std::unique_ptr<THttpClient> http) { http_ = std::move(http); }
  // Every message sent to the recording port, with the clock's time.
  TRecordingMidiOutput& MidiRecord() { return *midiRecord_; }
  THeadlessAudio& Audio() { return *audio_; }
  static const char* RecorderPortName() { return "novaplayer MIDI recorder"; }

private:
  class TSteppedClock;
  std::unique_ptr<THeadlessAudio> audio_;
  TFrameTicker ticker_;
  std::unique_ptr<TPlatformClock> clock_;
  THeadlessShell shell_;
  std::unique_ptr<TDialogs> dialogs_;
  std::unique_ptr<TFontRasterizer> fonts_;
  std::unique_ptr<TMediaDecoders> decoders_;
  std::shared_ptr<TRecordingMidiOutput> midiRecord_;
  std::unique_ptr<THttpClient> http_;
};

}  // namespace nova
