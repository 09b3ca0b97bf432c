// The libraries stay layered: no source includes a library of a higher layer, and third-party
// headers of the real platform stay in platform/sdl and app.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "support/test_support.h"

namespace nova {
namespace {

namespace fs = std::filesystem;

// The folder a path under src/ belongs to; platform/sdl is a library of its own.
std::string LibraryOf(const std::string& rel) {
  if (rel.rfind("platform/sdl/", 0) == 0) return "platform/sdl";
  return rel.substr(0, rel.find('/'));
}

const std::map<std::string, int>& Ranks() {
  static const std::map<std::string, int> ranks = {
      {"base", 0},   {"platform", 1},    {"archive", 2},  {"params", 2},       {"render", 3},
      {"formats", 3}, {"text", 4},       {"media", 4},    {"objects", 5},      {"components", 6},
      {"tables", 7}, {"scenario", 8},    {"saves", 9},    {"game", 10},        {"app", 11},
      {"platform/sdl", 11}, {"authoring", 12}, {"tools", 13},
  };
  return ranks;
}

TEST(Layers, NoIncludeGoesUpAndThirdPartyHeadersStayAtTheEdge) {
  const fs::path src = fs::path(test::SourceDir()) / "src";
  const std::regex local(R"(^\s*#\s*include\s+"([^"]+)\")");
  const std::regex thirdParty(R"(^\s*#\s*include\s+<(SDL|ft2build|freetype|fontconfig|libav|libsw|fluidsynth|alsa|curl)[^>]*>)");
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
    ++files;
    const std::string rel = fs::relative(entry.path(), src).generic_string();
    const std::string lib = LibraryOf(rel);
    ASSERT_TRUE(Ranks().count(lib)) << rel << ": a library without a layer";
    std::ifstream in(entry.path());
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
      std::smatch m;
      if (std::regex_search(line, m, local)) {
        const std::string target = LibraryOf(m[1].str());
        auto rank = Ranks().find(target);
        if (rank == Ranks().end()) continue;  // a header of the same folder named without its folder
        const bool appUsesSdl = lib == "app" && target == "platform/sdl";
        EXPECT_TRUE(rank->second <= Ranks().at(lib) || appUsesSdl) << rel << ":" << n << " includes " << m[1];
      }
      if (std::regex_search(line, m, thirdParty)) {
        EXPECT_TRUE(lib == "platform/sdl" || lib == "app") << rel << ":" << n << " includes <" << m[1] << ">";
      }
    }
  }
  EXPECT_GT(files, 100);
}

// Components live in family folders, so a class is found by what it is; only what every family
// shares (the services handed to objects, the factory registration) stays at the top.
TEST(Layers, ComponentsLiveInTheirFamilies) {
  const fs::path components = fs::path(test::SourceDir()) / "src" / "components";
  const std::set<std::string> families = {"images", "lists", "text", "media", "films", "effects", "controls"};
  const std::set<std::string> shared = {"component_services.h", "register_components.h", "register_components.cpp",
                                        "CMakeLists.txt"};
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(components)) {
    if (!entry.is_regular_file()) continue;
    ++files;
    const std::string rel = fs::relative(entry.path(), components).generic_string();
    const auto slash = rel.find('/');
    if (slash == std::string::npos) {
      EXPECT_TRUE(shared.count(rel)) << rel << ": a component outside the family folders";
    } else {
      EXPECT_TRUE(families.count(rel.substr(0, slash))) << rel << ": an unknown family";
      EXPECT_EQ(rel.find('/', slash + 1), std::string::npos) << rel << ": families hold no sub-folders";
    }
  }
  EXPECT_GT(files, 40);
}

}  // namespace
}  // namespace nova
