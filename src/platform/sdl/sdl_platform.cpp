#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/error_log.h"
#include "base/text_encoding.h"
#include "platform/alsa/alsa_mixer.h"
#include "platform/ffmpeg/ffmpeg_audio.h"
#include "platform/ffmpeg/ffmpeg_film.h"
#include "platform/freetype/freetype_rasterizer.h"
#include "platform/image_io/sdl_image_codec.h"
#include "platform/sdl/sdl_audio_output.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_joysticks.h"

#if defined(__SANITIZE_ADDRESS__)
// libdbus, which SDL opens on X11, keeps its allocations until the process ends.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}
#endif

namespace avg {
namespace {

class SdlClock : public Clock {
 public:
  uint32_t nowMs() override { return SDL_GetTicks(); }
  void sleepMs(uint32_t ms) override { SDL_Delay(ms); }
};

class SdlMessageBoxes : public MessageBoxes {
 public:
  MessageAnswer show(const MessageBoxRequest& request) override {
    SDL_MessageBoxButtonData buttons[2];
    int count = 0;
    if (request.buttons == MessageButtons::YesNo) {
      Uint32 yesFlags =
          request.defaultAnswer == MessageAnswer::Yes ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
      Uint32 noFlags =
          request.defaultAnswer == MessageAnswer::No ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
      buttons[count++] = {yesFlags, static_cast<int>(MessageAnswer::Yes), "はい"};
      buttons[count++] = {noFlags | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                          static_cast<int>(MessageAnswer::No), "いいえ"};
    } else {
      buttons[count++] = {
          SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
          static_cast<int>(MessageAnswer::Ok), "OK"};
    }
    SDL_MessageBoxData data{};
    data.flags = flagsFor(request.icon);
    data.title = request.caption.c_str();
    data.message = request.text.c_str();
    data.numbuttons = count;
    data.buttons = buttons;
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) == 0 && pressed >= 0) {
      return static_cast<MessageAnswer>(pressed);
    }
    // No way to show it (a Wayland session without zenity, say): the player goes on with the
    // default answer, and says so where someone may read it.
    const MessageAnswer answer =
        request.buttons == MessageButtons::YesNo ? request.defaultAnswer : MessageAnswer::Ok;
    std::cerr << "avgplayer: cannot show a message box (" << SDL_GetError()
              << "), answered with its default: " << request.caption << " | " << request.text
              << "\n";
    return answer;
  }

 private:
  static Uint32 flagsFor(MessageIcon icon) {
    switch (icon) {
      case MessageIcon::Error:
        return SDL_MESSAGEBOX_ERROR;
      case MessageIcon::Warning:
        return SDL_MESSAGEBOX_WARNING;
      default:
        return SDL_MESSAGEBOX_INFORMATION;
    }
  }
};

Key keyFor(SDL_Keycode code) {
  if (code >= SDLK_F1 && code <= SDLK_F12) {
    return static_cast<Key>(static_cast<int>(Key::F1) + (code - SDLK_F1));
  }
  if (code >= SDLK_a && code <= SDLK_z) {
    return static_cast<Key>(static_cast<int>(Key::A) + (code - SDLK_a));
  }
  if (code >= SDLK_0 && code <= SDLK_9) {
    return static_cast<Key>(static_cast<int>(Key::Digit0) + (code - SDLK_0));
  }
  if (code >= SDLK_KP_1 && code <= SDLK_KP_9) {
    return static_cast<Key>(static_cast<int>(Key::Numpad1) + (code - SDLK_KP_1));
  }
  switch (code) {
    case SDLK_KP_0:
      return Key::Numpad0;
    case SDLK_KP_MULTIPLY:
      return Key::NumpadMultiply;
    case SDLK_KP_PLUS:
      return Key::NumpadAdd;
    case SDLK_KP_MINUS:
      return Key::NumpadSubtract;
    case SDLK_KP_PERIOD:
      return Key::NumpadDecimal;
    case SDLK_KP_DIVIDE:
      return Key::NumpadDivide;
    case SDLK_KP_ENTER:
      return Key::Return;
    case SDLK_ESCAPE:
      return Key::Escape;
    case SDLK_LEFT:
      return Key::Left;
    case SDLK_RIGHT:
      return Key::Right;
    case SDLK_UP:
      return Key::Up;
    case SDLK_DOWN:
      return Key::Down;
    case SDLK_RETURN:
      return Key::Return;
    case SDLK_TAB:
      return Key::Tab;
    case SDLK_BACKSPACE:
      return Key::BackSpace;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return Key::Ctrl;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return Key::Shift;
    case SDLK_LALT:
    case SDLK_RALT:
      return Key::Alt;
    case SDLK_SPACE:
      return Key::Space;
    default:
      return Key::None;
  }
}

