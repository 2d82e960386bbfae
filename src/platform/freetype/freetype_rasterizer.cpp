#include "platform/freetype/freetype_rasterizer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>

#include "base/error_log.h"

namespace avg {
namespace {

// Characters a face must have to count as Japanese: a kana and a common kanji.
constexpr FcChar32 kJapaneseProbes[] = {0x3042, 0x6F22};
constexpr const char* kJapaneseFallback = "IPAGothic";
// Drawn for characters the face lacks: the geta mark, else a question mark.
constexpr char32_t kSubstitutes[] = {0x3013, U'?'};

bool coversJapanese(FcPattern* font) {
  FcCharSet* charset = nullptr;
  if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch) return false;
  return std::all_of(std::begin(kJapaneseProbes), std::end(kJapaneseProbes),
                     [charset](FcChar32 c) { return FcCharSetHasChar(charset, c); });
}

// The best installed font for `pattern` (consumed), or null.
FcPattern* matchFont(FcConfig* config, FcPattern* pattern) {
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* font = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  return font;
}

FcPattern* familyPattern(const std::string& family, bool bold) {
  FcPattern* pattern = FcPatternCreate();
  if (!family.empty())
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  return pattern;
}

// The named face when it is installed with Japanese characters, else IPAGothic, else any
// Japanese face, else whatever fontconfig offers.
FcPattern* findJapaneseFont(FcConfig* config, const std::string& family, bool bold) {
  FcPattern* lastResort = nullptr;
  for (const std::string& candidate : {family, std::string(kJapaneseFallback), std::string()}) {
    FcPattern* font = matchFont(config, familyPattern(candidate, bold));
    if (font && coversJapanese(font)) {
      if (lastResort) FcPatternDestroy(lastResort);
      return font;
    }
    if (lastResort) {
      FcPatternDestroy(font);
    } else {
      lastResort = font;
    }
  }
  writeErrorLogf("no Japanese font for %s", family.c_str());
  return lastResort;
}

// A loaded face with the metrics that map a cell height to its size.
struct Face {
  FT_Face face = nullptr;
  int32_t cellUnits = 1;    // ascent + descent in font units
  int32_t ascentUnits = 1;  // ascent in font units
  bool syntheticBold = false;
};

class FreeTypeRasterizer : public TextRasterizer {
 public:
  // The font configuration is the rasterizer's own, so that it is released with it.
  FreeTypeRasterizer() : config_(FcInitLoadConfigAndFonts()) {
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
  }
  ~FreeTypeRasterizer() override {
    for (auto& [key, face] : faces_)
      if (face.face) FT_Done_Face(face.face);
    if (library_) FT_Done_FreeType(library_);
    if (config_) FcConfigDestroy(config_);
  }

  Size measure(std::u32string_view text, const FontRequest& font) override {
    const int32_t height = std::min(font.height, kMaxHeight);
    const Face* face = faceFor(font);
    if (!face || height < 1 || text.empty()) return {};
    return {layOut(*face, text, height, nullptr), height};
  }

  TextRaster rasterize(std::u32string_view text, const FontRequest& font) override {
    TextRaster raster;
    const int32_t height = std::min(font.height, kMaxHeight);
    const Face* face = faceFor(font);
    if (!face || height < 1 || text.empty()) return raster;
    std::vector<int32_t> pens;
    raster.extent = {layOut(*face, text, height, &pens), height};
    if (raster.extent.width == 0) return raster;
    raster.coverage.assign(static_cast<size_t>(raster.extent.width) * raster.extent.height * 4, 0);
    draw(*face, text, pens, raster);
    return raster;
  }

 private:
  const Face* faceFor(const FontRequest& font) {
    auto key = std::make_pair(std::string(font.face), font.bold);
    auto it = faces_.find(key);
    if (it == faces_.end()) it = faces_.emplace(key, loadFace(key.first, font.bold)).first;
    return it->second.face ? &it->second : nullptr;
  }

