#pragma once
// Between surfaces and the plain pixel rows of the decoders and the writer.
#include <cstdint>
#include <memory>

#include "formats/pixel_rows.h"
#include "render/dibx.h"

namespace nova {

// PixelAddress(0, 0) ... Unlock around a piece of work, with the rows as a view (empty when
// the surface gives no pixel access).
class TSurfaceAccess {
public:
  explicit TSurfaceAccess(TCustomDIBX& s);
  ~TSurfaceAccess();
  TSurfaceAccess(const TSurfaceAccess&) = delete;
  TSurfaceAccess& operator=(const TSurfaceAccess&) = delete;
  const TPixelView& View() const { return view_; }

private:
  TCustomDIBX& s_;
  TPixelView view_;
};

// A main-memory surface holding a copy of the rows (and, when paletted, the palette).
std::unique_ptr<TDIBX> SurfaceFromBitmap(const TBrioBitmap& bitmap, const TBrioPalette& palette = {});

// The palette of a paletted surface (2^bits colours), empty otherwise.
TBrioPalette SurfacePalette(TCustomDIBX& s);

// The colour 0x00BBGGRR of one of the surface's pixel values (channels of fewer than 8 bits
// are widened by repeating their high bits; paletted surfaces look the index up).
uint32_t SurfacePixelToColor(TCustomDIBX& s, uint32_t pixel, const TBrioPalette& palette);

// The surface's pixels as rows the writer and the encoders take: paletted and 24-bit
// surfaces as they are, 16 (5-6-5) and 32 bits too when keepDepth is set; everything else
// (15 bits, or any true colour without keepDepth) converted to 24 bits.
TBrioBitmap BitmapFromSurface(TCustomDIBX& s, bool keepDepth = true);

}  // namespace nova
