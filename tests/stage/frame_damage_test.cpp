// Composing only what changed: every frame must equal the frame a whole composition gives,
// trails of uncovered areas included, and a still frame draws nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>

#include "script/archive.h"
#include "stage/display_list.h"
#include "stage/text_layer.h"
#include "support/fake_services.h"
#include "support/game_dir.h"
#include "support/pictures.h"
#include "support/png_files.h"

namespace avg {
namespace {

using test::cgdPicture;
using test::crlf;

std::string pngOf(int32_t width, int32_t height,
                  const std::function<uint32_t(int32_t, int32_t)>& f) {
  std::vector<uint32_t> pixels;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      pixels.push_back(0xFF000000 | f(x, y));
  }
  return test::pngImage(width, height, pixels);
}

// A 600 × 440 background copied over a 640 × 480 frame leaves a border that nothing covers, so
// that trails stay there; a character with alpha channel, a half-transparent window picture
// drawn by constant alpha, an additive glow, and a two-frame loop.
void writePictures(const test::TempGameDir& dir) {
  dir.write("bg.png",
            pngOf(600, 440, [](int32_t x, int32_t y) { return x * 0x010203u ^ y * 0x030201u; }));
  dir.write("chara.cgd", cgdPicture(60, 80, [](int32_t x, int32_t y) {
              return uint32_t(x * 4 + y) << 24 | 0x00C08040u;
            }));
  dir.write("win.png", pngOf(200, 60, [](int32_t x, int32_t y) {
              return (x + y) % 8 < 4 ? 0x203060u : 0x405080u;
            }));
  dir.write("glow.png", pngOf(40, 40, [](int32_t x, int32_t) { return x * 0x030303u; }));
  dir.write("s.spr",
            crlf({"#,bg,1,0", "1,bg.png,0,0,600,440", "#,chara,1,0", "1,chara.cgd,0,0,60,80",
                  "#,win,1,0", "1,win.png,0,0,200,60,0,0,80FFFFFF,0", "#,glow,1,0",
                  "1,glow.png,0,0,40,40,0,0,FFFFFFFF,1", "#,blink,2,0", "2,chara.cgd,0,0,60,80",
                  "2,chara.cgd,0,0,60,40,0,-20"}));
}

// The text layer's windows and edit boxes, drawn above the objects.
class TextOverlay : public StageOverlay {
 public:
  explicit TextOverlay(const TextLayer& text) : text_(text) {}
  void collect(DrawList& list, const StageView& view) override {
    text_.collectEditBoxes(list, view);
    text_.collectMessageWindows(list, view);
  }

 private:
  const TextLayer& text_;
};

// One stage with its frame; two are built alike, one composing every frame whole.
struct Scene {
  explicit Scene(bool fullRedraw) {
    stage.setOverlay(Overlay::MessageWindows, &overlay);
    stage.setFullRedraw(fullRedraw);
    stage.sprites().named("s").load("s.spr", archives);
    frame.create(640, 480);
    frame.fill(0x00102030);
  }
  DisplayObject2D* add(const std::string& name, const std::string& animation, float x, float y,
                       int32_t priority) {
    return stage.objects().add(name, stage.sprites().findAnimation("s", animation), x, y, priority,
                               0);
  }
  void moveTo(const std::string& name, float x, float y) {
    DisplayObject2D* object = stage.objects().find(name);
    object->x = x;
    object->y = y;
    object->matrix = Matrix4::translation(x, y, 0.0f);
  }
  MessageWindow& window() { return text.currentWindow(); }
  const Region& draw() {
    stage.beforeThreads();
    return stage.draw(frame);
  }

