#pragma once
// Helpers shared by the drawing operations: pixel access brackets, the choice between the
// 32-bit row routines and the per-pixel path, and the channel masks of a surface.
#include <cstdint>

#include "render/dibx.h"
#include "render/pixel_math.h"
#include "render/rows.h"

namespace nova::blit {

// PixelAddress(0, 0) ... Unlock around one operation; rows by number.
class TAccess {
public:
  explicit TAccess(TCustomDIBX* s) : s_(s), base_(s ? s->PixelAddress(0, 0) : nullptr), pitch_(base_ ? s->GetPitch() : 0) {}
  ~TAccess() {
    if (base_) s_->Unlock();
  }
  TAccess(const TAccess&) = delete;
  TAccess& operator=(const TAccess&) = delete;
  explicit operator bool() const { return base_ != nullptr; }
  uint8_t* Row(int y) const { return base_ + ptrdiff_t{y} * pitch_; }
  uint32_t* Row32(int y) const { return reinterpret_cast<uint32_t*>(Row(y)); }

private:
  TCustomDIBX* s_;
  uint8_t* base_;
  int32_t pitch_;
};

// True when every surface of an operation could be locked; the operation draws nothing
// otherwise.
template <typename... A>
bool AllLocked(const A&... a) {
  return (static_cast<bool>(a) && ...);
}

// True when a 32-bit surface's blends go through the row routines.
bool UseRows32(TCustomDIBX* d);

inline pixel::TMasks MasksOf(TCustomDIBX* s) { return pixel::TMasks{s->GetRedMask(), s->GetGreenMask(), s->GetBlueMask()}; }

// A source may be drawn onto the destination when it has storage and the same format.
inline bool Compatible(TCustomDIBX* dest, TCustomDIBX* source) {
  return source && !source->IsEmpty() && !dest->IsEmpty() && source->GetBitCount() == dest->GetBitCount();
}

// The part of a source (and of its mask, when given) that can be read.
inline TRect SourceBounds(TCustomDIBX* source, TCustomDIBX* mask = nullptr) {
  TRect b{0, 0, source->GetWidth(), source->GetHeight()};
  if (mask) b = Intersect(b, TRect{0, 0, mask->GetWidth(), mask->GetHeight()});
  return b;
}

}  // namespace nova::blit
