// The headless sound output: virtual time rendered into the WAVE file and the sink.
#include "platform/headless/headless_audio_output.h"
#include "audio/pcm_reader.h"
#include "base/byte_order.h"

#include <gtest/gtest.h>

#include <tuple>

#include <vector>

#include "support/audio_files.h"
#include "support/game_dir.h"

namespace avg {
namespace {

TEST(HeadlessAudioOutputTest, RendersEachMillisecondOnceIntoTheFileAndTheSink) {
  test::TempGameDir dir;
  std::vector<int16_t> sunk;
  int renders = 0;
  {
    HeadlessAudioOutput output("out.wav", [&](const int16_t* samples, size_t count) {
      sunk.insert(sunk.end(), samples, samples + count);
    });
    EXPECT_EQ(output.rate(), 48000u);
    output.advanceTo(1);  // silence while stopped
    output.start([&](float* out, size_t frames) {
      ++renders;
      for (size_t i = 0; i < frames; ++i) {
        out[2 * i] = 0.5f;
        out[2 * i + 1] = -1.5f;  // clamped
      }
    });
    output.advanceTo(2);
    output.advanceTo(2);  // no time passed
    output.stop();
    output.advanceTo(3);
  }
  EXPECT_EQ(renders, 1);
  std::vector<int16_t> expected(96, 0);
  for (int i = 0; i < 48; ++i)
    expected.insert(expected.end(), {16384, -32768});
  expected.resize(expected.size() + 96, 0);
  EXPECT_EQ(sunk, expected);
  std::string file = dir.read("out.wav");
  ASSERT_EQ(file.size(), 44 + expected.size() * 2);
  EXPECT_EQ(readLE32(file.data() + 4), file.size() - 8);
  EXPECT_EQ(readLE32(file.data() + 40), expected.size() * 2);
  std::optional<AudioSource> wave = parseWaveFile(file);
  ASSERT_TRUE(wave);
  const WaveFormat& f = wave->format;
  EXPECT_EQ(std::tie(f.formatTag, f.channels, f.samplesPerSec, f.blockAlign, f.bitsPerSample),
            std::tuple(kWaveFormatPcm, 2, 48000u, 4, 16));
  EXPECT_EQ(test::samples16(std::string(wave->data())), expected);
}

}  // namespace
}  // namespace avg
