// The blend family on 256-bit AVX2 vectors, eight pixels at a time.
#if defined(__x86_64__)
#include <immintrin.h>

#include <cstdint>

namespace avg {
namespace {

struct Avx2 {
  using Vec = __m256i;
  static constexpr int32_t kPixels = 8;

  static Vec load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const Vec*>(p)); }
  static void store(uint32_t* p, Vec v) { _mm256_storeu_si256(reinterpret_cast<Vec*>(p), v); }
  static Vec zero() { return _mm256_setzero_si256(); }
  static Vec splat32(uint32_t value) { return _mm256_set1_epi32(static_cast<int>(value)); }
  static Vec splat16(uint16_t value) { return _mm256_set1_epi16(static_cast<short>(value)); }
  static Vec unpackLow8(Vec a, Vec b) { return _mm256_unpacklo_epi8(a, b); }
  static Vec unpackHigh8(Vec a, Vec b) { return _mm256_unpackhi_epi8(a, b); }
  static Vec pack16(Vec a, Vec b) { return _mm256_packus_epi16(a, b); }
  static Vec multiply16(Vec a, Vec b) { return _mm256_mullo_epi16(a, b); }
  static Vec shiftRight8x16(Vec a) { return _mm256_srli_epi16(a, 8); }
  static Vec add16(Vec a, Vec b) { return _mm256_add_epi16(a, b); }
  static Vec subtract16(Vec a, Vec b) { return _mm256_sub_epi16(a, b); }
  static Vec addSaturate8(Vec a, Vec b) { return _mm256_adds_epu8(a, b); }
  static Vec equal16(Vec a, Vec b) { return _mm256_cmpeq_epi16(a, b); }
  static Vec equal32(Vec a, Vec b) { return _mm256_cmpeq_epi32(a, b); }
  static Vec bitAnd(Vec a, Vec b) { return _mm256_and_si256(a, b); }
  static Vec bitAndNot(Vec mask, Vec b) { return _mm256_andnot_si256(mask, b); }
  static Vec bitOr(Vec a, Vec b) { return _mm256_or_si256(a, b); }
  // The alpha bytes of the low (high) half's pixels, each spread over the pixel's four
  // 16-bit lanes in one byte shuffle (-1 bytes become 0).
  static Vec alphaLow16(Vec v) {
    return _mm256_shuffle_epi8(
        v, _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1, 3, -1, 3, -1, 3,
                            -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1));
  }
  static Vec alphaHigh16(Vec v) {
    return _mm256_shuffle_epi8(
        v, _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1, 11, -1,
                            11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1));
  }
};

}  // namespace
}  // namespace avg

#include "graphics/blend_simd.inl"

namespace avg {

const BlendKernels& avx2BlendKernels() {
  static constexpr BlendKernels kKernels = SimdBlends<Avx2>::kernels("avx2");
  return kKernels;
}

}  // namespace avg
#endif
