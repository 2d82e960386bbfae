#include "stage/sprite_set.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "graphics/image_loader.h"
#include "script/int_ops.h"
#include "script/literals.h"

namespace avg {
namespace {

constexpr float kRadiansPerDegree = 0.017453293005625408f;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;
constexpr uint32_t kPureGreen = 0x00FF00;
// Frames are created as timed rows fill them; the header's count only reserves this many
// ahead, so that a huge count costs nothing.
constexpr int32_t kMaxReservedFrames = 256;

// Fields of a part row.
enum PartField : size_t {
  kDuration = 0,
  kImage = 1,
  kLeft = 2,
  kBottom = 5,
  kPivotX = 6,
  kPivotY = 7,
  kColor = 8,
  kBlendMode = 9,
  kPositionX = 10,
  kPositionY = 11,
  kScaleX = 12,
  kScaleY = 13,
  kRotationX = 14,
  kRotationY = 15,
  kRotationZ = 16,
};

int32_t intField(const TableRow& row, size_t k, int32_t fallback) {
  return k < row.size() ? parseDecimalInt(row[k]) : fallback;
}

float floatField(const TableRow& row, size_t k, float fallback) {
  return k < row.size() ? parseDecimalFloat(row[k]) : fallback;
}

Rect sourceRect(const TableRow& row) {
  if (row.size() <= kBottom) return {};
  return {parseDecimalInt(row[kLeft]), parseDecimalInt(row[kLeft + 1]),
          parseDecimalInt(row[kLeft + 2]), parseDecimalInt(row[kBottom])};
}

// Translation(pivot) × Scaling × Rotation × Translation(position): the pivot (by default the
// centre of the source rectangle) moves to the origin, then the part is scaled, rotated and
// moved to its position.
Matrix4 partPlacement(const TableRow& row, const Rect& source) {
  const float width = static_cast<float>(intops::sub(source.right, source.left));
  const float height = static_cast<float>(intops::sub(source.bottom, source.top));
  const float pivotX = -(width * 0.5f) - floatField(row, kPivotX, 0.0f);
  const float pivotY = -(height * 0.5f) - floatField(row, kPivotY, 0.0f);
  return Matrix4::translation(pivotX, pivotY, 0.0f) *
         placementMatrix(floatField(row, kPositionX, 0.0f), floatField(row, kPositionY, 0.0f),
                         floatField(row, kScaleX, 1.0f), floatField(row, kScaleY, 1.0f),
                         floatField(row, kRotationX, 0.0f) * kRadiansPerDegree,
                         floatField(row, kRotationY, 0.0f) * kRadiansPerDegree,
                         floatField(row, kRotationZ, 0.0f) * kRadiansPerDegree);
}

// Walks the rows of a definition file, keeping the animation, tick and frame being filled.
class DefinitionBuilder {
 public:
  DefinitionBuilder(std::map<std::string, std::shared_ptr<SpriteAnimation>>& animations,
                    std::function<std::shared_ptr<ImageHandle>(const std::string&)> imageNamed)
      : animations_(animations), imageNamed_(std::move(imageNamed)) {}

  void add(const TableRow& row) {
    if (!row.empty() && !row[0].empty() && row[0][0] == '#') {
      startAnimation(row);
    } else if (row.size() >= 2) {
      addPart(row);
    }
  }

 private:
  void startAnimation(const TableRow& row) {
    std::shared_ptr<SpriteAnimation>& slot = animations_[row.size() > 1 ? row[1] : ""];
    if (!slot) slot = std::make_shared<SpriteAnimation>();
    animation_ = slot.get();
    *animation_ = SpriteAnimation{};
    animation_->frames.reserve(std::clamp(intField(row, 2, 1), 0, kMaxReservedFrames));
    animation_->loopStep = intField(row, 3, -1);
    tick_ = 0;
    frame_ = nullptr;
  }

  void addPart(const TableRow& row) {
    if (!animation_) return;
    if (row[kDuration] != "-") {
      startFrame(parseDecimalInt(row[kDuration]));
    } else if (!frame_) {
      return;  // a continuation row before any timed row has no frame to join
    }
    SpritePart part;
    part.image = imageNamed_(row[kImage]);
    part.source = sourceRect(row);
    part.color =
        row.size() > kColor ? static_cast<uint32_t>(parseHexInt(row[kColor])) : kOpaqueWhite;
    part.blendMode = intField(row, kBlendMode, 0);
    part.placement = partPlacement(row, part.source);
    frame_->push_back(std::move(part));
  }

