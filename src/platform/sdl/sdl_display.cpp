#include "platform/sdl/sdl_display.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/error_log.h"

namespace avg {
namespace {

// The grey of a desktop menu bar, until the player draws the menu there.
constexpr uint32_t kMenuStripColor = 0xF0F0F0;
// A mode change waits this many times this long at most for the window to take its size.
constexpr int kSettleRounds = 10;
constexpr uint32_t kSettleDelayMs = 10;

// Wayland tells clients nothing of panels: the window leaves this many rows of the display
// to a panel and its own title bar there.
constexpr int32_t kWaylandPanelRoom = 80;

bool onWayland() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && std::string_view(driver) == "wayland";
}

Size usableDesktop() {
  SDL_Rect bounds;
  if (SDL_GetDisplayUsableBounds(0, &bounds) != 0) return {0, 0};
  if (onWayland()) bounds.h -= kWaylandPanelRoom;
  return {bounds.w, bounds.h};
}

SDL_Rect toSdl(const Rect& rect) {
  return {rect.left, rect.top, rect.width(), rect.height()};
}

SDL_Texture* makeTexture(SDL_Renderer* renderer, int32_t width, int32_t height) {
  // The top bytes of the pixels are not shown: the texture takes them as opaque, so that a
  // compositor that honours the window's alpha (Wayland) never sees through the picture.
  SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888,
                                           SDL_TEXTUREACCESS_STREAMING, width, height);
  if (texture) SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
  return texture;
}

// The pixel nearest to the centre of each of `size`'s pixels in a `read` image of width
// `readWidth` and height `readHeight`.
void sampleInto(const std::vector<uint32_t>& read, int32_t readWidth, int32_t readHeight,
                Surface& out) {
  for (int32_t y = 0; y < out.height(); ++y) {
    int64_t sourceY = (int64_t{2} * y + 1) * readHeight / (int64_t{2} * out.height());
    for (int32_t x = 0; x < out.width(); ++x) {
      int64_t sourceX = (int64_t{2} * x + 1) * readWidth / (int64_t{2} * out.width());
      out.row(y)[x] = read[sourceY * readWidth + sourceX] & 0xFFFFFF;
    }
  }
}

}  // namespace

SdlDisplay::SdlDisplay() {
  scale_ = fittingWindowScale(usableDesktop(), size_);
  window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth * scale_,
                             (kHeight + kMenuStripHeight) * scale_,
                             SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
  if (!window_) {
    writeErrorLog("CWindow::CreateでCreateWindowに失敗。");
    throw std::runtime_error(std::string("cannot open a window: ") + SDL_GetError());
  }
  SDL_SetWindowMinimumSize(window_, kWidth / 2, (kHeight + kMenuStripHeight) / 2);
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  strip_.create(kWidth, kMenuStripHeight);
  strip_.fill(kMenuStripColor);
  if (!renderer_ || !createBackSurface(back_, size_) || !recreateTextures()) {
    std::string error = SDL_GetError();
    destroy();
    throw std::runtime_error("cannot draw in the window: " + error);
  }
  repaint();
}

int32_t SdlDisplay::desktopBitsPerPixel() const {
  SDL_DisplayMode mode;
  int index = window_ ? SDL_GetWindowDisplayIndex(window_) : 0;
  if (SDL_GetDesktopDisplayMode(index < 0 ? 0 : index, &mode) != 0) return 32;
  return static_cast<int32_t>(SDL_BITSPERPIXEL(mode.format));
}

SdlDisplay::~SdlDisplay() {
  destroy();
}

