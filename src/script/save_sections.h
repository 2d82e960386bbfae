#pragma once
#include <cstdint>

#include "script/engine.h"
#include "script/save_text.h"

namespace avg {

// The save sections of the script engine: loaded scripts, threads, variables and arrays.

void writeProcessSection(const ScriptEngine& engine, SaveWriter& out);
void writeThreadSection(const ScriptEngine& engine, SaveWriter& out);
void writeIntVariables(VariableStore& variables, SaveWriter& out);
void writeFloatVariables(VariableStore& variables, SaveWriter& out);
void writeStringVariables(VariableStore& variables, SaveWriter& out);
void writeIntArrays(VariableStore& variables, SaveWriter& out);
void writeFloatArrays(VariableStore& variables, SaveWriter& out);
void writeStringArrays(VariableStore& variables, SaveWriter& out);

// Each kind of variable and array with a section in `text` is emptied and refilled from it.
void restoreVariables(VariableStore& variables, const SaveText& text);
// Loads and compiles the saved scripts again under their slots.
void restoreScripts(ScriptEngine& engine, const SaveText& text);
// Recreates the saved threads in the scripts of their slots; rows whose slot holds no
// script are skipped.
void restoreThreads(ScriptEngine& engine, const SaveText& text);

}  // namespace avg
