#include "platform/platform.h"

namespace nova {

THeadlessPlatform::THeadlessPlatform()
    : clock_(CreateHeadlessClock(16)), dialogs_(std::make_unique<THeadlessDialogs>()) {}

std::unique_ptr<TPlatformWindow> THeadlessPlatform::CreateWindow(int width, int height) {
  auto window = std::make_unique<THeadlessWindow>();
  window->SetClientSize(width, height);
  return window;
}

}  // namespace nova
