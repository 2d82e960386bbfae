#include "stage/glyph.h"

#include <algorithm>

#include "base/text_encoding.h"
#include "graphics/text_image.h"

namespace avg {
namespace {

bool isSingleByteCharacter(unsigned char byte) {
  return byte == 0x09 || (byte >= 0x20 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xDF);
}

size_t imageBytes(const TextImage& image) {
  return sizeof(TextImage) +
         static_cast<size_t>(image.surface.width()) * image.surface.height() * sizeof(uint32_t);
}

}  // namespace

void GlyphItem::moveTo(float left, float top) {
  x = left;
  y = top;
  matrix = Matrix4::translation(left, top, 0.0f);
}

GlyphRenderer::GlyphRenderer(TextRasterizer& rasterizer, std::string faceName)
    : rasterizer_(rasterizer), faceName_(std::move(faceName)) {}

void GlyphRenderer::setFaceName(std::string faceName) {
  faceName_ = std::move(faceName);
  cache_.clear();
  ages_.clear();
  cachedBytes_ = 0;
}

size_t GlyphRenderer::KeyHash::operator()(const Key& key) const {
  size_t hash = std::hash<std::string>()(key.text);
  for (uint64_t part : {static_cast<uint64_t>(key.size), static_cast<uint64_t>(key.bold),
                        static_cast<uint64_t>(key.rgb)})
    hash = hash * 1099511628211u ^ part;
  return hash;
}

std::shared_ptr<const TextImage> GlyphRenderer::image(std::string_view text,
                                                      const FontStyle& style) {
  if (text.empty() || style.size <= 0) return nullptr;
  Key key{std::string(text), std::min(style.size, TextRasterizer::kMaxHeight), style.bold != 0,
          style.color & 0xFFFFFF};
  if (auto it = cache_.find(key); it != cache_.end()) {
    ages_.splice(ages_.begin(), ages_, it->second.age);
    return it->second.image;
  }
  ++renderCount_;
  auto image = std::make_shared<TextImage>();
  TextRaster raster =
      rasterizer_.rasterize(cp932ToCodepoints(text), {faceName_, key.size, key.bold});
  image->extent = raster.extent;
  makeTextImage(raster, style.color, image->surface);
  cachedBytes_ += imageBytes(*image);
  ages_.push_front(key);
  cache_.emplace(std::move(key), Entry{image, ages_.begin()});
  evictBeyondBudget();
  return image;
}

void GlyphRenderer::evictBeyondBudget() {
  while (cachedBytes_ > kCacheBytes && ages_.size() > 1) {
    auto it = cache_.find(ages_.back());
    cachedBytes_ -= imageBytes(*it->second.image);
    cache_.erase(it);
    ages_.pop_back();
  }
}

GlyphPtr GlyphRenderer::create(std::string_view text, const FontStyle& font) {
  auto glyph = std::make_shared<GlyphItem>();
  glyph->text = std::string(text);
  glyph->fontSize = font.size;
  glyph->bold = font.bold;
  glyph->renderColor = font.color;
  glyph->drawColor = font.color;
  render(*glyph);
  return glyph;
}

void GlyphRenderer::render(GlyphItem& glyph) {
  glyph.image = image(glyph.text, {glyph.fontSize, glyph.bold, glyph.renderColor});
  const Size extent = glyph.image ? glyph.image->extent : Size{};
  glyph.width = extent.width;
  glyph.height = extent.height;
}

void GlyphRenderer::renderIn(GlyphItem& glyph, uint32_t color) {
  glyph.renderColor = color;
  glyph.drawColor = color;
  render(glyph);
}

Size GlyphRenderer::measure(std::string_view text, int32_t size, int32_t bold) {
  if (text.empty() || size <= 0) return {};
  return rasterizer_.measure(cp932ToCodepoints(text), {faceName_, size, bold != 0});
}

std::vector<std::string_view> splitCharacters(std::string_view text) {
  std::vector<std::string_view> characters;
  for (size_t i = 0; i < text.size();) {
    const size_t length = isSingleByteCharacter(static_cast<unsigned char>(text[i])) ? 1 : 2;
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

}  // namespace avg
