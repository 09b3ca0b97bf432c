#include "components/images/snapshot_image.h"

namespace nova {

const std::string& TSnapshotImage::SnapshotName() {
  static const std::string name("\x01\x01", 2);
  return name;
}

void TSnapshotImage::TakePicture(TCustomDIBX& source) {
  const int width = source.GetWidth(), height = source.GetHeight();
  picture_.SetSize(width, height, source.GetBitCount());
  picture_.ResetClip();
  const TRect keptClip = source.GetClipRect();
  source.ResetClip();
  picture_.Assign(&source);
  source.SetClipRect(keptClip);
  SetBounds(Left(), Top(), width, height);
}

void TSnapshotImage::PaintSelf(TCustomDIBX& surface) {
  surface.Draw(ScreenLeft(), ScreenTop(), false, false, false, TRect{0, 0, picture_.GetWidth(), picture_.GetHeight()},
               &picture_);
}

}  // namespace nova
