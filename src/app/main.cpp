// avgplayer: runs the adventure game in GAME_DIR (by default the program's own directory).
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "app/command_line.h"
#include "app/frame_hasher.h"
#include "app/instance_lock.h"
#include "app/player_app.h"
#include "app/request_socket.h"
#include "platform/ffmpeg/ffmpeg_audio.h"
#include "platform/freetype/freetype_rasterizer.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/headless_sound.h"
#include "platform/headless/session_recorder.h"
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

// Every event the window delivers and every answer of a box goes into the recording.
void recordInto(avg::Platform& platform, avg::SessionRecorder& recorder) {
  platform.window = std::make_unique<avg::RecordingWindow>(std::move(platform.window),
                                                           *platform.display, recorder);
  platform.messageBoxes =
      std::make_unique<avg::RecordingMessageBoxes>(std::move(platform.messageBoxes), recorder);
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
    hashes.emplace(hashFile, avg::HeadlessSoundDevice::kRate * avg::HeadlessSoundDevice::kChannels);
  }
  avg::Platform platform;
  avg::RunOptions options;
  options.maxPasses = line.frames;
  options.fullScreen = script.fullScreen;
  options.everyFrame = hashes || recordFile.is_open();
  if (hashes) {
    options.onFrame = [&](uint64_t pass, const avg::Surface& picture) {
      hashes->frame(pass, picture);
    };
  }
  if (line.headless) {
    avg::HeadlessServices services{avg::makeSdlImageCodec(), avg::makeFreeTypeRasterizer(),
                                   std::make_shared<avg::FfmpegAudioDecoder>()};
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
  avg::PlayerApp app(platform, options);
  app.run();
  if (recorder) recorder->finish(app.passes());
  if (hashes) hashes->finish();
  if (!line.screenshot.empty()) app.saveScreenshot(line.screenshot);
  return 0;
}
