#include "media/mixer_samples.h"

#include <cstring>

#include "platform/audio_output.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace nova {

TWidening WideningOf(const TPcmFormatRecord& f) {
  int ch = f.Channels, bits = f.BitsPerSample;
  uint32_t rate = f.SamplesPerSec;
  if (rate == 44100) {
    if (ch == 2 && bits == 16) return TWidening::None;
    if (ch == 1 && bits == 16) return TWidening::Sample16x2;
    if (ch == 2 && bits == 8) return TWidening::Byte8;
    if (ch == 1 && bits == 8) return TWidening::Byte8x2;
  } else if (rate == 22050) {
    if (ch == 2 && bits == 16) return TWidening::Frame16x2;
    if (ch == 2 && bits == 8) return TWidening::Frame8x2;
    if (ch == 1 && bits == 16) return TWidening::Sample16x4;
    if (ch == 1 && bits == 8) return TWidening::Byte8x4;
  }
  return TWidening::Unsupported;
}

int WideningFactor(TWidening w) {
  switch (w) {
    case TWidening::None: return 1;
    case TWidening::Sample16x2: case TWidening::Frame16x2: case TWidening::Byte8: return 2;
    case TWidening::Byte8x2: case TWidening::Frame8x2: case TWidening::Sample16x4: return 4;
    case TWidening::Byte8x4: return 8;
    case TWidening::Unsupported: return 0;
  }
  return 0;
}

namespace {

inline int16_t Widen8(uint8_t s) { return static_cast<int16_t>((s - 128) * 256); }

}  // namespace

void WidenInPlace(uint8_t* buf, size_t n, TWidening w) {
  // Every loop runs from the last source unit down, writing its copies at or after the place
  // it was read from, so nothing is overwritten before it is read.
  int16_t* out = reinterpret_cast<int16_t*>(buf);
  const int16_t* in16 = reinterpret_cast<const int16_t*>(buf);
  switch (w) {
    case TWidening::None:
    case TWidening::Unsupported:
      return;
    case TWidening::Sample16x2:
      for (size_t i = n / 2; i-- > 0;) {
        int16_t s = in16[i];
        out[2 * i] = out[2 * i + 1] = s;
      }
      return;
    case TWidening::Frame16x2:
      for (size_t i = n / 4; i-- > 0;) {
        int16_t l = in16[2 * i], r = in16[2 * i + 1];
        out[4 * i] = l, out[4 * i + 1] = r, out[4 * i + 2] = l, out[4 * i + 3] = r;
      }
      return;
    case TWidening::Byte8:
      for (size_t i = n; i-- > 0;) out[i] = Widen8(buf[i]);
      return;
    case TWidening::Byte8x2:
      for (size_t i = n; i-- > 0;) {
        int16_t s = Widen8(buf[i]);
        out[2 * i] = out[2 * i + 1] = s;
      }
      return;
    case TWidening::Frame8x2:
      for (size_t i = n / 2; i-- > 0;) {
        int16_t l = Widen8(buf[2 * i]), r = Widen8(buf[2 * i + 1]);
        out[4 * i] = l, out[4 * i + 1] = r, out[4 * i + 2] = l, out[4 * i + 3] = r;
      }
      return;
    case TWidening::Sample16x4:
      for (size_t i = n / 2; i-- > 0;) {
        int16_t s = in16[i];
        out[4 * i] = out[4 * i + 1] = out[4 * i + 2] = out[4 * i + 3] = s;
      }
      return;
    case TWidening::Byte8x4:
      for (size_t i = n; i-- > 0;) {
        int16_t s = Widen8(buf[i]);
        out[4 * i] = out[4 * i + 1] = out[4 * i + 2] = out[4 * i + 3] = s;
      }
      return;
  }
}

void ApplyVolumeReference(int16_t* s, size_t count, int v) {
  if (v >= 255) return;
  for (size_t i = 0; i < count; ++i) s[i] = static_cast<int16_t>(s[i] * v / 256);
}

void ApplyVolume(int16_t* s, size_t count, int v) {
  if (v >= 255) return;
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i factor = _mm_set1_epi16(static_cast<int16_t>(v));
  const __m128i bias = _mm_set1_epi32(255);
  for (; i + 8 <= count; i += 8) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i lo = _mm_mullo_epi16(x, factor), hi = _mm_mulhi_epi16(x, factor);
    __m128i p0 = _mm_unpacklo_epi16(lo, hi), p1 = _mm_unpackhi_epi16(lo, hi);  // 32-bit products
    // Division by 256 toward zero: negative products get 255 added before the shift.
    p0 = _mm_srai_epi32(_mm_add_epi32(p0, _mm_and_si128(_mm_srai_epi32(p0, 31), bias)), 8);
    p1 = _mm_srai_epi32(_mm_add_epi32(p1, _mm_and_si128(_mm_srai_epi32(p1, 31), bias)), 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(s + i), _mm_packs_epi32(p0, p1));
  }
#endif
  for (; i < count; ++i) s[i] = static_cast<int16_t>(s[i] * v / 256);
}

void AddSaturatedReference(int16_t* dst, const int16_t* src, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    int v = dst[i] + src[i];
    dst[i] = static_cast<int16_t>(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
  }
}

void AddSaturated(int16_t* dst, const int16_t* src, size_t count) { MixSaturated(dst, src, count); }

}  // namespace nova
