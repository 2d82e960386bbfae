// The portable blend family: one pixel at a time, alpha-channel factors from tables.
#include <algorithm>

#include "graphics/blend_kernels.h"

namespace avg {
namespace {

uint32_t channel(uint32_t pixel, int shift) {
  return (pixel >> shift) & 0xFF;
}

// min(255, (src × f >> 8) + (dst × g >> 8)) for the three colour channels; alpha byte 0.
uint32_t mixColors(uint32_t src, uint32_t dst, uint32_t sourceFactors, uint32_t destFactors) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t fromSource = (channel(src, shift) * channel(sourceFactors, shift)) >> 8;
    uint32_t fromDest = (channel(dst, shift) * channel(destFactors, shift)) >> 8;
    out |= std::min<uint32_t>(255, fromSource + fromDest) << shift;
  }
  return out;
}

uint32_t addSaturated(uint32_t src, uint32_t dst) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    out |= std::min<uint32_t>(255, channel(src, shift) + channel(dst, shift)) << shift;
  }
  return out;
}

void copySpan(uint32_t* dst, const uint32_t* src, int32_t count, const BlendFactors&) {
  for (int32_t i = 0; i < count; ++i)
    dst[i] = src[i];
}

void constAlphaSpan(uint32_t* dst, const uint32_t* src, int32_t count,
                    const BlendFactors& factors) {
  for (int32_t i = 0; i < count; ++i) {
    dst[i] = mixColors(src[i], dst[i], factors.sourceRates, factors.destRates);
  }
}

void addSpan(uint32_t* dst, const uint32_t* src, int32_t count, const BlendFactors&) {
  for (int32_t i = 0; i < count; ++i)
    dst[i] = addSaturated(src[i], dst[i]);
}

void addKeyedSpan(uint32_t* dst, const uint32_t* src, int32_t count, const BlendFactors& factors) {
  for (int32_t i = 0; i < count; ++i) {
    if ((src[i] & 0xFFFFFF) != factors.colorKey) dst[i] = addSaturated(src[i], dst[i]);
  }
}

void alphaSpan(uint32_t* dst, const uint32_t* src, int32_t count, const BlendFactors& factors) {
  for (int32_t i = 0; i < count; ++i) {
    uint32_t alpha = src[i] >> 24;
    dst[i] = mixColors(src[i], dst[i], factors.sourceByAlpha[alpha], factors.destByAlpha[alpha]);
  }
}

}  // namespace

const BlendKernels& scalarBlendKernels() {
  static constexpr BlendKernels kKernels{"scalar",  copySpan, constAlphaSpan, addSpan, addKeyedSpan,
                                         alphaSpan, true};
  return kKernels;
}

}  // namespace avg