  ArchiveSet archives;
  test::FakeImageCodec codec;
  test::BlockTextRasterizer rasterizer;
  TextLayer text{rasterizer, "face"};
  TextOverlay overlay{text};
  DisplayList stage{codec};
  Surface frame;
};

// Background, a character, a window picture, a blinking character, a character half in the
// border and a line of text in window 0.
void buildPage(Scene& scene) {
  scene.add("bg", "bg", -179, -131, 0);
  scene.add("c", "chara", -200, 0, 1);
  scene.add("w", "win", 0, 250, 2);
  scene.add("b", "blink", 250, -100, 3);
  scene.add("t", "chara", -500, -370, 4);
  scene.window().currentFont = {16, 0, 0xFFFFFFFF};
  scene.window().layout.originX = scene.window().cursorX = 100;
  scene.window().layout.originY = scene.window().cursorY = 380;
  scene.window().placement.visible = true;
  scene.text.addText("abc");
}

struct Change {
  const char* name;
  std::function<void(Scene&)> apply;
  bool wholeFrame = false;  // the change itself touches every pixel
};

TEST(FrameDamage, PartialFramesEqualWholeOnes) {
  const Change changes[] = {
      {"nothing", [](Scene&) {}},
      {"move one object", [](Scene& s) { s.moveTo("c", -150, 20); }},
      {"move an object into the border", [](Scene& s) { s.moveTo("c", -330, -230); }},
      {"remove an object, leaving a trail",
       [](Scene& s) {
         s.moveTo("c", -330, 0);
         s.stage.objects().remove("b");
       }},
      {"add an object below others", [](Scene& s) { s.add("c2", "chara", -180, 10, 1); }},
      {"add a glow over the border", [](Scene& s) { s.add("g", "glow", 512, 0, 5); }},
      {"fade the window picture",
       [](Scene& s) {
         s.stage.objects().find("w")->show(s.stage.sprites().findAnimation("s", "glow"), 0);
       }},
      {"add a glyph", [](Scene& s) { s.text.addText("d"); }},
      {"add a glyph in the border",
       [](Scene& s) {
         s.text.newLine();
         s.text.newLine();
         s.text.newLine();
         s.text.addText("xyz");
       }},
      {"hide the window", [](Scene& s) { s.window().placement.visible = false; }},
      {"clear the text", [](Scene& s) { s.text.clearText(); }},
      {"show and leave the log page",
       [](Scene& s) {
         s.window().commitPage();
         s.text.clearText();
         s.text.addText("new");
         s.window().pageUp(s.text.renderer());
       }},
      {"clear the log page",
       [](Scene& s) {
         s.window().commitPage();
         s.text.clearText();
         s.window().pageUp(s.text.renderer());
         s.text.clearAllLogs();
       }},
      {"replace a picture",
       [](Scene& s) {
         std::ofstream("chara.cgd", std::ios::binary) << cgdPicture(60, 80, 0xFF30C030u);
         s.stage.sprites().named("s").releaseImages();
       }},
      {"change the view",
       [](Scene& s) {
         s.stage.view().setCentre(300, 250);
         s.stage.view().refresh();
       },
       true},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.name);
    test::TempGameDir dir;
    writePictures(dir);
    Scene partial(false), whole(true);
    for (Scene* scene : {&partial, &whole}) {
      buildPage(*scene);
      scene->draw();
      scene->draw();
    }
    for (int frame = 0; frame < 6; ++frame) {
      if (frame == 1) {
        change.apply(partial);
        change.apply(whole);
      }
      const Region drawn = partial.draw();
      whole.draw();
      ASSERT_EQ(0, std::memcmp(partial.frame.row(0), whole.frame.row(0), 640 * 480 * 4))
          << "frame " << frame;
      if (frame == 1 && !change.wholeFrame) {
        EXPECT_LT(drawn.area(), 640 * 480);
      }
    }
  }
}

// A page where nothing moves draws nothing; a glow over the uncovered border adds to itself on
// every frame, so exactly its area is drawn again each time.
TEST(FrameDamage, StillFramesDrawOnlyWhatChangesByItself) {
  test::TempGameDir dir;
  writePictures(dir);
  Scene scene(false);
  buildPage(scene);
  scene.stage.objects().remove("b");
  scene.stage.objects().remove("t");
  EXPECT_EQ(scene.draw().area(), 640 * 480);
  EXPECT_TRUE(scene.draw().empty());
  EXPECT_TRUE(scene.draw().empty());
  scene.add("g", "glow", 512, 0, 5);
  const Region glow = scene.draw();
  EXPECT_LE(glow.area(), 40 * 40);
  EXPECT_EQ(scene.draw().rects(), glow.rects());
  EXPECT_EQ(scene.draw().rects(), glow.rects());
  scene.stage.invalidate();
  EXPECT_EQ(scene.draw().area(), 640 * 480);
}

}  // namespace
}  // namespace avg
