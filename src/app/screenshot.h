#pragma once
// Pictures of the game written as PNG files: the screenshots of --screenshot and of the F12
// key (the game's own picture at its own resolution: no toolbar, no window scaling), and the
// user's pictures folder where F12 puts them.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/window.h"

namespace nova {

// --screenshot N:FILE: the picture of frame N written to FILE.
struct TScreenshotRequest {
  uint32_t Frame = 0;
  std::filesystem::path File;
  friend bool operator==(const TScreenshotRequest&, const TScreenshotRequest&) = default;
};

// An 8-bit RGB PNG of the picture (no alpha).
std::vector<uint8_t> EncodePicturePng(const TPicture& picture);
// Raises ENovaError (UTF-8 text) when the file cannot be written.
void WritePicturePng(const TPicture& picture, const std::filesystem::path& file);

// The pictures folder as xdg-user-dir PICTURES finds it: XDG_PICTURES_DIR in
// <configHome>/user-dirs.dirs ("$HOME/..." or an absolute path), else the environment's
// XDG_PICTURES_DIR when absolute, else <home>/Pictures. configHome empty: <home>/.config.
std::filesystem::path PicturesFolderFrom(const std::filesystem::path& home, const std::filesystem::path& configHome,
                                         const std::string& environmentPictures);
// The same from $HOME, $XDG_CONFIG_HOME and $XDG_PICTURES_DIR. Raises ENovaError without HOME.
std::filesystem::path UserPicturesFolder();

// "novaplayer-<game>-<YYYYMMDD-HHMMSS>.png" in dir; "-2", "-3" ... before ".png" when the name
// is taken. Characters of the game name that do not belong in a file name become "_".
std::filesystem::path ScreenshotFileName(const std::filesystem::path& dir, const std::string& game, const TLocalTime& t);

}  // namespace nova
