#include "platform/platform.h"

namespace nova {

THeadlessPlatform::THeadlessPlatform(std::unique_ptr<TFontRasterizer> fonts)
    : clock_(CreateHeadlessClock(16)),
      dialogs_(std::make_unique<THeadlessDialogs>()),
      fonts_(fonts ? std::move(fonts) : CreateHeadlessFontRasterizer()) {}

std::unique_ptr<TPlatformWindow> THeadlessPlatform::CreateWindow(int width, int height) {
  auto window = std::make_unique<THeadlessWindow>();
  window->SetClientSize(width, height);
  return window;
}

}  // namespace nova
