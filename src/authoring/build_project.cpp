#include "authoring/build_project.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"
#include "base/stream.h"
#include "scenario/page_format.h"
#include "scenario/project_file.h"
#include "authoring/page_compiler.h"
#include "authoring/project_source.h"

namespace nova::source {
namespace fs = std::filesystem;
using source::TBuildError;

namespace {

std::string ReadLocalFile(const std::string& path) {
  TKtMemoryStream s;
  s.LoadFromFile(path);
  return s.Data();
}

std::string PageBytes(const TPageFile& page) {
  TKtMemoryStream s;
  WritePageFile(s, page);
  return s.Data();
}

}  // namespace

std::string BuildPageFile(const std::string& sourcePath, const std::string& pageName) {
  TPageFile page;
  source::CompilePageText(ReadLocalFile(sourcePath), sourcePath, pageName, page);
  return PageBytes(page);
}

std::vector<TBuiltEntry> BuildSourceFolder(const std::string& srcDir, std::vector<std::string>& errors) {
  std::vector<TBuiltEntry> entries;
  fs::path root(srcDir);
  if (!fs::is_directory(root)) {
    errors.push_back(srcDir + ": not a folder");
    return entries;
  }
  std::vector<fs::path> files;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    if (it->path().filename().string().rfind('.', 0) == 0) {
      if (it->is_directory()) it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file()) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());

  struct TPending {
    std::string File;
    source::TPageSource Source;
  };
  std::vector<TPending> pages;
  std::map<std::string, source::TLabelMap> labels;  // upper-cased page name -> labels
  std::set<std::string> names;                      // upper-cased entry names
  bool haveProject = false;
  TProjectFile project;

  auto addName = [&](const std::string& name, const std::string& file) {
    if (!names.insert(UpperCaseAnsi(name)).second) {
      errors.push_back(file + ": the game name \"" + SjisToUtf8(name) + "\" is taken by another file");
      return false;
    }
    return true;
  };

  for (const fs::path& p : files) {
    std::string rel = fs::relative(p, root).generic_string();
    std::string file = p.string();
    std::string gameUtf8 = rel;
    std::replace(gameUtf8.begin(), gameUtf8.end(), '/', '\\');
    std::string game;
    if (!TryUtf8ToSjis(gameUtf8, game)) {
      errors.push_back(file + ": the file name has no Shift-JIS form");
      continue;
    }
    try {
      if (rel == "project.nsp") {
        project = source::ParseProjectSource(ReadLocalFile(file), file);
        haveProject = true;
      } else if (p.extension() == ".nss") {
        std::string pageName = ChangeFileExt(game, ".nsb");
        if (!addName(pageName, file)) continue;
        TPending pending{file, source::ParsePageSource(ReadLocalFile(file), file, pageName)};
        labels[UpperCaseAnsi(pageName)] = source::CollectLabels(pending.Source);
        pages.push_back(std::move(pending));
      } else {
        if (!addName(game, file)) continue;
        entries.push_back({game, ReadLocalFile(file), true});
      }
    } catch (const TBuildError& e) {
      errors.push_back(e.Text());
    } catch (const ENovaError& e) {
      errors.push_back(file + ": " + SjisToUtf8(e.what()));
    }
  }
  if (!haveProject) errors.push_back((root / "project.nsp").string() + ": the project description is missing");

  source::TLabelResolver resolver = [&](const std::string& pageName) -> const source::TLabelMap* {
    auto it = labels.find(UpperCaseAnsi(pageName));
    return it == labels.end() ? nullptr : &it->second;
  };
  for (const TPending& p : pages) {
    try {
      TPageFile page;
      source::CompilePage(p.Source, resolver, page);
      entries.push_back({p.Source.PageName, PageBytes(page)});
    } catch (const TBuildError& e) {
      errors.push_back(e.Text());
    }
  }
  if (haveProject) {
    if (project.StartPage.empty() || !names.count(UpperCaseAnsi(project.StartPage)))
      errors.push_back((root / "project.nsp").string() + ": the start page \"" + SjisToUtf8(project.StartPage) +
                       "\" is not part of the build");
    if (!addName("nova.npb", (root / "project.nsp").string())) return entries;
    TKtMemoryStream s;
    WriteProjectFile(s, project);
    entries.push_back({"nova.npb", s.Data()});
  }
  return entries;
}

}  // namespace nova::source
