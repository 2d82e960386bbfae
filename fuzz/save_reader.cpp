// Reads arbitrary bytes as a save file and restores it into a fresh engine and stage
// (everything but music and sound); then saves that state again.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/message_box.h"
#include "save/packed_block.h"
#include "script/app_control.h"
#include "script/engine.h"
#include "script/error_reports.h"
#include "script/save_sections.h"
#include "script/save_text.h"
#include "stage/menu_bar.h"
#include "stage/object_stage.h"
#include "stage/save_sections.h"
#include "stage/sprite_set.h"
#include "stage/text_layer.h"

namespace {

using namespace avg;

struct QuietApp : AppControl {
  void requestClose() override {}
  void setFrameRate(int32_t) override {}
  void resetFrameTimer() override {}
  void postCharacter(uint32_t) override {}
  void yieldTimeSlice() override {}
  DisplaySwitch switchDisplay(bool) override { return DisplaySwitch::Unchanged; }
};
struct QuietBoxes : MessageBoxes {
  MessageAnswer show(const MessageBoxRequest&) override { return MessageAnswer::Ok; }
};
struct QuietErrors : ErrorReports {
  void report(std::string_view, std::optional<std::string_view>) override {}
};

// Text takes no room, so that fuzzed font sizes cost nothing.
struct NoText : TextRasterizer {
  Size measure(std::u32string_view, const FontRequest&) override { return {}; }
  TextRaster rasterize(std::u32string_view, const FontRequest&) override { return {}; }
};

void noCommands(CommandTable&) {}

// Runs in a directory of its own holding one script, "s.eve", for "#PROCESS" rows to name.
void enterScratchDirectory() {
  static bool entered = false;
  if (entered) return;
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("avg-fuzz-save-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  std::ofstream("s.eve", std::ios::binary) << "NEXT\r\n#a\r\nNEXT\r\n";
  entered = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enterScratchDirectory();
  std::optional<std::string> content =
      unpackBlock(std::string_view(reinterpret_cast<const char*>(data), size));
  SaveText saved;
  if (!content || !saved.parse(*content) || !saved.hasSaveSections()) return 0;
  QuietApp app;
  QuietBoxes boxes;
  QuietErrors errors;
  ScriptEngine engine(EngineServices{app, boxes, errors, 0, noCommands});
  engine.loadScript(0, 0, "s.eve");
  engine.unloadAll(0);
  restoreVariables(engine.variables(), saved);
  restoreScripts(engine, saved);
  restoreThreads(engine, saved);
  NoText rasterizer;
  TextLayer text(rasterizer, "face");
  SpriteSets sprites;
  ObjectStage2D objects;
  MenuBar menu;
  restoreSprites(sprites, engine.archives(), saved);
  restoreObjects(objects, sprites, saved);
  restoreText(text, saved);
  restoreMenu(menu, saved);
  SaveWriter rows;
  writeProcessSection(engine, rows);
  writeThreadSection(engine, rows);
  writeIntVariables(engine.variables(), rows);
  writeStringArrays(engine.variables(), rows);
  writeSpriteSection(sprites, rows);
  writeObjectSection(objects, rows);
  writeTextSection(text, rows);
  writeLogSection(text, rows);
  writeEditSection(text, rows);
  if (rows.finish().empty()) std::abort();
  return 0;
}
