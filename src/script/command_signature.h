#pragma once
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "script/table_reader.h"

namespace avg {

// The forms a command takes, written next to its handler's registration. A signature is a
// list of forms separated by " | "; a form is a list of words after the command code, each a
// sub-command keyword (as the handler matches it: its first four bytes) or an argument
// NAME:TYPE, optionally NAME:TYPE@ROLE, in brackets when it may be left out (only at the
// end) and with "..." after it when it may repeat (the last one):
//   "LOAD set:str file:str@sprites | CLE_ [set:str] | AUTO set:str value:int"
// Types: int, float, str (values: literals or variables), int&, float&, str& (variables
// written), int[], float[], str[] (arrays), text (the word as written, bound to nothing).
// Roles say what a string or text names: label (of the same script), script, sprites,
// sounds, music (a music list), videos (a video list), archive.

enum class ArgType : uint8_t {
  Int,
  Float,
  String,
  IntVariable,
  FloatVariable,
  StringVariable,
  IntArray,
  FloatArray,
  StringArray,
  Text,
};

enum class ArgRole : uint8_t {
  None,
  Label,
  Script,
  Sprites,
  Sounds,
  MusicList,
  VideoList,
  Archive
};

struct SignatureWord {
  bool keyword = false;
  std::string text;  // the keyword, or the argument's name
  ArgType type = ArgType::Text;
  ArgRole role = ArgRole::None;
  bool optional = false;
  bool repeated = false;
};

struct SignatureForm {
  std::vector<SignatureWord> words;  // words[0] stands for word 1 of the command
  std::string text;                  // the form as written, for messages
};

// A malformed signature: a programming error found by the tests.
struct SignatureError : std::logic_error {
  using std::logic_error::logic_error;
};

std::vector<SignatureForm> parseSignature(std::string_view signature);

// Every form of `forms` with `prefix` in front: "SET_" and "A | B x:int" give
// "SET_ A | SET_ B x:int".
std::string withPrefix(std::string_view prefix, std::string_view forms);

// The outcome of checking a command's words (words[0] is the command) against its forms:
// the form they were checked against, when one has their sub-command keywords, and what is
// wrong with them.
struct CommandCheck {
  const SignatureForm* form = nullptr;
  bool countFits = false;  // the number of words fits `form`
  std::vector<std::string> errors;
};
// Whether a field's tag gives what an argument of `type` needs.
bool fitsType(ArgType type, const std::string& field);

CommandCheck checkCommand(const std::vector<SignatureForm>& forms, const TableRow& words);

}  // namespace avg
