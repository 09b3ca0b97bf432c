#include "media/screen_manager.h"

#include <algorithm>

namespace nova {

TScreenManager::TScreenManager(const std::vector<TDisplayMode>& modes, int minWidth, int minHeight,
                               int preferredWidth, int preferredHeight, int desktopBits)
    : minWidth_(minWidth), minHeight_(minHeight), desktopBits_(desktopBits) {
  auto preferred = [&](const TDisplayMode& m) { return m.Width == preferredWidth && m.Height == preferredHeight; };
  for (const TDisplayMode& m : modes) {
    if (m.Width < minWidth || m.Height < minHeight || m.Bits < 16) continue;
    modes_.push_back(m);
    int index = static_cast<int>(modes_.size()) - 1;
    if (chosen_ < 0) {
      chosen_ = index;
      continue;
    }
    const TDisplayMode& c = modes_[static_cast<size_t>(chosen_)];
    if (!preferred(m)) continue;
    bool better = !preferred(c) || (m.Bits == desktopBits_ && (c.Bits != desktopBits_ || c.RefreshRate > m.RefreshRate));
    if (better) chosen_ = index;
  }
  SetMode(-1);
}

void TScreenManager::SetMode(int index) {
  if (index >= static_cast<int>(modes_.size())) index = -1;
  if (index == current_ && !back_.IsEmpty()) return;
  current_ = index;
  int bits = 32;  // windowed on a desktop deeper than 16 bits
  if (index >= 0) {
    int b = modes_[static_cast<size_t>(index)].Bits;
    bits = b < 16 ? 15 : b == 16 ? 16 : 32;
  } else if (desktopBits_ <= 16) {
    bits = 16;
  }
  back_.SetSize(std::max(1, minWidth_), std::max(1, minHeight_), bits);
}

void TScreenManager::Present(const std::vector<TRect>& rects, TPicture& panel) {
  ++frames_;
  if (back_.GetBitCount() != 32) return;
  for (const TRect& r0 : rects) {
    TRect r{std::max(0, r0.Left), std::max(0, r0.Top), std::min({r0.Right, panel.Width, back_.GetWidth()}),
            std::min({r0.Bottom, panel.Height, back_.GetHeight()})};
    if (r.Empty()) continue;
    for (int y = r.Top; y < r.Bottom; ++y) {
      auto* src = reinterpret_cast<const uint32_t*>(back_.PixelAddress(r.Left, y));
      if (!src) break;
      std::copy_n(src, r.Width(), panel.Row(y) + r.Left);
      back_.Unlock();
    }
  }
}

}  // namespace nova