  // Negative durations count as 0 and the end of the timeline stops at the largest tick,
  // so that ranges never overlap or run backwards.
  void startFrame(int32_t duration) {
    const int32_t start = tick_;
    const int64_t end = std::min<int64_t>(int64_t{start} + std::max(duration, 0),
                                          std::numeric_limits<int32_t>::max());
    const int32_t index = static_cast<int32_t>(animation_->frames.size());
    animation_->frames.emplace_back();
    if (end > start) animation_->timeline.push_back({start, static_cast<int32_t>(end), index});
    tick_ = static_cast<int32_t>(end);
    animation_->length = tick_;
    frame_ = &animation_->frames.back();
  }

  std::map<std::string, std::shared_ptr<SpriteAnimation>>& animations_;
  std::function<std::shared_ptr<ImageHandle>(const std::string&)> imageNamed_;
  SpriteAnimation* animation_ = nullptr;
  SpriteFrame* frame_ = nullptr;
  int32_t tick_ = 0;
};

}  // namespace

const Surface* ImageHandle::picture(const ImageCodec& codec) {
  if (image.loaded()) return &image;
  if (fileName.empty()) return nullptr;
  if (loadImage(image, fileName, codec) != kImageLoaded) {
    image.release();
    fileName.clear();
    return nullptr;
  }
  image.setColorKey(kPureGreen);
  return &image;
}

int32_t SpriteAnimation::frameIndexAt(int32_t tick) const {
  if (tick < 0 || tick >= length) return -1;
  auto range =
      std::upper_bound(timeline.begin(), timeline.end(), tick,
                       [](int32_t t, const TimelineRange& candidate) { return t < candidate.end; });
  if (range == timeline.end() || tick < range->start) return -1;
  return range->frame;
}

const SpriteFrame* SpriteAnimation::frameAt(int32_t tick) const {
  int32_t index = frameIndexAt(tick);
  return index < 0 ? nullptr : &frames[static_cast<size_t>(index)];
}

void SpriteSet::load(const std::string& fileName, const ArchiveSet& archives) {
  if (fileName == fileName_) return;
  animations_.clear();
  // Pictures that failed to load are tried again by the new file; loaded ones are kept.
  std::erase_if(images_, [](const auto& entry) { return entry.second->fileName.empty(); });
  fileName_ = fileName;
  TableRows rows;
  if (readTable(fileName, archives, rows)) build(rows);
}

void SpriteSet::build(const TableRows& rows) {
  animations_.clear();
  DefinitionBuilder builder(animations_,
                            [this](const std::string& name) { return imageNamed(name); });
  for (const TableRow& row : rows)
    builder.add(row);
}

void SpriteSet::clear() {
  releaseImages();
  images_.clear();
  animations_.clear();
  fileName_.clear();
}

std::shared_ptr<const SpriteAnimation> SpriteSet::findAnimation(const std::string& name) const {
  auto it = animations_.find(name);
  return it == animations_.end() ? nullptr : it->second;
}

void SpriteSet::activate() {
  if (active) return;
  active = 1;
  loadImages();
}

void SpriteSet::sleep() {
  if (!active && !autoRelease) return;
  active = 0;
  releaseImages();
}

void SpriteSet::setAuto(int32_t value) {
  autoRelease = value;
  if (!active) releaseImages();
}

void SpriteSet::loadImages() {
  if (!codec_) return;
  for (auto& [name, handle] : images_)
    handle->picture(*codec_);
}

void SpriteSet::releaseImages() {
  for (auto& [name, handle] : images_)
    handle->release();
}

std::shared_ptr<ImageHandle> SpriteSet::imageNamed(const std::string& fileName) {
  std::shared_ptr<ImageHandle>& handle = images_[fileName];
  if (!handle) {
    handle = std::make_shared<ImageHandle>();
    handle->fileName = fileName;
    if (active && codec_) handle->picture(*codec_);
  }
  return handle;
}

std::shared_ptr<const SpriteAnimation> SpriteSets::findAnimation(
    const std::string& setName, const std::string& animationName) const {
  auto it = sets_.find(setName);
  return it == sets_.end() ? nullptr : it->second.findAnimation(animationName);
}

}  // namespace avg
