// The vector blend family, written once over a traits type that wraps one instruction set's
// packed-integer operations. Included by one source file per instruction set; everything
// here has internal linkage so that code built for one instruction set never stands in for
// another's at link time.
#include <cstring>

#include "graphics/blend_kernels.h"

namespace avg {
namespace {

template <class V>
struct SimdBlends {
  using Vec = typename V::Vec;
  static constexpr int32_t kLanes = V::kPixels;

  // Applies op(src, dst) to whole vectors, then to the tail through zero-padded copies.
  template <class Op>
  static void forEachVector(uint32_t* dst, const uint32_t* src, int32_t count, Op op) {
    int32_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
      V::store(dst + i, op(V::load(src + i), V::load(dst + i)));
    }
    if (i == count) return;
    uint32_t srcTail[kLanes] = {};
    uint32_t dstTail[kLanes] = {};
    size_t bytes = static_cast<size_t>(count - i) * sizeof(uint32_t);
    std::memcpy(srcTail, src + i, bytes);
    std::memcpy(dstTail, dst + i, bytes);
    V::store(dstTail, op(V::load(srcTail), V::load(dstTail)));
    std::memcpy(dst + i, dstTail, bytes);
  }

  static Vec widenLow(Vec v) { return V::unpackLow8(v, V::zero()); }
  static Vec widenHigh(Vec v) { return V::unpackHigh8(v, V::zero()); }
  // Per-channel 16-bit factors of a 0x00RRGGBB word, the alpha lane 0.
  static Vec factors16(uint32_t rates) { return widenLow(V::splat32(rates & 0xFFFFFF)); }
  // (x × factor) >> 8 in 16-bit lanes; both operands are at most 256 × 255 wide.
  static Vec scale(Vec x, Vec factor) { return V::shiftRight8x16(V::multiply16(x, factor)); }

  // min(255, (src × f >> 8) + (dst × g >> 8)) per byte, with the factors of the low and the
  // high half of the vector given separately.
  static Vec mix(Vec src, Vec dst, Vec fLow, Vec fHigh, Vec gLow, Vec gHigh) {
    Vec fromSource = V::pack16(scale(widenLow(src), fLow), scale(widenHigh(src), fHigh));
    Vec fromDest = V::pack16(scale(widenLow(dst), gLow), scale(widenHigh(dst), gHigh));
    return V::addSaturate8(fromSource, fromDest);
  }

  static void copy(uint32_t* dst, const uint32_t* src, int32_t count, const BlendFactors&) {
    forEachVector(dst, src, count, [](Vec s, Vec) { return s; });
  }

  static void constAlpha(uint32_t* dst, const uint32_t* src, int32_t count,
                         const BlendFactors& factors) {
    Vec f = factors16(factors.sourceRates);
    Vec g = factors16(factors.destRates);
    forEachVector(dst, src, count, [&](Vec s, Vec d) { return mix(s, d, f, f, g, g); });
  }

  static void add(uint32_t* dst, const uint32_t* src, int32_t count, const BlendFactors&) {
    forEachVector(dst, src, count, [](Vec s, Vec d) { return V::addSaturate8(s, d); });
  }

  static void addKeyed(uint32_t* dst, const uint32_t* src, int32_t count,
                       const BlendFactors& factors) {
    Vec colorMask = V::splat32(0xFFFFFF);
    Vec key = V::splat32(factors.colorKey & 0xFFFFFF);
    forEachVector(dst, src, count, [&](Vec s, Vec d) {
      Vec keyed = V::equal32(V::bitAnd(s, colorMask), key);
      return V::bitOr(V::bitAnd(keyed, d), V::bitAndNot(keyed, V::addSaturate8(s, d)));
    });
  }

  // The alpha-channel factors of one half, from its pixels' alpha bytes spread over their
  // four 16-bit lanes: with a' = a, or 256 for a = 255, f = (a' × s) >> 8 and
  // g = 255 − ((a' × (255 − d)) >> 8); the alpha lane's are 0.
  struct HalfFactors {
    Vec source;
    Vec dest;
  };
  static HalfFactors alphaFactors(Vec alpha, Vec rates, Vec inverseDestRates, Vec full) {
    Vec steps = V::subtract16(alpha, V::equal16(alpha, V::splat16(255)));
    return {scale(steps, rates), V::subtract16(full, scale(steps, inverseDestRates))};
  }

  static void alpha(uint32_t* dst, const uint32_t* src, int32_t count,
                    const BlendFactors& factors) {
    Vec rates = factors16(factors.sourceRates);
    Vec inverseDestRates = factors16(~factors.destRates);
    Vec full = factors16(0xFFFFFF);
    forEachVector(dst, src, count, [&](Vec s, Vec d) {
      HalfFactors low = alphaFactors(V::alphaLow16(s), rates, inverseDestRates, full);
      HalfFactors high = alphaFactors(V::alphaHigh16(s), rates, inverseDestRates, full);
      return mix(s, d, low.source, high.source, low.dest, high.dest);
    });
  }

  static constexpr BlendKernels kernels(const char* name) {
    return {name, copy, constAlpha, add, addKeyed, alpha, false};
  }
};

}  // namespace
}  // namespace avg
