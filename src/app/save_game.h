#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "script/engine.h"
#include "script/table_reader.h"

namespace avg {

// The quick save file of F5 and F6.
inline constexpr const char* kQuickSaveFile = "Save/qsave.sav";

// The date row of a save: "YYYY年MM月DD日hh時mm分" in CP932.
std::string saveDate(const std::tm& time);

// The save text of the engine's state, every section in file order.
std::string writeSaveText(ScriptEngine& engine, const std::string& date);

// Writes a save of the current state to `path` as one atomic replacement (the directory
// must exist); the old file stays as it was when this fails.
bool saveGame(ScriptEngine& engine, const std::string& path);
// Saves and tells the player how it went.
void saveGameAndReport(ScriptEngine& engine, const std::string& path);

enum class LoadResult { Unreadable, InvalidBlock, Refused, Loaded };

// Loads a save from disk or the archives, replacing the game state, and reports the result
// to the player. Every thread but `loadingThread` is ended first; that one takes over the
// saved thread of its id, if any, and is otherwise left without a script. Nothing changes
// unless the result is Loaded; content with no save section is refused with a message.
LoadResult loadGame(ScriptEngine& engine, const std::string& path,
                    std::optional<int32_t> loadingThread);

// What a save screen shows of a file without loading it.
struct SaveHeader {
  std::string date;
  std::string scene;
};
std::optional<SaveHeader> readSaveHeader(ScriptEngine& engine, const std::string& path);

// A Yes/No question to the player, No by default.
bool confirmedByPlayer(ScriptEngine& engine, const char* question);

}  // namespace avg
