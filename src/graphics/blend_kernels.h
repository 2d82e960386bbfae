#pragma once
#include <cstdint>

namespace avg {

// Factors of one blend call, prepared once before its rows are blended. Rates are
// 0x00RRGGBB words: one 0–255 rate per colour channel; the alpha byte's rate is always 0.
struct BlendFactors {
  uint32_t sourceRates = 0;
  uint32_t destRates = 0;
  // Source colour key (low 24 bits) for the keyed additive blend.
  uint32_t colorKey = 0;
  // Per-alpha factors of the alpha-channel blend, one 0x00RRGGBB word per alpha value:
  // sourceByAlpha[a] = (a × s) >> 8 and destByAlpha[a] = 255 − ((a × (255 − d)) >> 8) per
  // channel, with alpha 255 giving exactly s and d. Only the scalar blends read them.
  uint32_t sourceByAlpha[256];
  uint32_t destByAlpha[256];
};

// Blends `count` pixels of one row of `src` onto `dst`.
using BlendSpan = void (*)(uint32_t* dst, const uint32_t* src, int32_t count,
                           const BlendFactors& factors);

// One implementation of the blend family. Every implementation gives the same pixels.
struct BlendKernels {
  const char* name;
  BlendSpan copy;        // out = src, all four bytes
  BlendSpan constAlpha;  // out = min(255, (src × s >> 8) + (dst × d >> 8)), alpha byte 0
  BlendSpan add;         // out = min(255, src + dst), all four bytes
  BlendSpan addKeyed;    // as add; source pixels equal to the colour key are skipped
  BlendSpan alpha;       // constAlpha with the per-alpha factors, alpha byte 0
  // Whether `alpha` reads BlendFactors' per-alpha tables (else they are left unfilled).
  bool readsAlphaTables;
};

enum class BlendIsa { Scalar, Sse2, Avx2 };

// The implementation for `isa`, or nullptr when it is not built in or the processor lacks it.
const BlendKernels* blendKernelsFor(BlendIsa isa);
// The fastest implementation the processor runs, chosen once at first use.
const BlendKernels& selectedBlendKernels();

// Built per instruction set; callers go through blendKernelsFor.
const BlendKernels& scalarBlendKernels();
const BlendKernels& sse2BlendKernels();
const BlendKernels& avx2BlendKernels();

}  // namespace avg
