#pragma once
// The services the player takes from the system, as one bundle chosen at start-up: the
// headless bundle here (no display, no sound device, a clock that advances a fixed step per
// frame; no third-party library), or the real one of platform/sdl (SDL2, FreeType and the
// other libraries), which only the player links.
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_output.h"
#include "platform/caption_font.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/font_rasterizer.h"
#include "platform/midi_output.h"
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
  // The sound device, or null without one.
  virtual std::unique_ptr<TAudioOutput> OpenAudio(const TAudioFormat& /*format*/) { return nullptr; }
  // MIDI output ports by name, and one opened by index (null when it cannot be opened).
  virtual std::vector<std::string> MidiPorts() { return {}; }
  virtual std::unique_ptr<TMidiOutput> OpenMidi(int /*index*/) { return nullptr; }
};

// No display, no devices; message boxes on stderr; the headless clock (16 ms per frame); the
// headless font rasteriser unless another one is given (the player's headless mode renders
// with the installed fonts).
class THeadlessPlatform : public TPlatform {
public:
  explicit THeadlessPlatform(std::unique_ptr<TFontRasterizer> fonts = nullptr);
  bool Headless() const override { return true; }
  TPlatformClock& Clock() override { return *clock_; }
  TShell& Shell() override { return shell_; }
  TDialogs& Dialogs() override { return *dialogs_; }
  std::unique_ptr<TPlatformWindow> CreateWindow(int width, int height) override;
  TFontRasterizer& Fonts() override { return *fonts_; }
  // Tests answer boxes their own way.
  void SetDialogs(std::unique_ptr<TDialogs> dialogs) { dialogs_ = std::move(dialogs); }

private:
  std::unique_ptr<TPlatformClock> clock_;
  THeadlessShell shell_;
  std::unique_ptr<TDialogs> dialogs_;
  std::unique_ptr<TFontRasterizer> fonts_;
};

}  // namespace nova
