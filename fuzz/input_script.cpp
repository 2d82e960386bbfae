// Parses arbitrary text as a headless player's --input file; every event it reads must be
// written back as a line that reads as the same event.
#include <cstdlib>
#include <stdexcept>

#include "platform/headless/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  avg::InputScript script;
  try {
    script = avg::readInputScript(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const std::runtime_error&) {
    // A malformed line is refused with a message, as documented.
    return 0;
  }
  for (const avg::ScriptedEvent& scripted : script.events) {
    if (scripted.answer) continue;
    std::optional<std::string> line = avg::formatInputEvent(scripted.event);
    if (!line) continue;
    std::vector<avg::ScriptedEvent> again = avg::parseInputScript("1 " + *line);
    if (again.size() != 1 || avg::formatInputEvent(again[0].event) != line) std::abort();
  }
  return 0;
}
