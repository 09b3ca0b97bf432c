// The 32-bit row routines on AVX2: eight pixels per step. Only this file is compiled for AVX2
// (through the target pragma below, after every library header), and only called when the
// processor reports AVX2.
#include <immintrin.h>

#include <cstdint>

#include "render/rows.h"
#include "render/rows_scalar.h"

#pragma GCC push_options
#pragma GCC target("avx2")

namespace nova {
namespace {

struct VAvx2 {
  using T = __m256i;
  static constexpr int N = 8;
  static constexpr int kAll = -1;
  static constexpr bool kHasGather = true;

  static T Load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void Store(uint32_t* p, T v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static T LoadBytes(const uint8_t* m) {
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(m)));
  }
  static T Set1(uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
  static T Zero() { return _mm256_setzero_si256(); }
  static T And(T a, T b) { return _mm256_and_si256(a, b); }
  static T Or(T a, T b) { return _mm256_or_si256(a, b); }
  static T Xor(T a, T b) { return _mm256_xor_si256(a, b); }
  static T Add16(T a, T b) { return _mm256_add_epi16(a, b); }
  static T Mullo16(T a, T b) { return _mm256_mullo_epi16(a, b); }
  template <int K>
  static T Srli16(T a) { return _mm256_srli_epi16(a, K); }
  template <int K>
  static T Srli32(T a) { return _mm256_srli_epi32(a, K); }
  template <int K>
  static T Slli32(T a) { return _mm256_slli_epi32(a, K); }
  static T CmpEq32(T a, T b) { return _mm256_cmpeq_epi32(a, b); }
  static T AddsU8(T a, T b) { return _mm256_adds_epu8(a, b); }
  static T SubsU8(T a, T b) { return _mm256_subs_epu8(a, b); }
  static T Reverse(T a) { return _mm256_permutevar8x32_epi32(a, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0)); }
  static T Select(T mask, T a, T b) { return _mm256_blendv_epi8(b, a, mask); }
  static int MoveMask(T a) { return _mm256_movemask_epi8(a); }
  static T Gather(const uint32_t* s, const int* index) {
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(s),
                                  _mm256_loadu_si256(reinterpret_cast<const __m256i*>(index)), 4);
  }
};

#include "render/rows_kernels.inc"

TRows32 MakeAvx2Rows() { return MakeRows<VAvx2>(); }

}  // namespace
}  // namespace nova

#pragma GCC pop_options

namespace nova {

// Compiled without AVX2, so that the question itself runs on every processor.
const TRows32* Avx2Rows32() {
  if (!__builtin_cpu_supports("avx2")) return nullptr;
  static const TRows32 rows = MakeAvx2Rows();
  return &rows;
}

}  // namespace nova
