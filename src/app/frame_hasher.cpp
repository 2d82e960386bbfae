#include "app/frame_hasher.h"

#include <cinttypes>
#include <cstdio>

namespace avg {
namespace {

constexpr uint64_t kFnvOffset = 0xCBF29CE484222325ull;
constexpr uint64_t kFnvPrime = 0x100000001B3ull;

uint64_t addByte(uint64_t hash, uint8_t byte) {
  return (hash ^ byte) * kFnvPrime;
}

}  // namespace

uint64_t pictureHash(const Surface& picture) {
  uint64_t hash = kFnvOffset;
  for (int32_t y = 0; y < picture.height(); ++y) {
    const uint32_t* row = picture.row(y);
    for (int32_t x = 0; x < picture.width(); ++x) {
      hash = addByte(hash, row[x] >> 16 & 0xFF);
      hash = addByte(hash, row[x] >> 8 & 0xFF);
      hash = addByte(hash, row[x] & 0xFF);
    }
  }
  return hash;
}

void FrameHashWriter::frame(uint64_t pass, const Surface& picture) {
  writeLine("", pass, pictureHash(picture));
}

void FrameHashWriter::sound(const int16_t* samples, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (secondFill_ == 0) soundHash_ = kFnvOffset;
    const auto sample = static_cast<uint16_t>(samples[i]);
    soundHash_ = addByte(addByte(soundHash_, sample & 0xFF), sample >> 8);
    if (++secondFill_ == samplesPerSecond_) {
      writeLine("AUDIO ", second_++, soundHash_);
      secondFill_ = 0;
    }
  }
}

void FrameHashWriter::finish() {
  if (secondFill_ == 0) return;
  writeLine("AUDIO ", second_++, soundHash_);
  secondFill_ = 0;
}

void FrameHashWriter::writeLine(const char* label, uint64_t number, uint64_t hash) {
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016" PRIx64, hash);
  out_ << label << number << ' ' << hex << std::endl;
}

}  // namespace avg
