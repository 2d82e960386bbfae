// The blend family on 128-bit SSE2 vectors, four pixels at a time.
#if defined(__x86_64__)
#include <emmintrin.h>

#include <cstdint>

namespace avg {
namespace {

struct Sse2 {
  using Vec = __m128i;
  static constexpr int32_t kPixels = 4;

  static Vec load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const Vec*>(p)); }
  static void store(uint32_t* p, Vec v) { _mm_storeu_si128(reinterpret_cast<Vec*>(p), v); }
  static Vec zero() { return _mm_setzero_si128(); }
  static Vec splat32(uint32_t value) { return _mm_set1_epi32(static_cast<int>(value)); }
  static Vec splat16(uint16_t value) { return _mm_set1_epi16(static_cast<short>(value)); }
  static Vec unpackLow8(Vec a, Vec b) { return _mm_unpacklo_epi8(a, b); }
  static Vec unpackHigh8(Vec a, Vec b) { return _mm_unpackhi_epi8(a, b); }
  static Vec pack16(Vec a, Vec b) { return _mm_packus_epi16(a, b); }
  static Vec multiply16(Vec a, Vec b) { return _mm_mullo_epi16(a, b); }
  static Vec shiftRight8x16(Vec a) { return _mm_srli_epi16(a, 8); }
  static Vec add16(Vec a, Vec b) { return _mm_add_epi16(a, b); }
  static Vec subtract16(Vec a, Vec b) { return _mm_sub_epi16(a, b); }
  static Vec addSaturate8(Vec a, Vec b) { return _mm_adds_epu8(a, b); }
  static Vec equal16(Vec a, Vec b) { return _mm_cmpeq_epi16(a, b); }
  static Vec equal32(Vec a, Vec b) { return _mm_cmpeq_epi32(a, b); }
  static Vec bitAnd(Vec a, Vec b) { return _mm_and_si128(a, b); }
  static Vec bitAndNot(Vec mask, Vec b) { return _mm_andnot_si128(mask, b); }
  static Vec bitOr(Vec a, Vec b) { return _mm_or_si128(a, b); }
  // The alpha bytes of the low (high) half's pixels, each spread over the pixel's four
  // 16-bit lanes.
  static Vec alphaLow16(Vec v) { return spreadAlpha(_mm_unpacklo_epi8(v, zero())); }
  static Vec alphaHigh16(Vec v) { return spreadAlpha(_mm_unpackhi_epi8(v, zero())); }
  static Vec spreadAlpha(Vec v16) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v16, 0xFF), 0xFF);
  }
};

}  // namespace
}  // namespace avg

#include "graphics/blend_simd.inl"

namespace avg {

const BlendKernels& sse2BlendKernels() {
  static constexpr BlendKernels kKernels = SimdBlends<Sse2>::kernels("sse2");
  return kKernels;
}

}  // namespace avg
#endif
