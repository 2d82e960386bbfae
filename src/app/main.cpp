// avgplayer: runs the adventure game in GAME_DIR (by default the program's own directory).
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "app/command_line.h"
#include "app/instance_lock.h"
#include "app/player_app.h"
#include "app/request_socket.h"
#include "platform/ffmpeg/ffmpeg_audio.h"
#include "platform/ffmpeg/ffmpeg_film.h"
#include "platform/freetype/freetype_rasterizer.h"
#include "platform/headless/headless_platform.h"
#include "platform/image_io/sdl_image_codec.h"
#include "platform/sdl/sdl_platform.h"

namespace {

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

  std::vector<avg::ScriptedEvent> events;
  if (!line.inputFile.empty()) {
    std::ifstream input(line.inputFile, std::ios::binary);
    if (!input) return usageError("cannot read input file '" + line.inputFile + "'");
    std::stringstream text;
    text << input.rdbuf();
    try {
      events = avg::parseInputScript(text.str());
    } catch (const std::exception& error) {
      return usageError(line.inputFile + ": " + error.what());
    }
  }
  line.screenshot = absolute(line.screenshot);
  line.audioOut = absolute(line.audioOut);

  std::filesystem::path gameDir =
      line.gameDir.empty() ? programDirectory() : std::filesystem::path(line.gameDir);
  if (!std::filesystem::is_directory(gameDir)) {
    return usageError("game directory '" + gameDir.string() + "' does not exist");
  }
  std::filesystem::current_path(gameDir);

  // One windowed player at a time; headless runs (tests, tools) may run side by side.
  std::optional<avg::InstanceLock> instanceLock;
  if (!line.headless) {
    instanceLock = avg::InstanceLock::acquire(avg::playerInstanceLockPath());
    if (!instanceLock) return 0;
  }

  avg::Platform platform;
  avg::RunOptions options;
  options.maxPasses = line.frames;
  if (line.headless) {
    avg::HeadlessServices services{avg::makeSdlImageCodec(), avg::makeFreeTypeRasterizer(),
                                   std::make_shared<avg::FfmpegAudioDecoder>(),
                                   std::make_unique<avg::FfmpegFilmDecoder>()};
    platform =
        avg::makeHeadlessPlatform(std::move(services), std::move(events), std::cerr, line.audioOut);
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
  avg::PlayerApp app(platform, options);
  app.run();
  if (!line.screenshot.empty()) app.saveScreenshot(line.screenshot);
  return 0;
}
