#include "platform/ffmpeg/ffmpeg_audio.h"
#include "audio/audio_decoder.h"
#include "audio/pcm_reader.h"
#include "audio/whole_sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <tuple>

#include "support/audio_files.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using test::makeWave;

constexpr uint32_t kSourceRate = 22050;
constexpr size_t kSourceFrames = 11025;

class FfmpegAudioTest : public ::testing::Test {
 protected:
  FfmpegAudioTest() : source_(test::tone16(kSourceRate, kSourceFrames, 440, 0.5)) {
    dir_.write("source.wav", makeWave(1, 2, kSourceRate, 16, test::pcm16(source_)));
  }

  // Encodes source.wav with the ffmpeg tool.
  void encode(const std::string& arguments, const std::string& output) {
    ASSERT_TRUE(test::runQuietly("ffmpeg -nostdin -y -i source.wav " + arguments + " " + output))
        << arguments;
  }

  std::vector<int16_t> decode(const std::string& file) {
    std::unique_ptr<PcmReader> reader = openPcmReader(*codec_, dir_.read(file), file);
    EXPECT_TRUE(reader) << file;
    if (!reader) return {};
    const WaveFormat& f = reader->format();
    EXPECT_EQ(std::tie(f.formatTag, f.bitsPerSample, f.channels, f.samplesPerSec),
              std::tuple(1, 16, 2, kSourceRate));
    return test::samples16(test::readAllPcm(*reader));
  }

  std::string log() const { return dir_.read("ErrorLog.txt"); }

  test::TempGameDir dir_;
  std::vector<int16_t> source_;
  std::shared_ptr<FfmpegAudioCodec> codec_ = std::make_shared<FfmpegAudioCodec>();
  SoundFileDecoder decoder_{codec_};
};

// Compressed data in WAVE files decodes to about the source's length; codecs without a
// start delay also to about its samples.
TEST_F(FfmpegAudioTest, CompressedWaveDecodesCloseToItsSource) {
  struct Case {
    const char* codec;
    double lengthTolerance;
    std::optional<double> rmsTolerance;
  };
  for (Case c : {Case{"adpcm_ima_wav", 2048, 0.01}, Case{"pcm_mulaw", 2048, 0.01},
                 Case{"libmp3lame", 4 * 1152 * 2, std::nullopt}}) {
    std::string file = std::string(c.codec) + ".wav";
    encode(std::string("-c:a ") + c.codec, file);
    std::vector<int16_t> decoded = decode(file);
    EXPECT_NEAR(static_cast<double>(decoded.size()), source_.size(), c.lengthTolerance) << c.codec;
    if (c.rmsTolerance) {
      EXPECT_LT(test::rmsDifference(decoded, source_), *c.rmsTolerance) << c.codec;
    }
  }
  EXPECT_EQ(log(), "");
}

// A short stream fits in one Ogg page, where FFmpeg alone would drop part of the tail.
TEST_F(FfmpegAudioTest, OggVorbisInWaveDecodesToItsDeclaredLength) {
  encode("-c:a libvorbis -q:a 6", "tone.ogg");
  std::string ogg = dir_.read("tone.ogg");
  for (uint16_t tag : {0x674F, 0x6750, 0x6771}) {
    std::string file = "vorbis" + std::to_string(tag) + ".wav";
    dir_.write(file, makeWave(tag, 2, kSourceRate, 16, ogg));
    std::vector<int16_t> decoded = decode(file);
    EXPECT_EQ(decoded.size(), test::oggLastGranule(ogg) * 2) << tag;
    EXPECT_LT(test::rmsDifference(decoded, source_), 0.02) << tag;
  }
}

// Ogg Vorbis music plays exactly its declared length, at the source rate and scaled to
// another, and loops join at that length.
TEST_F(FfmpegAudioTest, OggVorbisMusicHasItsDeclaredLength) {
  const char* commands[] = {
      "ffmpeg -nostdin -y -f lavfi -i sine=440:r=44100:d=0.35 -c:a libvorbis ffmpeg.ogg",
      "sox -n -r 44100 -c 1 sox.ogg synth 0.35 sine 440",
      "sox -n -r 44100 -c 2 long.ogg synth 3 sine 440",
  };
  for (const char* command : commands)
    ASSERT_TRUE(test::runQuietly(command)) << command;
  for (const char* file : {"ffmpeg.ogg", "sox.ogg", "long.ogg"}) {
    uint64_t frames = test::oggLastGranule(dir_.read(file));
    std::unique_ptr<PcmReader> reader = openMusicReader(file);
    ASSERT_TRUE(reader) << file;
    size_t frameBytes = reader->format().blockAlign;
    EXPECT_EQ(reader->pcmSize(), frames * frameBytes) << file;
    EXPECT_EQ(test::readAllPcm(*reader).size(), frames * frameBytes) << file;

    reader->rewind();
    reader->setLoop(true);
    std::string twice(2 * frames * frameBytes, '\0');
    EXPECT_EQ(reader->read(reinterpret_cast<uint8_t*>(twice.data()), twice.size()), twice.size());
    EXPECT_TRUE(twice.compare(0, twice.size() / 2, twice, twice.size() / 2) == 0) << file;

    std::unique_ptr<AudioStream> stream = decoder_.openMusicStream(file, 48000);
    ASSERT_TRUE(stream) << file;
    std::vector<float> out(2 * 48000);
    size_t got = 0;
    while (size_t n = stream->read(out.data(), out.size() / 2))
      got += n;
    EXPECT_EQ(got, std::llround(frames * 48000.0 / 44100)) << file;
  }
}

