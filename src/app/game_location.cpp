#include "app/game_location.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"

#if NOVA_HAVE_ARCHIVE
#include "archive/pe_resources.h"
#include "archive/vrfiles.h"
#endif

namespace fs = std::filesystem;

namespace nova {
namespace {

std::string Absolute(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(path), ec);
  if (ec) p = fs::path(path);
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::string FolderOf(const std::string& file) {
  std::string parent = fs::path(file).parent_path().string();
  return parent.empty() ? std::string("/") : parent;
}

std::string NameOf(const std::string& path) {
  std::string name = fs::path(path).filename().string();
  return name.empty() ? std::string("game") : name;
}

bool IsWindowsExecutable(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  char mz[2] = {0, 0};
  return in.read(mz, 2) && mz[0] == 'M' && mz[1] == 'Z';
}

// A file directly in folder whose name equals name ignoring ASCII case.
std::string FindInFolder(const std::string& folder, const std::string& name) {
  std::error_code ec;
  if (fs::is_regular_file(fs::path(folder) / name, ec)) return (fs::path(folder) / name).string();
  std::vector<std::string> hits;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.is_regular_file(ec) && SameText(entry.path().filename().string(), name)) {
      hits.push_back(entry.path().string());
    }
  }
  std::sort(hits.begin(), hits.end());
  return hits.empty() ? std::string() : hits.front();
}

// A folder without game.dat whose game lies in a Windows executable beside it.
std::string FindGameExecutable(const std::string& folder) {
  std::error_code ec;
  std::vector<std::string> exes;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.is_regular_file(ec) && SameText(entry.path().extension().string(), ".exe")) {
      exes.push_back(entry.path().string());
    }
  }
  std::sort(exes.begin(), exes.end());
  for (const std::string& exe : exes) {
    if (IsWindowsExecutable(exe) && (HasArchiveTrailer(exe) || HasResourceArchive(exe))) return exe;
  }
  return {};
}

std::string ToManagerPath(const std::string& utf8) { return Utf8ToSjis(utf8); }

}  // namespace

bool HasArchiveTrailer(const std::string& utf8Path) {
  std::ifstream in(utf8Path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  std::streamoff size = in.tellg();
  if (size < 6) return false;
  char tail[2];
  in.seekg(size - 2);
  return static_cast<bool>(in.read(tail, 2)) && tail[0] == 'n' && tail[1] == 'v';
}

bool HasResourceArchive(const std::string& utf8Path) {
#if NOVA_HAVE_ARCHIVE
  TPeResource res;
  if (FindPeResource(utf8Path, "DUMMY", "BINTYPE", res) != PeLookup::Found || res.size < 2) return false;
  std::ifstream in(utf8Path, std::ios::binary);
  char tail[2];
  in.seekg(res.offset + res.size - 2);
  return static_cast<bool>(in.read(tail, 2)) && tail[0] == 'v' && tail[1] == 'f';
#else
  (void)utf8Path;
  return false;
#endif
}

std::string InstanceKey(const std::string& source) {
  std::string path = Absolute(source);
  std::replace(path.begin(), path.end(), '/', '\\');
  std::string key = UpperCaseAnsi(path);
  if (key.empty() || key.back() != '\\') key += '\\';
  std::replace(key.begin(), key.end(), '\\', '-');
  return key;
}

TGameLocation LocateGame(const std::vector<std::string>& games, const std::string& selfExe,
                         const std::string& bundledDir) {
  TGameLocation loc;
  std::error_code ec;
  if (games.empty()) {
    std::string self = Absolute(selfExe);
    loc.KeySource = FolderOf(self);
    if (HasArchiveTrailer(self)) {
      loc.Kind = GameKind::OwnExecutable;
      loc.ArchivePath = self;
      loc.GameFolder = FolderOf(self);
      loc.GameName = fs::path(self).stem().string();
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
  std::string first = Absolute(games.front());
  if (fs::is_regular_file(first, ec)) {
    loc.Kind = IsWindowsExecutable(first) ? GameKind::Executable : GameKind::ArchiveFile;
    loc.ArchivePath = first;
    loc.GameFolder = FolderOf(first);
    loc.GameName = loc.Kind == GameKind::Executable ? fs::path(first).stem().string() : NameOf(loc.GameFolder);
    return loc;
  }
  for (const std::string& g : games) {
    std::string folder = Absolute(g);
    if (!fs::is_directory(folder, ec)) RaiseError(g + ": no such game folder");
    loc.Folders.push_back(folder);
  }
  loc.GameFolder = loc.Folders.front();
  loc.GameName = NameOf(loc.GameFolder);
  loc.Kind = GameKind::Folders;
  if (loc.Folders.size() == 1 && FindInFolder(first, "game.dat").empty()) {
    std::string exe = FindGameExecutable(first);
    if (!exe.empty()) {
      loc.Kind = GameKind::Executable;
      loc.ArchivePath = exe;
      loc.Folders.clear();
    }
  }
  return loc;
}

void RegisterArchives(TVrFileManager& manager, const TGameLocation& loc) {
#if NOVA_HAVE_ARCHIVE
  manager.AddArchiveFile("");  // archive 0: the in-memory files
  switch (loc.Kind) {
    case GameKind::Folders:
      manager.SetBaseFolder(ToManagerPath(loc.Folders.front() + "/"));
      for (const std::string& folder : loc.Folders) {
        std::string dat = FindInFolder(folder, "game.dat");
        if (!dat.empty()) manager.AddArchiveFile(ToManagerPath(dat));
      }
      break;
    case GameKind::Executable:
    case GameKind::OwnExecutable:
      manager.SetBaseFolder(ToManagerPath(loc.GameFolder + "/"));
      if (HasResourceArchive(loc.ArchivePath)) {
        manager.AddResourceArchive(ToManagerPath(loc.ArchivePath), "DUMMY", "BINTYPE");
      }
      if (HasArchiveTrailer(loc.ArchivePath)) manager.AddArchiveFile(ToManagerPath(loc.ArchivePath));
      break;
    case GameKind::ArchiveFile:
      manager.SetBaseFolder(ToManagerPath(loc.GameFolder + "/"));
      manager.AddArchiveFile(ToManagerPath(loc.ArchivePath));
      break;
    case GameKind::Empty:
      manager.SetBaseFolder(ToManagerPath(loc.GameFolder + "/"));
      break;
  }
#else
  (void)manager;
  (void)loc;
#endif
}

void ProcessFileDeletions() {
#if NOVA_HAVE_ARCHIVE
  ProcessPendingDeletions();
#endif
}

std::string DefaultSaveDir(const TGameLocation& loc) {
  std::error_code ec;
  if (!loc.GameFolder.empty() && fs::is_directory(loc.GameFolder, ec) && access(loc.GameFolder.c_str(), W_OK) == 0) {
    return loc.GameFolder;
  }
  std::string base;
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
    base = data;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.local/share";
  } else {
    RaiseError("no folder for save data: set --save-dir, XDG_DATA_HOME or HOME");
  }
  std::string dir = base + "/novaplayer/" + loc.GameName;
  fs::create_directories(dir, ec);
  if (ec) RaiseError(dir + ": " + ec.message());
  return dir;
}

}  // namespace nova
