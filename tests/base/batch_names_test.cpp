// The libraries compile eight .cpp files to one compiler run, and which files share a run moves
// whenever a file is added. So a name a file keeps to itself (in an anonymous namespace, or a
// static or constexpr at namespace scope) must not be kept by another file of the same
// library in the same namespace: this reads every source the way the code is laid out (one
// declaration a line at column 0, namespaces closed by "}  // namespace") and lists the names
// that two files keep.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace nova {
namespace {

namespace fs = std::filesystem;

std::string LibraryOfSource(const std::string& rel) {
  if (rel.rfind("platform/sdl/", 0) == 0) return "platform/sdl";
  return rel.substr(0, rel.find('/'));
}

// The names a line declares at namespace scope: a type, an alias, a function or variables.
std::vector<std::string> DeclaredNames(const std::string& line) {
  static const std::regex type(R"(^(?:template\s*<[^>]*>\s*)?(?:struct|class|enum class|enum|union)\s+(\w+)\s*(?:[:{;]|final))");
  static const std::regex alias(R"(^using\s+(\w+)\s*=)");
  static const std::regex entity(R"(^(?:template\s*<[^>]*>\s*)?[\w:<>,\*&\s]*?(\w+)\s*(\(|=|\[|\{|;))");
  static const std::regex more(R"(,\s*(\w+)\s*=)");
  std::smatch m;
  if (std::regex_search(line, m, type) || std::regex_search(line, m, alias)) return {m[1].str()};
  if (!std::regex_search(line, m, entity)) return {};
  const auto at = m.position(1);
  if (at >= 2 && line.compare(static_cast<size_t>(at) - 2, 2, "::") == 0) return {};  // a member's definition
  std::vector<std::string> names{m[1].str()};
  if (m[2] == "=") {
    for (std::sregex_iterator it(line.begin(), line.end(), more), end; it != end; ++it) names.push_back((*it)[1].str());
  }
  return names;
}

TEST(Batches, NoTwoFilesOfALibraryKeepTheSameName) {
  const fs::path src = fs::path(test::SourceDir()) / "src";
  const std::regex open(R"(^namespace\s*(\w*)\s*\{)");
  const std::regex close(R"(^\}\s*//\s*namespace)");
  const std::regex internal(R"(^(static|constexpr|const)\b)");
  // library -> namespace path + name -> files
  std::map<std::string, std::map<std::string, std::set<std::string>>> kept;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".cpp") continue;
    ++files;
    const std::string rel = fs::relative(entry.path(), src).generic_string();
    std::ifstream in(entry.path());
    std::vector<std::string> path;
    int anonymous = 0;
    for (std::string line; std::getline(in, line);) {
      std::smatch m;
      if (std::regex_search(line, m, open)) {
        path.push_back(m[1].length() ? m[1].str() : "{anonymous}");
        anonymous += m[1].length() == 0;
        continue;
      }
      if (std::regex_search(line, close)) {
        if (!path.empty()) {
          if (path.back() == "{anonymous}") --anonymous;
          path.pop_back();
        }
        continue;
      }
      if (line.empty() || std::string(" \t#/{}").find(line[0]) != std::string::npos) continue;
      if (anonymous == 0 && !std::regex_search(line, internal)) continue;
      std::string scope;
      for (const std::string& p : path) scope += p + "::";
      for (const std::string& name : DeclaredNames(line)) kept[LibraryOfSource(rel)][scope + name].insert(rel);
    }
  }
  EXPECT_GT(files, 100);
  for (const auto& [library, names] : kept) {
    for (const auto& [name, where] : names) {
      if (where.size() < 2) continue;
      std::string list;
      for (const std::string& f : where) list += " " + f;
      ADD_FAILURE() << library << ": " << name << " is kept by" << list;
    }
  }
}

}  // namespace
}  // namespace nova
