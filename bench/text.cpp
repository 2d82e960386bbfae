// Text cost: adding and drawing a page of 200 double-byte characters in a message window
// with a cold and with a warm glyph cache, and the frame time of a dialogue scene.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/freetype/freetype_rasterizer.h"
#include "stage/text_layer.h"

namespace avg {
namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// 200 distinct kanji of the first level of CP932, from 0x889F on.
std::vector<std::string> pageCharacters() {
  std::vector<std::string> characters;
  for (int lead = 0x88; characters.size() < 200; ++lead) {
    for (int trail = lead == 0x88 ? 0x9F : 0x40; trail <= 0xFC && characters.size() < 200;
         ++trail) {
      if (trail == 0x7F) continue;
      characters.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  return characters;
}

// Adds the page as 10 lines of 20 characters and draws the frame.
void addAndDrawPage(TextLayer& layer, const std::vector<std::string>& page, Surface& back) {
  MessageWindow& window = layer.currentWindow();
  window.clear();
  window.layout.spacingY = 24.0f;
  for (size_t i = 0; i < page.size(); ++i) {
    if (i % 20 == 0) window.newLine();
    window.add(page[i], layer.renderer());
  }
  DrawList list;
  list.reset(back.bounds());
  layer.collectMessageWindows(list, StageView());
  list.draw(back, back.bounds());
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace
}  // namespace avg

int main() {
  using namespace avg;
  auto rasterizer = makeFreeTypeRasterizer();
  // Finding and opening the face is start-up work, not part of a page.
  rasterizer->measure(U"あ", {kDefaultFaceName, 18, false});
  Surface back;
  back.create(640, 480);
  const std::vector<std::string> page = pageCharacters();

  std::vector<double> cold, warm;
  for (int run = 0; run < 9; ++run) {
    TextLayer layer(*rasterizer, std::string(kDefaultFaceName));
    Clock::time_point start = Clock::now();
    addAndDrawPage(layer, page, back);
    cold.push_back(msSince(start));
    for (int again = 0; again < 20; ++again) {
      start = Clock::now();
      addAndDrawPage(layer, page, back);
      warm.push_back(msSince(start));
    }
  }

  // A dialogue frame: a name, three lines of text and a typed name in an edit box.
  TextLayer scene(*rasterizer, std::string(kDefaultFaceName));
  scene.currentWindow().add("\x96\xbc\x91\x4f", scene.renderer());
  scene.currentWindow().newLine();
  for (size_t i = 0; i < 90; ++i)
    scene.currentWindow().add(page[i], scene.renderer());
  EditBox& box = scene.selectEditBox(0);
  for (char c : std::string("Player"))
    box.type(std::string(1, c), scene.renderer());
  std::vector<double> frames;
  for (int frame = 0; frame < 600; ++frame) {
    const Clock::time_point start = Clock::now();
    back.fill(0);
    DrawList list;
    list.reset(back.bounds());
    scene.collectEditBoxes(list, StageView());
    scene.collectMessageWindows(list, StageView());
    list.draw(back, back.bounds());
    frames.push_back(msSince(start));
  }

  std::printf("page of %zu double-byte characters at 18 px; medians of %zu, %zu and %zu runs\n",
              page.size(), cold.size(), warm.size(), frames.size());
  std::printf("RESULT page_cold_ms %.3f ms\n", median(cold));
  std::printf("RESULT page_warm_ms %.3f ms\n", median(warm));
  std::printf("RESULT dialogue_frame_ms %.3f ms\n", median(frames));
  return 0;
}
