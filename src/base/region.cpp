#include "base/region.h"

#include <algorithm>

namespace avg {
namespace {

// Appends the parts of `from` outside `cut` (at most four bands) to `out`.
void appendDifference(const Rect& from, const Rect& cut, std::vector<Rect>& out) {
  const Rect overlap = from.intersect(cut);
  if (overlap.empty()) {
    out.push_back(from);
    return;
  }
  if (from.top < overlap.top) out.push_back({from.left, from.top, from.right, overlap.top});
  if (overlap.bottom < from.bottom) {
    out.push_back({from.left, overlap.bottom, from.right, from.bottom});
  }
  if (from.left < overlap.left) {
    out.push_back({from.left, overlap.top, overlap.left, overlap.bottom});
  }
  if (overlap.right < from.right) {
    out.push_back({overlap.right, overlap.top, from.right, overlap.bottom});
  }
}

}  // namespace

void Region::add(const Rect& rect) {
  if (rect.empty()) return;
  std::vector<Rect> pieces{rect};
  std::vector<Rect> remaining;
  for (const Rect& held : rects_) {
    if (pieces.empty()) return;
    remaining.clear();
    for (const Rect& piece : pieces)
      appendDifference(piece, held, remaining);
    pieces.swap(remaining);
  }
  rects_.insert(rects_.end(), pieces.begin(), pieces.end());
}

void Region::add(const Region& other) {
  for (const Rect& rect : other.rects_)
    add(rect);
}

void Region::subtract(const Rect& rect) {
  if (rect.empty() || !intersects(rect)) return;
  std::vector<Rect> kept;
  for (const Rect& held : rects_)
    appendDifference(held, rect, kept);
  rects_.swap(kept);
}

bool Region::intersects(const Rect& rect) const {
  return std::any_of(rects_.begin(), rects_.end(),
                     [&](const Rect& held) { return !held.intersect(rect).empty(); });
}

Rect Region::bounds() const {
  if (rects_.empty()) return {};
  Rect box = rects_.front();
  for (const Rect& rect : rects_) {
    box = {std::min(box.left, rect.left), std::min(box.top, rect.top),
           std::max(box.right, rect.right), std::max(box.bottom, rect.bottom)};
  }
  return box;
}

int64_t Region::area() const {
  int64_t total = 0;
  for (const Rect& rect : rects_)
    total += int64_t{rect.width()} * rect.height();
  return total;
}

void Region::simplify(size_t maxRects) {
  if (rects_.size() > maxRects) rects_.assign(1, bounds());
}

}  // namespace avg
