// Parses arbitrary text as a headless player's --input file.
#include <stdexcept>

#include "platform/headless/headless_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    avg::parseInputScript(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const std::runtime_error&) {
    // A malformed line is refused with a message, as documented.
  }
  return 0;
}
