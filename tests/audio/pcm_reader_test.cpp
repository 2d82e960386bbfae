#include "audio/pcm_reader.h"

#include <gtest/gtest.h>

#include <tuple>

#include <vector>

#include "support/audio_files.h"
#include "support/bytes.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using test::makeWave;

void setLe32(std::string& bytes, size_t at, uint32_t value) {
  bytes.replace(at, 4, test::littleEndian32(value));
}

class WaveFileTest : public ::testing::Test {
 protected:
  test::TempGameDir dir_;
};

TEST_F(WaveFileTest, PcmIsDeliveredByteForByte) {
  std::string data;
  for (int i = 0; i < 1001; ++i)
    data += static_cast<char>(i * 37);
  std::optional<AudioSource> source = parseWaveFile(makeWave(1, 2, 22050, 16, data));
  ASSERT_TRUE(source);
  EXPECT_EQ(source->format.samplesPerSec, 22050u);
  EXPECT_EQ(source->format.blockAlign, 4);
  std::unique_ptr<PcmReader> reader = openRawWaveReader(*source);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->pcmSize(), data.size());
  for (size_t chunk : {size_t{1}, size_t{7}, size_t{4096}}) {
    reader->rewind();
    EXPECT_EQ(test::readAllPcm(*reader, chunk), data) << chunk;
  }
  // Looping, a read wraps around to the start.
  reader->rewind();
  reader->setLoop(true);
  std::string out(data.size() + 3, '\0');
  EXPECT_EQ(reader->read(reinterpret_cast<uint8_t*>(out.data()), out.size()), out.size());
  EXPECT_EQ(out, data + data.substr(0, 3));
}

TEST_F(WaveFileTest, CompressedFormatsAreLeftToTheDecodingReader) {
  std::optional<AudioSource> source = parseWaveFile(makeWave(2, 1, 8000, 4, "xy", "ab"));
  ASSERT_TRUE(source);
  EXPECT_EQ(source->format.extra, "ab");
  EXPECT_EQ(openRawWaveReader(*source), nullptr);
  EXPECT_EQ(dir_.read("ErrorLog.txt"), "");
}

TEST_F(WaveFileTest, OddLayoutsStillGiveTheData) {
  std::string shortFormat = makeWave(1, 1, 8000, 8, "pcm");
  shortFormat.erase(36, 2);  // a 16-byte format chunk, without cbSize
  setLe32(shortFormat, 16, 16);
  std::string oversized = makeWave(1, 1, 8000, 8, "pcm");
  setLe32(oversized, 4, 0xFFFFFFF0);
  setLe32(oversized, oversized.size() - 7, 0x7FFFFFFF);
  std::string padded = makeWave(1, 1, 8000, 8, "pcm");
  padded.insert(padded.find("data"), std::string("LIST\x03\0\0\0abc\0", 12));
  for (std::string* wave : {&shortFormat, &padded})
    setLe32(*wave, 4, static_cast<uint32_t>(wave->size() - 8));
  for (const std::string& wave : {shortFormat, oversized, padded}) {
    std::optional<AudioSource> source = parseWaveFile(wave);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->format.extra, "");
    EXPECT_EQ(source->data(), "pcm");
  }
}

TEST_F(WaveFileTest, MissingChunksAreLogged) {
  struct Case {
    std::string image;
    const char* log;
  };
  std::string wave = makeWave(1, 1, 8000, 8, "pcm");
  std::string noFormat = wave;
  noFormat.replace(12, 4, "junk");
  std::string noData = wave;
  noData.replace(wave.find("data"), 4, "dat_");
  for (const Case& c : {Case{noFormat, "CSound::LoadWaveFile : fmtチャンクが指定できない"},
                        Case{noData, "CSound::LoadWaveFile : データチャンクに行けない"},
                        Case{"RIFX....WAVE", ""}, Case{"RIFF", ""}}) {
    std::remove("ErrorLog.txt");
    EXPECT_FALSE(parseWaveFile(c.image));
    std::string log = dir_.read("ErrorLog.txt");
    if (*c.log) {
      EXPECT_NE(log.find(c.log), std::string::npos) << c.log;
    } else {
      EXPECT_EQ(log, "");
    }
  }
}

// An MP3 image: optional ID3v2 tag, one frame header, filler and an optional ID3v1 tag.
std::string mp3Image(const std::string& id3v2, const std::string& header, bool id3v1) {
  std::string image = id3v2 + header + std::string(400, '\x55');
  if (id3v1) image += "TAG" + std::string(125, 'x');
  return image;
}

std::string id3v2Tag(char major, char flags, size_t bodySize, size_t totalSize) {
  std::string tag = std::string("ID3") + major + '\0' + flags;
  for (int shift : {21, 14, 7, 0})
    tag += static_cast<char>(bodySize >> shift & 0x7F);
  return tag + std::string(totalSize - 10, '\0');
}

class Mp3FileTest : public WaveFileTest {};

