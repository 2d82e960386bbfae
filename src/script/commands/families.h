#pragma once

namespace avg {

class CommandTable;

// The command families of the script language itself, one registration function each.
void registerSystemCommands(CommandTable& table);
void registerControlCommands(CommandTable& table);
void registerVariableCommands(CommandTable& table);
void registerGlobalCommands(CommandTable& table);
void registerCalculationCommands(CommandTable& table);
void registerConversionCommands(CommandTable& table);
void registerDebugCommands(CommandTable& table);
void registerArchiveCommands(CommandTable& table);

}  // namespace avg