class SdlWindow : public Window {
 public:
  SdlWindow(SdlDisplay& display, std::unique_ptr<EventSource> requests)
      : display_(display), requests_(std::move(requests)) {
    SDL_StartTextInput();
  }

  void setCaption(const std::string& utf8) override {
    SDL_SetWindowTitle(display_.window(), utf8.c_str());
  }

  void show() override { display_.show(); }

  // Keeps the current cursor when SDL cannot make the new one.
  void setCursor(const CursorImage& cursor) override {
    const Surface& pixels = cursor.pixels;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(pixels.row(0)), pixels.width(), pixels.height(), 32, pixels.pitch(),
        SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return;
    SDL_Cursor* created = SDL_CreateColorCursor(surface, cursor.hotX, cursor.hotY);
    SDL_FreeSurface(surface);
    if (!created) return;
    SDL_SetCursor(created);
    cursor_.reset(created);
  }

  void showCursor() override { SDL_ShowCursor(SDL_ENABLE); }

  void setClipboardText(const std::string& utf8) override { SDL_SetClipboardText(utf8.c_str()); }

  void pumpEvents(std::vector<PlatformEvent>& out, bool waitForOne) override {
    SDL_Event event;
    if (waitForOne) waitForEvent(out);
    while (SDL_PollEvent(&event))
      translate(event, out);
    if (requests_) requests_->poll(out);
  }

 private:
  // Waits until an event arrives that the player sees: a wake that only repaints is no pass
  // of its own, so that the passes of a recorded run are those its replay counts. Requests
  // do not wake SDL's wait, so while there is a request source it waits in short steps and
  // looks for requests between them.
  void waitForEvent(std::vector<PlatformEvent>& out) {
    constexpr int kRequestPollMs = 50;
    SDL_Event event;
    const size_t before = out.size();
    while (out.size() == before) {
      if (!requests_) {
        if (!SDL_WaitEvent(&event)) return;
        translate(event, out);
        continue;
      }
      if (SDL_WaitEventTimeout(&event, kRequestPollMs)) translate(event, out);
      if (out.size() == before) requests_->poll(out);
    }
  }

