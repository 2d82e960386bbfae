#include "script/command_signature.h"

#include <gtest/gtest.h>

namespace avg {
namespace {

using Errors = std::vector<std::string>;

struct CheckCase {
  const char* signature;
  TableRow words;
  Errors errors;
};

// Matching words to forms: keywords pick the form (the most keywords, then the word count),
// then the count and the kind of every argument are checked.
TEST(CommandSignature, ChecksWordsAgainstTheForms) {
  const char* calc =
      "=___ dst:int& a:int | +___ dst:int& a:int b:int | &&&& dst:int& [more:int...]";
  const char* sprites = "LOAD set:str file:str@sprites | AUTO value:int | AUTO set:str value:int";
  const char* layered = "LIST LOAD file:str | LIST CLE_ | CLE_ | CLE_ ALL_ | GET_ dst:float&";
  const CheckCase cases[] = {
      {"", {"WAIT"}, {}},
      {"", {"WAIT", "%n__1"}, {"\"WAIT\" takes 1 word, not 2"}},
      {"label:text@label", {"GOTO", "anything"}, {}},
      {calc, {"CALN", "=___", "$n__a", "$$__MBUT"}, {}},
      {calc, {"CALN", "=___", "$$__MBUT", "%x__0000000F"}, {}},
      {calc,
       {"CALN", "+___", "$n__a", "%n__1"},
       {"\"CALN +___ dst:int& a:int b:int\" takes 5 words, not 4"}},
      {calc,
       {"CALN", "+___", "%n__1", "%f__1", "$s__x"},
       {"CALN +___: dst should be an integer variable, not %n__1",
        "CALN +___: a should be an integer, not %f__1",
        "CALN +___: b should be an integer, not $s__x"}},
      {calc,
       {"CALN", "=___", "$n__a", "$$__NONE"},
       {"CALN =___: a should be an integer, not $$__NONE"}},
      {calc, {"CALN", "&&&&", "$n__a"}, {}},
      {calc,
       {"CALN", "&&&&", "$n__a", "%n__1", "%n__2", "plain"},
       {"CALN &&&&: more should be an integer, not plain"}},
      {calc, {"CALN", "-___", "$n__a"}, {"CALN: unknown sub-command -___"}},
      {calc, {"CALN"}, {"CALN: sub-command missing"}},
      {sprites, {"SPR_", "AUTO", "%n__1"}, {}},
      {sprites, {"SPR_", "AUTO", "%s__set", "%n__1"}, {}},
      {sprites, {"SPR_", "AUTO"}, {"\"SPR_ AUTO value:int\" takes 3 words, not 2"}},
      {sprites,
       {"SPR_", "LOAD", "$s__set", "$na_x"},
       {"SPR_ LOAD: file should be a string, not $na_x"}},
      {layered, {"MUSI", "LIST", "LOADED", "%s__x"}, {}},
      {layered, {"MUSI", "LIST", "PLAY"}, {"MUSI LIST: unknown sub-command PLAY"}},
      {layered, {"MUSI", "CLE_", "ALL_"}, {}},
      {layered, {"MUSI", "CLE_", "ONE_"}, {"\"MUSI CLE_\" takes 2 words, not 3"}},
      {layered,
       {"MUSI", "GET_", "%f__1"},
       {"MUSI GET_: dst should be a float variable, not %f__1"}},
  };
  for (const CheckCase& c : cases) {
    std::vector<SignatureForm> forms = parseSignature(c.signature);
    EXPECT_EQ(checkCommand(forms, c.words).errors, c.errors) << c.words[0] << " " << c.signature;
  }
}

TEST(CommandSignature, MalformedSignaturesAreRefused) {
  for (const char* signature :
       {"ADD_ x:long", "ADD_ x:str@place", "[ADD_] x:int", "ADD_ [x:int] y:int",
        "ADD_ x:int... y:int", "ADD_ |  | CLE_", "AB x:int"}) {
    EXPECT_THROW(parseSignature(signature), SignatureError) << signature;
  }
}

TEST(CommandSignature, PrefixGoesBeforeEveryForm) {
  EXPECT_EQ(withPrefix("SET_", "POS_ x:float | ||__ a:int | REF_"),
            "SET_ POS_ x:float | SET_ ||__ a:int | SET_ REF_");
}

}  // namespace
}  // namespace avg
