#pragma once
#include <SDL.h>

#include "platform/display.h"
#include "platform/display_layout.h"

namespace avg {

// The main window on SDL2. The back surface goes to the screen through a streaming texture,
// below a strip reserved for the menu bar. Windowed, the window opens at the largest whole
// scale that fits the desktop and may be resized (the picture is then letterboxed); full
// screen is the desktop's own mode with the picture letterboxed.
class SdlDisplay : public Display {
 public:
  // Opens the window; throws std::runtime_error (after logging) when it cannot.
  SdlDisplay();
  ~SdlDisplay() override;
  SdlDisplay(const SdlDisplay&) = delete;
  SdlDisplay& operator=(const SdlDisplay&) = delete;

  Surface& backSurface() override { return back_; }
  void present(const Region& changed) override;
  void showMenu(const MenuPicture& menu) override;
  bool changeDisplay(bool fullScreen, int32_t width, int32_t height, int32_t bitsPerPixel) override;
  bool isFullScreen() const override { return fullScreen_; }
  int32_t desktopBitsPerPixel() const override;
  bool readPresented(Surface& out) override;
  uint64_t presentCount() const override { return presents_; }

  SDL_Window* window() { return window_; }
  // The window opens hidden, so that nothing shows before the player has started up.
  void show() { SDL_ShowWindow(window_); }
  // Shows the last presented frame again after the window was exposed or resized.
  void repaint();
  // Window coordinates to picture coordinates.
  void toPicture(int32_t& x, int32_t& y) const;
  int32_t windowScale() const { return scale_; }

 private:
  void destroy();
  bool tryMode(bool fullScreen);
  void restoreWindowSize();
  void awaitWindowSize(bool fullScreen);
  bool recreateTextures();
  void render();
  void renderMenu();

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* picture_ = nullptr;
  SDL_Texture* stripTexture_ = nullptr;
  SDL_Texture* popupTexture_ = nullptr;
  Surface back_;
  Surface strip_;
  Size popupSize_;
  Rect popupPlace_;
  bool barShown_ = false;
  Size size_{kWidth, kHeight};
  DisplayLayout layout_;
  int32_t scale_ = 1;
  bool fullScreen_ = false;
  uint64_t presents_ = 0;
};

}  // namespace avg
