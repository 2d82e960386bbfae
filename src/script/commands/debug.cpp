// Debugging aids: TEST shows a value in a message box, LOG_ writes it to "ErrorLog.txt".
#include <cstdio>
#include <optional>
#include <string>

#include "base/error_log.h"
#include "base/text_encoding.h"
#include "platform/message_box.h"
#include "script/command_table.h"
#include "script/commands/families.h"
#include "script/exec.h"

namespace avg {
namespace {

std::string formatFixed(float value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(value));
  return buffer;
}

// The value of word 2 as text by the type in word 1 (integers decimal, floats "%f").
std::optional<std::string> valueText(const Exec& x) {
  switch (x.keyword(1)) {
    case fourCC("INT_"):
      return std::to_string(x.intValue(2));
    case fourCC("FLT_"):
      return formatFixed(x.floatValue(2));
    case fourCC("STR_"):
      return x.stringValue(2);
    default:
      return std::nullopt;
  }
}

// TEST type value [caption]: shows the value and waits for the box to close.
Outcome test(Exec& x) {
  if (std::optional<std::string> value = valueText(x)) {
    std::string caption = x.has(3) ? cp932ToUtf8(x.stringValue(3)) : "ERROR!!";
    x.engine.services().messageBoxes.show({.caption = caption, .text = cp932ToUtf8(*value)});
  }
  return x.next();
}

// LOG_ type value name: writes "### LogCheck ### name = value"; nothing without a name.
Outcome log(Exec& x) {
  if (!x.has(3)) return x.next();
  if (std::optional<std::string> value = valueText(x)) {
    writeErrorLog("### LogCheck ### " + cp932ToUtf8(x.stringValue(3)) + " = " +
                  cp932ToUtf8(*value));
  }
  return x.next();
}

// The three forms of TEST and LOG_, by the type of the value, each followed by `rest`.
std::string withTypes(const std::string& rest) {
  return "INT_ value:int " + rest + " | FLT_ value:float " + rest + " | STR_ value:str " + rest;
}

}  // namespace

void registerDebugCommands(CommandTable& table) {
  table.add("TEST", test, withTypes("[caption:str]"));
  table.add("LOG_", log, withTypes("name:str"));
}

}  // namespace avg
