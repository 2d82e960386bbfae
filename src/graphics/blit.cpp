#include "graphics/blit.h"

#include <algorithm>

namespace avg {
namespace {

// Stretched rows are gathered into this many source pixels at a time, on the stack.
constexpr int32_t kGatherChunk = 256;

// Walks the source indices floor(i × sourceLength / destLength) for i = start, start + 1, ...
// with an integer error term: nearest pixel, no filtering.
class NearestStep {
 public:
  NearestStep(int64_t start, int32_t sourceLength, int32_t destLength)
      : index_(start * sourceLength / destLength),
        error_(start * sourceLength % destLength),
        whole_(sourceLength / destLength),
        remainder_(sourceLength % destLength),
        destLength_(destLength) {}

  int32_t index() const { return static_cast<int32_t>(index_); }
  void advance() {
    index_ += whole_;
    error_ += remainder_;
    if (error_ >= destLength_) {
      error_ -= destLength_;
      ++index_;
    }
  }

 private:
  int64_t index_;
  int64_t error_;
  int32_t whole_;
  int32_t remainder_;
  int32_t destLength_;
};

uint32_t rateOf(uint32_t rates, int shift) {
  return (rates >> shift) & 0xFF;
}

// The alpha-channel factor tables: for alpha 0–254 the accumulated alpha × s and
// alpha × (255 − d) shifted right by 8; alpha 255 takes 256 steps, giving exactly s and d.
void fillAlphaTables(BlendFactors& factors) {
  for (uint32_t alpha = 0; alpha < 256; ++alpha) {
    uint32_t steps = alpha == 255 ? 256 : alpha;
    uint32_t source = 0;
    uint32_t dest = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      source |= ((steps * rateOf(factors.sourceRates, shift)) >> 8) << shift;
      uint32_t inverse = 255 - rateOf(factors.destRates, shift);
      dest |= (255 - ((steps * inverse) >> 8)) << shift;
    }
    factors.sourceByAlpha[alpha] = source;
    factors.destByAlpha[alpha] = dest;
  }
}

void prepareFactors(const BlendKernels& kernels, const Blend& blend, const Surface& source,
                    BlendFactors& factors) {
  factors.sourceRates = blend.sourceRates & 0xFFFFFF;
  factors.destRates = blend.destRates & 0xFFFFFF;
  factors.colorKey = source.colorKey();
  if (blend.kind == BlendKind::Alpha && kernels.readsAlphaTables) fillAlphaTables(factors);
}

BlendSpan spanFor(const BlendKernels& kernels, BlendKind kind) {
  switch (kind) {
    case BlendKind::ConstAlpha:
      return kernels.constAlpha;
    case BlendKind::Add:
      return kernels.add;
    case BlendKind::AddKeyed:
      return kernels.addKeyed;
    case BlendKind::Alpha:
      return kernels.alpha;
    default:
      return kernels.copy;
  }
}

// Where a blit lands: the visible destination rectangle and the full (unclipped)
// destination rectangle's origin and size, with the source rectangle it maps.
struct Placement {
  Rect visible;
  int64_t x = 0;
  int64_t y = 0;
  Size destSize;
  Rect source;
};

std::optional<Placement> place(const Surface& target, const Surface& source, int32_t x, int32_t y,
                               const BlitArea& area) {
  Rect wanted = area.source.value_or(source.bounds());
  Rect inside = wanted.intersect(source.bounds());
  if (wanted.empty() || inside.empty()) return std::nullopt;
  Placement placement{{}, x, y, {inside.width(), inside.height()}, inside};
  int64_t wantedWidth = int64_t{wanted.right} - wanted.left;
  int64_t wantedHeight = int64_t{wanted.bottom} - wanted.top;
  bool stretched = area.destSize &&
                   (area.destSize->width != wantedWidth || area.destSize->height != wantedHeight);
  if (stretched) {
    placement.destSize = *area.destSize;
    if (placement.destSize.width <= 0 || placement.destSize.height <= 0) return std::nullopt;
  } else {
    // A source rectangle reaching outside the source moves the destination along with it.
    placement.x += int64_t{inside.left} - wanted.left;
    placement.y += int64_t{inside.top} - wanted.top;
  }
  // Everything stays 64-bit until the visible rectangle is known to lie on the target, so a
  // placement far outside (or wrapping) the 32-bit range never becomes a wrapped rectangle.
  Rect clip = area.clip.value_or(target.clipRect()).intersect(target.bounds());
  const int64_t left = std::max<int64_t>(clip.left, placement.x);
  const int64_t top = std::max<int64_t>(clip.top, placement.y);
  const int64_t right = std::min<int64_t>(clip.right, placement.x + placement.destSize.width);
  const int64_t bottom = std::min<int64_t>(clip.bottom, placement.y + placement.destSize.height);
  if (right <= left || bottom <= top) return std::nullopt;
  placement.visible = {static_cast<int32_t>(left), static_cast<int32_t>(top),
                       static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
  return placement;
}

void blendOneToOne(Surface& target, const Surface& source, const Placement& placement,
                   BlendSpan span, const BlendFactors& factors) {
  const Rect& visible = placement.visible;
  int32_t sourceLeft = placement.source.left + static_cast<int32_t>(visible.left - placement.x);
  int32_t sourceTop = placement.source.top + static_cast<int32_t>(visible.top - placement.y);
  for (int32_t y = visible.top; y < visible.bottom; ++y) {
    span(target.row(y) + visible.left, source.row(sourceTop + (y - visible.top)) + sourceLeft,
         visible.width(), factors);
  }
}

void blendStretched(Surface& target, const Surface& source, const Placement& placement,
                    BlendSpan span, const BlendFactors& factors) {
  const Rect& visible = placement.visible;
  NearestStep row(visible.top - placement.y, placement.source.height(), placement.destSize.height);
  uint32_t gathered[kGatherChunk];
  for (int32_t y = visible.top; y < visible.bottom; ++y, row.advance()) {
    const uint32_t* sourceRow = source.row(placement.source.top + row.index());
    NearestStep column(visible.left - placement.x, placement.source.width(),
                       placement.destSize.width);
    for (int32_t x = visible.left; x < visible.right; x += kGatherChunk) {
      int32_t count = std::min(kGatherChunk, visible.right - x);
      for (int32_t i = 0; i < count; ++i, column.advance()) {
        gathered[i] = sourceRow[placement.source.left + column.index()];
      }
      span(target.row(y) + x, gathered, count, factors);
    }
  }
}

}  // namespace

void blit(Surface& target, const Surface& source, int32_t x, int32_t y, const Blend& blend,
          const BlitArea& area) {
  blitWith(selectedBlendKernels(), target, source, x, y, blend, area);
}

void blitWith(const BlendKernels& kernels, Surface& target, const Surface& source, int32_t x,
              int32_t y, const Blend& blend, const BlitArea& area) {
  if (!target.loaded() || !source.loaded()) return;
  std::optional<Placement> placement = place(target, source, x, y, area);
  if (!placement) return;
  BlendFactors factors;
  prepareFactors(kernels, blend, source, factors);
  BlendSpan span = spanFor(kernels, blend.kind);
  bool oneToOne =
      placement->destSize == Size{placement->source.width(), placement->source.height()};
  if (oneToOne) {
    blendOneToOne(target, source, *placement, span, factors);
  } else {
    blendStretched(target, source, *placement, span, factors);
  }
}

}  // namespace avg
