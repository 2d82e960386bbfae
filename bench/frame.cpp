// Composes a typical adventure-game frame through the stage: an opaque 640 × 480
// background, three 300 × 450 characters with alpha channel and a 600 × 150 window picture
// drawn half transparent. The same frame composed by pixman is the peer of the whole frame;
// the still frame (nothing changed) and the typing frame (one more glyph of text in a
// window each pass) are composed as the player composes them, only where they changed.
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "base/surface.h"
#include "platform/freetype/freetype_rasterizer.h"
#include "platform/image_io/sdl_image_codec.h"
#include "script/archive.h"
#include "stage/display_list.h"
#include "stage/text_layer.h"

namespace {

constexpr int kFramesPerRun = 300;
constexpr int kRuns = 7;

void appendWord(std::string& bytes, uint32_t word) {
  for (int shift = 0; shift < 32; shift += 8)
    bytes.push_back(static_cast<char>((word >> shift) & 0xFF));
}

// A raw picture with alpha channel whose pixels come from pixel(x, y).
void writeCgd(const std::filesystem::path& path, int32_t width, int32_t height,
              const std::function<uint32_t(int32_t, int32_t)>& pixel) {
  std::string bytes;
  for (uint32_t word : {0u, 0u, uint32_t(width * height * 4), uint32_t(width), uint32_t(height)})
    appendWord(bytes, word);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      appendWord(bytes, pixel(x, y));
  }
  std::ofstream(path, std::ios::binary) << bytes;
}

// A character: opaque in an ellipse, fading at its rim, transparent outside.
uint32_t characterPixel(int32_t x, int32_t y) {
  const double dx = (x - 150) / 150.0, dy = (y - 225) / 225.0;
  const double distance = dx * dx + dy * dy;
  const uint32_t alpha = distance < 0.8   ? 255
                         : distance < 1.0 ? uint32_t((1.0 - distance) * 1275)
                                          : 0;
  return alpha << 24 | uint32_t(x * 255 / 299) << 16 | 0x8040;
}

// A picture without alpha channel, as PNG.
void writePng(const avg::ImageCodec& codec, const std::filesystem::path& path, int32_t width,
              int32_t height, const std::function<uint32_t(int32_t, int32_t)>& pixel) {
  avg::Surface picture;
  picture.create(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      picture.row(y)[x] = pixel(x, y);
  }
  std::ofstream(path, std::ios::binary) << codec.encodePng(picture).value_or("");
}

// Backgrounds and window pictures usually come without alpha channel (drawn by copy and by
// constant alpha), characters with one.
void writeGame(const avg::ImageCodec& codec, const std::filesystem::path& dir) {
  writePng(codec, dir / "bg.png", 640, 480, [](int32_t x, int32_t y) {
    return uint32_t(x * 255 / 639) << 16 | uint32_t(y * 255 / 479) << 8;
  });
  writeCgd(dir / "chara.cgd", 300, 450, characterPixel);
  writePng(codec, dir / "window.png", 600, 150,
           [](int32_t x, int32_t y) { return (x + y) % 16 < 8 ? 0x203060u : 0x405080u; });
  std::ofstream(dir / "frame.spr", std::ios::binary)
      << "#,bg\r\n1,bg.png,0,0,640,480,192,144\r\n"
         "#,chara\r\n1,chara.cgd,0,0,300,450\r\n"
         "#,window\r\n1,window.png,0,0,600,150,0,0,80FFFFFF,0\r\n";
}

template <class Compose>
double bestMsPerFrame(Compose&& compose) {
  double best = 1e300;
  for (int run = 0; run < kRuns; ++run) {
    auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < kFramesPerRun; ++frame)
      compose();
    std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    best = std::min(best, elapsed.count() / kFramesPerRun);
  }
  return best;
}

double stageMsPerFrame(
    avg::DisplayList& stage, const std::function<void()>& beforeEach = [] {}) {
  avg::Surface back;
  back.create(640, 480);
  stage.draw(back);
  return bestMsPerFrame([&] {
    beforeEach();
    stage.draw(back);
  });
}

// The message windows of a text layer, drawn above the objects.
class WindowOverlay : public avg::StageOverlay {
 public:
  explicit WindowOverlay(const avg::TextLayer& text) : text_(text) {}
  void collect(avg::DrawList& list, const avg::StageView& view) override {
    text_.collectMessageWindows(list, view);
  }

 private:
  const avg::TextLayer& text_;
};

// Types 60 kanji of the first level of CP932 in lines of 20 on the window picture (window
// positions count from the screen centre), one per call; a full page is cleared first.
class Typist {
 public:
  explicit Typist(avg::TextLayer& text) : text_(text) {
    avg::MessageWindow& window = text_.currentWindow();
    window.placement.visible = true;
    window.layout.originX = -280;
    window.layout.originY = 100;
    window.layout.spacingY = 24;
    window.rewind();
  }
  void typeOne() {
    if (typed_ % kPage == 0) text_.clearText();
    if (typed_ % kPage != 0 && typed_ % kLine == 0) text_.newLine();
    const int index = typed_++ % kPage;
    const char character[] = {static_cast<char>(0x89), static_cast<char>(0x40 + index), 0};
    text_.addText(character);
  }

