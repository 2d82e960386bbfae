#include "platform/ffmpeg/byte_input.h"

#include <algorithm>
#include <cstring>

namespace avg {

bool ByteInput::seek(int64_t offset, int whence) {
  switch (whence) {
    case SEEK_SET:
      break;
    case SEEK_CUR:
      offset += position_;
      break;
    case SEEK_END:
      offset += size();
      break;
    default:
      return false;
  }
  if (offset < 0 || offset > size()) return false;
  position_ = offset;
  return true;
}

MemoryInput::MemoryInput(AudioSource source, bool dataOnly) : source_(std::move(source)) {
  bytes_ = dataOnly ? source_.data() : std::string_view(source_.image);
}

int MemoryInput::read(uint8_t* buffer, int size) {
  int64_t left = static_cast<int64_t>(bytes_.size()) - position_;
  int n = static_cast<int>(std::clamp<int64_t>(size, 0, left));
  if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

int FileInput::read(uint8_t* buffer, int size) {
  auto want = static_cast<size_t>(std::clamp<int64_t>(size, 0, size_ - position_));
  if (want == 0 || std::fseek(file_, offset_ + position_, SEEK_SET) != 0) return 0;
  size_t n = std::fread(buffer, 1, want, file_);
  position_ += static_cast<int64_t>(n);
  return static_cast<int>(n);
}

}  // namespace avg
