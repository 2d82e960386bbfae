#include "app/player_app.h"

#include <iostream>

#include "app/colour_depth.h"
#include "app/command_list.h"
#include "app/save_game.h"
#include "app/user_screenshot.h"
#include "base/error_log.h"
#include "base/game_path.h"
#include "base/text_encoding.h"
#include "graphics/cursor_file.h"
#include "input/configuration.h"
#include "input/input_devices.h"
#include "input/virtual_keys.h"
#include "media/music_player.h"
#include "media/sound_channel.h"
#include "media/video_player.h"
#include "media/volume_control.h"
#include "script/whole_file.h"
#include "stage/display_list.h"
#include "stage/menu_bar.h"
#include "stage/text_layer.h"

namespace avg {
namespace {

// One layer of the text layer (edit boxes or windows), drawn where the display list asks.
class TextOverlay : public StageOverlay {
 public:
  using Collect = void (TextLayer::*)(DrawList&, const StageView&) const;
  TextOverlay(const TextLayer& text, Collect collect) : text_(text), collect_(collect) {}
  void collect(DrawList& list, const StageView& view) override { (text_.*collect_)(list, view); }

 private:
  const TextLayer& text_;
  Collect collect_;
};

// The sound keys of config.ini go to the music player, the mixer switch and the channels.
void applySoundConfig(const SoundConfig& sound, ScriptEngine& engine) {
  VariableStore& variables = engine.variables();
  engine.companion<MusicPlayer>().applySettings(
      MusicSettings{.device = sound.musicDevice, .volume = sound.musicVolume}, variables);
  engine.companion<VolumeControl>().setControl(sound.mixerControl);
  engine.companion<SoundChannels>().applySettings(SoundSettings{.soundDisable = sound.soundDisable,
                                                                .soundVolume = sound.soundVolume,
                                                                .voiceDisable = sound.voiceDisable,
                                                                .voiceVolume = sound.voiceVolume},
                                                  variables);
}

ChannelSwitches channelSwitches(ScriptEngine& engine) {
  const auto& channels = engine.companion<SoundChannels>();
  return ChannelSwitches{.effects = channels.effects.enabled(), .voice = channels.voice.enabled()};
}

constexpr uint32_t kEscape = 27;
constexpr uint32_t kInactiveSleepMs = 100;
constexpr uint32_t kSettleSleepMs = 500;

}  // namespace

PlayerApp::PlayerApp(Platform& platform, RunOptions options)
    : platform_(platform),
      options_(options),
      timer_(*platform.clock),
      errors_(*platform.messageBoxes, options_.files),
      sound_(*platform.audioOutput, std::make_shared<SoundFileDecoder>(platform.audioCodec)),
      engine_(std::make_unique<ScriptEngine>(EngineServices{*this, *platform.messageBoxes, errors_,
                                                            options.randomSeed, registerAllCommands,
                                                            options.files})) {
  engine_->attach(std::make_unique<SoundChannels>(sound_, engine_->archives()));
  engine_->attach(std::make_unique<PlayerSettings>());
  engine_->attach(std::make_unique<MenuBar>());
  engine_->attach(std::make_unique<InputDevices>(*engine_, *platform.joysticks));
  engine_->attach(
      std::make_unique<VolumeControl>(platform.systemMixer.get(), platform.volumeStateFile));
  engine_->attach(std::make_unique<MusicPlayer>(sound_, errors_, engine_->archives()));
  engine_->attach(
      std::make_unique<VideoPlayer>(*engine_, FilmDevices{*this, platform.films.get(), sound_}));
  // The text layer goes first so that it outlives the display list that draws it.
  auto& text =
      engine_->attach(std::make_unique<TextLayer>(*platform.text, std::string(kDefaultFaceName)));
  auto& displayList = engine_->attach(std::make_unique<DisplayList>(*platform.images));
  menu_ = std::make_unique<MenuBarView>(engine_->companion<MenuBar>(), *platform.text);
  editBoxOverlay_ = std::make_unique<TextOverlay>(text, &TextLayer::collectEditBoxes);
  windowOverlay_ = std::make_unique<TextOverlay>(text, &TextLayer::collectMessageWindows);
  displayList.setOverlay(Overlay::EditBoxes, editBoxOverlay_.get());
  displayList.setOverlay(Overlay::MessageWindows, windowOverlay_.get());
  displayList.setFullRedraw(options.fullRedraw);
  if (options.textOut) {
    textEvents_ = std::make_unique<TextEvents>(
        *options.textOut, [&text](int32_t number) { return text.showsLiveText(number); });
    text.setObserver(textEvents_.get());
  }
}

PlayerApp::~PlayerApp() = default;

void PlayerApp::run() {
  if (!acceptColourDepth(platform_.display->desktopBitsPerPixel(), *platform_.messageBoxes)) {
    return;
  }
  startUp(loadConfig());
  runLoop();
  IniFile config = loadConfig();
  writeSettings(config, *engine_, channelSwitches(*engine_));
  if (!config.save(options_.files.outputPath(kConfigFileName))) {
    writeErrorLog("config.ini could not be written");
  }
  if (platform_.display->isFullScreen()) changeDisplay(false, {32});
}

IniFile PlayerApp::loadConfig() const {
  return IniFile::load(options_.files.find(kConfigFileName).value_or(kConfigFileName));
}

void PlayerApp::startUp(const IniFile& config) {
  loadCursor(config);
  caption_ = cp932ToUtf8(config.string("GAME", "NAME", "AVG"));
  platform_.window->setCaption(caption_);
  platform_.window->show();
  const bool fullScreen = options_.fullScreen.value_or(config.integer("SCREEN", "FULL", 0) != 0);
  if (changeDisplay(fullScreen, {32, 24, 16}) && fullScreen) platform_.window->showCursor();
  StartOptions options = readStartOptions(config);
  escConfirm_ = options.escConfirm != 0;
  timer_.setRate(options.frameRate);
  timer_.setWait(options.frameWait != 0);
  timer_.setSkip(options.frameSkip != 0 && !options_.everyFrame);
  engine_->companion<InputDevices>().configure(config);
  applySoundConfig(readSettings(config, *engine_, platform_.display->isFullScreen()), *engine_);
  engine_->companion<VideoPlayer>().setEnabled(!engine_->companion<PlayerSettings>().videoDisabled);
  engine_->companion<TextLayer>().renderer().setFaceName(
      cp932ToUtf8(engine_->companion<PlayerSettings>().fontName));
  showMenu();
}

bool PlayerApp::changeDisplay(bool fullScreen, std::initializer_list<int32_t> bitsPerPixel) {
  for (int32_t bits : bitsPerPixel) {
    if (platform_.display->changeDisplay(fullScreen, Display::kWidth, Display::kHeight, bits)) {
      return true;
    }
  }
  return false;
}

void PlayerApp::switchScreen() {
  bool fullScreen = !platform_.display->isFullScreen();
  if (switchDisplay(fullScreen) == DisplaySwitch::Switched) {
    engine_->variables().intVariable("Flag-FullScreen") = fullScreen ? 1 : 0;
  }
}

void PlayerApp::runLoop() {
  engine_->builtin(BuiltinCell::RET_) = 0;
  if (!engine_->loadScript(0, 0, "autoexec.eve")) return;
  timer_.reset();
  while (nextPass()) {
    if (!active_) {
      platform_.clock->sleepMs(kInactiveSleepMs);
    } else if (!menu_->tracking()) {
      // While the menu is in use the game waits, as behind a desktop menu.
      if (engine_->runThreads() == 0) break;
      if (timer_.nextFrame()) drawFrame();
    }
    if (textEvents_) textEvents_->endPass();
  }
  engine_->companion<MusicPlayer>().stopAll();
}

bool PlayerApp::nextPass() {
  pumpMessages();
  if (!running_) return false;
  ++passes_;
  if (textEvents_) textEvents_->startPass(passes_);
  return true;
}

bool PlayerApp::pumpFilmPass() {
  playingFilm_ = true;
  const bool running = nextPass();
  playingFilm_ = false;
  return running;
}

void PlayerApp::beginInputFrame() {
  engine_->companion<InputDevices>().beforeThreads();
}

void PlayerApp::endInputFrame() {
  engine_->companion<InputDevices>().clearEvents();
}

// The stage draws over the previous frame: nothing clears the back surface in between. A
// frame that changes nothing is neither drawn nor presented.
void PlayerApp::drawFrame() {
  Surface& back = platform_.display->backSurface();
  const Region& drawn = engine_->companion<DisplayList>().draw(back);
  if (options_.onFrame) options_.onFrame(passes_, back);
  if (!drawn.empty()) platform_.display->present(drawn);
}

// A film draws on the back surface behind the stage's back: the next frame is composed whole.
void PlayerApp::present() {
  engine_->companion<DisplayList>().invalidate();
  platform_.display->presentWhole();
}

DisplaySwitch PlayerApp::switchDisplay(bool fullScreen) {
  if (platform_.display->isFullScreen() == fullScreen) return DisplaySwitch::Unchanged;
  if (!changeDisplay(fullScreen, {32, 24})) {
    platform_.messageBoxes->show(
        {.caption = "警告", .text = "画面の切換に失敗しました", .icon = MessageIcon::Warning});
    return DisplaySwitch::Failed;
  }
  platform_.window->showCursor();
  settle();
  return DisplaySwitch::Switched;
}

bool PlayerApp::saveScreenshot(const std::string& path) {
  if (avg::saveScreenshot(*platform_.display, *platform_.images, path)) return true;
  std::cerr << "avgplayer: cannot write screenshot '" << path << "'\n";
  return false;
}

void PlayerApp::pumpMessages() {
  if (options_.maxPasses && passes_ >= *options_.maxPasses) running_ = false;
  platform_.window->beginPass();
  sound_.pump();
  events_.clear();
  const bool menuInUse = menu_->tracking();
  platform_.window->pumpEvents(events_, (!active_ || menuInUse) && running_);
  for (const PlatformEvent& event : events_)
    handleEvent(event);
  // The time spent in the menu does not count as lateness.
  if (menuInUse && !menu_->tracking()) timer_.reset();
  showMenu();
  // Characters posted by scripts arrive like typed ones, after the window's own messages.
  std::vector<uint32_t> posted;
  posted.swap(postedCharacters_);
  for (uint32_t character : posted)
    handleCharacter(character);
}

void PlayerApp::postCharacter(uint32_t character) {
  postedCharacters_.push_back(character);
}

void PlayerApp::handleEvent(const PlatformEvent& event) {
  if (offerToMenu(event)) return;
  engine_->companion<InputDevices>().handleEvent(event);
  if (handleAccelerator(event)) return;
  switch (event.type) {
    case PlatformEvent::Type::Activate:
      active_ = true;
      timer_.reset();
      break;
    case PlatformEvent::Type::Deactivate:
      active_ = false;
      menu_->cancel();
      break;
    case PlatformEvent::Type::Close:
      requestClose();
      break;
    case PlatformEvent::Type::Char:
      handleCharacter(event.codepoint);
      break;
    case PlatformEvent::Type::Key:
      if (event.down) handleKey(event.key);
      break;
    case PlatformEvent::Type::Menu:
      handleMenu(event.menuId);
      break;
    case PlatformEvent::Type::Screenshot:
      saveScreenshot(event.path);
      break;
    case PlatformEvent::Type::Request:
      handleRequest(event.code, event.path);
      break;
    default:
      break;
  }
}

bool PlayerApp::offerToMenu(const PlatformEvent& event) {
  MenuResponse response = menuResponse(event);
  if (response.command) handleMenu(*response.command);
  return response.taken;
}

MenuResponse PlayerApp::menuResponse(const PlatformEvent& event) {
  using Type = PlatformEvent::Type;
  MenuBarView& menu = *menu_;
  switch (event.type) {
    case Type::MouseMove:
      pointer_ = {event.x, event.y + (platform_.display->isFullScreen() ? 0 : kMenuStripHeight)};
      return menu.pointerMoved(pointer_.x, pointer_.y);
    case Type::MouseButton:
      if (event.button != MouseButton::Left) {
        return MenuResponse::take(menu.covers(pointer_.x, pointer_.y));
      }
      return event.action == ButtonAction::Up ? menu.buttonReleased(pointer_.x, pointer_.y)
                                              : menu.buttonPressed(pointer_.x, pointer_.y);
    case Type::Wheel:
      return MenuResponse::take(menu.covers(pointer_.x, pointer_.y));
    case Type::Key:
      if (!event.down) {
        menu.keyReleased(event.key);
        return {};
      }
      return menu.keyPressed(event.key, engine_->companion<InputDevices>().keyHeld(vk::kMenu));
    case Type::Char:
      return menu.characterTyped();
    default:
      return {};
  }
}

void PlayerApp::showMenu() {
  const bool fullScreen = platform_.display->isFullScreen();
  const bool pointerOnBar = pointer_.y >= 0 && pointer_.y < MenuBarView::kBarHeight;
  const bool barVisible = !fullScreen || menu_->tracking() || (active_ && pointerOnBar);
  const MenuState state{menu_->appearance(), barVisible, fullScreen};
  if (shownMenu_ == state) return;
  shownMenu_ = state;
  MenuPicture picture;
  if (barVisible) picture.bar = &menu_->bar();
  picture.popup = menu_->popup();
  picture.popupX = menu_->popupOrigin().x;
  picture.popupY = menu_->popupOrigin().y;
  platform_.display->showMenu(picture);
}

bool PlayerApp::handleAccelerator(const PlatformEvent& event) {
  if (event.type != PlatformEvent::Type::Key || !event.down) return false;
  bool altHeld = engine_->companion<InputDevices>().keyHeld(vk::kMenu);
  std::optional<int32_t> id = engine_->companion<MenuBar>().accelerator(event.key, altHeld);
  if (!id) return false;
  handleMenu(*id);
  return true;
}

void PlayerApp::handleCharacter(uint32_t character) {
  if (character == kEscape && escConfirm_ && confirmQuit()) {
    requestClose();
    return;
  }
  engine_->companion<TextLayer>().typeCharacter(character);
}

void PlayerApp::handleKey(Key key) {
  const KeySwitches& switches = engine_->keySwitches();
  if (key == Key::Left || key == Key::Right)
    engine_->companion<TextLayer>().moveEditCursor(key == Key::Left ? -1 : 1);
  if (key == Key::F4 && switches.configKey) {
    engine_->variables().intVariable("Flag-Config") = 1;
  } else if ((key == Key::F5 || key == Key::F6) && switches.quickKeys && !playingFilm_) {
    if (key == Key::F5) {
      saveGameAndReport(*engine_, kQuickSaveFile);
    } else {
      loadGame(*engine_, kQuickSaveFile, std::nullopt);
    }
    engine_->companion<InputDevices>().clearEvents();
  } else if (key == Key::F7 && switches.screenKey) {
    switchScreen();
  } else if (key == Key::F12 && !engine_->companion<InputDevices>().padBinds(*virtualKeyOf(key))) {
    takeUserScreenshot();
  }
}

void PlayerApp::handleRequest(uint32_t code, const std::string& fileName) {
  constexpr uint32_t kSaveRequest = 10001;
  constexpr uint32_t kLoadRequest = 10002;
  if (playingFilm_) return;
  if (code == kSaveRequest) saveGameAndReport(*engine_, fileName);
  if (code == kLoadRequest) loadGame(*engine_, fileName, std::nullopt);
}

void PlayerApp::handleMenu(int id) {
  // A grayed item chooses nothing, from the menu or from its accelerator.
  MenuBar& menu = engine_->companion<MenuBar>();
  if (!menu.enabled(id)) return;
  VariableStore& variables = engine_->variables();
  switch (id) {
    case kMenuSave:
    case kMenuLoad:
      variables.intVariable("Flag-Triger") = id == kMenuSave ? 2 : 3;
      variables.intVariable("Flag-Skip") = 0;
      break;
    case kMenuSkip:
      variables.intVariable("Flag-Skip") = 1;
      menu.setEnabled(kMenuSkip, false);
      settle();
      break;
    case kMenuTitle:
      variables.intVariable("Flag-Triger") = 1;
      variables.intVariable("Flag-Skip") = 0;
      settle();
      break;
    case kMenuQuit:
      if (confirmQuit()) requestClose();
      break;
    case kMenuVersion: {
      std::optional<std::string> version = ReadWholeFile("version.txt", engine_->archives());
      platform_.messageBoxes->show({.caption = "Version",
                                    .text = cp932ToUtf8(version.value_or("")),
                                    .icon = MessageIcon::Information});
      settle();
      break;
    }
    default:
      break;
  }
}

bool PlayerApp::confirmQuit() {
  MessageAnswer answer = platform_.messageBoxes->show({.caption = "確認",
                                                       .text = "終了しますか？",
                                                       .buttons = MessageButtons::YesNo,
                                                       .icon = MessageIcon::Question,
                                                       .defaultAnswer = MessageAnswer::No});
  return answer == MessageAnswer::Yes;
}

void PlayerApp::takeUserScreenshot() {
  if (!saveUserScreenshot(*platform_.display, *platform_.images, caption_, std::time(nullptr)))
    writeErrorLog("F12: the screenshot could not be written");
}

void PlayerApp::settle() {
  platform_.clock->sleepMs(kSettleSleepMs);
  engine_->companion<InputDevices>().clearEvents();
  timer_.reset();
}

// A named file that is missing keeps the arrow quietly; one that is there but cannot be
// decoded is logged, since the desktop's loader might have taken it.
void PlayerApp::loadCursor(const IniFile& config) {
  const std::string name = config.string("MOUSE", "CURSOR", "");
  if (name.empty()) return;
  const std::optional<std::string> bytes = readPlainFile(name);
  if (!bytes) return;
  const std::optional<CursorImage> cursor = decodeCursorFile(
      {reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()}, *platform_.images);
  if (cursor) {
    platform_.window->setCursor(*cursor);
  } else {
    writeErrorLog("cannot decode the mouse cursor " + cp932ToUtf8(name));
  }
}

}  // namespace avg
