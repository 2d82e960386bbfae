#include "stage/display_list.h"
#include "graphics/blit.h"

#include "stage/blend_rules.h"

namespace avg {

void DisplayList::draw(Surface& target) {
  objects_.forEachInDrawOrder([&](const DisplayObject2D& object) { drawObject(target, object); });
  for (StageOverlay* overlay : overlays_) {
    if (overlay) overlay->draw(target, view_);
  }
}

void DisplayList::drawObject(Surface& target, const DisplayObject2D& object) {
  std::shared_ptr<const SpriteAnimation> animation;
  const SpriteFrame* frame = object.currentFrame(animation);
  if (!frame) return;
  const Matrix4 world = object.matrix * view_.viewMatrix();
  for (const SpritePart& part : *frame)
    drawPart(target, part, world);
}

// Only the position passes through the matrices: the picture is drawn at its own size.
void DisplayList::drawPart(Surface& target, const SpritePart& part, const Matrix4& world) {
  if (part.source.empty()) return;
  const IntPoint at = screenPosition(part.placement * world);
  if (outside(target, at, part.source)) return;
  const Surface* picture = part.image->picture(codec_);
  if (!picture) return;
  std::optional<Blend> blend =
      partBlend(part.blendMode, picture->hasAlphaChannel(), static_cast<uint8_t>(part.color >> 24));
  if (blend) blit(target, *picture, at.x, at.y, *blend, {.source = part.source});
}

bool outside(const Surface& target, IntPoint at, const Rect& source) {
  const int64_t width = int64_t{source.right} - source.left;
  const int64_t height = int64_t{source.bottom} - source.top;
  return at.x + width <= 0 || at.y + height <= 0 || at.x >= target.width() ||
         at.y >= target.height();
}

}  // namespace avg
