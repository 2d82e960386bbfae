// The sound device on a sound output: what it starts, renders, forwards and stops.
#include "audio/mixer_sound_device.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/audio_files.h"

namespace avg {
namespace {

// An output at 24000 Hz that renders when asked and counts the device's calls.
class FakeOutput : public AudioOutput {
 public:
  uint32_t rate() const override { return 24000; }
  void start(Render render) override {
    render_ = std::move(render);
    ++starts;
  }
  void stop() override {
    render_ = nullptr;
    ++stops;
  }
  void pump() override { ++pumps; }

  std::vector<float> render(size_t frames) {
    std::vector<float> out(frames * 2, 9.0f);
    render_(out.data(), frames);
    return out;
  }

  Render render_;
  int starts = 0;
  int stops = 0;
  int pumps = 0;
};

TEST(MixerSoundDeviceTest, MixesIntoTheOutputAtItsRateFromConstructionToDestruction) {
  FakeOutput output;
  auto decoder = std::make_shared<test::FakeDecoder>();
  for (int i = 0; i < 2400; ++i)
    decoder->sounds["tone"].insert(decoder->sounds["tone"].end(), {0.25f, -0.5f});
  {
    MixerSoundDevice device(output, decoder);
    EXPECT_EQ(output.starts, 1);
    std::unique_ptr<Sound> sound = device.createSound();
    ASSERT_TRUE(sound->load("", "tone"));
    EXPECT_EQ(output.render(1), (std::vector<float>{0, 0}));
    sound->play();
    EXPECT_EQ(output.render(1), (std::vector<float>{0.25f, -0.5f}));
    output.render(1199);
    EXPECT_EQ(sound->currentPosMs(), 50);  // 1200 frames at the output's 24000 Hz
    EXPECT_EQ(device.openMusic("none.ogg"), nullptr);
    device.pump();
    EXPECT_EQ(output.pumps, 1);
    EXPECT_EQ(output.stops, 0);
  }
  EXPECT_EQ(output.stops, 1);
  EXPECT_FALSE(output.render_);
}

}  // namespace
}  // namespace avg
