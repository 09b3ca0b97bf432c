#include "components/images/nova_prev_images.h"

namespace nova {

void TNovaPrevImages::SetSource(const std::string& name) {
  if (name != Source()) {
    SetAlpha(255);
    SetAngle(0);
    SetZoomX(256);
    SetZoomY(256);
    SetFlipH(false);
    SetFlipV(false);
    TNovaControl::SetProperty(PR_CLIPWIDTH, TPropValue::OfInt(0));
    TNovaControl::SetProperty(PR_CLIPHEIGHT, TPropValue::OfInt(0));
    reported_ = false;
  }
  TNovaImages::SetSource(name);
}

void TNovaPrevImages::SetRepeat(bool on) {
  if (on != repeat_) reported_ = false;
  TNovaImages::SetRepeat(on);
}

bool TNovaPrevImages::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: SetSource(v.Str); return true;
    case PR_REPEAT: SetRepeat(v.Flag); return true;
    case PR_INDEX:
      reported_ = false;
      return TNovaImages::SetProperty(id, v);
    default: return TNovaImages::SetProperty(id, v);
  }
}

bool TNovaPrevImages::Update(uint32_t elapsedMs) {
  TNovaImages::Update(elapsedMs);  // never asks to be destroyed
  if (repeat_ || reported_) return false;
  bool finished = false;
  if (TImageMotion* motion = Motion()) {
    finished = motion->Finished() && motion->CurrentFrame() >= motion->FrameCount() - 1;
  } else {
    const int32_t count = CurrentList()->Count();
    finished = count > 0 && index_ == count - 1 && frameCountdown_ <= 0;
  }
  if (!finished) return false;
  reported_ = true;
  if (auto* owner = dynamic_cast<TPrevImagesOwner*>(Parent())) owner->PrevImageFinished(*this);
  return false;
}

}  // namespace nova
