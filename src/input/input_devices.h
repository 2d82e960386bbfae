#pragma once
#include <bitset>
#include <cstdint>

#include "input/ini_file.h"
#include "input/pads.h"
#include "platform/events.h"
#include "platform/joystick.h"
#include "script/engine.h"

namespace avg {

// Mouse, keyboard and pads as the scripts see them: the engine cells MBUT, MBEX, MMOV,
// M_PX, M_PY, M_PZ, PDIR and PBUT. Window events update the mouse cells and the held keys as
// they arrive; each pass then starts by mapping the pointer and polling the pads, and ends by
// clearing the pass's mouse events, so every command of a pass sees the same input.
class InputDevices : public EngineCompanion {
 public:
  InputDevices(ScriptEngine& engine, Joysticks& joysticks);

  // Reads the pads' configuration and detects the joysticks.
  void configure(const IniFile& file);
  // Every message of the main window passes here first; none is consumed.
  void handleEvent(const PlatformEvent& event);
  // Whether a key (a virtual-key code) is held as the window's messages tell.
  bool keyHeld(int32_t code) const;
  // Whether the pads' configuration binds the key (a virtual-key code).
  bool padBinds(int32_t code) const { return pads_.bindsKey(code); }
  // Selects the pad that PDIR and PBUT describe and updates them at once.
  void selectPad(int32_t index);
  // Clears the pass's events: MBUT, MMOV and M_PZ.
  void clearEvents();

  void beforeThreads() override;
  void afterThreads() override { clearEvents(); }

 private:
  void handleButton(MouseButton button, ButtonAction action);
  void copySelectedPad();
  int32_t& cell(BuiltinCell which) { return engine_.builtin(which); }

  ScriptEngine& engine_;
  Joysticks& joysticks_;
  Pads pads_;
  int32_t selectedPad_ = 0;
  // The pointer in client pixels; the centre until the first mouse message.
  int32_t pointerX_ = 320;
  int32_t pointerY_ = 240;
  bool leftHeld_ = false;
  bool rightHeld_ = false;
  std::bitset<256> heldKeys_;
};

}  // namespace avg
