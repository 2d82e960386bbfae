#pragma once
#include <cstdint>
#include <memory>

#include "platform/text_sink.h"

namespace avg {

// A WebSocket server on 127.0.0.1 that sends each text event's bare text as a text message
// to every client, as texthooker pages expect; a client that connects late first gets the
// last event. It serves on a thread of its own. Null when the port cannot be had, after one
// line in the error log.
std::unique_ptr<TextSink> startWebSocketTextServer(uint16_t port);

}  // namespace avg