TEST_F(FfmpegAudioTest, Mp3TagsNeverReachTheDecoder) {
  encode("-c:a libmp3lame -b:a 128k -id3v2_version 0 -write_id3v1 0", "plain.mp3");
  encode(
      "-c:a libmp3lame -b:a 128k -id3v2_version 4 -write_id3v1 1 -metadata title=T "
      "-metadata artist=A",
      "tagged.mp3");
  std::string tagged = dir_.read("tagged.mp3");
  ASSERT_EQ(tagged.compare(0, 3, "ID3"), 0);
  ASSERT_EQ(tagged.compare(tagged.size() - 128, 3, "TAG"), 0);
  std::vector<int16_t> plain = decode("plain.mp3");
  EXPECT_EQ(decode("tagged.mp3"), plain);
  EXPECT_NEAR(static_cast<double>(plain.size()), source_.size(), 2 * 1152 * 2);
}

TEST_F(FfmpegAudioTest, RefusalsAreLogged) {
  struct Case {
    std::string file;
    std::optional<std::string> bytes;  // none: the file could not be read
    std::vector<std::string> logs;
  };
  const std::string factory = "CPCMReaderFactory::CreateReader OpenできるReaderが無い - ";
  for (const Case& c : {
           Case{"wma.wav",
                makeWave(0x0160, 2, 44100, 16, std::string(64, 'x')),
                {"kmACMtoPCM::open acmFormatSuggest. No such ACM? 160", factory + "wma.wav"}},
           Case{"broken.wav",
                makeWave(0x674F, 2, 44100, 16, std::string(64, 'x')),
                {"kmACMtoPCM::open acmStreamOpen. No such ACM? 674f", factory + "broken.wav"}},
           Case{"none.wav",
                std::nullopt,
                {"kmMmioFile::open none.wavのファイル読み込み時のエラー", factory + "none.wav"}},
       }) {
    std::remove("ErrorLog.txt");
    EXPECT_EQ(openPcmReader(*codec_, c.bytes, c.file), nullptr) << c.file;
    for (const std::string& text : c.logs) {
      EXPECT_NE(log().find(text + "\n"), std::string::npos) << text;
    }
  }
}

TEST_F(FfmpegAudioTest, MixerStreamIsFloatStereoAtTheMixerRate) {
  struct Case {
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
    std::string data;
    std::vector<float> expected;  // the first frames, left and right
  };
  for (const Case& c : {
           Case{2, 48000, 16, test::pcm16({16384, -32768, 1, 0}), {0.5f, -1.0f, 1 / 32768.0f, 0}},
           Case{1, 48000, 8, "\x80\xC0", {0, 0, 0.5f, 0.5f}},
           Case{1, 48000, 24, std::string("\0\0\x40\0\0\xC0", 6), {0.5f, 0.5f, -0.5f, -0.5f}},
       }) {
    std::unique_ptr<AudioStream> stream =
        decoder_.openStream(makeWave(1, c.channels, c.rate, c.bits, c.data), "pcm.wav", 48000);
    ASSERT_TRUE(stream);
    std::vector<float> out(c.expected.size() + 8);
    EXPECT_EQ(stream->read(out.data(), out.size() / 2), c.expected.size() / 2);
    out.resize(c.expected.size());
    EXPECT_EQ(out, c.expected);
  }
}

TEST_F(FfmpegAudioTest, ResamplesToTheMixerRate) {
  std::shared_ptr<const SoundData> sound =
      decodeWholeSound(decoder_, dir_.read("source.wav"), "source.wav", 48000);
  ASSERT_TRUE(sound);
  EXPECT_NEAR(static_cast<double>(sound->frames()), kSourceFrames * 48000.0 / kSourceRate, 64);
  float peak = 0;
  for (float sample : sound->samples)
    peak = std::max(peak, std::fabs(sample));
  EXPECT_NEAR(peak, 0.5f, 0.01f);
}

}  // namespace
}  // namespace avg
