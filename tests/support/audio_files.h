#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "audio/audio_decoder.h"
#include "audio/pcm_reader.h"

namespace avg::test {

// A RIFF WAVE image with the given format fields and data chunk.
std::string makeWave(uint16_t formatTag, uint16_t channels, uint32_t rate, uint16_t bits,
                     const std::string& data, const std::string& extra = "");

// 16-bit little-endian samples as bytes.
std::string pcm16(const std::vector<int16_t>& samples);
std::vector<int16_t> samples16(const std::string& bytes);

// A sine tone of 16-bit stereo samples (left and right equal).
std::vector<int16_t> tone16(uint32_t rate, size_t frames, double hz, double amplitude);
// A 16-bit stereo PCM wave file of `frames` frames of a 440 Hz tone at half scale, 48000 Hz.
std::string toneWave(size_t frames);

// Stereo frames whose left sample i is left(i) rounded and whose right is the left halved
// and inverted, so that a swapped or shifted channel shows.
std::vector<int16_t> stereoFromLeft(size_t frames, const std::function<double(size_t)>& left);
// The left channel of interleaved stereo samples.
std::vector<int16_t> leftOf(const std::vector<int16_t>& stereo);
// The largest magnitude in raw float samples, as SDL's disk audio driver writes them.
float floatPeak(const std::string& bytes);

// The granule position of an Ogg stream's last page: a Vorbis stream's length in samples.
uint64_t oggLastGranule(const std::string& ogg);

// Everything a PCM reader gives, read `chunk` bytes at a time (1000 by default: a multiple of
// no block, so that conversions split).
std::string readAllPcm(PcmReader& reader, size_t chunk = 1000);

// Runs a shell command quietly; true when it exited with 0.
bool runQuietly(const std::string& command);

// Root mean square difference of two sample sequences over the shorter length, as a
// fraction of full scale.
double rmsDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b);

// Decodes the sounds it was given by file name (whatever the bytes): name -> interleaved
// stereo frames.
class FakeDecoder : public AudioDecoder {
 public:
  std::map<std::string, std::vector<float>> sounds;
  std::unique_ptr<AudioStream> openStream(std::optional<std::string> bytes, const std::string& name,
                                          uint32_t rate) override;
};

}  // namespace avg::test
