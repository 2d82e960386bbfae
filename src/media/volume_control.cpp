#include "media/volume_control.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "base/atomic_file.h"
#include "base/error_log.h"

namespace avg {
namespace {

constexpr int32_t kMaxValue = 65535;
constexpr int32_t kMinBalance = -32767;
constexpr int32_t kMaxBalance = 32768;
// What GET_ reads when the start volume was silence and no level relates to it.
constexpr float kLevelOfSilentStart = 65535.0f;

// a * b / c rounded to the nearest integer, for non-negative a, b and positive c.
int32_t mulDiv(int64_t a, int64_t b, int64_t c) {
  return static_cast<int32_t>((a * b + c / 2) / c);
}

}  // namespace

VolumeSetting settingOf(StereoVolume volume) {
  auto [left, right] = volume;
  if (left == 0 && right == 0) return {};
  if (left < right) return {right, mulDiv(32767, left, right) - 32767};
  return {left, 32768 - mulDiv(32768, right, left)};
}

StereoVolume volumeOf(VolumeSetting setting) {
  int64_t value = std::clamp(setting.value, 0, kMaxValue);
  int64_t balance = std::clamp(setting.balance, kMinBalance, kMaxBalance);
  if (balance < 0) {
    return {static_cast<int32_t>(value * (balance + 32767) / 32767), static_cast<int32_t>(value)};
  }
  return {static_cast<int32_t>(value), static_cast<int32_t>(value * (32768 - balance) >> 15)};
}

VolumeControl::VolumeControl(SystemMixer* mixer, std::string stateFile)
    : mixer_(mixer), stateFile_(std::move(stateFile)) {
  if (!mixer_) return;
  restoreAfterCrash();
  start_ = mixer_->read();
  if (!start_) {
    writeErrorLog(
        "0のIDのオーディオ コンポーネントは、このサウンドボードにはサポートされていませんでした");
  }
}

VolumeControl::~VolumeControl() {
  if (changed_) restore();
}

bool VolumeControl::usable() const {
  if (!mixer_) {
    writeErrorLog("ミキサデバイスのハンドルがありませんでした");
    return false;
  }
  if (!start_) {
    writeErrorLog(
        "0のIDのオーディオ コンポーネントは、このサウンドボードにはサポートされていませんでした");
  }
  return start_.has_value();
}

void VolumeControl::setLevel(float level) {
  if (!control_ || !usable()) return;
  rememberStart();
  VolumeSetting start = settingOf(*start_);
  double value = std::trunc(static_cast<double>(start.value) * static_cast<double>(level));
  start.value = static_cast<int32_t>(std::clamp(value, 0.0, static_cast<double>(kMaxValue)));
  mixer_->write(volumeOf(start));
}

float VolumeControl::level() {
  if (!control_ || !mixer_ || !start_) return 1.0f;
  std::optional<StereoVolume> current = mixer_->read();
  int32_t startValue = std::max(start_->left, start_->right);
  if (!current) return 1.0f;
  if (startValue == 0) return kLevelOfSilentStart;
  return static_cast<float>(std::max(current->left, current->right)) /
         static_cast<float>(startValue);
}

void VolumeControl::restore() {
  if (!control_ || !usable()) return;
  mixer_->write(*start_);
  forgetStart();
}

void VolumeControl::setControl(bool on) {
  if (control_ && !on && changed_) restore();
  control_ = on;
}

void VolumeControl::restoreAfterCrash() {
  if (stateFile_.empty()) return;
  std::ifstream in(stateFile_);
  StereoVolume saved;
  if (in >> saved.left >> saved.right) {
    mixer_->write(saved);
    writeErrorLogf("VOL_: gave back the master volume %d,%d left lowered by an earlier run",
                   saved.left, saved.right);
  }
  in.close();
  std::error_code ignored;
  std::filesystem::remove(stateFile_, ignored);
}

void VolumeControl::rememberStart() {
  if (changed_) return;
  changed_ = true;
  if (stateFile_.empty()) return;
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(stateFile_).parent_path(), ignored);
  replaceFileAtomically(stateFile_,
                        std::to_string(start_->left) + " " + std::to_string(start_->right) + "\n");
}

void VolumeControl::forgetStart() {
  changed_ = false;
  if (stateFile_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove(stateFile_, ignored);
}

}  // namespace avg
