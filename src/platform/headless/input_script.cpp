#include <algorithm>
#include <charconv>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "platform/headless/headless_platform.h"

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

ScriptedEvent parseEvent(const std::vector<std::string>& words) {
  ScriptedEvent scripted;
  scripted.frame = number<uint64_t>(words[0]);
  if (scripted.frame == 0) throw LineError("frames count from 1");
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

}  // namespace

std::vector<ScriptedEvent> parseInputScript(const std::string& text) {
  std::vector<ScriptedEvent> events;
  std::istringstream lines(text);
  std::string line;
  for (int lineNumber = 1; std::getline(lines, line); ++lineNumber) {
    line = line.substr(0, line.find('#'));
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string word; fields >> word;)
      words.push_back(word);
    if (words.empty()) continue;
    try {
      if (words.size() < 2) throw LineError("expected FRAME EVENT ARGS...");
      events.push_back(parseEvent(words));
    } catch (const LineError& error) {
      throw std::runtime_error("line " + std::to_string(lineNumber) + ": " + error.what() + ": " +
                               line);
    }
  }
  std::stable_sort(
      events.begin(), events.end(),
      [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.frame < b.frame; });
  return events;
}

}  // namespace avg
