#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

#include "app/error_reporter.h"
#include "app/frame_timer.h"
#include "app/menu_bar_view.h"
#include "app/text_events.h"
#include "audio/mixer_sound_device.h"
#include "base/game_files.h"
#include "input/ini_file.h"
#include "media/video_player.h"
#include "platform/platform.h"
#include "script/app_control.h"
#include "script/engine.h"
#include "stage/display_list.h"

namespace avg {

// Settings of a run that do not come from the game.
struct RunOptions {
  // Close as a window close would after this many frame passes.
  std::optional<uint64_t> maxPasses;
  uint32_t randomSeed = 0;
  // Where the lines of game text go as the reader completes them; null for nowhere.
  TextSink* textOut = nullptr;
  // Where the game's own writes go.
  GameFiles files;
  // The display mode at start in place of config.ini's.
  std::optional<bool> fullScreen;
  // Every pass composes its frame, late or not, so that a run can be compared frame by
  // frame with its replay.
  bool everyFrame = false;
  // Composes every frame whole instead of only what changed.
  bool fullRedraw = false;
  // Called with each composed frame and the pass that composed it.
  std::function<void(uint64_t pass, const Surface& picture)> onFrame;
};

// The application: builds the script engine, runs the frame loop and reacts to the main
// window's messages (activation, close, keys, menu commands); films play in its passes.
class PlayerApp : public AppControl, public FilmHost {
 public:
  PlayerApp(Platform& platform, RunOptions options);
  ~PlayerApp() override;

  // Loads "autoexec.eve" and runs passes until the scripts end or the window closes.
  void run();

  ScriptEngine& engine() { return *engine_; }
  uint64_t passes() const { return passes_; }
  // Writes the last presented frame as a PNG file; complains on stderr when it cannot.
  bool saveScreenshot(const std::string& path);

  // AppControl
  void requestClose() override { running_ = false; }
  void setFrameRate(int32_t rate) override { timer_.setRate(rate); }
  void resetFrameTimer() override { timer_.reset(); }
  void postCharacter(uint32_t character) override;
  void yieldTimeSlice() override { platform_.clock->sleepMs(0); }
  DisplaySwitch switchDisplay(bool fullScreen) override;

  // FilmHost
  Clock& clock() override { return *platform_.clock; }
  bool pumpFilmPass() override;
  void beginInputFrame() override;
  void endInputFrame() override;
  Surface& backSurface() override { return platform_.display->backSurface(); }
  void present() override;
  void waitFrame() override { timer_.waitFrame(); }

 private:
  // config.ini as a run last wrote it, else the game's own.
  IniFile loadConfig() const;
  // Caption, options and settings from config.ini.
  void startUp(const IniFile& config);
  // The cursor file named in config.ini becomes the window's cursor.
  void loadCursor(const IniFile& config);
  // F7: the other mode at 32, else 24 bits per pixel; a warning when neither can be set.
  void switchScreen();
  // Sets 640 × 480 full screen or windowed at the first depth that works.
  bool changeDisplay(bool fullScreen, std::initializer_list<int32_t> bitsPerPixel);
  void runLoop();
  // Pumps the messages of the next pass and counts it; false once the run is to end.
  bool nextPass();
  void drawFrame();
  void pumpMessages();
  // Pointer, button and key events that work the menu bar go no further.
  bool offerToMenu(const PlatformEvent& event);
  MenuResponse menuResponse(const PlatformEvent& event);
  // Shows the menu bar as it looks now, when that changed. In full screen the bar shows
  // only while the pointer is over it or the menu is in use.
  void showMenu();
  // Menu accelerators take their key presses before anything else.
  bool handleAccelerator(const PlatformEvent& event);
  void handleEvent(const PlatformEvent& event);
  void handleCharacter(uint32_t character);
  void handleKey(Key key);
  void handleMenu(int id);
  // A request from another program: code 10001 saves the game to `fileName` (CP932), 10002
  // loads it; other codes are ignored.
  void handleRequest(uint32_t code, const std::string& fileName);
  bool confirmQuit();
  // F12: the presented frame into the player's pictures folder, named by caption and time.
  void takeUserScreenshot();
  // Sleep 500 ms, drop the input events and restart frame pacing after something that
  // blocked the player.
  void settle();

  Platform& platform_;
  RunOptions options_;
  FrameTimer timer_;
  ErrorReporter errors_;
  // Declared before the engine, whose sound channels, music and films play on it.
  MixerSoundDevice sound_;
  // The text layer's edit boxes and windows as the display list's overlays; they outlive the
  // engine, whose display list refers to them.
  std::unique_ptr<StageOverlay> editBoxOverlay_;
  std::unique_ptr<StageOverlay> windowOverlay_;
  // The text layer's observer: declared before the engine so that it outlives the layer.
  std::unique_ptr<TextEvents> textEvents_;
  std::unique_ptr<ScriptEngine> engine_;
  std::unique_ptr<MenuBarView> menu_;
  // The pointer in menu coordinates.
  IntPoint pointer_{-1, -1};
  struct MenuState {
    uint64_t look = 0;
    bool barVisible = false;
    bool fullScreen = false;
    bool operator==(const MenuState&) const = default;
  };
  std::optional<MenuState> shownMenu_;
  bool running_ = true;
  bool active_ = true;
  bool escConfirm_ = true;
  std::string caption_;
  // While a film plays, saving and loading are refused: a load would replace the thread
  // whose command plays the film.
  bool playingFilm_ = false;
  uint64_t passes_ = 0;
  std::vector<PlatformEvent> events_;
  std::vector<uint32_t> postedCharacters_;
};

}  // namespace avg
