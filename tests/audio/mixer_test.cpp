#include "audio/mixer.h"
#include "audio/attenuation.h"
#include "audio/whole_sound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "support/audio_files.h"
#include "support/game_dir.h"

namespace avg {
namespace {

constexpr uint32_t kRate = 48000;
constexpr size_t kSoundFrames = 4800;  // 100 ms
constexpr size_t kFadeFrames = 1200;   // 25 ms
constexpr float kLeft = 0.5f;
constexpr float kRight = -0.25f;

// Endless silence that claims a length.
class EndlessDecoder : public AudioDecoder {
 public:
  explicit EndlessDecoder(uint64_t claimedFrames) : claimedFrames_(claimedFrames) {}
  std::unique_ptr<AudioStream> openStream(std::optional<std::string>, const std::string&,
                                          uint32_t) override {
    struct Endless : AudioStream {
      uint64_t claimed = 0;
      size_t read(float* out, size_t frames) override {
        std::fill(out, out + 2 * frames, 0.0f);
        return frames;
      }
      void setLoop(bool) override {}
      void rewind() override {}
      uint64_t frameCountEstimate() const override { return claimed; }
    };
    auto stream = std::make_unique<Endless>();
    stream->claimed = claimedFrames_;
    return stream;
  }

 private:
  uint64_t claimedFrames_;
};

TEST(DecodeWholeSound, RefusesSoundsOverTheLimit) {
  test::TempGameDir dir;
  for (uint64_t claimed : {uint64_t{1} << 40, uint64_t{0}}) {
    EndlessDecoder decoder(claimed);
    EXPECT_EQ(decodeWholeSound(decoder, "", "huge.wav", 48000, 1 << 20), nullptr);
  }
  EXPECT_NE(dir.read("ErrorLog.txt").find("CSound::Load huge.wav : larger than 1 MB of PCM"),
            std::string::npos);
}

TEST(AttenuationGain, FollowsTenToTheAOver2000) {
  struct Case {
    int32_t attenuation;
    float gain;
  };
  for (Case c :
       {Case{100, 1.0f}, Case{-2000, 0.1f}, Case{-5000, 0.0031622776f}, Case{-10000, 0.0f}}) {
    EXPECT_NEAR(attenuationToGain(c.attenuation), c.gain, c.gain * 1e-5f) << c.attenuation;
  }
}

// Mixes `frames` frames and returns the left channel.
std::vector<float> mixLeftOf(Mixer& mixer, size_t frames) {
  std::vector<float> out(frames * 2);
  mixer.mix(out.data(), frames);
  std::vector<float> left;
  for (size_t i = 0; i < frames; ++i)
    left.push_back(out[2 * i]);
  return left;
}

class MixerTest : public ::testing::Test {
 protected:
  MixerTest() {
    auto fake = std::make_shared<test::FakeDecoder>();
    for (size_t i = 0; i < kSoundFrames; ++i) {
      fake->sounds["tone"].push_back(kLeft);
      fake->sounds["tone"].push_back(kRight);
    }
    decoder_ = fake;
    sound_ = std::make_unique<MixerSound>(mixer_, decoder_);
    EXPECT_TRUE(sound_->load("", "tone"));
  }

  std::vector<float> mixLeft(size_t frames) { return mixLeftOf(*mixer_, frames); }

