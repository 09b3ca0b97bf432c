#include "app/screenshot.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "base/error.h"
#include "base/text_lines.h"
#include "formats/png_image.h"

namespace nova {

std::vector<uint8_t> EncodePicturePng(const TPicture& picture) {
  TBrioBitmap rgb(picture.Width, picture.Height, 24);  // rows of blue, green, red bytes
  for (int y = 0; y < picture.Height; ++y) {
    const uint32_t* src = picture.Row(y);
    uint8_t* dst = rgb.Row(y);
    for (int x = 0; x < picture.Width; ++x, dst += 3) {
      dst[0] = static_cast<uint8_t>(src[x]);
      dst[1] = static_cast<uint8_t>(src[x] >> 8);
      dst[2] = static_cast<uint8_t>(src[x] >> 16);
    }
  }
  return EncodePng(rgb, nullptr, {});
}

void WritePicturePng(const TPicture& picture, const std::filesystem::path& file) {
  std::vector<uint8_t> png = EncodePicturePng(picture);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  out.close();
  if (!out) RaiseError(file.string() + ": cannot write the picture");
}

namespace {

// The value of XDG_PICTURES_DIR in a user-dirs.dirs file (shell syntax: NAME="value", with
// "$HOME" expanded); empty when absent.
std::string PicturesEntry(const std::filesystem::path& dirsFile, const std::string& home) {
  std::ifstream in(dirsFile, std::ios::binary);
  if (!in) return {};
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string found;
  for (const std::string& raw : SplitLines(text)) {
    size_t start = raw.find_first_not_of(" \t");
    if (start == std::string::npos || raw[start] == '#') continue;
    std::string line = raw.substr(start);
    const std::string key = "XDG_PICTURES_DIR=";
    if (line.compare(0, key.size(), key) != 0) continue;
    std::string value = line.substr(key.size());
    size_t end = value.find_last_not_of(" \t");
    value = end == std::string::npos ? std::string() : value.substr(0, end + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) {
        out += value[++i];
      } else if (value.compare(i, 5, "$HOME") == 0) {
        out += home;
        i += 4;
      } else if (value.compare(i, 7, "${HOME}") == 0) {
        out += home;
        i += 6;
      } else {
        out += value[i];
      }
    }
    found = out;  // the last assignment wins, as in the shell
  }
  return found;
}

}  // namespace

std::filesystem::path PicturesFolderFrom(const std::filesystem::path& home, const std::filesystem::path& configHome,
                                         const std::string& environmentPictures) {
  std::filesystem::path config = configHome.is_absolute() ? configHome : home / ".config";
  std::string entry = PicturesEntry(config / "user-dirs.dirs", home.string());
  if (!entry.empty() && entry[0] == '/') return std::filesystem::path(entry);
  if (!environmentPictures.empty() && environmentPictures[0] == '/') return environmentPictures;
  return home / "Pictures";
}

std::filesystem::path UserPicturesFolder() {
  const char* home = std::getenv("HOME");
  if (!home || *home != '/') RaiseError("no pictures folder: HOME is not set");
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* pictures = std::getenv("XDG_PICTURES_DIR");
  return PicturesFolderFrom(home, config ? config : "", pictures ? pictures : "");
}

std::filesystem::path ScreenshotFileName(const std::filesystem::path& dir, const std::string& game, const TLocalTime& t) {
  std::string name;
  for (char c : game) name += (static_cast<unsigned char>(c) < 0x20 || c == '/' || c == '\\' || c == ':') ? '_' : c;
  if (name.empty() || name == "." || name == "..") name = "game";
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", t.Year, t.Month, t.Day, t.Hour, t.Min, t.Sec);
  std::string base = "novaplayer-" + name + "-" + stamp;
  std::error_code ec;
  std::filesystem::path file = dir / (base + ".png");
  for (int n = 2; std::filesystem::exists(file, ec); ++n) file = dir / (base + "-" + std::to_string(n) + ".png");
  return file;
}

}  // namespace nova
