#include "stage/save_sections.h"

#include <algorithm>

namespace avg {
namespace {

// The menu items in the order of the save row.
constexpr int32_t kSavedMenuItems[] = {kMenuTitle, kMenuSave, kMenuLoad, kMenuSkip};

// Fields after a glyph's text: font size, bold, colour and seven placement numbers.
constexpr size_t kGlyphNumbers = 10;

// Colours are saved as signed decimals.
int32_t savedColor(uint32_t color) {
  return static_cast<int32_t>(color);
}
uint32_t colorAt(const TableRow& row, size_t k) {
  return static_cast<uint32_t>(intAt(row, k));
}

void appendPlacement(SaveWriter& out, const PiecePlacement& p) {
  for (float value : {p.x, p.y, p.scaleX, p.scaleY, p.rotationX, p.rotationY, p.rotationZ})
    out.field(value);
}

void readPlacement(const TableRow& row, size_t k, PiecePlacement& p) {
  for (float* value : {&p.x, &p.y, &p.scaleX, &p.scaleY, &p.rotationX, &p.rotationY, &p.rotationZ})
    *value = floatAt(row, k++);
}

void writeWindowPlacement(const WindowPlacement& placement, SaveWriter& out) {
  out.row().field(placement.reserved).field(placement.blendMode).field(placement.visible);
  appendPlacement(out, placement);
}

void readWindowPlacement(const TableRow& row, WindowPlacement& placement) {
  placement.reserved = intAt(row, 0);
  placement.blendMode = intAt(row, 1);
  placement.visible = intAt(row, 2);
  readPlacement(row, 3, placement);
  placement.refresh();
}

void appendFont(SaveWriter& out, const FontStyle& font) {
  out.field(font.size).field(font.bold).field(savedColor(font.color));
}

FontStyle fontAt(const TableRow& row, size_t k) {
  return {intAt(row, k), intAt(row, k + 1), colorAt(row, k + 2)};
}

void writeGlyphs(const std::vector<GlyphPtr>& glyphs, SaveWriter& out) {
  out.row().field(glyphs.size());
  for (const GlyphPtr& glyph : glyphs) {
    noteUnsavableText("a text piece", glyph->text);
    out.row().field(glyph->text).field(glyph->fontSize).field(glyph->bold);
    out.field(savedColor(glyph->drawColor));
    appendPlacement(out, *glyph);
  }
}

// The glyph text is everything before the ten numbers, so it may hold ",".
GlyphPtr readGlyph(const TableRow& row, GlyphRenderer& renderer) {
  size_t numbers = row.size() > kGlyphNumbers ? row.size() - kGlyphNumbers : 1;
  GlyphPtr glyph = renderer.create(textAt(row, 0, row.size() - numbers), fontAt(row, numbers));
  readPlacement(row, numbers + 3, *glyph);
  glyph->matrix = Matrix4::translation(glyph->x, glyph->y, 0.0f);
  return glyph;
}

// A glyph count row and up to that many glyph rows, as far as the section holds them.
std::vector<GlyphPtr> readGlyphs(SaveSection& section, GlyphRenderer& renderer) {
  int32_t n = intAt(section.take(), 0);
  std::vector<GlyphPtr> glyphs;
  for (int32_t k = 0; k < n && section.rowsLeft() > 0; ++k)
    glyphs.push_back(readGlyph(section.take(), renderer));
  return glyphs;
}

// The closing row of the window and edit box sections: a number, or "-" for none.
void writeCurrent(std::optional<int32_t> number, SaveWriter& out) {
  if (number) {
    out.row().field(*number);
  } else {
    out.row().field("-");
  }
}
std::optional<int32_t> currentAt(const TableRow& row) {
  if (row.empty() || row[0] == "-") return std::nullopt;
  return intAt(row, 0);
}

void restoreWindows(TextLayer& layer, const SaveText& text) {
  std::optional<SaveSection> section = text.section("TEXT");
  if (!section) return;
  layer.removeAllWindows();
  for (size_t n = section->count(); n > 0; --n) {
    MessageWindow& window = layer.windowAt(intAt(section->take(), 0));
    readWindowPlacement(section->take(), window.placement);
    const TableRow& style = section->take();
    window.currentFont = fontAt(style, 0);
    window.layout.font = fontAt(style, 3);
    window.cursorX = floatAt(style, 6);
    window.cursorY = floatAt(style, 7);
    window.layout.originX = floatAt(style, 8);
    window.layout.originY = floatAt(style, 9);
    window.layout.spacingX = floatAt(style, 10);
    window.layout.spacingY = floatAt(style, 11);
    window.layout.alignH = static_cast<uint32_t>(intAt(style, 12));
    window.layout.alignV = static_cast<uint32_t>(intAt(style, 13));
    window.lineSpacing = floatAt(style, 14);
    window.logFont = fontAt(section->take(), 0);
    window.glyphs = readGlyphs(*section, layer.renderer());
  }
  layer.selectWindow(currentAt(section->take()).value_or(0));
}

void restoreLogs(TextLayer& layer, const SaveText& text) {
  std::optional<SaveSection> section = text.section("LOG");
  if (!section) return;
  for (size_t n = section->count(); n > 0; --n) {
    MessageWindow& window = layer.windowAt(intAt(section->take(), 0));
    std::vector<GlyphPtr> page = readGlyphs(*section, layer.renderer());
    window.logPages.clear();
    window.shownPage.reset();
    if (!page.empty()) window.logPages.push_back(std::move(page));
  }
}

void restoreEditBoxes(TextLayer& layer, const SaveText& text) {
  std::optional<SaveSection> section = text.section("EDIT");
  if (!section) return;
  layer.removeAllEditBoxes();
  for (size_t n = section->count(); n > 0; --n) {
    EditBox& box = layer.editBoxAt(intAt(section->take(), 0));
    readWindowPlacement(section->take(), box.placement);
    const TableRow& style = section->take();
    box.layout.font = fontAt(style, 0);
    FontStyle composition = fontAt(style, 3);
    if (composition != box.layout.font) box.compositionFont = composition;
    box.layout.originX = floatAt(style, 6);
    box.layout.originY = floatAt(style, 7);
    box.layout.spacingX = floatAt(style, 8);
    box.layout.spacingY = floatAt(style, 9);
    box.layout.alignH = static_cast<uint32_t>(intAt(style, 10));
    box.layout.alignV = static_cast<uint32_t>(intAt(style, 11));
    box.characters = readGlyphs(*section, layer.renderer());
    const TableRow& cursor = section->take();
    box.cursor =
        std::min(static_cast<size_t>(std::max(intAt(cursor, 0), 0)), box.characters.size());
    box.compositionLength = intAt(cursor, 1);
  }
  std::optional<int32_t> current = currentAt(section->take());
  if (current) layer.selectEditBox(*current);
}

}  // namespace

void writeMenuSection(const MenuBar& menu, SaveWriter& out) {
  out.row().field("#MENU");
  out.row();
  for (int32_t id : kSavedMenuItems)
    out.field(menu.enabled(id));
}

void restoreMenu(MenuBar& menu, const SaveText& text) {
  std::optional<SaveSection> section = text.section("MENU");
  if (!section) return;
  const TableRow& row = section->take();
  for (size_t k = 0; k < std::size(kSavedMenuItems); ++k)
    menu.setEnabled(kSavedMenuItems[k], fieldAt(row, k) == "1");
}

void writeSpriteSection(SpriteSets& sprites, SaveWriter& out) {
  out.row().field("#SPRITE").field(sprites.sets().size());
  for (const auto& [name, set] : sprites.sets())
    out.row().field(name).field(set.fileName()).field(set.active != 0).field(set.autoRelease != 0);
}

void restoreSprites(SpriteSets& sprites, const ArchiveSet& archives, const SaveText& text) {
  std::optional<SaveSection> section = text.section("SPRITE");
  if (!section) return;
  sprites.removeAll();
  for (size_t n = section->count(); n > 0; --n) {
    const TableRow& row = section->take();
    SpriteSet& set = sprites.named(std::string(fieldAt(row, 0)));
    set.load(std::string(fieldAt(row, 1)), archives);
    if (fieldAt(row, 2) == "1") set.activate();
    if (fieldAt(row, 3) == "1") set.setAuto(1);
  }
}

void writeObjectSection(const ObjectStage2D& objects, SaveWriter& out) {
  out.row().field("#OBJECT_2D").field(objects.size());
  objects.forEachByName([&out](const DisplayObject2D& object) {
    out.row().field(object.name).field(object.setName).field(object.animationName);
    out.field(object.step).field(object.priority);
    appendPlacement(out, object);
  });
}

void restoreObjects(ObjectStage2D& objects, const SpriteSets& sprites, const SaveText& text) {
  std::optional<SaveSection> section = text.section("OBJECT_2D");
  if (!section) return;
  objects.removeAll();
  for (size_t n = section->count(); n > 0; --n) {
    const TableRow& row = section->take();
    std::string setName(fieldAt(row, 1));
    std::string animationName(fieldAt(row, 2));
    DisplayObject2D* object =
        objects.add(std::string(fieldAt(row, 0)), sprites.findAnimation(setName, animationName),
                    floatAt(row, 5), floatAt(row, 6), intAt(row, 4), intAt(row, 3));
    if (!object) continue;
    object->setName = std::move(setName);
    object->animationName = std::move(animationName);
    readPlacement(row, 5, *object);
    object->refresh();
  }
}

void writeTextSection(const TextLayer& layer, SaveWriter& out) {
  out.row().field("#TEXT").field(layer.windows().size());
  for (const auto& [number, window] : layer.windows()) {
    out.row().field(number);
    writeWindowPlacement(window.placement, out);
    out.row();
    appendFont(out, window.currentFont);
    appendFont(out, window.layout.font);
    const TextLayout& layout = window.layout;
    for (float value : {window.cursorX, window.cursorY, layout.originX, layout.originY,
                        layout.spacingX, layout.spacingY})
      out.field(value);
    out.field(layout.alignH).field(layout.alignV).field(window.lineSpacing);
    appendFont(out.row(), window.logFont);
    writeGlyphs(window.glyphs, out);
  }
  writeCurrent(layer.currentWindowNumber(), out);
}

void writeLogSection(const TextLayer& layer, SaveWriter& out) {
  out.row().field("#LOG").field(layer.windows().size());
  for (const auto& [number, window] : layer.windows()) {
    out.row().field(number);
    if (window.logPages.empty()) {
      out.row().field(0);
    } else {
      writeGlyphs(window.logPages.back(), out);
    }
  }
  writeCurrent(layer.currentWindowNumber(), out);
}

void writeEditSection(const TextLayer& layer, SaveWriter& out) {
  out.row().field("#EDIT").field(layer.editBoxes().size());
  for (const auto& [number, box] : layer.editBoxes()) {
    out.row().field(number);
    writeWindowPlacement(box.placement, out);
    out.row();
    const TextLayout& layout = box.layout;
    appendFont(out, layout.font);
    appendFont(out, box.compositionFont.value_or(layout.font));
    for (float value : {layout.originX, layout.originY, layout.spacingX, layout.spacingY})
      out.field(value);
    out.field(layout.alignH).field(layout.alignV);
    writeGlyphs(box.characters, out);
    // The selected glyph is the one at the cursor; none (0) when the cursor is at the end.
    size_t selected = box.cursor < box.characters.size() ? box.cursor : 0;
    out.row().field(selected).field(box.compositionLength);
  }
  writeCurrent(layer.currentEditBoxNumber(), out);
}

void restoreText(TextLayer& layer, const SaveText& text) {
  restoreWindows(layer, text);
  restoreLogs(layer, text);
  restoreEditBoxes(layer, text);
}

}  // namespace avg