  Face loadFace(const std::string& family, bool bold) {
    Face loaded;
    FcPattern* font = library_ && config_ ? findJapaneseFont(config_, family, bold) : nullptr;
    FcChar8* file = nullptr;
    int index = 0;
    if (!font || FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) {
      if (font) FcPatternDestroy(font);
      return loaded;
    }
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    if (FT_New_Face(library_, reinterpret_cast<const char*>(file), index, &loaded.face) != 0) {
      writeErrorLogf("cannot open font %s", reinterpret_cast<const char*>(file));
      loaded.face = nullptr;
    }
    FcPatternDestroy(font);
    if (!loaded.face) return loaded;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(loaded.face, FT_SFNT_OS2));
    const int32_t ascent = os2 ? os2->usWinAscent : loaded.face->ascender;
    const int32_t descent = os2 ? os2->usWinDescent : -loaded.face->descender;
    loaded.cellUnits = std::max(1, ascent + descent);
    loaded.ascentUnits = ascent;
    loaded.syntheticBold = bold && !(loaded.face->style_flags & FT_STYLE_FLAG_BOLD);
    return loaded;
  }

  // Sizes the face so that its cell is `height` pixels high.
  void setCellHeight(const Face& face, int32_t height) {
    const double em = static_cast<double>(height) * face.face->units_per_EM / face.cellUnits;
    FT_Set_Char_Size(face.face, 0, static_cast<FT_F26Dot6>(std::lround(em * 64)), 72, 72);
  }

  FT_UInt glyphIndex(const Face& face, char32_t c) {
    FT_UInt index = FT_Get_Char_Index(face.face, c);
    for (char32_t substitute : kSubstitutes)
      if (index == 0) index = FT_Get_Char_Index(face.face, substitute);
    return index;
  }

  // The width of `text` at `height`; with `pens`, also where each character starts.
  int32_t layOut(const Face& face, std::u32string_view text, int32_t height,
                 std::vector<int32_t>* pens) {
    setCellHeight(face, height);
    int32_t x = 0;
    for (char32_t c : text) {
      if (x >= kMaxWidth) break;
      if (pens) pens->push_back(x);
      if (FT_Load_Glyph(face.face, glyphIndex(face, c), FT_LOAD_NO_BITMAP) != 0) continue;
      const int32_t advance = static_cast<int32_t>((face.face->glyph->advance.x + 32) >> 6);
      x = std::min(kMaxWidth, x + advance + (face.syntheticBold ? 1 : 0));
    }
    return x;
  }

  // Draws each character at twice the height, at twice its measured pen position.
  void draw(const Face& face, std::u32string_view text, const std::vector<int32_t>& pens,
            TextRaster& raster) {
    const int32_t width = raster.extent.width * 2;
    const int32_t height = raster.extent.height * 2;
    setCellHeight(face, height);
    const int32_t baseline = static_cast<int32_t>(
        std::lround(static_cast<double>(height) * face.ascentUnits / face.cellUnits));
    for (size_t i = 0; i < pens.size(); ++i) {
      if (FT_Load_Glyph(face.face, glyphIndex(face, text[i]), FT_LOAD_NO_BITMAP) != 0) continue;
      FT_GlyphSlot slot = face.face->glyph;
      if (face.syntheticBold && slot->format == FT_GLYPH_FORMAT_OUTLINE)
        FT_Outline_EmboldenXY(&slot->outline, 2 * 64, 0);
      if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) continue;
      blitCoverage(slot->bitmap, pens[i] * 2 + slot->bitmap_left, baseline - slot->bitmap_top,
                   width, height, raster.coverage);
    }
  }

  static void blitCoverage(const FT_Bitmap& bitmap, int32_t left, int32_t top, int32_t width,
                           int32_t height, std::vector<uint8_t>& coverage) {
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return;
    for (int32_t row = 0; row < static_cast<int32_t>(bitmap.rows); ++row) {
      const int32_t y = top + row;
      if (y < 0 || y >= height) continue;
      const uint8_t* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
      uint8_t* target = coverage.data() + static_cast<size_t>(y) * width;
      for (int32_t column = 0; column < static_cast<int32_t>(bitmap.width); ++column) {
        const int32_t x = left + column;
        if (x >= 0 && x < width) target[x] = std::max(target[x], source[column]);
      }
    }
  }

  FcConfig* config_ = nullptr;
  FT_Library library_ = nullptr;
  std::map<std::pair<std::string, bool>, Face> faces_;
};

}  // namespace

std::unique_ptr<TextRasterizer> makeFreeTypeRasterizer() {
  return std::make_unique<FreeTypeRasterizer>();
}

}  // namespace avg
