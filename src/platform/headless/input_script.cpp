#include "platform/headless/input_script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace avg {
namespace {

using Type = PlatformEvent::Type;

const std::pair<const char*, Key> kNamedKeys[] = {
    {"F1", Key::F1},
    {"F2", Key::F2},
    {"F3", Key::F3},
    {"F4", Key::F4},
    {"F5", Key::F5},
    {"F6", Key::F6},
    {"F7", Key::F7},
    {"F8", Key::F8},
    {"F9", Key::F9},
    {"F10", Key::F10},
    {"F11", Key::F11},
    {"F12", Key::F12},
    {"Esc", Key::Escape},
    {"Left", Key::Left},
    {"Right", Key::Right},
    {"Up", Key::Up},
    {"Down", Key::Down},
    {"Return", Key::Return},
    {"Tab", Key::Tab},
    {"BackSpace", Key::BackSpace},
    {"Ctrl", Key::Ctrl},
    {"Shift", Key::Shift},
    {"Alt", Key::Alt},
    {"Space", Key::Space},
    {"NumMultiply", Key::NumpadMultiply},
    {"NumAdd", Key::NumpadAdd},
    {"NumSubtract", Key::NumpadSubtract},
    {"NumDecimal", Key::NumpadDecimal},
    {"NumDivide", Key::NumpadDivide},
};

struct LineError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

template <class T>
T number(const std::string& text) {
  T value{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    throw LineError("'" + text + "' is not a number");
  }
  return value;
}

Key keyNamed(const std::string& name) {
  for (const auto& [keyName, key] : kNamedKeys) {
    if (name == keyName) return key;
  }
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') {
    return static_cast<Key>(static_cast<int>(Key::A) + (name[0] - 'A'));
  }
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') {
    return static_cast<Key>(static_cast<int>(Key::Digit0) + (name[0] - '0'));
  }
  if (name.size() == 4 && name.starts_with("Num") && name[3] >= '0' && name[3] <= '9') {
    return static_cast<Key>(static_cast<int>(Key::Numpad0) + (name[3] - '0'));
  }
  throw LineError("unknown key '" + name + "'");
}

bool isDown(const std::string& word) {
  if (word == "down") return true;
  if (word == "up") return false;
  throw LineError("expected down or up, got '" + word + "'");
}

ButtonAction buttonAction(const std::string& word) {
  if (word == "dbl") return ButtonAction::DoubleClick;
  return isDown(word) ? ButtonAction::Down : ButtonAction::Up;
}

// One UTF-8 character stands for itself; anything else is a decimal character code.
uint32_t characterCode(const std::string& text) {
  auto lead = static_cast<unsigned char>(text[0]);
  size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length != text.size()) return number<uint32_t>(text);
  if (length == 1) return lead;
  uint32_t code = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i)
    code = code << 6 | (static_cast<unsigned char>(text[i]) & 0x3F);
  return code;
}

void expectWords(const std::vector<std::string>& words, size_t count) {
  if (words.size() != count) {
    throw LineError("'" + words[1] + "' takes " + std::to_string(count - 2) + " argument(s)");
  }
}

ScriptedEvent parseEvent(const std::vector<std::string>& words, uint64_t frame) {
  ScriptedEvent scripted;
  scripted.frame = frame;
  PlatformEvent& event = scripted.event;
  const std::string& name = words[1];
  if (name == "mouse") {
    expectWords(words, 4);
    event.type = Type::MouseMove;
    event.x = number<int>(words[2]);
    event.y = number<int>(words[3]);
  } else if (name == "lbutton" || name == "rbutton") {
    expectWords(words, 3);
    event.type = Type::MouseButton;
    event.button = name == "lbutton" ? MouseButton::Left : MouseButton::Right;
    event.action = buttonAction(words[2]);
  } else if (name == "wheel") {
    expectWords(words, 3);
    event.type = Type::Wheel;
    event.delta = number<int>(words[2]);
  } else if (name == "key") {
    expectWords(words, 4);
    event.type = Type::Key;
    event.key = keyNamed(words[2]);
    event.down = isDown(words[3]);
  } else if (name == "char") {
    expectWords(words, 3);
    event.type = Type::Char;
    event.codepoint = characterCode(words[2]);
  } else if (name == "menu") {
    expectWords(words, 3);
    event.type = Type::Menu;
    event.menuId = number<int>(words[2]);
  } else if (name == "answer") {
    expectWords(words, 3);
    if (words[2] == "yes") {
      scripted.answer = MessageAnswer::Yes;
    } else if (words[2] == "no") {
      scripted.answer = MessageAnswer::No;
    } else if (words[2] == "ok") {
      scripted.answer = MessageAnswer::Ok;
    } else {
      throw LineError("expected yes, no or ok, got '" + words[2] + "'");
    }
  } else if (name == "screenshot") {
    expectWords(words, 3);
    event.type = Type::Screenshot;
    event.path = words[2];
  } else if (name == "copydata") {
    // A request from another program, as the window build's socket delivers it.
    expectWords(words, 4);
    event.type = Type::Request;
    event.code = number<uint32_t>(words[2]);
    event.path = words[3];
  } else if (name == "close") {
    expectWords(words, 2);
    event.type = Type::Close;
  } else if (name == "activate" || name == "deactivate") {
    expectWords(words, 2);
    event.type = name == "activate" ? Type::Activate : Type::Deactivate;
  } else {
    throw LineError("unknown event '" + name + "'");
  }
  return scripted;
}

