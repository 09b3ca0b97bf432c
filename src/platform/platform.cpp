#include "platform/platform.h"

#include "platform/message_box.h"

namespace nova {

TPlatform::TPlatform(bool headless)
    : headless_(headless),
      clock_(headless ? CreateHeadlessClock(16) : CreateSystemClock()),
      shell_(headless ? std::unique_ptr<TShell>(std::make_unique<THeadlessShell>()) : CreateDesktopShell()) {}

std::unique_ptr<TPlatform> TPlatform::Create(bool headless) {
  return std::unique_ptr<TPlatform>(new TPlatform(headless));
}

std::unique_ptr<TPlatformWindow> TPlatform::CreateWindow(int width, int height) {
  if (headless_) return std::make_unique<THeadlessWindow>();
  return CreateSdlWindow(width, height);
}

void TPlatform::InstallMessageBoxes(TPlatformWindow* parent) {
  if (headless_) {
    InstallHeadlessMessageBoxes();
  } else {
    InstallSdlMessageBoxes(parent);
  }
}

}  // namespace nova
