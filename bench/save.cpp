// Saving and loading a large game state: 2,000 integer and 500 string variables, 50 arrays
// of 200 elements, 10 threads, 30 2D objects and 4 message windows with 200 glyphs and a
// full log each. Save: text, pack and atomic write; load: read, unpack, parse and restore
// (the one small script is compiled again; that is not what is measured). The write is
// flushed to disk, which dominates a save on most disks.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/player_app.h"
#include "app/save_game.h"
#include "base/atomic_file.h"
#include "platform/ffmpeg/ffmpeg_audio.h"
#include "platform/freetype/freetype_rasterizer.h"
#include "platform/headless/headless_platform.h"
#include "platform/image_io/sdl_image_codec.h"
#include "save/packed_block.h"
#include "script/save_text.h"
#include "stage/display_list.h"
#include "stage/text_layer.h"

namespace {

using namespace avg;

constexpr int kRuns = 40;

void writeFile(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

// Hiragana in CP932, so that glyph texts look like game text.
std::string kana(int n) {
  return {'\x82', static_cast<char>(0x9F + n % 83)};
}

void buildState(ScriptEngine& engine) {
  writeFile("s.eve", "NEXT\r\n#loop\r\nWAIT\r\nGOTO,loop\r\n");
  writeFile("chars.spr", "#,walk,3\r\n2,a.png,0,0,10,10\r\n2,a.png\r\n2,a.png\r\n");
  for (int id = 0; id < 10; ++id) {
    engine.loadScript(id, id, "s.eve");
    const_cast<ScriptThread&>(engine.threads().at(id)).stack = {id, 2 * id, 3 * id};
  }
  VariableStore& variables = engine.variables();
  for (int i = 0; i < 2000; ++i)
    *variables.ints.bind("flag" + std::to_string(i)) = i * 7 - 3000;
  for (int i = 0; i < 500; ++i)
    *variables.strings.bind("name" + std::to_string(i)) = kana(i) + kana(i + 1) + "text";
  for (int a = 0; a < 50; ++a) {
    IntArray& array = *variables.intArrays.bind("array" + std::to_string(a));
    for (int k = 0; k < 200; ++k)
      arrayElement(array, k) = a * k;
  }
  DisplayList& stage = engine.companion<DisplayList>();
  SpriteSet& set = stage.sprites().named("chars");
  set.load("chars.spr", engine.archives());
  for (int i = 0; i < 30; ++i) {
    DisplayObject2D* object =
        stage.objects().add("object" + std::to_string(i), set.findAnimation("walk"), i, i, i, 0);
    object->setName = "chars";
    object->animationName = "walk";
  }
  TextLayer& text = engine.companion<TextLayer>();
  for (int w = 0; w < 4; ++w) {
    MessageWindow& window = text.selectWindow(w);
    for (int page = 0; page < 20; ++page) {
      window.clear();
      for (int g = 0; g < 200; ++g)
        window.add(kana(g + page), text.renderer());
      window.commitPage();
    }
  }
}

template <class F>
double medianMs(F&& f) {
  std::vector<double> times;
  for (int run = 0; run < kRuns; ++run) {
    auto start = std::chrono::steady_clock::now();
    f();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "avg_bench_save";
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  std::ostringstream boxes;
  Platform platform = makeHeadlessPlatform({makeSdlImageCodec(), makeFreeTypeRasterizer(),
                                            std::make_shared<FfmpegAudioCodec>(), nullptr},
                                           {}, boxes);
  PlayerApp app(platform, RunOptions{});
  ScriptEngine& engine = app.engine();
  buildState(engine);

  // The three steps of a save apart, then the whole.
  std::string content;
  std::string block;
  double textMs = medianMs([&] { content = writeSaveText(engine, saveDate({})); });
  double packMs = medianMs([&] { block = packBlock(content, PackRequest::Compress); });
  double writeMs = medianMs([&] { replaceFileAtomically("steps.sav", block); });
  double saveMs = medianMs([&] { saveGame(engine, "bench.sav"); });
  double loadMs = medianMs([&] { loadGame(engine, "bench.sav", std::nullopt); });
  std::printf("RESULT save_text_ms %.3f ms\n", textMs);
  std::printf("RESULT save_pack_ms %.3f ms\n", packMs);
  std::printf("RESULT save_write_ms %.3f ms\n", writeMs);
  std::printf("RESULT save_ms %.3f ms\n", saveMs);
  std::printf("RESULT load_ms %.3f ms\n", loadMs);
  std::printf("RESULT save_bytes %zu bytes\n",
              static_cast<size_t>(std::filesystem::file_size("bench.sav")));
  std::filesystem::current_path(dir.parent_path());
  std::filesystem::remove_all(dir);
  return 0;
}
