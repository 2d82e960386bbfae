#pragma once
#include <string>
#include <string_view>

namespace avg {

// The first line of a decompiled scrambled table: compiling the text scrambles it again.
constexpr std::string_view kScrambledMarker = ";avgscript: scrambled";

// A script or table file (scrambled or not) as UTF-8 text with LF line ends. Throws
// tool::Failure naming `name` and the line when the text would not compile back to the
// same bytes: bytes that are not CP932 or have a second code for the same character, a CR
// or LF that is not part of a CR LF.
std::string decompileTable(std::string_view bytes, const std::string& name);

// UTF-8 text back to a CP932 table with CR LF line ends, scrambled when `scramble` is set or
// the text starts with kScrambledMarker. Throws tool::Failure naming `name` and the line for
// a character CP932 cannot hold.
std::string compileTable(std::string_view text, const std::string& name, bool scramble);

// The message for text CP932 cannot hold: "\"C\" has no CP932 form", where C is the first
// character of `utf8` without a CP932 form (all of it when each one has one).
std::string noCp932Form(std::string_view utf8);

}  // namespace avg
