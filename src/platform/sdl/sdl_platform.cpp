#include "platform/sdl/sdl_platform.h"

#include "platform/sdl/freetype_caption_font.h"
#include "platform/sdl/freetype_fonts.h"
#include "platform/sdl/sdl_dialogs.h"
#include "platform/sdl/sdl_window.h"

namespace nova {
namespace {

class TSdlPlatform : public TPlatform {
public:
  TSdlPlatform() : clock_(CreateSystemClock()), shell_(CreateDesktopShell()) {}

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

private:
  std::unique_ptr<TPlatformClock> clock_;
  std::unique_ptr<TShell> shell_;
  TSdlDialogs dialogs_;
  std::unique_ptr<TFontRasterizer> fonts_;  // made on first use (fontconfig takes a moment)
};

}  // namespace

std::unique_ptr<TPlatform> CreateSdlPlatform() { return std::make_unique<TSdlPlatform>(); }

std::unique_ptr<TPlatform> CreatePlayerPlatform(bool headless) {
  // Headless runs still draw text with the installed fonts, so their screenshots show real text.
  if (headless) return std::make_unique<THeadlessPlatform>(CreateFreeTypeFontRasterizer());
  return CreateSdlPlatform();
}

}  // namespace nova
