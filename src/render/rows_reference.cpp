// The reference twins of the 32-bit row routines: the per-pixel formulas, written plainly.
#include <cstring>

#include "render/pixel_math.h"
#include "render/rows.h"

namespace nova {
namespace {

using pixel::kMasks32;

template <bool Rev>
inline uint32_t At(const uint32_t* s, int i) {
  return Rev ? s[-i] : s[i];
}
template <bool Rev>
inline uint8_t At(const uint8_t* m, int i) {
  return Rev ? m[-i] : m[i];
}

template <bool Rev>
void Copy(uint32_t* d, const uint32_t* s, int n) {
  for (int i = 0; i < n; ++i) d[i] = At<Rev>(s, i);
}

template <bool Rev>
void CopyKeyed(uint32_t* d, const uint32_t* s, int n, uint32_t key) {
  for (int i = 0; i < n; ++i) {
    uint32_t v = At<Rev>(s, i);
    if (v != key) d[i] = v;
  }
}

template <bool Rev>
void Alpha(uint32_t* d, const uint32_t* s, int n, uint32_t alpha, bool keyed, uint32_t key, bool skipEqual) {
  for (int i = 0; i < n; ++i) {
    uint32_t v = At<Rev>(s, i);
    if ((keyed && v == key) || (skipEqual && v == d[i])) continue;
    d[i] = pixel::Blend(d[i], v, alpha, kMasks32);
  }
}

template <bool Rev>
void Add(uint32_t* d, const uint32_t* s, int n, uint32_t factor, bool keyed, uint32_t key) {
  for (int i = 0; i < n; ++i) {
    uint32_t v = At<Rev>(s, i);
    if (keyed && v == key) continue;
    d[i] = pixel::AddScaled(d[i], v, factor, kMasks32);
  }
}

template <bool Rev>
void Mask(uint32_t* d, const uint32_t* s, const uint8_t* m, int n) {
  for (int i = 0; i < n; ++i) {
    uint32_t w = At<Rev>(m, i);
    if (w == 0) continue;
    d[i] = w == 255 ? At<Rev>(s, i) : pixel::Blend(d[i], At<Rev>(s, i), w, kMasks32);
  }
}

template <bool Rev>
void AlphaMask(uint32_t* d, const uint32_t* s, const uint8_t* m, int n, uint32_t alpha) {
  for (int i = 0; i < n; ++i) {
    uint32_t w = At<Rev>(m, i);
    if (w == 0) continue;
    d[i] = pixel::Blend(d[i], At<Rev>(s, i), (alpha * w) >> 8, kMasks32);
  }
}

template <bool Rev>
void AddMask(uint32_t* d, const uint32_t* s, const uint8_t* m, int n, uint32_t factor) {
  for (int i = 0; i < n; ++i) {
    uint32_t w = At<Rev>(m, i);
    if (w == 0) continue;
    d[i] = pixel::AddScaled(d[i], At<Rev>(s, i), (factor * w) >> 8, kMasks32);
  }
}

template <bool Rev>
void MonoMask(uint32_t* d, const uint8_t* m, int n, uint32_t alpha, uint32_t p) {
  for (int i = 0; i < n; ++i) {
    uint32_t w = At<Rev>(m, i);
    if (w == 0) continue;
    d[i] = pixel::Blend(d[i], p, (alpha * w) >> 8, kMasks32);
  }
}

void FillAlpha(uint32_t* d, int n, uint32_t p, uint32_t alpha) {
  for (int i = 0; i < n; ++i)
    if (d[i] != p) d[i] = pixel::Blend(d[i], p, alpha, kMasks32);
}

void FillAdd(uint32_t* d, int n, uint32_t p) {
  for (int i = 0; i < n; ++i) d[i] = pixel::AddSaturate(d[i], p, kMasks32);
}

void FillSub(uint32_t* d, int n, uint32_t p) {
  for (int i = 0; i < n; ++i) d[i] = pixel::SubSaturate(d[i], p, kMasks32);
}

void Gather(uint32_t* d, const uint32_t* s, const int* cols, int n) {
  for (int i = 0; i < n; ++i) d[i] = s[cols[i]];
}

}  // namespace

const TRows32& ReferenceRows32() {
  static const TRows32 rows{
      {Copy<false>, Copy<true>},
      {CopyKeyed<false>, CopyKeyed<true>},
      {Alpha<false>, Alpha<true>},
      {Add<false>, Add<true>},
      {Mask<false>, Mask<true>},
      {AlphaMask<false>, AlphaMask<true>},
      {AddMask<false>, AddMask<true>},
      {MonoMask<false>, MonoMask<true>},
      FillAlpha,
      FillAdd,
      FillSub,
      Gather,
  };
  return rows;
}

}  // namespace nova