  test::TempGameDir dir_;
  std::shared_ptr<Mixer> mixer_ = std::make_shared<Mixer>(kRate);
  std::shared_ptr<AudioDecoder> decoder_;
  std::unique_ptr<MixerSound> sound_;
};

TEST_F(MixerTest, SoundsAddUpAtTheirGainsAndVolumesAreClamped) {
  MixerSound second(mixer_, decoder_);
  ASSERT_TRUE(second.load("", "tone"));
  second.setVolume(-2000);
  sound_->setVolume(500);
  EXPECT_EQ(sound_->volume(), 0);
  sound_->play();
  second.play();
  EXPECT_FLOAT_EQ(mixLeft(1)[0], kLeft * 1.1f);
  second.setVolume(-20000);
  EXPECT_EQ(second.volume(), -10000);
}

TEST_F(MixerTest, OneShotEndsAtItsLastFrameAndLoopWrapsToTheStart) {
  sound_->play();
  std::vector<float> left = mixLeft(kSoundFrames + 100);
  EXPECT_EQ(left[kSoundFrames - 1], kLeft);
  EXPECT_EQ(left[kSoundFrames], 0.0f);
  EXPECT_FALSE(sound_->isPlay());
  EXPECT_EQ(sound_->currentPosMs(), 0);
  sound_->setLoopPlay(true);
  sound_->play();
  left = mixLeft(kSoundFrames + 480);
  EXPECT_EQ(left[kSoundFrames + 10], kLeft);
  EXPECT_TRUE(sound_->isPlay());
  EXPECT_EQ(sound_->currentPosMs(), 10);
}

TEST_F(MixerTest, StopFadesOverTwentyFiveMillisecondsAndReturnsAtOnce) {
  sound_->setVolume(-1000);
  sound_->play();
  mixLeft(480);
  sound_->stop();
  EXPECT_FALSE(sound_->isPlay());
  EXPECT_EQ(sound_->currentPosMs(), 0);
  EXPECT_EQ(sound_->volume(), -1000);

  std::vector<float> left = mixLeft(2 * kFadeFrames);
  // The attenuation falls linearly from -1000 to -10000 across the fade.
  for (size_t i : {size_t{0}, size_t{600}, size_t{1199}}) {
    auto attenuation = static_cast<int32_t>(-1000.0f - static_cast<float>(i) * 9000.0f / 1200.0f);
    float expected = kLeft * std::pow(10.0f, static_cast<float>(attenuation) / 2000.0f);
    EXPECT_NEAR(left[i], expected, 1e-6f) << "frame " << i;
  }
  for (size_t i = kFadeFrames; i < left.size(); ++i)
    ASSERT_EQ(left[i], 0.0f) << i;
}

TEST_F(MixerTest, RestartAndReleaseFadeWhatWasPlaying) {
  sound_->play();
  mixLeft(480);
  sound_->play();
  std::vector<float> left = mixLeft(kFadeFrames + 10);
  EXPECT_NEAR(left[0], 2 * kLeft, 1e-6f);
  EXPECT_EQ(left[kFadeFrames + 5], kLeft);
  sound_.reset();
  left = mixLeft(kFadeFrames + 10);
  EXPECT_NEAR(left[0], kLeft, 1e-6f);
  EXPECT_LT(left[kFadeFrames - 1], 0.001f);
  EXPECT_EQ(left[kFadeFrames], 0.0f);
}

TEST_F(MixerTest, PausesNestAndOnlyTheLastResumePlaysOn) {
  sound_->play();
  mixLeft(480);
  sound_->pause();
  sound_->pause();
  EXPECT_FALSE(sound_->isPlay());
  EXPECT_EQ(sound_->currentPosMs(), 10);
  sound_->resume();
  EXPECT_FALSE(sound_->isPlay());
  sound_->resume();
  EXPECT_TRUE(sound_->isPlay());
  EXPECT_EQ(sound_->currentPosMs(), 10);
  sound_->resume();
  EXPECT_TRUE(sound_->isPlay());
  // Play clears the count.
  sound_->pause();
  sound_->play();
  sound_->pause();
  sound_->resume();
  EXPECT_TRUE(sound_->isPlay());
}

// Stop and pause of a silent sound change nothing; its position is set in milliseconds,
// up to its length.
TEST_F(MixerTest, SilentSoundKeepsStillAndTakesAPosition) {
  sound_->setVolume(-3000);
  sound_->stop();
  sound_->pause();
  sound_->resume();
  EXPECT_FALSE(sound_->isPlay());
  EXPECT_EQ(sound_->volume(), -3000);
  for (float sample : mixLeft(100))
    ASSERT_EQ(sample, 0.0f);
  sound_->setCurrentPosMs(50);
  EXPECT_EQ(sound_->currentPosMs(), 50);
  sound_->setCurrentPosMs(100000);
  EXPECT_EQ(sound_->currentPosMs(), 100);
}

TEST_F(MixerTest, ASoundWithoutDataIgnoresEverything) {
  MixerSound empty(mixer_, decoder_);
  EXPECT_FALSE(empty.load(std::nullopt, "missing.wav"));
  empty.setVolume(-2000);
  empty.play();
  EXPECT_FALSE(empty.isPlay());
  EXPECT_EQ(empty.currentPosMs(), -1);
  EXPECT_EQ(empty.volume(), 0);
  EXPECT_NE(dir_.read("ErrorLog.txt").find("CSound::Load missing.wavのファイル読み込み時のエラー"),
            std::string::npos);
}

// A ramp of `frames` frames (left i, right -i, scaled), looping when asked: every frame
// tells where in the piece it came from.
class RampStream : public AudioStream {
 public:
  explicit RampStream(size_t frames) : frames_(frames) {}
  static float left(size_t frame) { return static_cast<float>(frame + 1) / 65536.0f; }
  size_t read(float* out, size_t frames) override {
    size_t done = 0;
    while (done < frames) {
      if (position_ == frames_) {
        if (!loop_) break;
        position_ = 0;
      }
      out[2 * done] = left(position_);
      out[2 * done + 1] = -left(position_);
      ++position_;
      ++done;
    }
    return done;
  }
  void setLoop(bool loop) override { loop_ = loop; }
  void rewind() override { position_ = 0; }
  uint64_t frameCountEstimate() const override { return frames_; }

