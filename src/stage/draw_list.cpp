#include "stage/draw_list.h"

#include <algorithm>
#include <span>

namespace avg {
namespace {

// Damage is drawn rectangle by rectangle; beyond this many pieces it becomes one rectangle.
constexpr size_t kMaxChangedPieces = 32;

// Where `source` of `picture` placed at (x, y) lands on `screen`, as blit places it: a source
// rectangle reaching outside the picture moves the destination along with it.
Rect landingArea(const Rect& screen, const Surface& picture, int32_t x, int32_t y,
                 const Rect& source) {
  const Rect inside = source.intersect(picture.bounds());
  if (source.empty() || inside.empty()) return {};
  const int64_t left = int64_t{x} + inside.left - source.left;
  const int64_t top = int64_t{y} + inside.top - source.top;
  const int64_t clippedLeft = std::max<int64_t>(screen.left, left);
  const int64_t clippedTop = std::max<int64_t>(screen.top, top);
  const int64_t clippedRight = std::min<int64_t>(screen.right, left + inside.width());
  const int64_t clippedBottom = std::min<int64_t>(screen.bottom, top + inside.height());
  if (clippedRight <= clippedLeft || clippedBottom <= clippedTop) return {};
  return {static_cast<int32_t>(clippedLeft), static_cast<int32_t>(clippedTop),
          static_cast<int32_t>(clippedRight), static_cast<int32_t>(clippedBottom)};
}

void addArea(Region& region, const Rect& area) {
  region.add(area);
  region.simplify(kMaxChangedPieces);
}

// The steps of two runs that differ: equal steps at both ends are skipped; in between, steps
// are compared pair by pair when both runs are equally long, else all of them count.
void addChangedSteps(std::span<const DrawOp> before, std::span<const DrawOp> after,
                     Region& changed) {
  const size_t shorter = std::min(before.size(), after.size());
  size_t head = 0;
  while (head < shorter && before[head].sameAs(after[head]))
    ++head;
  size_t tail = 0;
  while (tail < shorter - head &&
         before[before.size() - 1 - tail].sameAs(after[after.size() - 1 - tail])) {
    ++tail;
  }
  before = before.subspan(head, before.size() - head - tail);
  after = after.subspan(head, after.size() - head - tail);
  const bool pairwise = before.size() == after.size();
  for (size_t i = 0; i < before.size(); ++i) {
    if (pairwise && before[i].sameAs(after[i])) continue;
    addArea(changed, before[i].area);
  }
  for (size_t i = 0; i < after.size(); ++i) {
    if (pairwise && before[i].sameAs(after[i])) continue;
    addArea(changed, after[i].area);
  }
}

bool sameBlend(const Blend& a, const Blend& b) {
  return a.kind == b.kind && a.sourceRates == b.sourceRates && a.destRates == b.destRates;
}

}  // namespace

bool DrawOp::sameAs(const DrawOp& other) const {
  return pictureId == other.pictureId && colorKey == other.colorKey && source == other.source &&
         x == other.x && y == other.y && area == other.area && sameBlend(blend, other.blend);
}

void DrawList::reset(const Rect& screen) {
  screen_ = screen;
  ops_.clear();
  groups_.clear();
}

void DrawList::beginGroup(const void* key) {
  groups_.push_back({key, ops_.size()});
}

size_t DrawList::groupEnd(size_t group) const {
  return group + 1 < groups_.size() ? groups_[group + 1].begin : ops_.size();
}

void DrawList::add(const Surface& picture, int32_t x, int32_t y, const Blend& blend,
                   const Rect& source) {
  const Rect area = landingArea(screen_, picture, x, y, source);
  if (area.empty()) return;
  ops_.push_back({&picture, picture.id(), picture.colorKey(), source, x, y, blend, area});
}

void DrawList::draw(Surface& target, const Rect& clip) const {
  for (const DrawOp& op : ops_) {
    if (op.area.intersect(clip).empty()) continue;
    blit(target, *op.picture, op.x, op.y, op.blend, {.source = op.source, .clip = clip});
  }
}

void DrawList::draw(Surface& target, const Region& area) const {
  for (const Rect& rect : area.rects())
    draw(target, rect);
}

Region changedArea(const DrawList& before, const DrawList& after) {
  Region changed;
  const bool sameGroups =
      before.groups_.size() == after.groups_.size() &&
      std::equal(before.groups_.begin(), before.groups_.end(), after.groups_.begin(),
                 [](const auto& a, const auto& b) { return a.key == b.key; });
  if (!sameGroups) {
    addChangedSteps(before.ops_, after.ops_, changed);
    return changed;
  }
  const std::span<const DrawOp> beforeOps = before.ops_;
  const std::span<const DrawOp> afterOps = after.ops_;
  for (size_t group = 0; group < after.groups_.size(); ++group) {
    const size_t beforeBegin = before.groups_[group].begin;
    const size_t afterBegin = after.groups_[group].begin;
    addChangedSteps(beforeOps.subspan(beforeBegin, before.groupEnd(group) - beforeBegin),
                    afterOps.subspan(afterBegin, after.groupEnd(group) - afterBegin), changed);
  }
  return changed;
}

// A copy overwrites every pixel of its area whatever lies below, so a pixel it covers comes
// out the same each time; blends that mix with the pixel below give a different result when
// drawn over their own result.
Region unsettledArea(const DrawList& list) {
  Region covered;
  for (const DrawOp& op : list.ops_) {
    if (op.blend.kind == BlendKind::Copy) covered.add(op.area);
  }
  Region unsettled;
  for (const DrawOp& op : list.ops_) {
    if (op.blend.kind == BlendKind::Copy) continue;
    Region part(op.area);
    for (const Rect& copy : covered.rects())
      part.subtract(copy);
    for (const Rect& rect : part.rects())
      addArea(unsettled, rect);
  }
  return unsettled;
}

}  // namespace avg
