#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace avg::test {

// The bytes of a raw "cgd" picture (alpha channel on) whose pixel (x, y) is pixel(x, y),
// 0xAARRGGBB.
std::string cgdPicture(int32_t width, int32_t height,
                       const std::function<uint32_t(int32_t x, int32_t y)>& pixel);

// The same with every pixel `color`.
std::string cgdPicture(int32_t width, int32_t height, uint32_t color);

}  // namespace avg::test
