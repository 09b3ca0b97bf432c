#pragma once
// The property motion (TNovaPropMotion): moves one numbered property of another object from its
// value at the first update to a target value over a duration, linearly or eased, and then goes.
// It also goes when its target disappears or cannot be found.
#include <cstdint>
#include <string>

#include "base/extended.h"
#include "objects/nova_object.h"

namespace nova {

enum TMotionType : uint8_t { MT_NORMAL = 0, MT_INC = 1, MT_DEC = 2 };

class TNovaPropMotion : public TNovaComponent {
public:
  using TNovaComponent::TNovaComponent;

  uint8_t TypeCode() const override { return LT_PROPMOTION; }
  bool Paused() const override { return paused_; }
  bool Update(uint32_t elapsedMs) override;
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

  // Set-up by the property-motion command.
  void SetTargetName(const std::string& name) { targetName_ = name; }
  void SetPropertyNumber(int32_t id) { property_ = id; }
  void SetTargetValue(Real v) { targetValue_ = v; }
  void SetDuration(int32_t ms) { duration_ = ms; }
  void SetMotionType(int32_t type) { motionType_ = type; }
  void SetPaused(bool on) { paused_ = on; }

  // The value written at elapsed time e (ms) of a motion of l ms from w to v.
  static Real ValueAt(int32_t type, int32_t e, int32_t l, Real w, Real v);

private:
  std::string targetName_;
  TObjectRef target_;
  int32_t property_ = 255;
  Real targetValue_ = 0, startValue_ = 0;
  int32_t duration_ = 0;
  int32_t motionType_ = MT_NORMAL;
  int32_t elapsed_ = 0;
  bool paused_ = false;
  bool startKnown_ = false;
};

}  // namespace nova
