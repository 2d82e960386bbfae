#include "stage/blend_rules.h"

namespace avg {
namespace {

constexpr uint8_t kOpaque = 255;

// Mode 0 weighs source and destination against each other; mode 1 keeps the destination
// whole and adds the weighted source.
uint32_t destinationRates(int32_t mode, uint8_t alpha) {
  return uniformRates(mode == 0 ? static_cast<uint8_t>(kOpaque - alpha) : kOpaque);
}

}  // namespace

std::optional<Blend> partBlend(int32_t mode, bool alphaChannel, uint8_t alpha) {
  if (mode != 0 && mode != 1) return std::nullopt;
  if (alpha == kOpaque && mode == 1) return alphaChannel ? Blend::addKeyed() : Blend::add();
  if (alpha == kOpaque && !alphaChannel) return Blend::copy();
  const uint32_t source = uniformRates(alpha);
  if (alphaChannel) return Blend::alpha(source, destinationRates(mode, alpha));
  return Blend::constAlpha(source, destinationRates(mode, alpha));
}

std::optional<Blend> glyphBlend(int32_t mode, uint8_t alpha) {
  if (mode != 0 && mode != 1) return std::nullopt;
  return Blend::alpha(uniformRates(alpha), destinationRates(mode, alpha));
}

}  // namespace avg
