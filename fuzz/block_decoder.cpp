// Unpacks arbitrary bytes as a packed block; what unpacks must pack and unpack back the same.
#include <cstdlib>

#include "save/packed_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view block(reinterpret_cast<const char*>(data), size);
  std::optional<std::string> content = avg::unpackBlock(block);
  if (!content || content->size() > 65536) return 0;
  for (avg::PackRequest request : {avg::PackRequest::Compress, avg::PackRequest::StoreInverted}) {
    if (avg::unpackBlock(avg::packBlock(*content, request)) != content) std::abort();
  }
  return 0;
}
