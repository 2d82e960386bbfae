#include "script/flag_set.h"

namespace avg {

void PersistentFlagSet::set(const std::string& name) {
  if (names_.insert(name).second) save();
}

void PersistentFlagSet::clear(const std::string& name) {
  if (names_.erase(name)) save();
}

// The file format (a packed block of length-prefixed names) comes with the packed-data layer.
void PersistentFlagSet::load() {}
void PersistentFlagSet::save() const {}

}  // namespace avg
