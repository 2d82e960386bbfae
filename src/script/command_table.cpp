#include "script/command_table.h"

#include "base/text_encoding.h"
#include "platform/message_box.h"
#include "script/exec.h"

namespace avg {

void CommandTable::add(const char (&code)[5], Handler handler, std::string signature,
                       Specializer specialize) {
  commands_[fourCC(code)] = CommandDef{handler, specialize, std::move(signature)};
}

const CommandDef* CommandTable::find(uint32_t code) const {
  auto it = commands_.find(code);
  return it == commands_.end() ? nullptr : &it->second;
}

Outcome unknownCommand(Exec& exec) {
  std::string text = exec.thread.file->name + " : ";
  for (const ScriptArgument& word : exec.command.words)
    text += word.text + " ";
  exec.engine.services().messageBoxes.show(
      {.caption = "未定義の命令!!", .text = cp932ToUtf8(text), .icon = MessageIcon::Error});
  return Outcome::End;
}

}  // namespace avg
