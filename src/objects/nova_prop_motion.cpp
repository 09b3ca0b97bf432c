#include "objects/nova_prop_motion.h"

#include <cmath>

#include "base/error.h"
#include "objects/property_access.h"
#include "objects/scene.h"
#include "params/param.h"
#include "params/property_table.h"

namespace nova {
namespace {
constexpr Real kHalfPi = 1.5707963267948966192313216916397514L;
}  // namespace

Real TNovaPropMotion::ValueAt(int32_t type, int32_t e, int32_t l, Real w, Real v) {
  const Real le = l, ee = e;
  switch (type) {
    case MT_INC: return v - std::sin((le - ee - 1) * kHalfPi / le) * (v - w);
    case MT_DEC: return w + std::sin(ee * kHalfPi / le) * (v - w);
    default: return w + (v - w) * ee / le;
  }
}

bool TNovaPropMotion::Update(uint32_t elapsedMs) {
  if (paused_) return false;
  TNovaBaseList* scene = Scene();
  if (!scene) return true;
  TNovaObject* target = nullptr;
  if (target_.Object) {
    target = scene->Resolve(target_);
    if (!target) return true;
  } else {
    target = scene->FindObject(targetName_);
    if (!target || property_ < 0 || property_ >= kPropertyCount) return true;
    target_ = TObjectRef(target);
    // A motion loaded halfway keeps the start value it had: taking the current value would
    // make the property jump.
    if (!startKnown_) {
      TParamFloat start;
      GetPropById(start, *target, property_);
      startValue_ = start.GetAsFloat();
    }
    startKnown_ = true;
  }
  bool finished = false;
  Real value;
  if (elapsed_ == 0) {
    value = startValue_;
  } else if (elapsed_ >= duration_ - 1) {
    value = targetValue_;
    finished = true;
  } else {
    value = ValueAt(motionType_, elapsed_, duration_, startValue_, targetValue_);
  }
  TParamFloat scratch;
  scratch.SetAsFloat(value);
  try {
    SetPropById(*target, property_, scratch);
  } catch (const ENovaError&) {
    // A property that cannot be written (the particle start positions) ends the motion.
    return true;
  }
  elapsed_ += static_cast<int32_t>(elapsedMs);
  return finished;
}

bool TNovaPropMotion::GetProperty(int id, TPropValue& v) {
  if (id != PR_PAUSED) return false;
  v = TPropValue::OfFlag(paused_);
  return true;
}

bool TNovaPropMotion::SetProperty(int id, const TPropValue& v) {
  if (id != PR_PAUSED) return false;
  paused_ = v.Flag;
  return true;
}

void TNovaPropMotion::SaveToStream(TStream& s) {
  TNovaComponent::SaveToStream(s);
  std::string name = targetName_;
  if (target_.Object) {
    TNovaObject* target = Scene() ? Scene()->Resolve(target_) : nullptr;
    name = target ? target->Name() : std::string();
  }
  s.WriteString(name);
  s.WriteInt32(property_);
  s.WriteExtended(targetValue_);
  s.WriteInt32(duration_);
  s.WriteInt32(motionType_);
  s.WriteExtended(startValue_);
  s.WriteInt32(elapsed_);
  s.WriteByte(paused_);
}

void TNovaPropMotion::LoadFromStream(TStream& s, int32_t version) {
  TNovaComponent::LoadFromStream(s, version);
  targetName_ = s.ReadString();
  target_ = TObjectRef();  // found again by name at the next update
  property_ = s.ReadInt32();
  targetValue_ = s.ReadExtended();
  duration_ = s.ReadInt32();
  motionType_ = s.ReadInt32();
  startValue_ = s.ReadExtended();
  elapsed_ = s.ReadInt32();
  if (version >= 126) paused_ = s.ReadByte() != 0;
  startKnown_ = elapsed_ > 0;
}

}  // namespace nova
