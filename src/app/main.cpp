// avgplayer: runs the adventure game in GAME_DIR (by default the program's own directory).
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string_view>

#include "app/command_line.h"
#include "app/frame_hasher.h"
#include "app/game_chooser.h"
#include "app/game_location.h"
#include "app/instance_lock.h"
#include "app/player_app.h"
#include "app/request_socket.h"
#include "app/text_sinks.h"
#include "base/error_log.h"
#include "input/configuration.h"
#include "platform/ffmpeg/ffmpeg_audio.h"
#include "platform/ffmpeg/ffmpeg_film.h"
#include "platform/freetype/freetype_rasterizer.h"
#include "platform/headless/headless_audio_output.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/session_recorder.h"
#include "platform/image_io/sdl_image_codec.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/speechd/speechd_service.h"
#include "platform/websocket/websocket_text_server.h"

namespace {

// AVG_FULL_REDRAW=1 composes every frame whole, to compare with composing only what changed.
bool fullRedrawRequested() {
  const char* value = std::getenv("AVG_FULL_REDRAW");
  return value && std::string_view(value) == "1";
}

constexpr int kExitUsage = 2;

int usageError(const std::string& error) {
  std::cerr << "avgplayer: " << error << "\n" << avg::kUsage << "\n";
  return kExitUsage;
}

std::filesystem::path programDirectory() {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path() : self.parent_path();
}

std::string absolute(const std::string& path) {
  return path.empty() ? path : std::filesystem::absolute(path).string();
}

// The text sinks the options ask for; one that cannot start leaves a line in the error log.
avg::TextSinks textSinks(const avg::TextOutOptions& options, avg::Window& window) {
  avg::TextSinks sinks;
  if (!options.file.empty()) {
    if (auto file = avg::JsonLinesSink::open(options.file)) {
      sinks.add(std::move(file));
    } else {
      avg::writeErrorLog("--text-out: cannot open " + options.file);
    }
  }
  if (options.clipboard) sinks.add(std::make_unique<avg::ClipboardSink>(window));
  if (options.socketPort) {
    if (auto server = avg::startWebSocketTextServer(*options.socketPort)) {
      sinks.add(std::move(server));
    }
  }
  if (options.speak) {
    if (auto speech = avg::connectSpeechDispatcher()) {
      sinks.add(std::make_unique<avg::SpeechSink>(std::move(speech)));
    }
  }
  return sinks;
}

std::filesystem::path recentGamesFile() {
  return avg::xdgDirectory("XDG_STATE_HOME", ".local/state") / "avgplayer" / "recent";
}

// The window build started without a game (from the desktop's menu) asks for one; nullopt
// when none was chosen, after telling the person why when no dialog could ask.
std::optional<std::filesystem::path> askForGame() {
  avg::GameChoice choice = avg::chooseGameDirectory(avg::readRecentGames(recentGamesFile()));
  if (choice.outcome == avg::GameChoice::Outcome::Chosen) {
    avg::rememberGame(recentGamesFile(), std::filesystem::absolute(choice.directory).string());
    return choice.directory;
  }
  if (choice.outcome == avg::GameChoice::Outcome::NoDialog) {
    const char* text =
        "No game folder was given, and no folder dialog could be opened (the desktop "
        "portal, zenity or kdialog).\n"
        "Start avgplayer with the game's folder: avgplayer GAME_DIR";
    std::cerr << "avgplayer: " << text << "\n";
    try {
      avg::makeSdlPlatform().messageBoxes->show(
          {.caption = "avgplayer", .text = text, .icon = avg::MessageIcon::Error});
    } catch (const std::exception&) {
    }
  }
  return std::nullopt;
}

// Game files below the program's own share/ belong to the installed package.
std::filesystem::path installedGames() {
  return programDirectory().parent_path() / "share" / "games" / "avgplayer";
}

// Every event the window delivers and every answer of a box goes into the recording.
void recordInto(avg::Platform& platform, avg::SessionRecorder& recorder) {
  platform.window = std::make_unique<avg::RecordingWindow>(std::move(platform.window),
                                                           *platform.display, recorder);
  platform.messageBoxes =
      std::make_unique<avg::RecordingMessageBoxes>(std::move(platform.messageBoxes), recorder);
}

// Makes the game directory current and sends the game's writes where they belong, logging
// once where that is when they are redirected.
void enterGame(const std::filesystem::path& gameDir, const std::string& dataDir,
               avg::RunOptions& options) {
  options.files = avg::GameFiles(avg::writeDirectoryFor(gameDir, dataDir, installedGames()));
  std::filesystem::current_path(gameDir);
  const std::string& writeDir = options.files.writeDirectory();
  if (writeDir.empty()) return;
  std::error_code error;
  std::filesystem::create_directories(writeDir, error);
  avg::setErrorLogDirectory(writeDir);
  avg::writeErrorLog("the game's files are written to " + writeDir);
}

}  // namespace

