#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/audio_codec.h"

namespace avg {

// A read-only byte range served to a demuxer: a file image in memory or a range of a file
// on disk read as it is demuxed.
class ByteInput {
 public:
  virtual ~ByteInput() = default;
  // Up to `size` bytes from the position; 0 at the end.
  virtual int read(uint8_t* buffer, int size) = 0;
  virtual int64_t size() const = 0;
  virtual int64_t position() const = 0;
  // Moves as fseek does (SEEK_SET, SEEK_CUR, SEEK_END); false outside the range.
  bool seek(int64_t offset, int whence);

 protected:
  int64_t position_ = 0;
};

// A sound file image in memory: its data chunk alone (`dataOnly`) or the whole image.
class MemoryInput : public ByteInput {
 public:
  MemoryInput(AudioSource source, bool dataOnly);
  int read(uint8_t* buffer, int size) override;
  int64_t size() const override { return static_cast<int64_t>(bytes_.size()); }
  int64_t position() const override { return position_; }

 private:
  AudioSource source_;
  std::string_view bytes_;
};

// A range of an open file, which the input closes.
class FileInput : public ByteInput {
 public:
  FileInput(FILE* file, int64_t offset, int64_t size) : file_(file), offset_(offset), size_(size) {}
  ~FileInput() override { std::fclose(file_); }
  FileInput(const FileInput&) = delete;
  FileInput& operator=(const FileInput&) = delete;

  int read(uint8_t* buffer, int size) override;
  int64_t size() const override { return size_; }
  int64_t position() const override { return position_; }

 private:
  FILE* file_;
  int64_t offset_;
  int64_t size_;
};

}  // namespace avg
