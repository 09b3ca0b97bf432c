#pragma once
// The picture of the displayed screen that a screen transition starts from. When the Flip
// command carries objects over to the back screen, this control, laid over the displayed
// screen, keeps showing them where they were until the new screen is shown. It belongs to the
// transition only: its system name (0x01 0x01) keeps it on top of every sibling and, like its
// type code 0, out of saved games.
#include <string>

#include "objects/nova_control.h"
#include "render/dibx.h"

namespace nova {

class TSnapshotImage : public TNovaControl {
public:
  static const std::string& SnapshotName();  // the two bytes 0x01 0x01

  using TNovaControl::TNovaControl;
  // Copies the picture; the control takes its size.
  void TakePicture(TCustomDIBX& source);
  TDIBX& Picture() { return picture_; }

protected:
  void PaintSelf(TCustomDIBX& surface) override;

private:
  TDIBX picture_;
};

}  // namespace nova
