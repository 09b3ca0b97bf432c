#pragma once
// Row routines of 32-bit surfaces (0x00RRGGBB). Each routine processes n pixels of one
// destination row; the source (and the mask) is read forward, or backward in the second entry
// of each pair (s[0], s[-1], ... for a mirrored draw). A routine exists three times: the plain
// reference twin (the per-pixel formula), and vector versions for SSE2 and AVX2 that must give
// the same pixels. Blended pixels come out with a zero top byte; copied pixels keep theirs.
#include <cstdint>

namespace nova {

struct TRows32 {
  // D := S.
  void (*Copy[2])(uint32_t* d, const uint32_t* s, int n);
  // D := S except where S = key.
  void (*CopyKeyed[2])(uint32_t* d, const uint32_t* s, int n, uint32_t key);
  // (D_c x (255 - a) + S_c x a) >> 8; skipped where keyed and S = key, and where skipEqual and
  // S = D.
  void (*Alpha[2])(uint32_t* d, const uint32_t* s, int n, uint32_t alpha, bool keyed, uint32_t key, bool skipEqual);
  // D_c + ((f x S_c) >> 8), saturated; skipped where keyed and S = key.
  void (*Add[2])(uint32_t* d, const uint32_t* s, int n, uint32_t factor, bool keyed, uint32_t key);
  // m = 0 skipped, m = 255 D := S, else (D_c x (255 - m) + S_c x m) >> 8.
  void (*Mask[2])(uint32_t* d, const uint32_t* s, const uint8_t* m, int n);
  // m = 0 skipped, else blend with b = (a x m) >> 8.
  void (*AlphaMask[2])(uint32_t* d, const uint32_t* s, const uint8_t* m, int n, uint32_t alpha);
  // m = 0 skipped, else D_c + ((g x S_c) >> 8) saturated with g = (f x m) >> 8.
  void (*AddMask[2])(uint32_t* d, const uint32_t* s, const uint8_t* m, int n, uint32_t factor);
  // The solid pixel P through the mask: m = 0 skipped, else blend with b = (a x m) >> 8.
  void (*MonoMask[2])(uint32_t* d, const uint8_t* m, int n, uint32_t alpha, uint32_t pixel);
  // FillRectAlpha (pixels equal to P unchanged), FillRectAdd, FillRectSub.
  void (*FillAlpha)(uint32_t* d, int n, uint32_t pixel, uint32_t alpha);
  void (*FillAdd)(uint32_t* d, int n, uint32_t pixel);
  void (*FillSub)(uint32_t* d, int n, uint32_t pixel);
  // d[i] := s[cols[i]]: a row of a scaled draw.
  void (*Gather)(uint32_t* d, const uint32_t* s, const int* cols, int n);
};

const TRows32& ReferenceRows32();
const TRows32& Sse2Rows32();
// nullptr when the processor has no AVX2.
const TRows32* Avx2Rows32();
// The routines of the current blit path (the fastest vector set, or the reference twins).
const TRows32& ActiveRows32();

}  // namespace nova
