#pragma once

namespace avg {

class CommandTable;

// The command families of what scripts draw, one registration function each.
void registerObject2DCommands(CommandTable& table);
void registerSpriteCommands(CommandTable& table);
void registerScreenCommands(CommandTable& table);
void registerTextCommands(CommandTable& table);
void registerMenuCommands(CommandTable& table);

}  // namespace avg
