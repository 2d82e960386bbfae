#pragma once

namespace avg {

class CommandTable;

// The command family of the pads.
void registerPadCommands(CommandTable& table);

}  // namespace avg
