#include "platform/alsa/alsa_mixer.h"

#include <alsa/asoundlib.h>

#include <cmath>

#include "base/error_log.h"

namespace avg {
namespace {

constexpr double kScale = 65535.0;

// ALSA's own messages would go to the terminal; failures go to the platform log instead.
void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

snd_mixer_elem_t* findMasterVolume(snd_mixer_t* handle) {
  snd_mixer_selem_id_t* id;
  snd_mixer_selem_id_alloca(&id);
  snd_mixer_selem_id_set_name(id, "Master");
  snd_mixer_elem_t* master = snd_mixer_find_selem(handle, id);
  if (master && snd_mixer_selem_has_playback_volume(master)) return master;
  for (snd_mixer_elem_t* elem = snd_mixer_first_elem(handle); elem;
       elem = snd_mixer_elem_next(elem)) {
    if (snd_mixer_selem_has_playback_volume(elem)) return elem;
  }
  return nullptr;
}

class AlsaMixer : public SystemMixer {
 public:
  AlsaMixer(snd_mixer_t* handle, snd_mixer_elem_t* elem) : handle_(handle), elem_(elem) {
    snd_mixer_selem_get_playback_volume_range(elem_, &min_, &max_);
    mono_ = snd_mixer_selem_is_playback_mono(elem_);
  }
  ~AlsaMixer() override {
    if (snd_mixer_close(handle_) < 0) writeErrorLog("ミキサデバイスを閉じられませんでした");
  }
  AlsaMixer(const AlsaMixer&) = delete;
  AlsaMixer& operator=(const AlsaMixer&) = delete;

  std::optional<StereoVolume> read() override {
    snd_mixer_handle_events(handle_);
    long left = 0;
    long right = 0;
    if (snd_mixer_selem_get_playback_volume(elem_, SND_MIXER_SCHN_FRONT_LEFT, &left) < 0) {
      writeErrorLog("ミキサコントロール状態情報構造体の取得ができませんでした");
      return std::nullopt;
    }
    if (mono_ ||
        snd_mixer_selem_get_playback_volume(elem_, SND_MIXER_SCHN_FRONT_RIGHT, &right) < 0) {
      right = left;
    }
    StereoVolume volume{scaled(left), scaled(right)};
    // The first reading is the volume the user had: it goes back exactly, whatever the
    // rounding of the scale.
    if (!first_) first_ = std::make_pair(volume, std::make_pair(left, right));
    return volume;
  }

  void write(StereoVolume volume) override {
    long left = raw(volume.left);
    long right = raw(volume.right);
    if (first_ && first_->first == volume) std::tie(left, right) = first_->second;
    int result =
        mono_ ? snd_mixer_selem_set_playback_volume_all(elem_, std::max(left, right))
              : snd_mixer_selem_set_playback_volume(elem_, SND_MIXER_SCHN_FRONT_LEFT, left) |
                    snd_mixer_selem_set_playback_volume(elem_, SND_MIXER_SCHN_FRONT_RIGHT, right);
    if (result < 0) writeErrorLog("CAudioMixer::原因不明のエラーが起こりました");
  }

 private:
  int32_t scaled(long raw) const {
    if (max_ <= min_) return 0;
    return static_cast<int32_t>(
        std::lround(static_cast<double>(raw - min_) * kScale / static_cast<double>(max_ - min_)));
  }
  long raw(int32_t value) const {
    return min_ +
           std::lround(static_cast<double>(value) * static_cast<double>(max_ - min_) / kScale);
  }

  snd_mixer_t* handle_;
  snd_mixer_elem_t* elem_;
  long min_ = 0;
  long max_ = 0;
  bool mono_ = false;
  std::optional<std::pair<StereoVolume, std::pair<long, long>>> first_;
};

}  // namespace

std::unique_ptr<SystemMixer> openAlsaMixer() {
  snd_lib_error_set_handler(&ignoreAlsaMessage);
  snd_mixer_t* handle = nullptr;
  if (snd_mixer_open(&handle, 0) < 0) {
    writeErrorLog("ミキサデバイス数が 0か、エラーが発生しました");
    return nullptr;
  }
  if (snd_mixer_attach(handle, "default") < 0 ||
      snd_mixer_selem_register(handle, nullptr, nullptr) < 0 || snd_mixer_load(handle) < 0) {
    writeErrorLog("ミキサデバイスをオープンできませんでした");
    snd_mixer_close(handle);
    return nullptr;
  }
  snd_mixer_elem_t* master = findMasterVolume(handle);
  if (!master) {
    writeErrorLog(
        "0のIDのオーディオ コンポーネントは、このサウンドボードにはサポートされていませんでした");
    snd_mixer_close(handle);
    return nullptr;
  }
  return std::make_unique<AlsaMixer>(handle, master);
}

}  // namespace avg
