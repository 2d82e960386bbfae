#include "stage/display_list.h"

#include "stage/blend_rules.h"

namespace avg {
namespace {

// Beyond this many rectangles the drawn area becomes one rectangle.
constexpr size_t kMaxDrawnPieces = 32;

}  // namespace

const Region& DisplayList::draw(Surface& target) {
  std::swap(frame_, previous_);
  collect(target.bounds());
  if (fullRedraw_ || target.id() != targetId_) {
    drawn_ = Region(target.bounds());
    unsettled_ = unsettledArea(frame_);
  } else {
    drawn_ = changedArea(previous_, frame_);
    if (!drawn_.empty()) unsettled_ = unsettledArea(frame_);
    drawn_.add(unsettled_);
    drawn_.simplify(kMaxDrawnPieces);
  }
  frame_.draw(target, drawn_);
  targetId_ = target.id();
  return drawn_;
}

void DisplayList::collect(const Rect& screen) {
  frame_.reset(screen);
  objects_.forEachInDrawOrder([&](const DisplayObject2D& object) { collectObject(object); });
  for (StageOverlay* overlay : overlays_) {
    if (overlay) overlay->collect(frame_, view_);
  }
}

void DisplayList::collectObject(const DisplayObject2D& object) {
  std::shared_ptr<const SpriteAnimation> animation;
  const SpriteFrame* frame = object.currentFrame(animation);
  if (!frame) return;
  frame_.beginGroup(&object);
  const Matrix4 world = object.matrix * view_.viewMatrix();
  for (const SpritePart& part : *frame)
    collectPart(part, world);
}

// Only the position passes through the matrices: the picture is drawn at its own size. A
// picture is loaded when a frame first shows it.
void DisplayList::collectPart(const SpritePart& part, const Matrix4& world) {
  if (part.source.empty()) return;
  const IntPoint at = screenPosition(part.placement * world);
  if (outside(frame_.screen(), at, part.source)) return;
  const Surface* picture = part.image->picture(codec_);
  if (!picture) return;
  std::optional<Blend> blend =
      partBlend(part.blendMode, picture->hasAlphaChannel(), static_cast<uint8_t>(part.color >> 24));
  if (blend) frame_.add(*picture, at.x, at.y, *blend, part.source);
}

bool outside(const Rect& screen, IntPoint at, const Rect& source) {
  const int64_t width = int64_t{source.right} - source.left;
  const int64_t height = int64_t{source.bottom} - source.top;
  return at.x + width <= screen.left || at.y + height <= screen.top || at.x >= screen.right ||
         at.y >= screen.bottom;
}

}  // namespace avg
