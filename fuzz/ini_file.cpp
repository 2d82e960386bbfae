// Reads arbitrary bytes as an initialisation file, then writes a key and reads it back from
// the bytes written: the key must read as set, and the file must still parse.
#include <cstdlib>

#include "input/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  avg::IniFile ini(std::string_view(reinterpret_cast<const char*>(data), size));
  ini.string("Sound", "Volume", "");
  ini.integer("Screen", "Full", 0);
  ini.set("Screen", "Full", 42);
  ini.set("Fuzz", "Name", "value");
  avg::IniFile reread(ini.bytes());
  if (reread.integer("Screen", "Full", -1) != 42) std::abort();
  if (reread.string("Fuzz", "Name") != "value") std::abort();
  return 0;
}
