#pragma once
#include <cstdint>
#include <vector>

#include "base/region.h"
#include "base/surface.h"
#include "graphics/blit.h"

namespace avg {

// One picture blended onto the frame: everything a composed pixel depends on besides the
// pixel it is drawn over.
struct DrawOp {
  const Surface* picture = nullptr;  // valid while the frame is being drawn
  uint64_t pictureId = 0;
  uint32_t colorKey = 0;
  Rect source;
  int32_t x = 0;
  int32_t y = 0;
  Blend blend;
  Rect area;  // the pixels of the frame it changes

  // Whether both draw the same pixels the same way; the pointer is not compared, only what
  // it showed.
  bool sameAs(const DrawOp& other) const;
};

// A frame as a list of drawing steps in drawing order, grouped by what they belong to (a 2D
// object, an edit box, a window), so that two frames can be compared group by group.
class DrawList {
 public:
  // Starts an empty list for a frame of `screen` (its bounds).
  void reset(const Rect& screen);
  // The steps from here on belong to the thing `key` stands for.
  void beginGroup(const void* key);
  // Adds `source` of `picture` blended at (x, y); nothing when it lands off the frame.
  void add(const Surface& picture, int32_t x, int32_t y, const Blend& blend, const Rect& source);
  void add(const Surface& picture, int32_t x, int32_t y, const Blend& blend) {
    add(picture, x, y, blend, picture.bounds());
  }

  const Rect& screen() const { return screen_; }
  const std::vector<DrawOp>& ops() const { return ops_; }
  // Draws every step onto `target`, touching only the pixels inside `clip`.
  void draw(Surface& target, const Rect& clip) const;
  // Draws every step onto each rectangle of `area`, so that each pixel is drawn once.
  void draw(Surface& target, const Region& area) const;

  // The pixels that drawing `after` over a frame drawn from `before` changes: the areas of
  // the steps that differ. Groups are compared one by one when both lists have the same
  // groups; otherwise the lists are compared as a whole.
  friend Region changedArea(const DrawList& before, const DrawList& after);
  // The pixels that change every time the list is drawn again over its own result: those
  // reached by a blend that mixes with what lies below, unless a copy drawn earlier in the
  // same frame covers them.
  friend Region unsettledArea(const DrawList& list);

 private:
  struct Group {
    const void* key;
    size_t begin;
  };
  size_t groupEnd(size_t group) const;

  Rect screen_;
  std::vector<DrawOp> ops_;
  std::vector<Group> groups_;
};

Region changedArea(const DrawList& before, const DrawList& after);
Region unsettledArea(const DrawList& list);

}  // namespace avg
