#include "components/images/picture_frames.h"

#include <algorithm>

#include "archive/vrfiles.h"
#include "components/component_services.h"
#include "formats/image_open.h"
#include "formats/surface_loader.h"

namespace nova {

bool TPictureFrames::Load(const TComponentServices& services, const std::string& name, int bits) {
  Clear();
  if (name.empty() || !services.Files) return false;
  bool exists = services.CheckFile ? services.CheckFile(name) : services.Files->Exists(name);
  if (!exists) return false;
  TKtMemoryStream bytes;
  services.Files->ReadFile(bytes, name);
  bytes.SetPosition(0);
  TBrioFrameList list(services.ImageKey);
  if (!LoadImageByExtension(list, bytes, name)) return false;
  for (int i = 0; i < list.Count(); ++i) {
    const TBrioFrame& f = list.Frame(i);
    TFrame frame;
    frame.Surface = std::make_unique<TDIBX>();
    frame.Surface->SetSize(1, 1, bits);
    CopyFrameToSurface(f, *frame.Surface);
    if (f.TransparentColor >= 0) frame.Surface->Transparent = frame.Surface->ColorToPixel(f.TransparentColor);
    if (f.MaskSurface) {
      frame.Mask = std::make_unique<TDIBX>();
      frame.Mask->SetSize(f.MaskSurface->GetWidth(), f.MaskSurface->GetHeight(), 8);
      frame.Mask->Draw(0, 0, false, false, false, TRect{0, 0, f.MaskSurface->GetWidth(), f.MaskSurface->GetHeight()},
                       f.MaskSurface.get());
    }
    frame.Duration = f.Delay > 0 ? f.Delay : 1;
    frames_.push_back(std::move(frame));
  }
  Rewind();
  return !frames_.empty();
}

void TPictureFrames::Clear() {
  frames_.clear();
  index_ = 0;
  countdown_ = 0;
}

int32_t TPictureFrames::Width() const { return frames_.empty() ? 0 : frames_.front().Surface->GetWidth(); }
int32_t TPictureFrames::Height() const { return frames_.empty() ? 0 : frames_.front().Surface->GetHeight(); }

void TPictureFrames::Rewind() {
  index_ = 0;
  countdown_ = frames_.empty() ? 0 : frames_.front().Duration;
}

bool TPictureFrames::Step(uint32_t elapsedMs) {
  if (frames_.size() <= 1) return false;
  countdown_ -= static_cast<int32_t>(elapsedMs);
  if (countdown_ >= 1) return false;
  const int before = index_;
  do {
    index_ = (index_ + 1) % Count();
    if (index_ == 0) countdown_ = 0;
    countdown_ += Current().Duration;
  } while (countdown_ < 1 && index_ != 0);
  return index_ != before;
}

void TPictureFrames::Draw(TCustomDIBX& target, int32_t x, int32_t y, int32_t blend, const TRect& src) {
  if (frames_.empty() || blend <= 0) return;
  TFrame& f = Current();
  TDIBX* s = f.Surface.get();
  const bool keyed = s->Transparent != -1;
  if (blend < 255) {
    if (f.Mask) target.DrawAlphaMask(x, y, blend, f.Mask.get(), false, false, src, s);
    else target.DrawAlpha(x, y, blend, false, false, keyed, src, s);
  } else if (blend == 255) {
    if (f.Mask) target.DrawMask(x, y, f.Mask.get(), false, false, src, s);
    else target.Draw(x, y, false, false, keyed, src, s);
  } else {
    const int factor = std::min(blend, 511) - 256;
    if (f.Mask) target.DrawAddMask(x, y, factor, f.Mask.get(), false, false, src, s);
    else target.DrawAdd(x, y, factor, false, false, keyed, src, s);
  }
}

std::unique_ptr<TTextPicture> TMesPictureSource::LoadPicture(const std::string& fileName) {
  auto picture = std::make_unique<TMesPicture>();
  try {
    if (!picture->Frames.Load(services_, fileName, bits_)) return nullptr;
  } catch (const std::exception&) {
    return nullptr;  // a damaged picture shows nothing
  }
  return picture;
}

}  // namespace nova
