#include "input/virtual_keys.h"

namespace avg {
namespace {

constexpr int32_t kLeftShift = 0xA0;
constexpr int32_t kRightAlt = 0xA5;

// Keys in runs of consecutive codes: the first key, how many follow it in order, its code.
struct KeyRun {
  Key first;
  int32_t count;
  int32_t code;
};

constexpr KeyRun kKeyRuns[] = {
    {Key::BackSpace, 1, 0x08},      {Key::Tab, 1, 0x09},          {Key::Return, 1, 0x0D},
    {Key::Shift, 1, vk::kShift},    {Key::Ctrl, 1, vk::kControl}, {Key::Alt, 1, vk::kMenu},
    {Key::Escape, 1, 0x1B},         {Key::Space, 1, 0x20},        {Key::Left, 1, vk::kLeft},
    {Key::Up, 1, vk::kUp},          {Key::Right, 1, vk::kRight},  {Key::Down, 1, vk::kDown},
    {Key::Digit0, 10, 0x30},        {Key::A, 26, 0x41},           {Key::Numpad0, 10, 0x60},
    {Key::NumpadMultiply, 1, 0x6A}, {Key::NumpadAdd, 1, 0x6B},    {Key::NumpadSubtract, 1, 0x6D},
    {Key::NumpadDecimal, 1, 0x6E},  {Key::NumpadDivide, 1, 0x6F}, {Key::F1, 12, 0x70},
};

}  // namespace

std::optional<int32_t> virtualKeyOf(Key key) {
  auto index = static_cast<int32_t>(key);
  for (const KeyRun& run : kKeyRuns) {
    int32_t offset = index - static_cast<int32_t>(run.first);
    if (offset >= 0 && offset < run.count) return run.code + offset;
  }
  return std::nullopt;
}

int32_t sideIndependentVirtualKey(int32_t code) {
  if (code < kLeftShift || code > kRightAlt) return code;
  return vk::kShift + (code - kLeftShift) / 2;
}

}  // namespace avg