// "seed" and "display" fix the start of the run rather than queue an event; false for any
// other line.
bool readStartLine(const std::vector<std::string>& words, uint64_t frame, InputScript& script) {
  const std::string& name = words[1];
  if (name != "seed" && name != "display") return false;
  expectWords(words, 3);
  if (frame != 1) throw LineError("'" + name + "' applies before the first pass: give frame 1");
  if (name == "seed") {
    if (script.seed) throw LineError("a second seed");
    script.seed = number<uint32_t>(words[2]);
  } else if (words[2] == "window" || words[2] == "full") {
    script.fullScreen = words[2] == "full";
  } else {
    throw LineError("expected window or full, got '" + words[2] + "'");
  }
  return true;
}

std::optional<std::string> keyName(Key key) {
  for (const auto& [name, named] : kNamedKeys) {
    if (named == key) return name;
  }
  const auto offset = [key](Key first) { return static_cast<int>(key) - static_cast<int>(first); };
  if (key >= Key::A && key <= Key::Z) {
    return std::string(1, static_cast<char>('A' + offset(Key::A)));
  }
  if (key >= Key::Digit0 && key <= Key::Digit9) {
    return std::string(1, static_cast<char>('0' + offset(Key::Digit0)));
  }
  if (key >= Key::Numpad0 && key <= Key::Numpad9) {
    return "Num" + std::to_string(offset(Key::Numpad0));
  }
  return std::nullopt;
}

// Visible ASCII stands for itself (but '#', which starts a comment); anything else is written
// as its code with at least two digits, since one digit reads as that digit character.
std::string characterText(uint32_t code) {
  if (code > ' ' && code < 0x7F && code != '#') return std::string(1, static_cast<char>(code));
  std::string digits = std::to_string(code);
  return digits.size() < 2 ? "0" + digits : digits;
}

// Paths are single words of the line, with no comment in them.
bool isOneWord(const std::string& text) {
  return !text.empty() && std::none_of(text.begin(), text.end(),
                                       [](unsigned char c) { return std::isspace(c) || c == '#'; });
}

}  // namespace

InputScript readInputScript(const std::string& text) {
  InputScript script;
  std::istringstream lines(text);
  std::string line;
  uint64_t lastFrame = 1;
  for (int lineNumber = 1; std::getline(lines, line); ++lineNumber) {
    line = line.substr(0, line.find('#'));
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string word; fields >> word;)
      words.push_back(word);
    if (words.empty()) continue;
    try {
      if (words.size() < 2) throw LineError("expected FRAME EVENT ARGS...");
      const auto frame = number<uint64_t>(words[0]);
      if (frame == 0) throw LineError("frames count from 1");
      if (frame < lastFrame) {
        throw LineError("frame " + words[0] + " after frame " + std::to_string(lastFrame));
      }
      lastFrame = frame;
      if (!readStartLine(words, frame, script)) script.events.push_back(parseEvent(words, frame));
    } catch (const LineError& error) {
      throw std::runtime_error("line " + std::to_string(lineNumber) + ": " + error.what() + ": " +
                               line);
    }
  }
  return script;
}

std::vector<ScriptedEvent> parseInputScript(const std::string& text) {
  return readInputScript(text).events;
}

std::optional<std::string> formatInputEvent(const PlatformEvent& event) {
  switch (event.type) {
    case Type::MouseMove:
      return "mouse " + std::to_string(event.x) + " " + std::to_string(event.y);
    case Type::MouseButton:
      return std::string(event.button == MouseButton::Left ? "lbutton " : "rbutton ") +
             (event.action == ButtonAction::DoubleClick ? "dbl"
              : event.action == ButtonAction::Down      ? "down"
                                                        : "up");
    case Type::Wheel:
      return "wheel " + std::to_string(event.delta);
    case Type::Key: {
      std::optional<std::string> name = keyName(event.key);
      if (!name) return std::nullopt;
      return "key " + *name + (event.down ? " down" : " up");
    }
    case Type::Char:
      return "char " + characterText(event.codepoint);
    case Type::Menu:
      return "menu " + std::to_string(event.menuId);
    case Type::Close:
      return "close";
    case Type::Activate:
      return "activate";
    case Type::Deactivate:
      return "deactivate";
    case Type::Screenshot:
      if (!isOneWord(event.path)) return std::nullopt;
      return "screenshot " + event.path;
    case Type::Request:
      if (!isOneWord(event.path)) return std::nullopt;
      return "copydata " + std::to_string(event.code) + " " + event.path;
  }
  return std::nullopt;
}

const char* answerName(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::Yes:
      return "yes";
    case MessageAnswer::No:
      return "no";
    default:
      return "ok";
  }
}

}  // namespace avg
