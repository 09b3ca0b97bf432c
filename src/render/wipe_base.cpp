// The transition base: parameters, the step frame every member shares (update rectangle, the
// end, the final picture), and the mask members' composition.
#include <algorithm>

#include "render/wipes.h"

namespace nova {

TCustomWipe::TCustomWipe(TCustomDIBX* destination, TCustomDIBX* from, TCustomDIBX* to)
    : dest_(destination), from_(from), to_(to) {
  width_ = dest_ ? dest_->GetWidth() : 0;
  height_ = dest_ ? dest_->GetHeight() : 0;
}

TCustomWipe::~TCustomWipe() = default;

void TCustomWipe::SetReverse(uint8_t reverse) { reverse_ = reverse; }

int32_t TCustomWipe::GetParam(int index) { return index == 0 || index == 1 ? params_[index] : 0; }

void TCustomWipe::SetParam(int index, int32_t value) {
  if (index == 0 || index == 1) params_[index] = value;
}

void TCustomWipe::SetMaskName(const std::string& name) { maskName_ = name; }

void TCustomWipe::Prepare() { prepared_ = true; }

bool TCustomWipe::Step() {
  update_ = TRect{0, 0, width_, height_};
  if (Finished()) {
    // From the end on the screen shows the new picture whole, not the last step's picture.
    DrawFinal();
    return true;
  }
  if (!prepared_) Prepare();
  dest_->ResetClip();
  DrawStep();
  finalShown_ = false;
  return false;
}

void TCustomWipe::Abort() {
  aborted_ = true;
  DrawFinal();
}

void TCustomWipe::DrawFinal() {
  update_ = TRect{0, 0, width_, height_};
  StartFrom(to_);
  finalShown_ = true;
}

void TCustomWipe::StartFrom(TCustomDIBX* picture) {
  dest_->ResetClip();
  dest_->Assign(picture);
}

uint32_t TCustomWipe::GreyPixel(int v) const {
  uint32_t c = static_cast<uint32_t>(std::clamp(v, 0, 255));
  return static_cast<uint32_t>(dest_->ColorToPixel(static_cast<int32_t>(c | c << 8 | c << 16)));
}

std::vector<uint8_t> TCustomWipe::GreyLevels() {
  std::vector<uint8_t> grey(static_cast<size_t>(width_) * static_cast<size_t>(height_), 255);
  TCustomDIBX* image = maskImage_.get();
  if (!image || image->IsEmpty() || image->GetBitCount() != 8) return grey;
  const int iw = image->GetWidth(), ih = image->GetHeight();
  uint8_t* base = image->PixelAddress(0, 0);
  if (!base) return grey;
  const int32_t pitch = image->GetPitch();
  // The picture repeated from the top-left; inverted when reversed.
  for (int y = 0; y < height_; ++y) {
    const uint8_t* src = base + ptrdiff_t{y % ih} * pitch;
    uint8_t* out = grey.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
    for (int x = 0; x < width_; ++x) {
      uint8_t g = src[x % iw];
      out[x] = reverse_ ? static_cast<uint8_t>(255 - g) : g;
    }
  }
  image->Unlock();
  return grey;
}

// ---------------------------------------------------------------------------------------------
// TWipeMask

TWipeMask::TWipeMask(TCustomDIBX* destination, TCustomDIBX* from, TCustomDIBX* to)
    : TCustomWipe(destination, from, to) {}

void TWipeMask::SetParam(int index, int32_t value) {
  if (index == 0) value = std::max(value, 2);
  if (index == 1) value = std::max(value, 1);
  TCustomWipe::SetParam(index, value);
}

int TWipeMask::MaskHeight() { return H(); }

void TWipeMask::Prepare() {
  TCustomWipe::Prepare();
  mask_.SetSize(W(), std::max(1, MaskHeight()), 8);
  mask_.Fill(0);
  lastProgress_ = -1;
}

bool TWipeMask::NewProgress(int64_t progress) {
  if (progress == lastProgress_) return false;
  lastProgress_ = progress;
  return true;
}

void TWipeMask::DrawStep() {
  // An unchanged mask leaves the last composed picture standing (unless the final picture
  // replaced it: the time went back).
  if (!RenderMask() && !finalShown_) return;
  ComposeThroughMask(dest_, from_, to_, &mask_, binary_);
}

}  // namespace nova
