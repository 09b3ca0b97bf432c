// novatool film: films (".nmt") built from their text description and shown as one.
#include <cstdio>
#include <filesystem>
#include <string>

#include "authoring/film_description.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/stream.h"
#include "formats/film_file.h"
#include "tools/commands.h"

namespace nova::tools {
namespace {

constexpr const char* kFilmUsage =
    "usage: novatool film build DESCRIPTION -o FILE.nmt\n"
    "       novatool film dump FILE.nmt [-o DESCRIPTION]\n";

int FilmUsage() {
  std::fputs(kFilmUsage, stderr);
  return 2;
}

std::string ReadHostFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) RaiseError(Utf8ToSjis(path) + Utf8ToSjis(":ファイルがありません"));
  TKtMemoryStream file;
  file.LoadFromFile(path);
  return file.Data();
}

}  // namespace

int CmdFilm(const Args& args) {
  std::string input, output;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) output = args[++i];
    else if (input.empty() && !args[i].empty() && args[i][0] != '-') input = args[i];
    else return FilmUsage();
  }
  if (args.empty() || input.empty()) return FilmUsage();
  const std::string name = Utf8ToSjis(input);
  if (args[0] == "build") {
    if (output.empty()) return FilmUsage();
    TFilmFile film = ParseFilmDescription(ReadHostFile(input), name);
    std::vector<uint8_t> bytes = WriteFilmFile(film);
    TKtMemoryStream(std::string(bytes.begin(), bytes.end())).SaveToFile(output);
    return 0;
  }
  if (args[0] == "dump") {
    std::string data = ReadHostFile(input);
    std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    std::string text = DescribeFilm(ReadFilmFile(bytes, name));
    if (output.empty()) std::fwrite(text.data(), 1, text.size(), stdout);
    else TKtMemoryStream(text).SaveToFile(output);
    return 0;
  }
  return FilmUsage();
}

}  // namespace nova::tools
