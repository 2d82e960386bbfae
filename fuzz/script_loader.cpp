// Compiles "start.eve" (and what it includes) with every command family: labels, argument
// binding and the specialised instructions.
#include "app/command_list.h"
#include "memory_game.h"
#include "platform/message_box.h"
#include "script/app_control.h"
#include "script/engine.h"
#include "script/error_reports.h"
#include "script/script_file.h"

namespace {

struct NoApp : avg::AppControl {
  void requestClose() override {}
  void setFrameRate(int32_t) override {}
  void resetFrameTimer() override {}
  void postCharacter(uint32_t) override {}
  void yieldTimeSlice() override {}
  avg::DisplaySwitch switchDisplay(bool) override { return avg::DisplaySwitch::Unchanged; }
};

struct NoBoxes : avg::MessageBoxes {
  avg::MessageAnswer show(const avg::MessageBoxRequest&) override { return {}; }
};

struct NoReports : avg::ErrorReports {
  void report(std::string_view, std::optional<std::string_view>) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  NoApp app;
  NoBoxes boxes;
  NoReports reports;
  avg::ScriptEngine engine({app, boxes, reports, 0, avg::registerAllCommands});
  avg::fuzz::MemoryGame game({reinterpret_cast<const char*>(data), size}, "start.eve");
  game.addTo(engine.archives());
  avg::ScriptFile file;
  avg::compileScript(engine, file, "start.eve");
  return 0;
}