TEST_F(Mp3FileTest, FormatComesFromTheFirstFrameHeader) {
  struct Case {
    std::string header;
    uint16_t channels;
    uint32_t rate;
    uint32_t bytesPerSecond;
    uint16_t blockSize;
  };
  for (const Case& c : {Case{"\xFF\xFB\x90\x64", 2, 44100, 16000, 417},
                        Case{"\xFF\xFB\xE4\x00", 2, 48000, 40000, 960},
                        Case{"\xFF\xF3\x80\x00", 2, 22050, 8000, 417}}) {
    std::optional<AudioSource> source = parseMp3File(mp3Image("", c.header, false));
    ASSERT_TRUE(source);
    const WaveFormat& f = source->format;
    EXPECT_EQ(std::tie(f.formatTag, f.channels, f.samplesPerSec, f.avgBytesPerSec, f.blockAlign,
                       f.bitsPerSample),
              std::tuple(0x55, c.channels, c.rate, c.bytesPerSecond, 1, 0));
    EXPECT_EQ(f.extra.size(), 12u);
    ASSERT_TRUE(source->mpeg);
    const auto& m = *source->mpeg;
    EXPECT_EQ(std::tie(m.id, m.flags, m.blockSize, m.framesPerBlock, m.codecDelay),
              std::tuple(1, 2u, c.blockSize, 1, 1393));
  }
}

TEST_F(Mp3FileTest, TagsAreLeftOutOfTheDataRange) {
  struct Case {
    std::string id3v2;
    bool id3v1;
  };
  const std::string header = "\xFF\xFB\x90\x64";
  for (const Case& c :
       {Case{"", false}, Case{id3v2Tag(3, 0, 245, 255), true},
        Case{id3v2Tag(4, 0x10, 245, 265), true}, Case{id3v2Tag(4, 0, 245, 255), false}}) {
    std::optional<AudioSource> source = parseMp3File(mp3Image(c.id3v2, header, c.id3v1));
    ASSERT_TRUE(source) << c.id3v2.size();
    EXPECT_EQ(source->data(), header + std::string(400, '\x55'));
  }
}

TEST_F(Mp3FileTest, RefusesWhatIsNotLayerThree) {
  EXPECT_FALSE(parseMp3File(mp3Image("", "\xFF\xFD\x90\x64", false)));
  EXPECT_NE(dir_.read("ErrorLog.txt").find("kmMp3File::Open MP3が無効なレイヤ"), std::string::npos);
  std::remove("ErrorLog.txt");
  for (const std::string& image :
       {mp3Image("", "\x12\xFB\x90\x64", false), mp3Image("", "\xFF\x07\x90\x64", false),
        std::string(128, '\xFF'), id3v2Tag(3, 0, 300, 310) + std::string(100, '\xFF'),
        mp3Image("", "\xFF\xFB\x9C\x64", false)}) {
    EXPECT_FALSE(parseMp3File(image));
  }
  EXPECT_EQ(dir_.read("ErrorLog.txt"), "");
}

// A codec that takes every compressed source as PCM of its own format and keeps the format
// tags it was offered.
class TaggingCodec : public AudioCodec {
 public:
  std::unique_ptr<PcmReader> openCompressed(AudioSource source) override {
    offered.push_back(source.format.formatTag);
    if (!decodes) return nullptr;
    source.format.formatTag = kWaveFormatPcm;
    return openRawWaveReader(std::move(source));
  }
  std::unique_ptr<PcmReader> openMusic(const std::string&) override { return nullptr; }
  std::unique_ptr<AudioStream> convert(std::unique_ptr<PcmReader>, uint32_t) override {
    return nullptr;
  }

  bool decodes = true;
  std::vector<uint16_t> offered;
};

TEST_F(WaveFileTest, PcmIsReadWithoutTheCodecAndTheRestThroughIt) {
  struct Case {
    std::optional<std::string> bytes;
    bool codecDecodes;
    std::vector<uint16_t> offered;
    bool opened;
  };
  const std::string pcm = makeWave(1, 1, 8000, 8, "pcm");
  const std::string adpcm = makeWave(2, 1, 8000, 4, "xy");
  for (const Case& c :
       {Case{pcm, true, {}, true}, Case{adpcm, true, {2}, true}, Case{adpcm, false, {2}, false},
        Case{std::nullopt, true, {}, false}, Case{"neither", true, {}, false}}) {
    std::remove("ErrorLog.txt");
    TaggingCodec codec;
    codec.decodes = c.codecDecodes;
    std::unique_ptr<PcmReader> reader = openPcmReader(codec, c.bytes, "se\\a.wav");
    EXPECT_EQ(reader != nullptr, c.opened);
    EXPECT_EQ(codec.offered, c.offered);
    bool logged = dir_.read("ErrorLog.txt")
                      .find("CPCMReaderFactory::CreateReader OpenできるReaderが無い - se\\a.wav") !=
                  std::string::npos;
    EXPECT_EQ(logged, !c.opened);
  }
}

}  // namespace
}  // namespace avg
