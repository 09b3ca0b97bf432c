// The 32-bit row routines on SSE2 (every x86-64 processor): four pixels per step.
#include <emmintrin.h>

#include <cstdint>

#include "render/rows.h"
#include "render/rows_scalar.h"

namespace nova {
namespace {

struct VSse2 {
  using T = __m128i;
  static constexpr int N = 4;
  static constexpr int kAll = 0xFFFF;  // MoveMask of an all-true comparison
  static constexpr bool kHasGather = false;

  static T Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void Store(uint32_t* p, T v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  static T LoadBytes(const uint8_t* m) {
    int32_t x;
    __builtin_memcpy(&x, m, 4);
    T z = _mm_setzero_si128();
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(x), z), z);
  }
  static T Set1(uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
  static T Zero() { return _mm_setzero_si128(); }
  static T And(T a, T b) { return _mm_and_si128(a, b); }
  static T Or(T a, T b) { return _mm_or_si128(a, b); }
  static T Xor(T a, T b) { return _mm_xor_si128(a, b); }
  static T Add16(T a, T b) { return _mm_add_epi16(a, b); }
  static T Mullo16(T a, T b) { return _mm_mullo_epi16(a, b); }
  template <int K>
  static T Srli16(T a) { return _mm_srli_epi16(a, K); }
  template <int K>
  static T Srli32(T a) { return _mm_srli_epi32(a, K); }
  template <int K>
  static T Slli32(T a) { return _mm_slli_epi32(a, K); }
  static T CmpEq32(T a, T b) { return _mm_cmpeq_epi32(a, b); }
  static T AddsU8(T a, T b) { return _mm_adds_epu8(a, b); }
  static T SubsU8(T a, T b) { return _mm_subs_epu8(a, b); }
  static T Reverse(T a) { return _mm_shuffle_epi32(a, _MM_SHUFFLE(0, 1, 2, 3)); }
  static T Select(T mask, T a, T b) { return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b)); }
  static int MoveMask(T a) { return _mm_movemask_epi8(a); }
};

#include "render/rows_kernels.inc"

}  // namespace

const TRows32& Sse2Rows32() {
  static const TRows32 rows = MakeRows<VSse2>();
  return rows;
}

}  // namespace nova
