#include "save/packed_block.h"

#include "save/lzss.h"

namespace avg {
namespace {

using namespace packed_block;

void invert(std::string& bytes, size_t from) {
  for (size_t i = from; i < bytes.size(); ++i)
    bytes[i] = static_cast<char>(~bytes[i]);
}

std::string header(size_t payloadSize, uint32_t mode, size_t contentSize) {
  std::string block;
  block.reserve(kHeaderSize + payloadSize);
  appendLE32(block, static_cast<uint32_t>(kHeaderSize + payloadSize));
  appendLE32(block, mode);
  appendLE32(block, static_cast<uint32_t>(contentSize));
  return block;
}

std::optional<std::string> compressed(std::string_view content) {
  if (content.size() < kShortestCompressed) return std::nullopt;
  return lzssCompress(content, content.size() - kRequiredSaving);
}

}  // namespace

std::string packBlock(std::string_view content, PackRequest request) {
  std::optional<std::string> payload;
  if (request != PackRequest::StoreInverted) payload = compressed(content);
  uint32_t mode = kModeInverted;
  if (payload) {
    mode = request == PackRequest::CompressInverted ? kModeCompressed | kModeInverted
                                                    : kModeCompressed;
  } else {
    payload = std::string(content);
  }
  std::string block = header(payload->size(), mode, content.size());
  block += *payload;
  if (mode & kModeInverted) invert(block, kHeaderSize);
  return block;
}

std::optional<std::string> unpackBlock(std::string_view block) {
  if (block.size() < kHeaderSize) return std::nullopt;
  const uint32_t total = readLE32(block.data());
  const uint32_t mode = readLE32(block.data() + 4);
  const uint32_t size = readLE32(block.data() + 8);
  if (total < kHeaderSize || total > block.size() || mode < 1 || mode > 3) return std::nullopt;
  std::string_view payload = block.substr(kHeaderSize, total - kHeaderSize);
  const uint8_t mask = (mode & kModeInverted) ? 0xFF : 0x00;
  if (mode & kModeCompressed) return lzssDecompress(payload, size, mask);
  if (payload.size() < size) return std::nullopt;
  std::string content(payload.substr(0, size));
  if (mask) invert(content, 0);
  return content;
}

}  // namespace avg
