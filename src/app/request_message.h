#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/events.h"

namespace avg {

// Requests another program sends to the running player: save the game to, or load it from,
// a file named in CP932 bytes, relative to the game directory.
constexpr uint32_t kSaveRequestCode = 10001;
constexpr uint32_t kLoadRequestCode = 10002;

// On the wire one request is a frame of
//   code    4 bytes, unsigned little-endian (10001 or 10002)
//   length  4 bytes, unsigned little-endian, 1 to kMaxRequestData
//   data    `length` bytes: the file name and one terminating zero byte
// A frame with another code, a length out of range, a zero inside the name or no terminating
// zero is refused as a whole.
constexpr size_t kRequestHeaderBytes = 8;
constexpr size_t kMaxRequestData = 4096;

std::string encodeRequest(uint32_t code, std::string_view fileName);

// How many bytes the frame starting with `bytes` spans: the header's size until the header is
// complete, then the whole frame; nullopt when the header announces a length out of range.
std::optional<size_t> requestFrameBytes(std::string_view bytes);

// The Request event one complete frame carries; nullopt for a refused frame.
std::optional<PlatformEvent> decodeRequest(std::string_view frame);

}  // namespace avg
