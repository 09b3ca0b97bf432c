#include "components/images/nova_image_list.h"

#include <cstdlib>

namespace nova {

void ApplyBrightness(TCustomDIBX& source, TDIBX& copy, int32_t brightness) {
  const int bits = source.GetBitCount();
  copy.SetSize(source.GetWidth(), source.GetHeight(), bits);
  copy.Assign(&source);
  const uint32_t c = static_cast<uint32_t>(copy.ColorToPixel(static_cast<int32_t>(std::abs(brightness) * 0x010101)));
  const TRect whole{0, 0, copy.GetWidth(), copy.GetHeight()};
  if (brightness > 0) copy.FillRectAdd(whole, c);
  else copy.FillRectSub(whole, c);
  copy.Transparent = -1;
  if (source.Transparent == -1) return;
  // The key pixel goes through the same change on a one-pixel probe.
  TDIBX probe;
  probe.SetSize(1, 1, bits);
  probe.SetPixel(0, 0, static_cast<uint32_t>(source.Transparent));
  if (brightness > 0) probe.FillRectAdd(TRect{0, 0, 1, 1}, c);
  else probe.FillRectSub(TRect{0, 0, 1, 1}, c);
  copy.Transparent = static_cast<int32_t>(probe.GetPixel(0, 0));
}

TCustomDIBX* TNovaImageData::Prepare(int32_t brightness) {
  if (brightness == 0) {
    copy_.reset();
    return &frame_->Surface;
  }
  if (!copy_ || copyBrightness_ != brightness || copyGeneration_ != frame_->Generation) {
    if (!copy_) copy_ = std::make_unique<TDIBX>();
    ApplyBrightness(frame_->Surface, *copy_, brightness);
    copyBrightness_ = brightness;
    copyGeneration_ = frame_->Generation;
  }
  return copy_.get();
}

TNovaImageList::~TNovaImageList() { Clear(); }

void TNovaImageList::Load(const std::string& file, bool keepOffsets, bool makeMasks) {
  Clear();
  if (!cache_) return;
  item_ = cache_->AcquireImage(this, file, keepOffsets, makeMasks);
  for (auto& f : item_->Frames) frames_.push_back(std::make_unique<TNovaImageData>(f.get()));
  Restart();
}

void TNovaImageList::Clear() {
  frames_.clear();
  if (item_ && cache_) cache_->ReleaseImage(this);
  item_ = nullptr;
  Index = 0;
  Countdown = 0;
}

void TNovaImageList::Restart() {
  Index = 0;
  Countdown = frames_.empty() ? 0 : frames_[0]->Duration();
}

bool TNovaImageList::StepLoop(uint32_t elapsedMs) {
  if (Count() <= 1) return false;
  Countdown -= static_cast<int32_t>(elapsedMs);
  if (Countdown >= 1) return false;
  const int32_t before = Index;
  // Catch up frame by frame; a wrap to frame 0 starts its time afresh.
  do {
    Index = (Index + 1) % Count();
    if (Index == 0) Countdown = 0;
    Countdown += Data(Index).Duration();
  } while (Countdown < 1 && Index != 0);
  return Index != before;
}

}  // namespace nova
