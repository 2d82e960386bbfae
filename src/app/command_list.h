#pragma once

namespace avg {

class CommandTable;

// Registers every command the player knows: the one list of command families, from every
// room, and the codes whose subsystems are not built yet.
void registerAllCommands(CommandTable& table);

}  // namespace avg