int main(int argc, char** argv) {
  avg::ParsedCommandLine parsed =
      avg::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.commandLine) return usageError(parsed.error);
  avg::CommandLine line = *parsed.commandLine;
  if (line.help) {
    std::cout << avg::kUsage << "\n";
    return 0;
  }

  if (line.request) {
    const std::string socketPath = avg::playerRequestSocketPath();
    if (avg::sendRequest(socketPath, line.request->code, line.request->fileName)) return 0;
    std::cerr << "avgplayer: no player is listening on " << socketPath << "\n";
    return 1;
  }

  avg::InputScript script;
  if (!line.inputFile.empty()) {
    std::ifstream input(line.inputFile, std::ios::binary);
    if (!input) return usageError("cannot read input file '" + line.inputFile + "'");
    std::stringstream text;
    text << input.rdbuf();
    try {
      script = avg::readInputScript(text.str());
    } catch (const std::exception& error) {
      return usageError(line.inputFile + ": " + error.what());
    }
  }
  line.screenshot = absolute(line.screenshot);
  line.audioOut = absolute(line.audioOut);
  line.recordFile = absolute(line.recordFile);
  line.frameHashes = absolute(line.frameHashes);
  if (line.textOut.file != "-") line.textOut.file = absolute(line.textOut.file);

  // One windowed player at a time; headless runs (tests, tools) may run side by side.
  std::optional<avg::InstanceLock> instanceLock;
  std::filesystem::path gameDir = line.gameDir;
  if (gameDir.empty()) {
    gameDir = programDirectory();
    if (!line.headless && !std::filesystem::exists(gameDir / "autoexec.eve")) {
      // Only the player that will run asks for a game.
      instanceLock = avg::InstanceLock::acquire(avg::playerInstanceLockPath());
      if (!instanceLock) return 0;
      std::optional<std::filesystem::path> chosen = askForGame();
      if (!chosen) return 0;
      gameDir = *chosen;
    }
  }
  if (!std::filesystem::is_directory(gameDir)) {
    return usageError("game directory '" + gameDir.string() + "' does not exist");
  }
  avg::RunOptions options;
  enterGame(gameDir, line.dataDir, options);

  if (!line.headless && !instanceLock) {
    instanceLock = avg::InstanceLock::acquire(avg::playerInstanceLockPath());
    if (!instanceLock) return 0;
  }
  std::ofstream recordFile;
  std::ofstream hashFile;
  for (auto [name, file] :
       {std::pair{&line.recordFile, &recordFile}, {&line.frameHashes, &hashFile}}) {
    if (name->empty()) continue;
    file->open(*name, std::ios::binary | std::ios::trunc);
    if (!*file) return usageError("cannot write '" + *name + "'");
  }

  std::optional<avg::FrameHashWriter> hashes;
  if (hashFile.is_open()) {
    hashes.emplace(hashFile, avg::HeadlessAudioOutput::kRate * avg::HeadlessAudioOutput::kChannels);
  }
  avg::Platform platform;
  options.maxPasses = line.frames;
  options.fullScreen = script.fullScreen;
  options.everyFrame = hashes || recordFile.is_open();
  options.fullRedraw = fullRedrawRequested();
  if (hashes) {
    options.onFrame = [&](uint64_t pass, const avg::Surface& picture) {
      hashes->frame(pass, picture);
    };
  }
  if (line.headless) {
    avg::HeadlessServices services{avg::makeSdlImageCodec(), avg::makeFreeTypeRasterizer(),
                                   std::make_shared<avg::FfmpegAudioCodec>(),
                                   std::make_unique<avg::FfmpegFilmDecoder>()};
    std::function<void(const int16_t*, size_t)> soundSink;
    if (hashes && !line.audioOut.empty()) {
      soundSink = [&](const int16_t* samples, size_t count) { hashes->sound(samples, count); };
    }
    platform = avg::makeHeadlessPlatform(std::move(services), std::move(script.events), std::cerr,
                                         line.audioOut, std::move(soundSink));
  } else {
    // Only the holder of the lock may replace the socket file; the socket is made before
    // SDL starts its threads.
    std::unique_ptr<avg::RequestListener> requests;
    if (instanceLock->held()) {
      requests = avg::RequestListener::listen(avg::playerRequestSocketPath());
    }
    try {
      platform = avg::makeSdlPlatform(std::move(requests));
    } catch (const std::exception& error) {
      std::cerr << "avgplayer: " << error.what() << " (try --headless)\n";
      return 1;
    }
    options.randomSeed = static_cast<uint32_t>(std::time(nullptr));
  }
  options.randomSeed = script.seed.value_or(options.randomSeed);
  std::optional<avg::SessionRecorder> recorder;
  if (recordFile.is_open()) {
    recorder.emplace(
        recordFile,
        avg::RecordingStart{AVGPLAYER_VERSION, std::filesystem::current_path().filename().string(),
                            std::time(nullptr), options.randomSeed});
    recordInto(platform, *recorder);
  }
  avg::TextSinks sinks =
      textSinks(avg::withConfiguredTextOut(
                    line.textOut,
                    avg::IniFile::load(
                        options.files.find(avg::kConfigFileName).value_or(avg::kConfigFileName))),
                *platform.window);
  if (!sinks.empty()) options.textOut = &sinks;
  avg::PlayerApp app(platform, options);
  app.run();
  if (recorder) recorder->finish(app.passes());
  if (hashes) hashes->finish();
  if (!line.screenshot.empty()) app.saveScreenshot(line.screenshot);
  return 0;
}
