// Builds a sprite definition file and draws every animation it defines for a few ticks. The
// pictures it may name are in the working directory: "a.cgd" (4 × 4, with alpha) and "b.png"
// (64 × 48), made at start-up in a fresh directory.
#include <filesystem>
#include <fstream>

#include "base/surface.h"
#include "script/archive.h"
#include "stage/display_list.h"
#include "support/fake_services.h"
#include "support/pictures.h"
#include "support/png_files.h"

namespace {

const avg::test::FakeImageCodec kCodec;

void writeFile(const char* name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "avg-fuzz-sprites";
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  writeFile("a.cgd", avg::test::cgdPicture(4, 4, 0x80FF8040));
  writeFile("b.png", avg::test::pngImage(64, 48, std::vector<uint32_t>(64 * 48, 0xFF204060)));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  avg::TableRows rows;
  avg::parseTable({reinterpret_cast<const char*>(data), size}, avg::ArchiveSet(), rows);
  avg::DisplayList stage(kCodec);
  avg::SpriteSet& set = stage.sprites().named("fuzz");
  set.build(rows);
  for (const auto& [name, animation] : set.animations())
    stage.objects().add(name, animation, 0, 0, 0, 0);
  avg::Surface target;
  target.create(64, 48);
  for (int tick = 0; tick < 3; ++tick) {
    stage.draw(target);
    stage.objects().tick();
  }
  return 0;
}
