#pragma once
// The cabinet: a control that holds objects off screen (SaveCabinet, LoadCabinet). It is never
// visible and paints nothing, so what it holds is neither drawn, hit nor updated.
#include "objects/nova_control.h"

namespace nova {

class TNovaCabinet : public TNovaControl {
public:
  using TNovaControl::TNovaControl;
  uint8_t TypeCode() const override { return LT_CABINET; }
  bool Visible() const override { return false; }
  bool OwnVisible() const override { return false; }
};

}  // namespace nova
