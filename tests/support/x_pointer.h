#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace avg::test {

// The pointer, keyboard and screen of an X server as a user would work them, through the XTest
// extension: clicks land in whatever window is under the pointer, keys where the focus is.
class XPointer {
 public:
  // Null when the display cannot be opened or lacks XTest.
  static std::unique_ptr<XPointer> open(const std::string& display);
  ~XPointer();

  void click(int32_t x, int32_t y);
  void move(int32_t x, int32_t y);
  // Presses and releases the key of an X key symbol name ("Return", "F5").
  void press(const std::string& keyName);
  // The colour (0x00RRGGBB) of a screen pixel.
  std::optional<uint32_t> pixel(int32_t x, int32_t y);

 private:
  explicit XPointer(void* display) : display_(display) {}
  void* display_;
};

}  // namespace avg::test
