// The base surface's defaults, its clip rectangle, and TDIBX storage: size, pixel formats,
// pixel access, colour conversion and palettes.
#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "render/dibx.h"

namespace nova {

// ---------------------------------------------------------------------------------------------
// TCustomDIBX defaults: a surface without storage.

TCustomDIBX::TCustomDIBX() = default;
TCustomDIBX::~TCustomDIBX() = default;

TRect TCustomDIBX::EffectiveClip() {
  TRect whole{0, 0, GetWidth(), GetHeight()};
  if (ClipRight == 0) return whole.Empty() ? TRect{} : whole;
  return Intersect(GetClipRect(), whole);
}

bool TCustomDIBX::IsEmpty() { return GetWidth() == 0 || GetHeight() == 0; }
int TCustomDIBX::GetBitCount() { return 0; }
void TCustomDIBX::SetBitCount(int) {}
uint32_t TCustomDIBX::GetRedMask() { return 0; }
uint32_t TCustomDIBX::GetGreenMask() { return 0; }
uint32_t TCustomDIBX::GetBlueMask() { return 0; }
int32_t TCustomDIBX::GetPitch() { return 0; }
uint32_t TCustomDIBX::GetPixel(int, int) { return 0; }
void TCustomDIBX::SetPixel(int, int, uint32_t) {}
int TCustomDIBX::GetBlueShift() { return 0; }
int TCustomDIBX::GetGreenShift() { return 0; }
int TCustomDIBX::GetRedShift() { return 0; }
int TCustomDIBX::GetHeight() { return FHeight; }
int TCustomDIBX::GetWidth() { return FWidth; }
TCustomDIBX* TCustomDIBX::GetTarget() { return nullptr; }
int TCustomDIBX::GetStoredBitCount() { return GetBitCount(); }

void TCustomDIBX::SetSize(int width, int height, int) {
  FWidth = std::max(0, width);
  FHeight = std::max(0, height);
}

uint8_t* TCustomDIBX::PixelAddress(int, int) { return nullptr; }
void TCustomDIBX::Unlock() {}

void TCustomDIBX::ResetClip() { SetClipRect(TRect{}); }

void TCustomDIBX::AddClip(const TRect& r) {
  TRect c = Intersect(r, TRect{0, 0, GetWidth(), GetHeight()});
  if (c.Empty()) return;
  SetClipRect(ClipRight == 0 ? c : Union(GetClipRect(), c));
}

int32_t TCustomDIBX::ColorToPixel(int32_t color) { return color < 0 ? -1 : color; }

void TCustomDIBX::Fill(uint32_t pixel) { FillRect(TRect{0, 0, GetWidth(), GetHeight()}, pixel); }

void TCustomDIBX::ClearSurface() { FWidth = FHeight = 0; }
void TCustomDIBX::ReleaseSurface() {}

void TCustomDIBX::GetPaletteEntries(uint32_t* table) { GetPaletteEntries(table, 0, 256); }
void TCustomDIBX::GetPaletteEntries(uint32_t* table, int, int count) {
  if (table && count > 0) std::fill_n(table, count, 0u);
}
void TCustomDIBX::SetPaletteEntries(const uint32_t* table) { SetPaletteEntries(table, 0, 256); }
void TCustomDIBX::SetPaletteEntries(const uint32_t*, int, int) {}

// ---------------------------------------------------------------------------------------------
// TDIBX

namespace {

bool ValidBitCount(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

int CountBits(uint32_t mask) { return __builtin_popcount(mask); }
int LowestBit(uint32_t mask) { return mask ? __builtin_ctz(mask) : 0; }

}  // namespace

TDIBX::TDIBX() { SetSize(1, 1, 15); }
TDIBX::~TDIBX() = default;

void TDIBX::SetFormat(int bitCount) {
  if (!ValidBitCount(bitCount)) RaiseError(Format("TDIBX: unsupported bit count %d", bitCount));
  int stored = bitCount == 15 ? 16 : bitCount;
  bool paletteChanged = stored != storedBits_ || PaletteSize() == 0;
  storedBits_ = stored;
  if (bitCount == 15) {
    redMask_ = 0x7C00, greenMask_ = 0x3E0, blueMask_ = 0x1F;
  } else if (bitCount == 16) {
    redMask_ = 0xF800, greenMask_ = 0x7E0, blueMask_ = 0x1F;
  } else {
    redMask_ = 0xFF0000, greenMask_ = 0xFF00, blueMask_ = 0xFF;
  }
  redBits_ = CountBits(redMask_), greenBits_ = CountBits(greenMask_), blueBits_ = CountBits(blueMask_);
  redShift_ = LowestBit(redMask_), greenShift_ = LowestBit(greenMask_), blueShift_ = LowestBit(blueMask_);
  if (paletteChanged) {
    // A new index bitmap starts with a grey ramp.
    int n = PaletteSize();
    std::fill(std::begin(palette_), std::end(palette_), 0u);
    for (int i = 0; i < n; ++i) {
      uint32_t g = static_cast<uint32_t>(i * 255 / (n - 1));
      palette_[i] = g | g << 8 | g << 16;
    }
  }
}

void TDIBX::Allocate(int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  int32_t pitch = static_cast<int32_t>((int64_t{width} * storedBits_ + 31) / 32 * 4);
  size_t bytes = static_cast<size_t>(pitch) * static_cast<size_t>(height);
  // Rows start on 64-byte boundaries whenever the pitch allows: whole cache lines for the
  // vector routines.
  own_.assign(std::max<size_t>(bytes, 4) + 63, 0);
  bits_ = own_.data() + (-reinterpret_cast<uintptr_t>(own_.data()) & 63);
  borrowed_ = false;
  width_ = width;
  height_ = height;
  pitch_ = pitch;
}

void TDIBX::SetSize(int width, int height, int bitCount) {
  SetFormat(bitCount);
  Allocate(width, height);
}

void TDIBX::SetBitCount(int bitCount) { SetSize(width_, height_, bitCount); }

void TDIBX::Borrow(uint8_t* bits, int width, int height, int bitCount, int32_t pitch) {
  SetFormat(bitCount);
  std::vector<uint8_t>().swap(own_);
  bits_ = bits;
  width_ = bits ? std::max(0, width) : 0;
  height_ = bits ? std::max(0, height) : 0;
  pitch_ = pitch;
  borrowed_ = true;
}

void TDIBX::ClearSurface() {
  // The surface reports 0 x 0 but keeps a small bitmap of its format.
  Allocate(8, 8);
  width_ = height_ = 0;
}

bool TDIBX::IsEmpty() { return width_ == 0 || height_ == 0; }

int TDIBX::GetBitCount() { return storedBits_ == 16 && greenMask_ == 0x3E0 ? 15 : storedBits_; }
int TDIBX::GetStoredBitCount() { return storedBits_; }
uint32_t TDIBX::GetRedMask() { return redMask_; }
uint32_t TDIBX::GetGreenMask() { return greenMask_; }
uint32_t TDIBX::GetBlueMask() { return blueMask_; }
int TDIBX::GetRedShift() { return redShift_; }
int TDIBX::GetGreenShift() { return greenShift_; }
int TDIBX::GetBlueShift() { return blueShift_; }
int32_t TDIBX::GetPitch() { return pitch_; }
int TDIBX::GetHeight() { return height_; }
int TDIBX::GetWidth() { return width_; }

uint8_t* TDIBX::PixelAddress(int x, int y) {
  if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return nullptr;
  return bits_ + ptrdiff_t{y} * pitch_ + static_cast<ptrdiff_t>(int64_t{x} * storedBits_ / 8);
}

void TDIBX::Unlock() {}

uint32_t TDIBX::GetPixel(int x, int y) {
  const uint8_t* p = PixelAddress(x, y);
  if (!p) return 0;
  switch (storedBits_) {
    case 1: return (*p >> (7 - (x & 7))) & 1;
    case 4: return x & 1 ? *p & 0xF : *p >> 4;
    case 8: return *p;
    case 16: return p[0] | uint32_t{p[1]} << 8;
    case 24: return p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
    default: {
      uint32_t v;
      std::memcpy(&v, p, 4);
      return v;
    }
  }
}

void TDIBX::SetPixel(int x, int y, uint32_t pixel) {
  uint8_t* p = PixelAddress(x, y);
  if (!p) return;
  switch (storedBits_) {
    case 1: {
      uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      *p = pixel & 1 ? *p | bit : *p & ~bit;
      break;
    }
    case 4:
      *p = x & 1 ? static_cast<uint8_t>((*p & 0xF0) | (pixel & 0xF)) : static_cast<uint8_t>((*p & 0x0F) | (pixel & 0xF) << 4);
      break;
    case 8: *p = static_cast<uint8_t>(pixel); break;
    case 16:
      p[0] = static_cast<uint8_t>(pixel);
      p[1] = static_cast<uint8_t>(pixel >> 8);
      break;
    case 24:
      p[0] = static_cast<uint8_t>(pixel);
      p[1] = static_cast<uint8_t>(pixel >> 8);
      p[2] = static_cast<uint8_t>(pixel >> 16);
      break;
    default: std::memcpy(p, &pixel, 4); break;
  }
}

int32_t TDIBX::ColorToPixel(int32_t color) {
  if (color < 0) return -1;
  if (storedBits_ < 15) return color;  // index images take the value as it is
  uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  return static_cast<int32_t>((r >> (8 - redBits_)) << redShift_ | (g >> (8 - greenBits_)) << greenShift_ |
                              (b >> (8 - blueBits_)));
}

void TDIBX::Fill(uint32_t pixel) {
  if (storedBits_ > 8) {
    TCustomDIBX::Fill(pixel);
    return;
  }
  // Index bitmaps are filled byte by byte, the whole bitmap regardless of the clip.
  uint8_t byte = storedBits_ == 1 ? (pixel ? 0xFF : 0) : storedBits_ == 4 ? static_cast<uint8_t>((pixel & 0xF) * 0x11)
                                                                            : static_cast<uint8_t>(pixel);
  if (!bits_) return;
  int rows = width_ && height_ ? height_ : 0;
  size_t rowBytes = static_cast<size_t>(pitch_ < 0 ? -int64_t{pitch_} : pitch_);
  for (int y = 0; y < rows; ++y) std::memset(bits_ + ptrdiff_t{y} * pitch_, byte, rowBytes);
}

int TDIBX::PaletteSize() const {
  return storedBits_ == 1 ? 2 : storedBits_ == 4 ? 16 : storedBits_ == 8 ? 256 : 0;
}

void TDIBX::GetPaletteEntries(uint32_t* table) { GetPaletteEntries(table, 0, 256); }

void TDIBX::GetPaletteEntries(uint32_t* table, int first, int count) {
  if (!table) return;
  for (int i = 0; i < count; ++i) {
    int k = first + i;
    table[i] = k >= 0 && k < 256 ? palette_[k] : 0;
  }
}

void TDIBX::SetPaletteEntries(const uint32_t* table) { SetPaletteEntries(table, 0, 256); }

void TDIBX::SetPaletteEntries(const uint32_t* table, int first, int count) {
  if (!table) return;
  for (int i = 0; i < count; ++i) {
    int k = first + i;
    if (k >= 0 && k < 256) palette_[k] = table[i] & 0xFFFFFF;
  }
}

}  // namespace nova