 private:
  size_t frames_;
  size_t position_ = 0;
  bool loop_ = false;
};

class MixerMusicTest : public ::testing::Test {
 protected:
  static constexpr size_t kPieceFrames = 30011;  // longer than the ring, not a chunk multiple

  std::vector<float> mixLeft(size_t frames) { return mixLeftOf(*mixer_, frames); }

  std::shared_ptr<Mixer> mixer_ = std::make_shared<Mixer>(kRate, true);
  MixerMusic music_{mixer_, std::make_unique<RampStream>(kPieceFrames)};
};

TEST_F(MixerMusicTest, LoopsWithoutAGapAndSampleExact) {
  music_.play(true);
  std::vector<float> left = mixLeft(3 * kPieceFrames + 100);
  for (size_t i = 0; i < left.size(); ++i)
    ASSERT_EQ(left[i], RampStream::left(i % kPieceFrames)) << i;
  EXPECT_TRUE(music_.isPlaying());
}

TEST_F(MixerMusicTest, PlaysOnceToItsEndAndStaysThere) {
  music_.setVolume(-2000);
  music_.play(false);
  std::vector<float> left = mixLeft(kPieceFrames + 10);
  EXPECT_FLOAT_EQ(left[0], RampStream::left(0) * 0.1f);
  EXPECT_FLOAT_EQ(left[kPieceFrames - 1], RampStream::left(kPieceFrames - 1) * 0.1f);
  EXPECT_EQ(left[kPieceFrames], 0.0f);
  EXPECT_FALSE(music_.isPlaying());
  music_.resume();
  EXPECT_FALSE(music_.isPlaying());
}

TEST_F(MixerMusicTest, PauseKeepsThePositionStopAndPlayRewind) {
  music_.play(false);
  mixLeft(5000);
  music_.pause();
  EXPECT_EQ(mixLeft(100)[0], 0.0f);
  music_.resume();
  EXPECT_EQ(mixLeft(1)[0], RampStream::left(5000));
  music_.stop();
  EXPECT_FALSE(music_.isPlaying());
  EXPECT_EQ(mixLeft(1)[0], 0.0f);
  music_.play(true);
  mixLeft(kPieceFrames + 7000);
  music_.play(false);  // from the start even in the middle
  EXPECT_EQ(mixLeft(1)[0], RampStream::left(0));
}

// The threads of this process, from the kernel's list.
size_t threadCount() {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                           std::filesystem::directory_iterator()));
}

// The kernel may list a joined thread for a moment after it ended; one that was never joined
// stays listed.
size_t threadCountSettled(size_t expected) {
  for (int waited = 0; waited < 1000 && threadCount() != expected; ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return threadCount();
}

// Released while playing, the music stops and joins its worker thread.
TEST(MixerMusic, ReleasingItWhilePlayingStopsTheWorker) {
  auto mixer = std::make_shared<Mixer>(kRate);
  const size_t threadsBefore = threadCount();
  for (int i = 0; i < 20; ++i) {
    auto music = std::make_unique<MixerMusic>(mixer, std::make_unique<RampStream>(100000));
    music->play(true);
    std::vector<float> out(2 * 480);
    mixer->mix(out.data(), 480);
    ASSERT_EQ(threadCount(), threadsBefore + 1);
    music.reset();
    ASSERT_EQ(threadCountSettled(threadsBefore), threadsBefore) << "round " << i;
  }
}

}  // namespace
}  // namespace avg
