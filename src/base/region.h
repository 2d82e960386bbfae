#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/surface.h"

namespace avg {

// A set of pixels held as disjoint rectangles, so that walking its rectangles visits every
// pixel once.
class Region {
 public:
  Region() = default;
  explicit Region(const Rect& rect) { add(rect); }

  bool empty() const { return rects_.empty(); }
  const std::vector<Rect>& rects() const { return rects_; }
  void clear() { rects_.clear(); }

  // Adds the pixels of `rect` that the region does not hold yet.
  void add(const Rect& rect);
  void add(const Region& other);
  // Removes the pixels of `rect`.
  void subtract(const Rect& rect);
  bool intersects(const Rect& rect) const;
  // The smallest rectangle holding every pixel; empty for an empty region.
  Rect bounds() const;
  int64_t area() const;
  // Holds the bounding rectangle instead when the region has more than `maxRects` pieces
  // (a superset, drawn in fewer steps).
  void simplify(size_t maxRects);

 private:
  std::vector<Rect> rects_;
};

}  // namespace avg