  void translate(const SDL_Event& event, std::vector<PlatformEvent>& out) {
    PlatformEvent translated;
    using Type = PlatformEvent::Type;
    switch (event.type) {
      case SDL_QUIT:
        translated.type = Type::Close;
        break;
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
          translated.type = Type::Activate;
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
          translated.type = Type::Deactivate;
        } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                   event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          display_.repaint();
          return;
        } else {
          return;
        }
        break;
      case SDL_MOUSEMOTION:
        translated.type = Type::MouseMove;
        translated.x = event.motion.x;
        translated.y = event.motion.y;
        display_.toPicture(translated.x, translated.y);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT && event.button.button != SDL_BUTTON_RIGHT) {
          return;
        }
        translated.type = Type::MouseButton;
        translated.button =
            event.button.button == SDL_BUTTON_LEFT ? MouseButton::Left : MouseButton::Right;
        translated.action = event.type == SDL_MOUSEBUTTONUP ? ButtonAction::Up
                            : event.button.clicks >= 2      ? ButtonAction::DoubleClick
                                                            : ButtonAction::Down;
        break;
      case SDL_MOUSEWHEEL:
        translated.type = Type::Wheel;
        translated.delta = event.wheel.y * 120;
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        translated.type = Type::Key;
        translated.key = keyFor(event.key.keysym.sym);
        translated.down = event.type == SDL_KEYDOWN;
        if (translated.key == Key::None) return;
        // Keys that type control characters arrive as characters too, as on the desktop.
        if (translated.down &&
            (translated.key == Key::Escape || translated.key == Key::BackSpace)) {
          const uint32_t character = translated.key == Key::Escape ? 27 : 8;
          out.push_back(translated);
          translated = PlatformEvent{};
          translated.type = Type::Char;
          translated.codepoint = character;
        }
        break;
      case SDL_TEXTINPUT:
        // One event may carry several characters; each arrives as typed.
        translated.type = Type::Char;
        for (char32_t character : utf8ToCodepoints(event.text.text)) {
          translated.codepoint = character;
          out.push_back(translated);
        }
        return;
      default:
        return;
    }
    out.push_back(translated);
  }

  SdlDisplay& display_;
  std::unique_ptr<EventSource> requests_;
  // The cursor set last, freed when replaced or with the window.
  std::unique_ptr<SDL_Cursor, decltype(&SDL_FreeCursor)> cursor_{nullptr, SDL_FreeCursor};
};

// The user's state directory (XDG), where the master volume at start is kept while a game
// has changed it; empty when there is no home.
std::string volumeStateFile() {
  const char* state = std::getenv("XDG_STATE_HOME");
  const char* home = std::getenv("HOME");
  std::string directory = state && *state ? std::string(state)
                          : home && *home ? std::string(home) + "/.local/state"
                                          : std::string();
  return directory.empty() ? directory : directory + "/avgplayer/master-volume";
}

// Games take typed text key by key, with no input method composing it: the window gets no
// X input method and SDL no IBus or Fcitx connection.
void switchInputMethodsOff() {
  ::setenv("XMODIFIERS", "@im=none", 1);
  ::setenv("SDL_IM_MODULE", "none", 1);
  ::setenv("IBUS_ADDRESS", "unix:path=/nonexistent/ibus", 1);
}

// SDL 2 opens X11 first, which in a Wayland session is XWayland: there the compositor's own
// protocol is asked for first, X11 kept as the fallback. A driver the user chose wins.
void preferWaylandInWaylandSessions() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  if (wayland && *wayland && !(chosen && *chosen)) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland,x11");
  }
}

// Asking for SDL's software renderer means drawing without the GPU; its frames then go to
// the window system as they are instead of through OpenGL, which without a GPU is a
// software rasterizer redrawing the whole window at every present. The setting
// SDL_FRAMEBUFFER_ACCELERATION still wins.
void presentSoftwareFramesDirectly() {
  const char* renderer = std::getenv("SDL_RENDER_DRIVER");
  if (renderer && std::string_view(renderer) == "software") {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  }
}

}  // namespace

Platform makeSdlPlatform(std::unique_ptr<EventSource> requests) {
  switchInputMethodsOff();
  preferWaylandInWaylandSessions();
  presentSoftwareFramesDirectly();
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
    writeErrorLog("CWindow::CreateでRegisterClassEx失敗");
    throw std::runtime_error(std::string("cannot start SDL: ") + SDL_GetError());
  }
  Platform platform;
  platform.clock = std::make_unique<SdlClock>();
  platform.messageBoxes = std::make_unique<SdlMessageBoxes>();
  platform.images = makeSdlImageCodec();
  auto display = std::make_unique<SdlDisplay>();
  platform.window = std::make_unique<SdlWindow>(*display, std::move(requests));
  platform.display = std::move(display);
  platform.audioOutput = makeSdlAudioOutput();
  platform.audioCodec = std::make_shared<FfmpegAudioCodec>();
  platform.films = std::make_unique<FfmpegFilmDecoder>();
  platform.systemMixer = openAlsaMixer();
  platform.volumeStateFile = volumeStateFile();
  platform.text = makeFreeTypeRasterizer();
  platform.joysticks = makeSdlJoysticks();
  return platform;
}

}  // namespace avg
