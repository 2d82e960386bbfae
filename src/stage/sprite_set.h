#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/surface.h"
#include "platform/image_codec.h"
#include "script/table_reader.h"
#include "stage/matrix.h"

namespace avg {

// A picture file shared by all parts of one sprite set that name it, loaded on demand.
struct ImageHandle {
  // Empty once loading has failed, so that the file is not tried again.
  std::string fileName;
  Surface image;

  // The picture, loaded now when it is not in memory (its colour key becomes pure green);
  // none when it cannot be loaded.
  const Surface* picture(const ImageCodec& codec);
  void release() { image.release(); }
};

// One cut-out of a picture, placed relative to the frame's origin.
struct SpritePart {
  std::shared_ptr<ImageHandle> image;
  Rect source;                  // empty draws nothing
  uint32_t color = 0xFFFFFFFF;  // 0xAARRGGBB; the alpha byte is the part's opacity
  int32_t blendMode = 0;
  Matrix4 placement;
};

// The parts of one frame, drawn in this order.
using SpriteFrame = std::vector<SpritePart>;

// Which frame covers the ticks [start, end).
struct TimelineRange {
  int32_t start = 0;
  int32_t end = 0;
  int32_t frame = 0;
};

struct SpriteAnimation {
  std::vector<SpriteFrame> frames;
  // Ascending and without overlaps.
  std::vector<TimelineRange> timeline;
  int32_t length = 0;
  int32_t loopStep = -1;  // the tick to continue from after the last; -1: the animation ends

  // The index of the frame covering `tick`, or -1 outside [0, length) and between ranges.
  int32_t frameIndexAt(int32_t tick) const;
  const SpriteFrame* frameAt(int32_t tick) const;
};

// A loaded sprite definition file: named animations and the image handles of their parts.
// Animations are shared so that 2D objects can watch them without keeping them alive.
class SpriteSet {
 public:
  // Without a codec (building tests) pictures are never loaded.
  explicit SpriteSet(const ImageCodec* codec = nullptr) : codec_(codec) {}

  // Loads a definition file (a plain file or a member of `archives`); nothing happens when it
  // is the file loaded already. An unreadable file leaves the set without animations.
  void load(const std::string& fileName, const ArchiveSet& archives);
  // Builds the animations from rows already read (replacing the current ones).
  void build(const TableRows& rows);
  // Drops the image handles (and their pictures), the animations and the file name.
  void clear();

  std::shared_ptr<const SpriteAnimation> findAnimation(const std::string& name) const;

  // Makes an inactive set active and loads all its images.
  void activate();
  // Makes an active or auto set inactive and releases its images.
  void sleep();
  // Sets the auto flag; an inactive set releases its images.
  void setAuto(int32_t value);
  void loadImages();
  void releaseImages();

  const std::string& fileName() const { return fileName_; }
  const std::map<std::string, std::shared_ptr<SpriteAnimation>>& animations() const {
    return animations_;
  }
  const std::map<std::string, std::shared_ptr<ImageHandle>>& images() const { return images_; }

  int32_t active = 0;
  int32_t autoRelease = 0;

 private:
  std::shared_ptr<ImageHandle> imageNamed(const std::string& fileName);

  std::map<std::string, std::shared_ptr<ImageHandle>> images_;
  std::map<std::string, std::shared_ptr<SpriteAnimation>> animations_;
  std::string fileName_;
  const ImageCodec* codec_;
};

// All sprite sets by name.
class SpriteSets {
 public:
  explicit SpriteSets(const ImageCodec* codec = nullptr) : codec_(codec) {}

  // The set of that name, created empty when missing.
  SpriteSet& named(const std::string& name) {
    return sets_.try_emplace(name, codec_).first->second;
  }
  // Searches existing sets only.
  std::shared_ptr<const SpriteAnimation> findAnimation(const std::string& setName,
                                                       const std::string& animationName) const;
  void removeAll() { sets_.clear(); }
  std::map<std::string, SpriteSet>& sets() { return sets_; }

 private:
  std::map<std::string, SpriteSet> sets_;
  const ImageCodec* codec_;
};

}  // namespace avg
