#include "script/command_signature.h"

#include <iterator>
#include <utility>

#include "script/field_tag.h"
#include "script/values.h"

namespace avg {
namespace {

// With blanks around it, so that keywords such as "||__" stay whole.
constexpr std::string_view kFormSeparator = " | ";

struct TypeName {
  std::string_view token;
  ArgType type;
  std::string_view description;
};

constexpr TypeName kTypes[] = {
    {"int", ArgType::Int, "an integer"},
    {"float", ArgType::Float, "a float"},
    {"str", ArgType::String, "a string"},
    {"int&", ArgType::IntVariable, "an integer variable"},
    {"float&", ArgType::FloatVariable, "a float variable"},
    {"str&", ArgType::StringVariable, "a string variable"},
    {"int[]", ArgType::IntArray, "an integer array"},
    {"float[]", ArgType::FloatArray, "a float array"},
    {"str[]", ArgType::StringArray, "a string array"},
    {"text", ArgType::Text, "a word"},
};

constexpr std::pair<std::string_view, ArgRole> kRoles[] = {
    {"label", ArgRole::Label},     {"script", ArgRole::Script},   {"sprites", ArgRole::Sprites},
    {"sounds", ArgRole::Sounds},   {"music", ArgRole::MusicList}, {"videos", ArgRole::VideoList},
    {"archive", ArgRole::Archive},
};

std::string_view trimmed(std::string_view text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> parts;
  for (size_t start = 0;;) {
    size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return parts;
    start = end + separator.size();
  }
}

[[noreturn]] void malformed(std::string_view form, std::string_view why) {
  throw SignatureError("signature \"" + std::string(form) + "\": " + std::string(why));
}

ArgType typeOf(std::string_view token, std::string_view form) {
  for (const TypeName& entry : kTypes) {
    if (entry.token == token) return entry.type;
  }
  malformed(form, "unknown type " + std::string(token));
}

ArgRole roleOf(std::string_view token, std::string_view form) {
  for (const auto& [name, role] : kRoles) {
    if (name == token) return role;
  }
  malformed(form, "unknown role " + std::string(token));
}

SignatureWord parseWord(std::string_view token, std::string_view form) {
  SignatureWord word;
  if (token.starts_with('[') && token.ends_with(']')) {
    word.optional = true;
    token = token.substr(1, token.size() - 2);
  }
  if (token.ends_with("...")) {
    word.repeated = true;
    token.remove_suffix(3);
  }
  size_t colon = token.find(':');
  if (colon == std::string_view::npos) {
    if (word.optional || word.repeated) malformed(form, "a keyword cannot be left out or repeat");
    if (token.size() != 4) malformed(form, "a keyword has four bytes");
    word.keyword = true;
    word.text = std::string(token);
    return word;
  }
  word.text = std::string(token.substr(0, colon));
  std::string_view kind = token.substr(colon + 1);
  size_t at = kind.find('@');
  word.type = typeOf(kind.substr(0, at), form);
  if (at != std::string_view::npos) word.role = roleOf(kind.substr(at + 1), form);
  return word;
}

SignatureForm parseForm(std::string_view text) {
  SignatureForm form{{}, std::string(text)};
  for (std::string_view token : split(text, " ")) {
    if (token.empty()) continue;
    SignatureWord word = parseWord(token, text);
    if (!form.words.empty() && form.words.back().repeated)
      malformed(text, "only the last argument can repeat");
    if (!form.words.empty() && form.words.back().optional && !word.optional)
      malformed(text, "a required word after an optional one");
    form.words.push_back(std::move(word));
  }
  return form;
}

std::string_view typeDescription(ArgType type) {
  for (const TypeName& entry : kTypes) {
    if (entry.type == type) return entry.description;
  }
  return {};
}

}  // namespace

bool fitsType(ArgType type, const std::string& field) {
  FieldTag tag = fieldTagOf(field);
  RefKind kind = refKindOf(tag);
  switch (type) {
    case ArgType::Int:
      return kind == RefKind::Int;
    case ArgType::Float:
      return kind == RefKind::Float;
    case ArgType::String:
      return kind == RefKind::String;
    case ArgType::IntVariable:
      return kind == RefKind::Int && isWritable(tag);
    case ArgType::FloatVariable:
      return kind == RefKind::Float && isWritable(tag);
    case ArgType::StringVariable:
      return kind == RefKind::String && isWritable(tag);
    case ArgType::IntArray:
      return kind == RefKind::IntArray;
    case ArgType::FloatArray:
      return kind == RefKind::FloatArray;
    case ArgType::StringArray:
      return kind == RefKind::StringArray;
    case ArgType::Text:
      return true;
  }
  return false;
}

namespace {

// How far the words follow a form's keywords: the number matched in order, and the word
// where the first one that does not match stands (0 when all match).
struct KeywordMatch {
  size_t matched = 0;
  size_t mismatch = 0;
};

KeywordMatch matchKeywords(const SignatureForm& form, const TableRow& words) {
  KeywordMatch match;
  for (size_t k = 0; k < form.words.size(); ++k) {
    if (!form.words[k].keyword) continue;
    size_t at = k + 1;
    if (at >= words.size() || fourCCOf(words[at]) != fourCCOf(form.words[k].text)) {
      match.mismatch = at;
      break;
    }
    ++match.matched;
  }
  return match;
}

size_t requiredWords(const SignatureForm& form) {
  size_t count = 1;
  for (const SignatureWord& word : form.words)
    count += word.optional ? 0 : 1;
  return count;
}

bool countFits(const SignatureForm& form, size_t count) {
  bool repeats = !form.words.empty() && form.words.back().repeated;
  return count >= requiredWords(form) && (repeats || count <= form.words.size() + 1);
}

std::string expectedCount(const SignatureForm& form) {
  size_t least = requiredWords(form), most = form.words.size() + 1;
  if (!form.words.empty() && form.words.back().repeated)
    return std::to_string(least) + " or more words";
  if (least == most) return std::to_string(least) + (least == 1 ? " word" : " words");
  return std::to_string(least) + " to " + std::to_string(most) + " words";
}

// The command and its first `count` sub-command keywords, as written.
std::string commandPrefix(const TableRow& words, size_t count) {
  std::string prefix = words[0];
  for (size_t k = 1; k <= count && k < words.size(); ++k)
    prefix += " " + words[k];
  return prefix;
}

std::string unknownSubCommand(const std::vector<SignatureForm>& forms, const TableRow& words) {
  size_t at = 1;
  for (const SignatureForm& form : forms)
    at = std::max(at, matchKeywords(form, words).mismatch);
  std::string prefix = commandPrefix(words, at - 1);
  if (at >= words.size()) return prefix + ": sub-command missing";
  return prefix + ": unknown sub-command " + words[at];
}

// Among the forms whose keywords all match, the one with the most keywords, and of those
// the first that the word count fits.
const SignatureForm* bestForm(const std::vector<SignatureForm>& forms, const TableRow& words) {
  const SignatureForm* best = nullptr;
  size_t bestKeywords = 0;
  for (const SignatureForm& form : forms) {
    KeywordMatch match = matchKeywords(form, words);
    if (match.mismatch != 0) continue;
    bool better = !best || match.matched > bestKeywords ||
                  (match.matched == bestKeywords && !countFits(*best, words.size()) &&
                   countFits(form, words.size()));
    if (better) {
      best = &form;
      bestKeywords = match.matched;
    }
  }
  return best;
}

}  // namespace

std::vector<SignatureForm> parseSignature(std::string_view signature) {
  std::vector<SignatureForm> forms;
  if (trimmed(signature).empty()) return {SignatureForm{}};
  for (std::string_view text : split(signature, kFormSeparator)) {
    text = trimmed(text);
    if (text.empty()) malformed(signature, "an empty form");
    forms.push_back(parseForm(text));
  }
  return forms;
}

std::string withPrefix(std::string_view prefix, std::string_view forms) {
  std::string out;
  for (std::string_view form : split(forms, kFormSeparator)) {
    if (!out.empty()) out += " | ";
    out += std::string(prefix) + " " + std::string(trimmed(form));
  }
  return out;
}

CommandCheck checkCommand(const std::vector<SignatureForm>& forms, const TableRow& words) {
  CommandCheck check;
  check.form = bestForm(forms, words);
  if (!check.form) {
    check.errors.push_back(unknownSubCommand(forms, words));
    return check;
  }
  const SignatureForm& form = *check.form;
  check.countFits = countFits(form, words.size());
  if (!check.countFits) {
    std::string usage = words[0] + (form.text.empty() ? "" : " " + form.text);
    check.errors.push_back("\"" + usage + "\" takes " + expectedCount(form) + ", not " +
                           std::to_string(words.size()));
    return check;
  }
  std::string name = words[0];
  for (const SignatureWord& word : form.words)
    name += word.keyword ? " " + word.text : "";
  for (size_t k = 1; k < words.size(); ++k) {
    const SignatureWord& expected = form.words[std::min(k, form.words.size()) - 1];
    if (expected.keyword || fitsType(expected.type, words[k])) continue;
    check.errors.push_back(name + ": " + expected.text + " should be " +
                           std::string(typeDescription(expected.type)) + ", not " + words[k]);
  }
  return check;
}

}  // namespace avg
