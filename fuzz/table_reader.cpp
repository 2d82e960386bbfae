// Reads "start.eve" as a table, following its includes among the other files of the input.
#include "script/table_reader.h"
#include "memory_game.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  avg::fuzz::MemoryGame game({reinterpret_cast<const char*>(data), size}, "start.eve");
  avg::TableRows rows;
  avg::readTable("start.eve", game.archives(), rows);
  return 0;
}
