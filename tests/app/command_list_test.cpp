#include "app/command_list.h"

#include <gtest/gtest.h>

#include "script/command_signature.h"
#include "script/command_table.h"

namespace avg {
namespace {

// Every command the player knows documents its forms in a signature that parses.
TEST(CommandList, EverySignatureParses) {
  CommandTable table;
  registerAllCommands(table);
  ASSERT_GT(table.all().size(), 50u);
  for (const auto& [code, def] : table.all()) {
    std::string name(reinterpret_cast<const char*>(&code), 4);
    EXPECT_NO_THROW(parseSignature(def.signature)) << name << ": " << def.signature;
  }
}

}  // namespace
}  // namespace avg
