// Loads arbitrary bytes as a picture file through the loader; the first byte picks the
// extension, so that raw pictures and the codec's formats are both tried. The codec is the
// test codec (stored PNG only): the loader's own checks are what is fuzzed here.
#include <filesystem>
#include <fstream>

#include "base/surface.h"
#include "graphics/image_loader.h"
#include "memory_game.h"
#include "support/fake_services.h"

namespace {

const avg::test::FakeImageCodec kCodec;
constexpr const char* kNames[] = {"picture.cgd", "picture.png", "picture.bmp", "picture.CGD"};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "avg-fuzz-picture";
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const char* name = kNames[avg::fuzz::takeByte(input) % std::size(kNames)];
  std::ofstream(name, std::ios::binary | std::ios::trunc) << input;
  avg::Surface picture;
  avg::loadImage(picture, name, kCodec);
  return 0;
}
