// Reads arbitrary bytes as a sound file (WAVE, else MP3) and plays a PCM one to its end.
#include <vector>

#include "audio/pcm_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string image(reinterpret_cast<const char*>(data), size);
  avg::parseMp3File(image);
  std::optional<avg::AudioSource> source = avg::openAudioSource(std::move(image), "fuzz.wav");
  if (!source) return 0;
  std::unique_ptr<avg::PcmReader> reader = avg::openRawWaveReader(std::move(*source));
  if (!reader) return 0;
  std::vector<uint8_t> buffer(4096);
  while (reader->read(buffer.data(), buffer.size()) == buffer.size()) {
  }
  return 0;
}
