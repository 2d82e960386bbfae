// Reads a flag file whose packed content is the input (the block decoder is fuzzed apart).
#include "memory_game.h"
#include "save/packed_block.h"
#include "script/flag_set.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view names(reinterpret_cast<const char*>(data), size);
  avg::fuzz::MemoryGame game(avg::packBlock(names, avg::PackRequest::StoreInverted), "flags.dat");
  avg::PersistentFlagSet flags;
  flags.setPath("flags.dat");
  flags.load(game.archives());
  return 0;
}
