#include "components/media/nova_mixer.h"

#include "media/media_items.h"

namespace nova {

int32_t EffectiveVolume(int32_t volume, bool midi) {
  if (midi) return volume * 10 - 10000;
  if (volume <= 0) return kSilent;
  if (volume >= 1000) return 0;
  return 5 * volume - 5000;
}

TNovaMixer TNovaMixer::FadeIn(TDMediaItem* item, int32_t target, int32_t duration) {
  return TNovaMixer(item, false, target, duration);
}

TNovaMixer TNovaMixer::FadeOut(TDMediaItem* item, int32_t duration) { return TNovaMixer(item, true, kSilent, duration); }

bool TNovaMixer::Step(uint32_t now) {
  if (!item_) return true;
  if (!started_) {
    started_ = true;
    startTick_ = now;
    if (fadeOut_) {
      start_ = item_->GetVol();
    } else {
      item_->SetVol(kSilent);
      item_->Play();
      start_ = kSilent;
    }
    return false;
  }
  const uint32_t elapsed = now - startTick_;
  if (duration_ > 0 && elapsed < static_cast<uint32_t>(duration_)) {
    const int64_t span = static_cast<int64_t>(target_) - start_;
    item_->SetVol(static_cast<int32_t>(start_ + span * elapsed / duration_));
    return false;
  }
  item_->SetVol(target_);
  return true;
}

}  // namespace nova
