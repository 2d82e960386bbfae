#pragma once

namespace avg {

class CommandTable;

// SAVE and LOAD: they need every room's state, so they live with the application.
void registerSaveCommands(CommandTable& table);

}  // namespace avg