void SdlDisplay::destroy() {
  if (picture_) SDL_DestroyTexture(picture_);
  if (stripTexture_) SDL_DestroyTexture(stripTexture_);
  if (popupTexture_) SDL_DestroyTexture(popupTexture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  picture_ = stripTexture_ = popupTexture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
}

bool SdlDisplay::recreateTextures() {
  if (picture_) SDL_DestroyTexture(picture_);
  if (stripTexture_) SDL_DestroyTexture(stripTexture_);
  picture_ = makeTexture(renderer_, back_.width(), back_.height());
  stripTexture_ = makeTexture(renderer_, strip_.width(), strip_.height());
  if (!picture_ || !stripTexture_) return false;
  SDL_UpdateTexture(picture_, nullptr, back_.row(0), back_.pitch());
  SDL_UpdateTexture(stripTexture_, nullptr, strip_.row(0), strip_.pitch());
  return true;
}

void SdlDisplay::render() {
  int width = 0;
  int height = 0;
  SDL_GetRendererOutputSize(renderer_, &width, &height);
  layout_ = layoutDisplay({width, height}, size_, fullScreen_);
  SDL_ScaleMode scaling = layout_.integerScale ? SDL_ScaleModeNearest : SDL_ScaleModeLinear;
  for (SDL_Texture* texture : {picture_, stripTexture_, popupTexture_}) {
    if (texture) SDL_SetTextureScaleMode(texture, scaling);
  }
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_Rect picture = toSdl(layout_.picture);
  SDL_RenderCopy(renderer_, picture_, nullptr, &picture);
  renderMenu();
}

void SdlDisplay::renderMenu() {
  if (barShown_ || !fullScreen_) {
    SDL_Rect bar = toSdl(menuToWindow(layout_, size_, fullScreen_, strip_.bounds()));
    SDL_RenderCopy(renderer_, stripTexture_, nullptr, &bar);
  }
  if (popupTexture_ && !popupPlace_.empty()) {
    SDL_Rect popup = toSdl(menuToWindow(layout_, size_, fullScreen_, popupPlace_));
    SDL_RenderCopy(renderer_, popupTexture_, nullptr, &popup);
  }
}

void SdlDisplay::showMenu(const MenuPicture& menu) {
  barShown_ = menu.bar != nullptr;
  if (menu.bar && menu.bar->width() == strip_.width() && menu.bar->height() == strip_.height()) {
    strip_ = *menu.bar;
    SDL_UpdateTexture(stripTexture_, nullptr, strip_.row(0), strip_.pitch());
  }
  popupPlace_ = {};
  if (menu.popup && menu.popup->loaded()) {
    const Size size{menu.popup->width(), menu.popup->height()};
    if (size != popupSize_) {
      if (popupTexture_) SDL_DestroyTexture(popupTexture_);
      popupTexture_ = makeTexture(renderer_, size.width, size.height);
      popupSize_ = popupTexture_ ? size : Size{};
    }
    if (popupTexture_) {
      SDL_UpdateTexture(popupTexture_, nullptr, menu.popup->row(0), menu.popup->pitch());
      popupPlace_ = {menu.popupX, menu.popupY, menu.popupX + menu.popup->width(),
                     menu.popupY + menu.popup->height()};
    }
  }
  repaint();
}

// Only the changed rectangles go up to the texture, which keeps the rest of the last frame.
void SdlDisplay::present(const Region& changed) {
  if (!back_.loaded()) return;
  for (const Rect& rect : changed.rects()) {
    const Rect inside = rect.intersect(back_.bounds());
    if (inside.empty()) continue;
    const SDL_Rect area = toSdl(inside);
    SDL_UpdateTexture(picture_, &area, back_.row(inside.top) + inside.left, back_.pitch());
  }
  repaint();
  ++presents_;
}

void SdlDisplay::repaint() {
  render();
  SDL_RenderPresent(renderer_);
}

bool SdlDisplay::readPresented(Surface& out) {
  render();
  SDL_Rect picture = toSdl(layout_.picture);
  if (picture.w <= 0 || picture.h <= 0) return false;
  std::vector<uint32_t> read(static_cast<size_t>(picture.w) * picture.h);
  if (SDL_RenderReadPixels(renderer_, &picture, SDL_PIXELFORMAT_ARGB8888, read.data(),
                           picture.w * static_cast<int>(sizeof(uint32_t))) != 0) {
    return false;
  }
  if (!out.create(size_.width, size_.height)) return false;
  sampleInto(read, picture.w, picture.h, out);
  return true;
}

void SdlDisplay::toPicture(int32_t& x, int32_t& y) const {
  windowToPicture(layout_, size_, x, y);
}

bool SdlDisplay::changeDisplay(bool fullScreen, int32_t width, int32_t height,
                               int32_t bitsPerPixel) {
  if (width != 0 && height != 0) size_ = {width, height};
  return changeDisplayMode(fullScreen, [this](bool full) { return tryMode(full); });
}

bool SdlDisplay::tryMode(bool fullScreen) {
  if (SDL_SetWindowFullscreen(window_, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    return false;
  }
  if (!fullScreen) restoreWindowSize();
  awaitWindowSize(fullScreen);
  bool resized = back_.width() != size_.width || back_.height() != size_.height;
  if (!createBackSurface(back_, size_) || (resized && !recreateTextures())) return false;
  fullScreen_ = fullScreen;
  repaint();
  return true;
}

void SdlDisplay::awaitWindowSize(bool fullScreen) {
  Size wanted{size_.width * scale_, (size_.height + kMenuStripHeight) * scale_};
  SDL_Rect desktop;
  if (fullScreen && SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window_), &desktop) == 0) {
    wanted = {desktop.w, desktop.h};
  }
  for (int round = 0; round < kSettleRounds; ++round) {
    // Pumping lets the renderer see the new size; the events stay queued for the window.
    SDL_PumpEvents();
    Size current;
    SDL_GetWindowSize(window_, &current.width, &current.height);
    if (current == wanted) return;
    SDL_Delay(kSettleDelayMs);
  }
}

void SdlDisplay::restoreWindowSize() {
  SDL_SetWindowSize(window_, size_.width * scale_, (size_.height + kMenuStripHeight) * scale_);
  SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

}  // namespace avg
