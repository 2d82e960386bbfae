#include "app/user_screenshot.h"

#include <fstream>
#include <optional>

#include "base/atomic_file.h"

namespace avg {
namespace {

// The value of XDG_PICTURES_DIR in a user-dirs.dirs file, when it is a plain path: quoted,
// absolute or below "$HOME/", without other variables.
std::optional<std::filesystem::path> picturesFromUserDirs(const std::filesystem::path& file,
                                                          const std::string& home) {
  std::ifstream in(file);
  std::string line;
  const std::string key = "XDG_PICTURES_DIR=\"";
  while (std::getline(in, line)) {
    if (!line.starts_with(key) || !line.ends_with('"')) continue;
    std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value.starts_with("$HOME/")) value = home + value.substr(5);
    if (!value.starts_with('/') || value.find('$') != std::string::npos) return std::nullopt;
    return value;
  }
  return std::nullopt;
}

std::filesystem::path picturesFolder(const EnvironmentLookup& environment) {
  const char* pictures = environment("XDG_PICTURES_DIR");
  if (pictures && *pictures) return pictures;
  const char* homeValue = environment("HOME");
  const std::string home = homeValue ? homeValue : "";
  const char* configHome = environment("XDG_CONFIG_HOME");
  const std::filesystem::path config = configHome && *configHome
                                           ? std::filesystem::path(configHome)
                                           : std::filesystem::path(home) / ".config";
  return picturesFromUserDirs(config / "user-dirs.dirs", home)
      .value_or(std::filesystem::path(home) / "Pictures");
}

}  // namespace

std::filesystem::path userScreenshotFolder(const EnvironmentLookup& environment) {
  return picturesFolder(environment) / "avgplayer";
}

std::string userScreenshotName(std::string_view caption, const std::tm& localTime) {
  std::string name;
  for (char c : caption)
    name += c == '/' || (static_cast<unsigned char>(c) < 0x20) ? '_' : c;
  char stamp[32];
  std::strftime(stamp, sizeof stamp, " %Y-%m-%d %H.%M.%S.png", &localTime);
  return name + stamp;
}

bool saveUserScreenshot(Display& display, const ImageCodec& codec, std::string_view caption,
                        std::time_t now, const EnvironmentLookup& environment) {
  const std::filesystem::path folder = userScreenshotFolder(environment);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return false;
  std::tm local{};
  localtime_r(&now, &local);
  const std::string path = (folder / userScreenshotName(caption, local)).string();
  const std::optional<std::string> png = presentedPng(display, codec);
  return png && replaceFileAtomically(path, *png);
}

}  // namespace avg
