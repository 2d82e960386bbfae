#pragma once
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/display.h"
#include "platform/image_codec.h"

namespace avg {

// Reads an environment variable; null when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// The folder of the player's screenshots: "avgplayer" in the pictures folder, which is
// $XDG_PICTURES_DIR, else the one user-dirs.dirs names (a plain "$HOME/..." or absolute
// path), else ~/Pictures.
std::filesystem::path userScreenshotFolder(const EnvironmentLookup& environment);

// "CAPTION YYYY-MM-DD HH.MM.SS.png", the caption's slashes and control characters replaced.
std::string userScreenshotName(std::string_view caption, const std::tm& localTime);

// Writes the presented frame as a PNG into the screenshot folder (made when missing), as one
// atomic replacement; false when it failed.
bool saveUserScreenshot(Display& display, const ImageCodec& codec, std::string_view caption,
                        std::time_t now, const EnvironmentLookup& environment = std::getenv);

}  // namespace avg
