// Decodes arbitrary bytes as a cursor file; PNG images inside go to the test codec.
#include "graphics/cursor_file.h"
#include "support/fake_services.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const avg::test::FakeImageCodec codec;
  avg::decodeCursorFile({data, size}, codec);
  return 0;
}
