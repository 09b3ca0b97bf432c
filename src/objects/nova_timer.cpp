#include "objects/nova_timer.h"

#include "base/process.h"
#include "objects/scene.h"

namespace nova {
namespace {
uint32_t Now() { return FrameClock().Total; }
}  // namespace

TNovaTimer::TNovaTimer(TNovaBaseList* scene) : TNovaComponent(scene), periodStart_(Now()) {}

bool TNovaTimer::EventPending() const {
  return Scene() && Scene()->Events().FindPendingEvent(this, PR_ONNOTIFY) >= 0;
}

void TNovaTimer::Restart() {
  if (Scene()) Scene()->Events().RemoveSenderPending(this);
  periodStart_ = Now();
}

bool TNovaTimer::Update(uint32_t) {
  if (fired_ && autoScrap_) return !EventPending();
  if (interval_ < 0 || paused_) return false;
  const uint32_t now = Now();
  if (interval_ > 0 && now - periodStart_ < static_cast<uint32_t>(interval_)) return false;
  periodStart_ += static_cast<uint32_t>(interval_);
  if (!EventPending() && PostEventIfFree(PR_ONNOTIFY)) fired_ = true;
  return false;
}

bool TNovaTimer::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_ONNOTIFY: v = TPropValue::OfStr(onNotify_); return true;
    case PR_DELAY: v = TPropValue::OfInt(interval_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_AUTOSCRAP: v = TPropValue::OfFlag(autoScrap_); return true;
    default: return false;
  }
}

bool TNovaTimer::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_ONNOTIFY: onNotify_ = v.Str; return true;
    case PR_DELAY:
      interval_ = v.Int;
      Restart();
      return true;
    case PR_PAUSED:
      if (v.Flag != paused_) {
        paused_ = v.Flag;
        Restart();
      }
      return true;
    case PR_AUTOSCRAP: autoScrap_ = v.Flag; return true;
    default: return false;
  }
}

void TNovaTimer::SaveToStream(TStream& s) {
  TNovaComponent::SaveToStream(s);
  s.WriteString(onNotify_);
  s.WriteInt32(interval_);
  s.WriteByte(paused_);
  s.WriteByte(autoScrap_);
  s.WriteByte(fired_);
}

void TNovaTimer::LoadFromStream(TStream& s, int32_t version) {
  TNovaComponent::LoadFromStream(s, version);
  onNotify_ = s.ReadString();
  interval_ = s.ReadInt32();
  paused_ = s.ReadByte() != 0;
  if (version > 103) {
    autoScrap_ = s.ReadByte() != 0;
    fired_ = s.ReadByte() != 0;
  }
  periodStart_ = Now();
}

}  // namespace nova
