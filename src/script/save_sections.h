#pragma once
#include <cstdint>

#include "script/engine.h"
#include "script/save_text.h"

namespace avg {

// The save sections of the script engine: loaded scripts, threads, variables and arrays.

void writeProcessSection(const ScriptEngine& engine, TableRows& rows);
void writeThreadSection(const ScriptEngine& engine, TableRows& rows);
void writeIntVariables(VariableStore& variables, TableRows& rows);
void writeFloatVariables(VariableStore& variables, TableRows& rows);
void writeStringVariables(VariableStore& variables, TableRows& rows);
void writeIntArrays(VariableStore& variables, TableRows& rows);
void writeFloatArrays(VariableStore& variables, TableRows& rows);
void writeStringArrays(VariableStore& variables, TableRows& rows);

// Each kind of variable and array with a section in `text` is emptied and refilled from it.
void restoreVariables(VariableStore& variables, const SaveText& text);
// Loads and compiles the saved scripts again under their slots.
void restoreScripts(ScriptEngine& engine, const SaveText& text);
// Recreates the saved threads in the scripts of their slots; rows whose slot holds no
// script are skipped.
void restoreThreads(ScriptEngine& engine, const SaveText& text);

}  // namespace avg
