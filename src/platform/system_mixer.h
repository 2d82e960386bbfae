#pragma once
#include <cstdint>
#include <optional>

namespace avg {

// A stereo volume of the system mixer, each channel 0-65535.
struct StereoVolume {
  int32_t left = 0;
  int32_t right = 0;
  bool operator==(const StereoVolume&) const = default;
};

// The system's master output volume (the speakers). Failures are logged to the platform
// error log, never shown.
class SystemMixer {
 public:
  virtual ~SystemMixer() = default;
  // Nothing when the volume cannot be read.
  virtual std::optional<StereoVolume> read() = 0;
  // A mono control takes the louder channel.
  virtual void write(StereoVolume volume) = 0;
};

}  // namespace avg
