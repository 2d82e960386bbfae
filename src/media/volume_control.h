#pragma once
#include <optional>
#include <string>

#include "platform/system_mixer.h"
#include "script/engine.h"

namespace avg {

// The stereo pair (value, balance) of a mixer setting: value is the louder channel,
// balance -32767..32768 describes the other one.
struct VolumeSetting {
  int32_t value = 0;
  int32_t balance = 0;
};

VolumeSetting settingOf(StereoVolume volume);
// Values above 65535 and balances outside the range are cut to the range's ends.
StereoVolume volumeOf(VolumeSetting setting);

// VOL_: the system's master volume as a level relative to the volume it had at start, which
// is given back at RSET, when the control is switched off and at the end. While a game has
// changed it, the start volume is also kept in `stateFile`, so that the next start restores
// it when this run ends without doing so.
class VolumeControl : public EngineCompanion {
 public:
  // `mixer` may be null (no mixer); an empty `stateFile` keeps no state file.
  VolumeControl(SystemMixer* mixer, std::string stateFile);
  ~VolumeControl() override;
  VolumeControl(const VolumeControl&) = delete;
  VolumeControl& operator=(const VolumeControl&) = delete;

  // 1.0 is the start volume, 0.5 half of it, 0 silence; the start balance is kept.
  void setLevel(float level);
  // 1.0 without a mixer or with the control off.
  float level();
  void restore();
  // Switching off gives the start volume back when the game changed it.
  void setControl(bool on);
  bool control() const { return control_; }

 private:
  // False (logged) when there is no mixer or no start volume to work with.
  bool usable() const;
  void restoreAfterCrash();
  void rememberStart();
  void forgetStart();

  SystemMixer* mixer_;
  std::string stateFile_;
  std::optional<StereoVolume> start_;
  bool control_ = true;
  bool changed_ = false;
};

}  // namespace avg
