#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/surface.h"
#include "platform/text_rasterizer.h"
#include "stage/matrix.h"

namespace avg {

// The face text uses unless the configuration names another.
inline constexpr std::string_view kDefaultFaceName = "ＭＳ ゴシック";

// Size (cell height in pixels), bold (0 or not) and colour (0xAABBGGRR) of text.
struct FontStyle {
  int32_t size = 18;
  int32_t bold = 0;
  uint32_t color = 0xFFFFFFFF;
  bool operator==(const FontStyle&) const = default;
};

// A rendered text: its image (empty for an empty extent) and its measured extent.
struct TextImage {
  Surface surface;
  Size extent;
};

// A rendered piece of text placed at (x, y); its image may be released and rendered again.
struct GlyphItem : PiecePlacement {
  std::shared_ptr<const TextImage> image;
  std::string text;  // CP932
  int32_t fontSize = 18;
  int32_t bold = 0;
  uint32_t renderColor = 0xFFFFFFFF;
  int32_t width = 0;
  int32_t height = 0;
  uint32_t drawColor = 0xFFFFFFFF;  // its top byte is the opacity the piece is drawn with

  // Places the glyph's top-left corner at (x, y).
  void moveTo(float left, float top);
};
using GlyphPtr = std::shared_ptr<GlyphItem>;

// Renders and measures text in one face, keeping recent text images so that a text is not
// rendered twice for the same size, weight and colour while its image is cached. The cache
// holds at most kCacheBytes of pixels; images still held by glyphs outlive their eviction.
class GlyphRenderer {
 public:
  static constexpr size_t kCacheBytes = 32u << 20;

  GlyphRenderer(TextRasterizer& rasterizer, std::string faceName);

  // Changes the face (a UTF-8 name) for text rendered from now on; cached images are dropped.
  void setFaceName(std::string faceName);

  // The image of `text` in `style`; sizes of 0 or less give an empty image.
  std::shared_ptr<const TextImage> image(std::string_view text, const FontStyle& style);
  // A new glyph of `text` rendered in `font` (its render and draw colour).
  GlyphPtr create(std::string_view text, const FontStyle& font);
  // Renders the glyph's text in its render colour, setting image, width and height.
  void render(GlyphItem& glyph);
  // Renders the glyph again in `color`, which becomes its render and draw colour.
  void renderIn(GlyphItem& glyph, uint32_t color);
  // The extent of `text` without rendering it.
  Size measure(std::string_view text, int32_t size, int32_t bold);

  size_t cachedBytes() const { return cachedBytes_; }
  uint64_t renderCount() const { return renderCount_; }

 private:
  struct Key {
    std::string text;
    int32_t size;
    bool bold;
    uint32_t rgb;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& key) const;
  };
  struct Entry {
    std::shared_ptr<const TextImage> image;
    std::list<Key>::iterator age;
  };
  void evictBeyondBudget();

  TextRasterizer& rasterizer_;
  std::string faceName_;
  std::unordered_map<Key, Entry, KeyHash> cache_;
  std::list<Key> ages_;  // most recently used first
  size_t cachedBytes_ = 0;
  uint64_t renderCount_ = 0;
};

// Splits CP932 text into characters: 0x09, 0x20–0x7E and 0xA1–0xDF are one byte, any other
// byte starts a two-byte character (cut short at the end of the text).
std::vector<std::string_view> splitCharacters(std::string_view text);

}  // namespace avg
