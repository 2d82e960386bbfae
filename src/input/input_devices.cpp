#include "input/input_devices.h"

#include <algorithm>
#include <cstdint>

#include "input/pointer_mapping.h"
#include "input/virtual_keys.h"

namespace avg {
namespace {

// MBUT bits; MBEX uses the two "down" bits for the held buttons.
constexpr int32_t kRightDown = 0x01;
constexpr int32_t kRightUp = 0x02;
constexpr int32_t kRightDouble = 0x04;
constexpr int32_t kLeftDown = 0x10;
constexpr int32_t kLeftUp = 0x20;
constexpr int32_t kLeftDouble = 0x40;

struct ButtonBits {
  int32_t down;
  int32_t up;
  int32_t doubleClick;
};

constexpr ButtonBits kLeftBits{kLeftDown, kLeftUp, kLeftDouble};
constexpr ButtonBits kRightBits{kRightDown, kRightUp, kRightDouble};

// A wheel delta as the signed 16-bit word the window message carries.
int32_t wheelWord(int32_t delta) {
  return std::clamp(delta, int32_t{INT16_MIN}, int32_t{INT16_MAX});
}

}  // namespace

InputDevices::InputDevices(ScriptEngine& engine, Joysticks& joysticks)
    : engine_(engine), joysticks_(joysticks) {
  cell(BuiltinCell::PDIR) = kPadCentre;
}

void InputDevices::configure(const IniFile& file) {
  pads_.configure(file, joysticks_);
  copySelectedPad();
}

void InputDevices::handleEvent(const PlatformEvent& event) {
  using Type = PlatformEvent::Type;
  int32_t& buttons = cell(BuiltinCell::MBUT);
  switch (event.type) {
    case Type::MouseMove:
      pointerX_ = event.x;
      pointerY_ = event.y;
      buttons &= ~(kRightDouble | kLeftDouble);
      if (leftHeld_) buttons = (buttons & ~kLeftUp) | kLeftDown;
      if (rightHeld_) buttons = (buttons & ~kRightUp) | kRightDown;
      cell(BuiltinCell::MMOV) = 1;
      break;
    case Type::MouseButton:
      handleButton(event.button, event.action);
      break;
    case Type::Wheel:
      cell(BuiltinCell::M_PZ) = wheelWord(event.delta);
      break;
    case Type::Key:
      if (std::optional<int32_t> code = virtualKeyOf(event.key)) heldKeys_[*code] = event.down;
      break;
    case Type::Deactivate:
      // Keys released while another window has the focus never reach this one.
      heldKeys_.reset();
      break;
    default:
      break;
  }
}

void InputDevices::handleButton(MouseButton button, ButtonAction action) {
  const ButtonBits& bits = button == MouseButton::Left ? kLeftBits : kRightBits;
  bool& held = button == MouseButton::Left ? leftHeld_ : rightHeld_;
  int32_t& buttons = cell(BuiltinCell::MBUT);
  int32_t& heldBits = cell(BuiltinCell::MBEX);
  switch (action) {
    case ButtonAction::Down:
      buttons = (buttons & ~bits.up) | bits.down;
      heldBits |= bits.down;
      held = true;
      break;
    case ButtonAction::Up:
      buttons = (buttons & ~(bits.down | bits.doubleClick)) | bits.up;
      heldBits &= ~bits.down;
      held = false;
      break;
    case ButtonAction::DoubleClick:
      // The second press of a double-click arrives as this message alone.
      buttons |= bits.doubleClick;
      held = true;
      break;
  }
}

bool InputDevices::keyHeld(int32_t code) const {
  code = sideIndependentVirtualKey(code);
  return code >= 0 && static_cast<size_t>(code) < heldKeys_.size() && heldKeys_[code];
}

void InputDevices::selectPad(int32_t index) {
  selectedPad_ = index;
  copySelectedPad();
}

void InputDevices::copySelectedPad() {
  const PadRecord* pad = pads_.pad(selectedPad_);
  cell(BuiltinCell::PDIR) = pad ? pad->direction : kPadCentre;
  cell(BuiltinCell::PBUT) = pad ? pad->buttons : 0;
}

void InputDevices::clearEvents() {
  cell(BuiltinCell::MBUT) = 0;
  cell(BuiltinCell::MMOV) = 0;
  cell(BuiltinCell::M_PZ) = 0;
}

void InputDevices::beforeThreads() {
  StagePoint stage = pointerToStage(pointerX_, pointerY_);
  cell(BuiltinCell::M_PX) = stage.x;
  cell(BuiltinCell::M_PY) = stage.y;
  pads_.poll(joysticks_, [this](int32_t code) { return keyHeld(code); });
  copySelectedPad();
}

}  // namespace avg
