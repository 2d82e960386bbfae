#pragma once
#include <cstdint>
#include <optional>

#include "platform/events.h"

namespace avg {

// Windows virtual-key codes, the codes a game's key bindings are written in.
namespace vk {
constexpr int32_t kShift = 0x10;
constexpr int32_t kControl = 0x11;
constexpr int32_t kMenu = 0x12;  // Alt
constexpr int32_t kLeft = 0x25;
constexpr int32_t kUp = 0x26;
constexpr int32_t kRight = 0x27;
constexpr int32_t kDown = 0x28;
}  // namespace vk

// The virtual-key code of a key; nullopt for Key::None.
std::optional<int32_t> virtualKeyOf(Key key);

// The code a held-key test looks up: the left and right variants of Shift, Control and Alt
// (0xA0-0xA5) stand for the key on either side.
int32_t sideIndependentVirtualKey(int32_t code);

}  // namespace avg
