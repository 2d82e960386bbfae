#include "input/pads.h"

#include <algorithm>
#include <string>

#include "input/virtual_keys.h"

namespace avg {
namespace {

// The keys of the nine buttons and their default bindings (Q W E A S F Z X C).
constexpr std::array<const char*, kMaxPadButtons> kButtonKeys = {"A", "B", "C", "D", "E",
                                                                 "F", "G", "H", "I"};
constexpr std::array<int32_t, kMaxPadButtons> kButtonDefaults = {0x51, 0x57, 0x45, 0x41, 0x53,
                                                                 0x46, 0x5A, 0x58, 0x43};
constexpr uint32_t kButtonMask = 0xFFFF;
// More players than any game has; a larger count in the file is held to it.
constexpr int32_t kMaxPlayers = 16;

int32_t axisQuarter(uint32_t axis) {
  return static_cast<int32_t>((axis >> 15 & 1) + (axis >> 14 & 1));
}

bool isJoystickBinding(int32_t binding) {
  return binding >= kJoystickBinding;
}

PadRecord readPlayer(const IniFile& file, int32_t player, int32_t buttonCount) {
  std::string section = "PL" + std::to_string(player);
  PadRecord pad;
  pad.up = file.integer(section, "UP", vk::kUp);
  pad.down = file.integer(section, "DOWN", vk::kDown);
  pad.left = file.integer(section, "LEFT", vk::kLeft);
  pad.right = file.integer(section, "RIGHT", vk::kRight);
  for (int32_t i = 0; i < buttonCount; ++i)
    pad.buttonBindings[i] = file.integer(section, kButtonKeys[i], kButtonDefaults[i]);
  return pad;
}

}  // namespace

int32_t joystickDirection(const JoystickPosition& position) {
  return 4 * axisQuarter(position.y) + axisQuarter(position.x);
}

void Pads::configure(const IniFile& file, Joysticks& joysticks) {
  players_.clear();
  joysticks_.clear();
  buttonCount_ = 0;
  if (!file.exists()) return;
  int32_t playerCount = std::clamp(file.integer("INPUT", "PL", 1), 0, kMaxPlayers);
  // A button count outside 0-9 has no meaning; it is held to that range.
  buttonCount_ = std::clamp(file.integer("INPUT", "Button", 6), 0, kMaxPadButtons);
  for (int32_t player = 1; player <= playerCount; ++player)
    players_.push_back(readPlayer(file, player, buttonCount_));

  int32_t detected = 0;
  JoystickPosition position;
  for (int32_t count = joysticks.count(); detected < count; ++detected) {
    if (!joysticks.read(detected, position)) break;
  }
  joysticks_.resize(static_cast<size_t>(std::min(detected, playerCount)));
}

const Pads::JoystickState* Pads::joystickOf(int32_t binding) const {
  auto index = static_cast<size_t>(binding / kJoystickBinding - 1);
  return index < joysticks_.size() ? &joysticks_[index] : nullptr;
}

int32_t Pads::directionOf(const PadRecord& pad, const std::function<bool(int32_t)>& keyHeld) const {
  if (isJoystickBinding(pad.up)) {
    const JoystickState* joystick = joystickOf(pad.up);
    return joystick ? joystick->direction : kPadCentre;
  }
  return kPadCentre - 4 * keyHeld(pad.up) + 4 * keyHeld(pad.down) - keyHeld(pad.left) +
         keyHeld(pad.right);
}

int32_t Pads::buttonsOf(const PadRecord& pad, const std::function<bool(int32_t)>& keyHeld) const {
  int32_t buttons = 0;
  for (int32_t i = 0; i < buttonCount_; ++i) {
    int32_t binding = pad.buttonBindings[i];
    bool pressed = false;
    if (isJoystickBinding(binding)) {
      const JoystickState* joystick = joystickOf(binding);
      pressed = joystick && (joystick->position.buttons & (binding & kButtonMask)) != 0;
    } else {
      pressed = keyHeld(binding);
    }
    if (pressed) buttons |= 1 << i;
  }
  return buttons;
}

void Pads::poll(Joysticks& joysticks, const std::function<bool(int32_t)>& keyHeld) {
  for (size_t i = 0; i < joysticks_.size(); ++i) {
    JoystickState& joystick = joysticks_[i];
    // A joystick that cannot be read keeps its last position.
    JoystickPosition position;
    if (joysticks.read(static_cast<int32_t>(i), position)) joystick.position = position;
    joystick.direction = joystickDirection(joystick.position);
  }
  for (PadRecord& pad : players_) {
    pad.direction = directionOf(pad, keyHeld);
    pad.buttons = buttonsOf(pad, keyHeld);
  }
}

const PadRecord* Pads::pad(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= players_.size()) return nullptr;
  return &players_[static_cast<size_t>(index)];
}

bool Pads::bindsKey(int32_t code) const {
  for (const PadRecord& pad : players_) {
    if (pad.up == code || pad.down == code || pad.left == code || pad.right == code) return true;
    if (std::ranges::find(pad.buttonBindings, code) != pad.buttonBindings.end()) return true;
  }
  return false;
}

}  // namespace avg
