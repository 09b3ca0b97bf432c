#include "app/game_location.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "archive/vrfiles.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"

namespace fs = std::filesystem;

namespace nova {
namespace {

fs::path Absolute(const fs::path& path) {
  std::error_code ec;
  fs::path p = fs::absolute(path, ec);
  if (ec) p = path;
  p = p.lexically_normal();
  if (p.has_filename() || p == p.root_path()) return p;
  return p.parent_path();  // without a trailing separator
}

fs::path FolderOf(const fs::path& file) {
  fs::path parent = file.parent_path();
  return parent.empty() ? fs::path("/") : parent;
}

std::string NameOf(const fs::path& path) {
  std::string name = path.filename().string();
  return name.empty() ? std::string("game") : name;
}

// A file directly in folder whose name equals name ignoring ASCII case.
fs::path FindInFolder(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  if (fs::is_regular_file(folder / name, ec)) return folder / name;
  std::vector<fs::path> hits;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.is_regular_file(ec) && SameText(entry.path().filename().string(), name)) hits.push_back(entry.path());
  }
  std::sort(hits.begin(), hits.end());
  return hits.empty() ? fs::path() : hits.front();
}

// A folder without game.dat whose game lies in a Windows executable beside it.
std::optional<TGameContainer> FindGameExecutable(const fs::path& folder) {
  std::error_code ec;
  std::vector<fs::path> exes;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.is_regular_file(ec) && SameText(entry.path().extension().string(), ".exe")) exes.push_back(entry.path());
  }
  std::sort(exes.begin(), exes.end());
  for (const fs::path& exe : exes) {
    std::optional<TGameContainer> c = ProbeGameContainer(exe);
    if (c && c->Windows && (c->AppendedArchive || c->ResourceArchive)) return c;
  }
  return std::nullopt;
}

}  // namespace

std::string InstanceKey(const fs::path& source) {
  std::string path = Absolute(source).string();
  std::replace(path.begin(), path.end(), '/', '\\');
  std::string key = UpperCaseAnsi(path);
  if (key.empty() || key.back() != '\\') key += '\\';
  std::replace(key.begin(), key.end(), '\\', '-');
  return key;
}

TGameLocation LocateGame(const std::vector<fs::path>& games, const fs::path& selfExe, const fs::path& bundledDir) {
  TGameLocation loc;
  std::error_code ec;
  if (games.empty()) {
    fs::path self = Absolute(selfExe);
    loc.KeySource = FolderOf(self);
    std::optional<TGameContainer> own = ProbeGameContainer(self);
    if (own && own->Kind == TContainerKind::Executable && own->AppendedArchive) {
      loc.Kind = GameKind::OwnExecutable;
      loc.Container = *own;
      loc.GameFolder = FolderOf(self);
      loc.GameName = self.stem().string();
      return loc;
    }
    if (!bundledDir.empty() && fs::is_directory(bundledDir, ec)) {
      loc.Kind = GameKind::Folders;
      loc.Folders.push_back(Absolute(bundledDir));
      loc.GameFolder = loc.Folders.front();
      loc.GameName = NameOf(loc.GameFolder);
      return loc;
    }
    loc.Kind = GameKind::Empty;
    loc.GameFolder = FolderOf(self);
    loc.GameName = "novaplayer";
    return loc;
  }
  loc.KeySource = games.front();
  fs::path first = Absolute(games.front());
  std::optional<TGameContainer> c = ProbeGameContainer(first);
  if (c && c->Kind != TContainerKind::Folder) {
    loc.Kind = c->Kind == TContainerKind::Executable ? GameKind::Executable : GameKind::ArchiveFile;
    loc.Container = *c;
    loc.GameFolder = FolderOf(first);
    loc.GameName = loc.Kind == GameKind::Executable ? first.stem().string() : NameOf(loc.GameFolder);
    return loc;
  }
  for (const fs::path& g : games) {
    fs::path folder = Absolute(g);
    if (!fs::is_directory(folder, ec)) RaiseError(HostPathText(g) + ": no such game folder");
    loc.Folders.push_back(folder);
  }
  loc.GameFolder = loc.Folders.front();
  loc.GameName = NameOf(loc.GameFolder);
  loc.Kind = GameKind::Folders;
  if (loc.Folders.size() == 1 && FindInFolder(first, "game.dat").empty()) {
    if (std::optional<TGameContainer> exe = FindGameExecutable(first)) {
      loc.Kind = GameKind::Executable;
      loc.Container = *exe;
      loc.Folders.clear();
    }
  }
  return loc;
}

void RegisterArchives(TVrFileManager& manager, const TGameLocation& loc) {
  manager.AddMemoryArchive();  // archive 0: the in-memory files
  switch (loc.Kind) {
    case GameKind::Folders:
      manager.SetBaseFolder(loc.Folders.front());
      for (const fs::path& folder : loc.Folders) {
        fs::path dat = FindInFolder(folder, "game.dat");
        if (!dat.empty()) manager.AddArchiveFile(dat);
      }
      break;
    case GameKind::Executable:
    case GameKind::OwnExecutable:
    case GameKind::ArchiveFile:
      manager.SetBaseFolder(loc.GameFolder);
      for (auto& archive : OpenContainerArchives(loc.Container)) manager.AddCollection(std::move(archive));
      break;
    case GameKind::Empty:
      manager.SetBaseFolder(loc.GameFolder);
      break;
  }
}

fs::path DefaultSaveDir(const TGameLocation& loc) {
  std::error_code ec;
  if (!loc.GameFolder.empty() && fs::is_directory(loc.GameFolder, ec) && access(loc.GameFolder.c_str(), W_OK) == 0) {
    return loc.GameFolder;
  }
  fs::path base;
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
    base = data;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = fs::path(home) / ".local/share";
  } else {
    RaiseError("no folder for save data: set --save-dir, XDG_DATA_HOME or HOME");
  }
  fs::path dir = base / "novaplayer" / loc.GameName;
  fs::create_directories(dir, ec);
  if (ec) RaiseError(HostPathText(dir) + ": " + ec.message());
  return dir;
}

}  // namespace nova
