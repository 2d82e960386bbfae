#include "app/request_message.h"

#include "base/byte_order.h"

namespace avg {

std::string encodeRequest(uint32_t code, std::string_view fileName) {
  std::string frame;
  appendLE32(frame, code);
  appendLE32(frame, static_cast<uint32_t>(fileName.size() + 1));
  frame += fileName;
  frame += '\0';
  return frame;
}

std::optional<size_t> requestFrameBytes(std::string_view bytes) {
  if (bytes.size() < kRequestHeaderBytes) return kRequestHeaderBytes;
  uint32_t length = readLE32(bytes.data() + 4);
  if (length == 0 || length > kMaxRequestData) return std::nullopt;
  return kRequestHeaderBytes + length;
}

std::optional<PlatformEvent> decodeRequest(std::string_view frame) {
  std::optional<size_t> size = requestFrameBytes(frame);
  if (!size || frame.size() != *size) return std::nullopt;
  uint32_t code = readLE32(frame.data());
  if (code != kSaveRequestCode && code != kLoadRequestCode) return std::nullopt;
  std::string_view data = frame.substr(kRequestHeaderBytes);
  if (data.find('\0') != data.size() - 1) return std::nullopt;
  PlatformEvent event;
  event.type = PlatformEvent::Type::Request;
  event.code = code;
  event.path = std::string(data.substr(0, data.size() - 1));
  return event;
}

}  // namespace avg
