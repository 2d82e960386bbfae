// Variables, arrays and the value stack: VARN/VARF/VARS, ARRN/ARRF/ARRS, STAC.
#include "script/command_table.h"
#include "script/commands/families.h"
#include "script/exec.h"

namespace avg {
namespace {

// VARx CLE_|DEL_ [name]: removes one variable of the type, or all of them.
template <class T, NamedCells<T> VariableStore::*cells>
Outcome removeVariables(Exec& x) {
  uint32_t action = x.keyword(1);
  if (action != fourCC("CLE_") && action != fourCC("DEL_")) return x.next();
  NamedCells<T>& named = x.engine.variables().*cells;
  if (x.has(2)) {
    named.remove(x.text(2));
  } else {
    named.removeAll();
  }
  return x.next();
}

// Typed reads and writes of array elements through bound arguments.
int32_t valueOf(const Exec& x, size_t k, int32_t*) {
  return x.intValue(k);
}
float valueOf(const Exec& x, size_t k, float*) {
  return x.floatValue(k);
}
const std::string& valueOf(const Exec& x, size_t k, std::string*) {
  return x.stringValue(k);
}
int32_t& slotOf(const Exec& x, size_t k, int32_t*) {
  return x.intSlot(k);
}
float& slotOf(const Exec& x, size_t k, float*) {
  return x.floatSlot(k);
}
std::string& slotOf(const Exec& x, size_t k, std::string*) {
  return x.stringSlot(k);
}

// ARRx GET_ dst array index | SET_ src array index | CLE_ [name] | DEL_ [name].
template <class T, RefKind kind, NamedCells<ScriptArray<T>> VariableStore::*cells>
Outcome arrays(Exec& x) {
  NamedCells<ScriptArray<T>>& named = x.engine.variables().*cells;
  const ValueRef& arrayRef = x.ref(3);
  auto* array = arrayRef.kind == kind ? static_cast<ScriptArray<T>*>(arrayRef.cell) : nullptr;
  constexpr T* kType = nullptr;
  switch (x.keyword(1)) {
    case fourCC("GET_"):
      if (array) slotOf(x, 2, kType) = arrayElement(*array, x.intValue(4));
      break;
    case fourCC("SET_"):
      if (array) arrayElement(*array, x.intValue(4)) = valueOf(x, 2, kType);
      break;
    case fourCC("CLE_"):
      if (x.has(2)) {
        if (ScriptArray<T>* found = named.find(x.text(2))) found->clear();
        named.remove(x.text(2));
      } else {
        for (auto& [name, cell] : named.entries())
          cell->clear();
      }
      break;
    case fourCC("DEL_"):
      if (x.has(2)) {
        named.remove(x.text(2));
      } else {
        named.removeAll();
      }
      break;
  }
  return x.next();
}

// STAC PUSH value | POP_ [dst] | GET_ dst: the thread's value stack. Popping or reading an
// empty stack leaves the destination unchanged.
Outcome stack(Exec& x) {
  std::vector<int32_t>& values = x.thread.stack;
  switch (x.keyword(1)) {
    case fourCC("PUSH"):
      values.push_back(x.intValue(2));
      break;
    case fourCC("POP_"):
      if (values.empty()) break;
      if (x.has(2)) x.intSlot(2) = values.back();
      values.pop_back();
      break;
    case fourCC("GET_"):
      if (!values.empty()) x.intSlot(2) = values.back();
      break;
  }
  return x.next();
}

constexpr const char* kRemoveForms = "CLE_ [name:text] | DEL_ [name:text]";

// The forms of ARRN, ARRF and ARRS, whose elements are of `type`.
std::string arrayForms(const std::string& type) {
  return "GET_ dst:" + type + "& array:" + type + "[] index:int | SET_ value:" + type +
         " array:" + type + "[] index:int | " + kRemoveForms;
}

}  // namespace

void registerVariableCommands(CommandTable& table) {
  table.add("VARN", removeVariables<int32_t, &VariableStore::ints>, kRemoveForms);
  table.add("VARF", removeVariables<float, &VariableStore::floats>, kRemoveForms);
  table.add("VARS", removeVariables<std::string, &VariableStore::strings>, kRemoveForms);
  table.add("ARRN", arrays<int32_t, RefKind::IntArray, &VariableStore::intArrays>,
            arrayForms("int"));
  table.add("ARRF", arrays<float, RefKind::FloatArray, &VariableStore::floatArrays>,
            arrayForms("float"));
  table.add("ARRS", arrays<std::string, RefKind::StringArray, &VariableStore::stringArrays>,
            arrayForms("str"));
  table.add("STAC", stack, "PUSH value:int | POP_ [dst:int&] | GET_ dst:int&");
}

}  // namespace avg
