// Decodes arbitrary bytes as a raw "cgd" picture.
#include "base/surface.h"
#include "graphics/image_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  avg::Surface picture;
  avg::decodeCgd({data, size}, picture);
  return 0;
}
