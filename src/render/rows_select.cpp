// The blit path and the row routines it selects, fixed once at start-up from the processor's
// features and changeable for comparison.
#include "render/blit.h"

namespace nova {
namespace {

TBlitPath gPath = TBlitPath::FastRows;

const TRows32& FastestRows32() {
  static const TRows32& rows = Avx2Rows32() ? *Avx2Rows32() : Sse2Rows32();
  return rows;
}

}  // namespace

void SetBlitPath(TBlitPath path) { gPath = path; }
TBlitPath GetBlitPath() { return gPath; }

const TRows32& ActiveRows32() { return gPath == TBlitPath::FastRows ? FastestRows32() : ReferenceRows32(); }

bool blit::UseRows32(TCustomDIBX* d) { return gPath != TBlitPath::PerPixel && d->GetStoredBitCount() == 32; }

}  // namespace nova
