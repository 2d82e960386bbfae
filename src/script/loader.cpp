#include <cstring>

#include "script/command_table.h"
#include "script/engine.h"
#include "script/field_tag.h"
#include "script/literals.h"
#include "script/table_reader.h"

namespace avg {
namespace {

template <class T>
ValueRef bindVariable(NamedCells<T>& cells, const std::string& name, RefKind kind,
                      ScriptFile& file) {
  const std::shared_ptr<T>& cell = cells.bind(name);
  file.boundCells.push_back(cell);
  return ValueRef{kind, true, cell.get()};
}

ValueRef literal(RefKind kind, const void* cell) {
  return ValueRef{kind, false, const_cast<void*>(cell)};
}

// Binds a field by its four-byte tag; untagged fields stay plain text.
ValueRef bind(ScriptEngine& engine, ScriptFile& file, const std::string& field) {
  FieldTag tag = fieldTagOf(field);
  if (tag == FieldTag::Plain) return {};
  std::string operand = field.substr(4);
  VariableStore& store = engine.variables();
  LiteralPool& pool = engine.literals();
  RefKind kind = refKindOf(tag);
  switch (tag) {
    case FieldTag::IntVariable:
      return bindVariable(store.ints, operand, kind, file);
    case FieldTag::FloatVariable:
      return bindVariable(store.floats, operand, kind, file);
    case FieldTag::StringVariable:
      return bindVariable(store.strings, operand, kind, file);
    case FieldTag::IntArray:
      return bindVariable(store.intArrays, operand, kind, file);
    case FieldTag::FloatArray:
      return bindVariable(store.floatArrays, operand, kind, file);
    case FieldTag::StringArray:
      return bindVariable(store.stringArrays, operand, kind, file);
    case FieldTag::DecimalInt:
      return literal(kind, pool.intLiteral(parseDecimalInt(operand)));
    case FieldTag::HexInt:
      return literal(kind, pool.intLiteral(parseHexInt(operand)));
    case FieldTag::FloatLiteral:
      return literal(kind, pool.floatLiteral(parseDecimalFloat(operand)));
    case FieldTag::StringLiteral:
      return literal(kind, pool.stringLiteral(operand));
    case FieldTag::Builtin:
      return ValueRef{kind, true, &engine.builtin(*builtinCellOf(operand))};
    case FieldTag::Plain:
      break;
  }
  return {};
}

void collectLabels(ScriptFile& file, TableRows& rows) {
  for (size_t i = 0; i < rows.size(); ++i) {
    std::string& name = rows[i][0];
    if (name.empty() || name[0] != '#') continue;
    file.labels[name.substr(1)] = static_cast<int32_t>(i);
    name = "VOID";
  }
}

Instruction compileInstruction(const CommandTable& table, const ScriptCommand& command,
                               const ScriptFile& file) {
  Instruction instruction;
  const CommandDef* def = table.find(command.code);
  if (!def) {
    instruction.handler = unknownCommand;
    return instruction;
  }
  instruction.handler = def->handler;
  if (def->specialize && !def->specialize(command, file, instruction)) {
    instruction = Instruction{};
    instruction.handler = def->handler;
  }
  return instruction;
}

// The fused form of a comparison followed by `skip`, or the comparison unchanged.
Op fusedWith(Op comparison, Op skip) {
  switch (comparison) {
#define AVG_FUSED_CASE(name, expression) \
  case Op::name:                         \
    return skip == Op::SkipIfZero ? Op::name##ThenSkipIfZero : Op::name##ThenSkipIfNonZero;
    AVG_INT_COMPARISONS(AVG_FUSED_CASE)
#undef AVG_FUSED_CASE
    default:
      return comparison;
  }
}

// Fuses each comparison with a following IF__ or IF!_ that tests the cell it writes. The
// skip command stays in place, so jumps to it and indexes keep working.
void fuseComparisons(std::vector<Instruction>& code) {
  for (size_t i = 0; i + 1 < code.size(); ++i) {
    const Instruction& skip = code[i + 1];
    bool isSkip = skip.op == Op::SkipIfZero || skip.op == Op::SkipIfNonZero;
    if (isSkip && skip.a == code[i].d) code[i].op = fusedWith(code[i].op, skip.op);
  }
}

}  // namespace

bool compileScript(ScriptEngine& engine, ScriptFile& file, const std::string& name) {
  file.clear();
  file.name = name;
  TableRows rows;
  if (!readTable(name, engine.archives(), rows)) return false;
  collectLabels(file, rows);
  file.commands.reserve(rows.size());
  for (TableRow& row : rows) {
    ScriptCommand command;
    command.code = fourCCOf(row[0]);
    command.words.reserve(row.size());
    for (size_t k = 0; k < row.size(); ++k) {
      ScriptArgument word;
      word.keyword = fourCCOf(row[k]);
      if (k > 0) word.ref = bind(engine, file, row[k]);
      word.text = std::move(row[k]);
      command.words.push_back(std::move(word));
    }
    file.commands.push_back(std::move(command));
  }
  file.code.reserve(file.commands.size() + 1);
  for (const ScriptCommand& command : file.commands) {
    file.code.push_back(compileInstruction(engine.commands(), command, file));
  }
  file.code.push_back(Instruction{.op = Op::End});
  fuseComparisons(file.code);
  const void* const* labels = engine.primitiveLabels();
  for (Instruction& instruction : file.code) {
    instruction.label = labels[static_cast<size_t>(instruction.op)];
  }
  return true;
}

void ScriptFile::clear() {
  commands.clear();
  code.clear();
  labels.clear();
  boundCells.clear();
}

int32_t ScriptFile::findLabel(const std::string& label) const {
  auto it = labels.find(label);
  return it == labels.end() ? -1 : it->second;
}

}  // namespace avg