 private:
  static constexpr int kLine = 20;
  static constexpr int kPage = 60;
  avg::TextLayer& text_;
  int typed_ = 0;
};

pixman_image_t* pixmanImage(const avg::Surface& surface, pixman_format_code_t format) {
  return pixman_image_create_bits(format, surface.width(), surface.height(),
                                  const_cast<uint32_t*>(surface.row(0)), surface.pitch());
}

// The same frame with pixman: a copy, three alpha blends and a blend through a constant mask.
// pixman takes premultiplied pixels, so the pictures are premultiplied first.
double pixmanMsPerFrame(const avg::Surface& background, avg::Surface character,
                        const avg::Surface& window) {
  for (int32_t y = 0; y < character.height(); ++y) {
    for (int32_t x = 0; x < character.width(); ++x) {
      uint32_t& p = character.row(y)[x];
      const uint32_t a = p >> 24;
      p = a << 24 | ((p >> 16 & 0xFF) * a / 255) << 16 | ((p >> 8 & 0xFF) * a / 255) << 8 |
          (p & 0xFF) * a / 255;
    }
  }
  avg::Surface back;
  back.create(640, 480);
  pixman_image_t* target = pixmanImage(back, PIXMAN_x8r8g8b8);
  pixman_image_t* bg = pixmanImage(background, PIXMAN_x8r8g8b8);
  pixman_image_t* chara = pixmanImage(character, PIXMAN_a8r8g8b8);
  pixman_image_t* win = pixmanImage(window, PIXMAN_x8r8g8b8);
  pixman_color_t half = {0, 0, 0, 0x8080};
  pixman_image_t* mask = pixman_image_create_solid_fill(&half);
  const double ms = bestMsPerFrame([&] {
    pixman_image_composite32(PIXMAN_OP_SRC, bg, nullptr, target, 0, 0, 0, 0, 0, 0, 640, 480);
    for (int32_t x : {-10, 170, 350})
      pixman_image_composite32(PIXMAN_OP_OVER, chara, nullptr, target, 0, 0, 0, 0, x, 15, 300, 450);
    pixman_image_composite32(PIXMAN_OP_OVER, win, mask, target, 0, 0, 0, 0, 20, 330, 600, 150);
  });
  for (pixman_image_t* image : {target, bg, chara, win, mask})
    pixman_image_unref(image);
  return ms;
}

}  // namespace

int main() {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("avg-bench-frame-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  auto codec = avg::makeSdlImageCodec();
  writeGame(*codec, dir);

  avg::DisplayList stage(*codec);
  avg::SpriteSet& set = stage.sprites().named("frame");
  set.activate();
  set.load("frame.spr", avg::ArchiveSet());
  auto add = [&](const char* name, const char* animation, float x, float y, int32_t priority) {
    stage.objects().add(name, stage.sprites().findAnimation("frame", animation), x, y, priority, 0);
  };
  add("bg", "bg", 0, 0, 0);
  add("left", "chara", -288, 0, 10);
  add("middle", "chara", 0, 0, 10);
  add("right", "chara", 288, 0, 10);
  add("window", "window", 0, 264, 20);
  stage.setFullRedraw(true);
  const double stageMs = stageMsPerFrame(stage);
  stage.setFullRedraw(false);
  const double stillMs = stageMsPerFrame(stage);

  auto rasterizer = avg::makeFreeTypeRasterizer();
  avg::TextLayer text(*rasterizer, std::string(avg::kDefaultFaceName));
  WindowOverlay windows(text);
  stage.setOverlay(avg::Overlay::MessageWindows, &windows);
  Typist typist(text);
  const double typingMs = stageMsPerFrame(stage, [&] { typist.typeOne(); });
  if (text.currentWindow().glyphs.empty() || !text.currentWindow().glyphs[0]->image) {
    std::fprintf(stderr, "frame: no text was typed\n");
    return 1;
  }

  const double pixmanMs =
      pixmanMsPerFrame(set.images().at("bg.png")->image, set.images().at("chara.cgd")->image,
                       set.images().at("window.png")->image);
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  std::filesystem::remove_all(dir);
  std::printf("RESULT frame_ms %.4f ms\n", stageMs);
  std::printf("RESULT still_frame_ms %.5f ms\n", stillMs);
  std::printf("RESULT typing_frame_ms %.5f ms\n", typingMs);
  std::printf("RESULT pixman_frame_ms %.4f ms\n", pixmanMs);
  return 0;
}
