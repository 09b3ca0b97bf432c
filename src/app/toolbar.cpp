#include "app/toolbar.h"

#include "base/encoding.h"

namespace nova {
namespace {

constexpr uint32_t kBarFace = 0xF0F0F0, kHover = 0xE5F1FB, kHoverEdge = 0x3C7FB1, kBarPressed = 0xCCE4F7;
constexpr uint32_t kBarText = 0x000000, kDockEdge = 0xA0A0A0;

void FillRect(TPicture& p, int left, int top, int w, int h, uint32_t colour) {
  for (int y = top < 0 ? 0 : top; y < top + h && y < p.Height; ++y) {
    uint32_t* row = p.Row(y);
    for (int x = left < 0 ? 0 : left; x < left + w && x < p.Width; ++x) row[x] = colour;
  }
}

void FrameRect(TPicture& p, const TRect& r, uint32_t colour) {
  FillRect(p, r.Left, r.Top, r.Width(), 1, colour);
  FillRect(p, r.Left, r.Top + r.Height() - 1, r.Width(), 1, colour);
  FillRect(p, r.Left, r.Top, 1, r.Height(), colour);
  FillRect(p, r.Left + r.Width() - 1, r.Top, 1, r.Height(), colour);
}

}  // namespace

const std::string& QuitCaption() {
  static const std::string text = Utf8ToSjis("終了");
  return text;
}
const std::string& ScreenCaption() {
  static const std::string text = Utf8ToSjis("画面切替");
  return text;
}

TToolbar::TToolbar(std::unique_ptr<TCaptionFont> font) : font_(std::move(font)) {}
TToolbar::~TToolbar() = default;

TRect TToolbar::ButtonRect(ToolButton button) {
  int index = static_cast<int>(button);
  return TRect::FromSize(index * kToolButtonWidth, (kDockHeight - kToolButtonHeight) / 2, kToolButtonWidth, kToolButtonHeight);
}

ToolButton TToolbar::ButtonAt(int x, int y) const {
  for (ToolButton b : {ToolButton::Quit, ToolButton::Screen}) {
    TRect r = ButtonRect(b);
    if (x >= r.Left && x < r.Left + r.Width() && y >= r.Top && y < r.Top + r.Height()) return b;
  }
  return ToolButton::None;
}

void TToolbar::Draw(TPicture& picture, ToolButton hover, ToolButton pressed) {
  FillRect(picture, 0, 0, picture.Width, kDockHeight, kBarFace);
  FillRect(picture, 0, kDockHeight - 1, picture.Width, 1, kDockEdge);
  for (ToolButton b : {ToolButton::Quit, ToolButton::Screen}) {
    TRect r = ButtonRect(b);
    if (b == pressed) {
      FillRect(picture, r.Left, r.Top, r.Width(), r.Height(), kBarPressed);
      FrameRect(picture, r, kHoverEdge);
    } else if (b == hover) {
      FillRect(picture, r.Left, r.Top, r.Width(), r.Height(), kHover);
      FrameRect(picture, r, kHoverEdge);
    }
    const std::string& caption = b == ToolButton::Quit ? QuitCaption() : ScreenCaption();
    if (font_) font_->DrawCentred(picture, r, SjisToUtf8(caption), kBarText);
  }
}

}  // namespace nova
