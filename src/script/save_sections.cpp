#include "script/save_sections.h"

#include <algorithm>
#include <vector>

namespace avg {
namespace {

// A value that fills the fields [first, size - trailing) of a row: text is read whole.
template <class T>
T valueAt(const TableRow& row, size_t first, size_t trailing);
template <>
int32_t valueAt(const TableRow& row, size_t first, size_t) {
  return intAt(row, first);
}
template <>
float valueAt(const TableRow& row, size_t first, size_t) {
  return floatAt(row, first);
}
template <>
std::string valueAt(const TableRow& row, size_t first, size_t trailing) {
  return textAt(row, first, trailing);
}

void noteText(const std::string& name, const std::string& value) {
  noteUnsavableText(name, value);
}
template <class T>
void noteText(const std::string&, const T&) {}

template <class T>
void writeVariables(const char* header, const NamedCells<T>& cells, SaveWriter& out) {
  out.row().field(header).field(cells.entries().size());
  for (const auto& [name, cell] : cells.entries()) {
    noteText(name, *cell);
    out.row().field(name).field(*cell);
  }
}

template <class T>
void writeArrays(const char* header, const NamedCells<ScriptArray<T>>& cells, SaveWriter& out) {
  out.row().field(header).field(cells.entries().size());
  for (const auto& [name, array] : cells.entries()) {
    out.row().field(name).field(array->size());
    for (const auto& [key, value] : *array) {
      noteText(name, value);
      out.row().field(value);
      for (int32_t index : key)
        out.field(index);
    }
  }
}

template <class T>
void restoreVariableSection(const char* name, NamedCells<T>& cells, const SaveText& text) {
  std::optional<SaveSection> section = text.section(name);
  if (!section) return;
  cells.removeAll();
  for (size_t n = section->count(); n > 0; --n) {
    const TableRow& row = section->take();
    *cells.bind(std::string(fieldAt(row, 0))) = valueAt<T>(row, 1, 0);
  }
}

template <class T>
void restoreArraySection(const char* name, NamedCells<ScriptArray<T>>& cells,
                         const SaveText& text) {
  std::optional<SaveSection> section = text.section(name);
  if (!section) return;
  cells.removeAll();
  std::vector<const TableRow*> elements;
  for (size_t n = section->count(); n > 0; --n) {
    const TableRow* head = section->next();
    if (!head) break;
    ScriptArray<T>& array = *cells.bind((*head)[0]);
    int32_t count = intAt(*head, 1);
    elements.clear();
    for (int32_t k = 0; k < count && section->rowsLeft() > 0; ++k)
      elements.push_back(section->next());
    if (elements.empty()) continue;
    // Every element of an array has the same number of indices, which follow the value:
    // the shortest row holds a one-field value.
    size_t indices = (*std::min_element(elements.begin(), elements.end(),
                                        [](const TableRow* a, const TableRow* b) {
                                          return a->size() < b->size();
                                        }))
                         ->size() -
                     1;
    for (const TableRow* row : elements) {
      ArrayKey key;
      key.reserve(indices);
      for (size_t k = row->size() - indices; k < row->size(); ++k)
        key.push_back(intAt(*row, k));
      array[std::move(key)] = valueAt<T>(*row, 0, indices);
    }
  }
}

}  // namespace

void writeProcessSection(const ScriptEngine& engine, SaveWriter& out) {
  out.row().field("#PROCESS").field(engine.scripts().size());
  for (const auto& [slot, file] : engine.scripts()) {
    out.row().field(slot).field(file->name);
    for (int32_t id : file->threads)
      out.field(id);
  }
}

void writeThreadSection(const ScriptEngine& engine, SaveWriter& out) {
  size_t count = std::count_if(engine.threads().begin(), engine.threads().end(),
                               [](const auto& entry) { return entry.second.file != nullptr; });
  out.row().field("#THREAD").field(count);
  for (const auto& [id, thread] : engine.threads()) {
    if (!thread.file) continue;
    out.row().field(id).field(thread.file->slot).field(thread.index).field(thread.waitCounter);
    for (auto it = thread.stack.rbegin(); it != thread.stack.rend(); ++it)
      out.field(*it);
  }
}

void writeIntVariables(VariableStore& variables, SaveWriter& out) {
  writeVariables("#VARIABLE_N", variables.ints, out);
}
void writeFloatVariables(VariableStore& variables, SaveWriter& out) {
  writeVariables("#VARIABLE_F", variables.floats, out);
}
void writeStringVariables(VariableStore& variables, SaveWriter& out) {
  writeVariables("#VARIABLE_S", variables.strings, out);
}
void writeIntArrays(VariableStore& variables, SaveWriter& out) {
  writeArrays("#ARRAY_N", variables.intArrays, out);
}
void writeFloatArrays(VariableStore& variables, SaveWriter& out) {
  writeArrays("#ARRAY_F", variables.floatArrays, out);
}
void writeStringArrays(VariableStore& variables, SaveWriter& out) {
  writeArrays("#ARRAY_S", variables.stringArrays, out);
}

void restoreVariables(VariableStore& variables, const SaveText& text) {
  restoreVariableSection("VARIABLE_N", variables.ints, text);
  restoreVariableSection("VARIABLE_F", variables.floats, text);
  restoreVariableSection("VARIABLE_S", variables.strings, text);
  restoreArraySection("ARRAY_N", variables.intArrays, text);
  restoreArraySection("ARRAY_F", variables.floatArrays, text);
  restoreArraySection("ARRAY_S", variables.stringArrays, text);
}

void restoreScripts(ScriptEngine& engine, const SaveText& text) {
  std::optional<SaveSection> section = text.section("PROCESS");
  if (!section) return;
  for (size_t n = section->count(); n > 0; --n) {
    const TableRow& row = section->take();
    engine.restoreScript(intAt(row, 0), std::string(fieldAt(row, 1)));
  }
}

void restoreThreads(ScriptEngine& engine, const SaveText& text) {
  std::optional<SaveSection> section = text.section("THREAD");
  if (!section) return;
  for (size_t n = section->count(); n > 0; --n) {
    const TableRow& row = section->take();
    ScriptThread* thread = engine.restoreThread(intAt(row, 0), intAt(row, 1), intAt(row, 2));
    if (!thread) continue;
    thread->waitCounter = static_cast<uint32_t>(intAt(row, 3));
    // The row lists the stack from the top down.
    for (size_t k = row.size(); k > 4; --k)
      thread->stack.push_back(intAt(row, k - 1));
  }
}

}  // namespace avg
