#pragma once
#include "script/archive.h"
#include "script/save_text.h"
#include "stage/menu_bar.h"
#include "stage/object_stage.h"
#include "stage/sprite_set.h"
#include "stage/text_layer.h"

namespace avg {

// The save sections of the stage: menu switches, sprite sets, 2D objects, message windows
// with their logs, and edit boxes. Each restore does nothing when its section is missing.

void writeMenuSection(const MenuBar& menu, SaveWriter& out);
void restoreMenu(MenuBar& menu, const SaveText& text);

void writeSpriteSection(SpriteSets& sprites, SaveWriter& out);
// Replaces every sprite set with the saved ones, loaded again from their files.
void restoreSprites(SpriteSets& sprites, const ArchiveSet& archives, const SaveText& text);

void writeObjectSection(const ObjectStage2D& objects, SaveWriter& out);
// Replaces every 2D object; an object whose animation cannot be found is left out.
void restoreObjects(ObjectStage2D& objects, const SpriteSets& sprites, const SaveText& text);

void writeTextSection(const TextLayer& layer, SaveWriter& out);
void writeLogSection(const TextLayer& layer, SaveWriter& out);
void writeEditSection(const TextLayer& layer, SaveWriter& out);
// Message windows, then their logs, then edit boxes.
void restoreText(TextLayer& layer, const SaveText& text);

}  // namespace avg
