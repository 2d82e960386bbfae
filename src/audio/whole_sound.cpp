#include "audio/whole_sound.h"

#include "base/error_log.h"
#include "base/text_encoding.h"

namespace avg {
namespace {

constexpr size_t kDecodeChunkFrames = 65536;
constexpr uint64_t kBytesPerFrame = 2 * sizeof(float);

void logTooLarge(const std::string& file, uint64_t maxBytes) {
  writeErrorLogf("CSound::Load %s : larger than %llu MB of PCM, not loaded",
                 cp932ToUtf8(file).c_str(), static_cast<unsigned long long>(maxBytes >> 20));
}

}  // namespace

std::shared_ptr<const SoundData> decodeWholeSound(AudioDecoder& decoder,
                                                  std::optional<std::string> bytes,
                                                  const std::string& name, uint32_t rate,
                                                  uint64_t maxBytes) {
  std::unique_ptr<AudioStream> stream = decoder.openStream(std::move(bytes), name, rate);
  if (!stream) return nullptr;
  if (stream->frameCountEstimate() * kBytesPerFrame > maxBytes) {
    logTooLarge(name, maxBytes);
    return nullptr;
  }
  auto sound = std::make_shared<SoundData>();
  sound->samples.reserve((stream->frameCountEstimate() + kDecodeChunkFrames) * 2);
  for (;;) {
    size_t have = sound->frames();
    if (have * kBytesPerFrame > maxBytes) {
      logTooLarge(name, maxBytes);
      return nullptr;
    }
    sound->samples.resize((have + kDecodeChunkFrames) * 2);
    size_t got = stream->read(sound->samples.data() + have * 2, kDecodeChunkFrames);
    sound->samples.resize((have + got) * 2);
    if (got < kDecodeChunkFrames) break;
  }
  // A copy to trim the reserve is only worth it when the estimate was far off.
  if (sound->samples.capacity() > sound->samples.size() / 4 * 5) sound->samples.shrink_to_fit();
  return sound;
}

}  // namespace avg
