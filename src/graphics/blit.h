#pragma once
#include <cstdint>
#include <optional>

#include "base/surface.h"
#include "graphics/blend_kernels.h"

namespace avg {

// Rates of all three colour channels set to `rate`.
constexpr uint32_t uniformRates(uint8_t rate) {
  return rate * 0x010101u;
}

enum class BlendKind : uint8_t { Copy, ConstAlpha, Add, AddKeyed, Alpha };

// A blend operation with its per-channel rates (0x00RRGGBB words, 0–255 per channel).
struct Blend {
  BlendKind kind = BlendKind::Copy;
  uint32_t sourceRates = 0;
  uint32_t destRates = 0;

  static Blend copy() { return {BlendKind::Copy}; }
  static Blend add() { return {BlendKind::Add}; }
  // Additive, skipping source pixels that equal the source's colour key.
  static Blend addKeyed() { return {BlendKind::AddKeyed}; }
  static Blend constAlpha(uint32_t sourceRates, uint32_t destRates) {
    return {BlendKind::ConstAlpha, sourceRates, destRates};
  }
  // Weighted by each source pixel's own alpha byte as well as by the rates.
  static Blend alpha(uint32_t sourceRates, uint32_t destRates) {
    return {BlendKind::Alpha, sourceRates, destRates};
  }
};

// What part of the source goes where: the source rectangle (default the whole source), the
// destination size (default the source rectangle's; another size stretches to nearest
// pixels) and the clip rectangle (default the destination's own).
struct BlitArea {
  std::optional<Rect> source = std::nullopt;
  std::optional<Size> destSize = std::nullopt;
  std::optional<Rect> clip = std::nullopt;
};

// Blends `source` onto `target` at (x, y) with the blend family chosen for this processor.
void blit(Surface& target, const Surface& source, int32_t x, int32_t y, const Blend& blend,
          const BlitArea& area = {});

// blit with an explicit implementation of the blend family (tests, benchmarks).
void blitWith(const BlendKernels& kernels, Surface& target, const Surface& source, int32_t x,
              int32_t y, const Blend& blend, const BlitArea& area = {});

}  // namespace avg
