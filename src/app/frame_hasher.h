#pragma once
#include <cstddef>
#include <cstdint>
#include <ostream>

#include "base/surface.h"

namespace avg {

// 64-bit FNV-1a over a picture's rows, top to bottom, each pixel as its bytes R, G, B: the
// same on every machine, and anyone can recompute it from a screenshot.
uint64_t pictureHash(const Surface& picture);

// Writes the hash file of a run, one line per composed frame "FRAME HASH" and, when fed the
// sound, one per second of it "AUDIO SECOND HASH" (seconds from 0; 64-bit FNV-1a of the
// second's 16-bit little-endian samples). Hashes are 16 hex digits; each line is flushed, so
// a killed run keeps what it wrote.
class FrameHashWriter {
 public:
  // `samplesPerSecond`: interleaved samples (frames × channels) in one second of sound.
  FrameHashWriter(std::ostream& out, size_t samplesPerSecond)
      : out_(out), samplesPerSecond_(samplesPerSecond) {}

  void frame(uint64_t pass, const Surface& picture);
  void sound(const int16_t* samples, size_t count);
  // Writes the last, partial second of sound.
  void finish();

 private:
  void writeLine(const char* label, uint64_t number, uint64_t hash);

  std::ostream& out_;
  size_t samplesPerSecond_;
  uint64_t second_ = 0;
  size_t secondFill_ = 0;
  uint64_t soundHash_ = 0;
};

}  // namespace avg
