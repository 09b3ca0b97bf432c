#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "archive/disk_names.h"
#include "archive/vrfiles.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/process.h"
#include "base/sjis.h"

namespace nova {
namespace {

const std::string& NotFoundSuffix() {
  static const std::string text = Utf8ToSjis(":ファイルがありません");
  return text;
}
const std::string& CannotCreateTemp() {
  static const std::string text = Utf8ToSjis("作業用ファイルが作れません");
  return text;
}

void LoadLocalFile(TStream& dest, const std::filesystem::path& localPath) {
  if (auto* mem = dynamic_cast<TKtMemoryStream*>(&dest)) {
    mem->LoadFromFile(localPath);
    return;
  }
  TFileStream f(localPath, TFileStream::OpenRead);
  CopyStream(dest, f, 0);
  dest.SetPosition(0);
}

bool WriteAll(int fd, const char* p, int64_t left) {
  while (left > 0) {
    ssize_t w = ::write(fd, p, static_cast<size_t>(left));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    left -= w;
  }
  return true;
}

bool IsSentinelName(const std::string& name) { return SameText(name, TVrFileCollection::kSentinel); }

std::filesystem::path MakePrivateTempFolder() {
  const char* env = std::getenv("TMPDIR");
  std::string base = env && *env ? env : "/tmp";
  std::string pattern = base + "/novaplayer-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) return {};  // mode 0700
  return std::filesystem::path(buf.data());
}

void RemoveFolder(const std::filesystem::path& folder) {
  if (folder.empty()) return;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (struct dirent* e = ::readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") ::unlink((folder / n).c_str());
    }
    ::closedir(d);
  }
  ::rmdir(folder.c_str());
}

// Replaces the first "%d" of a prompt with the number (the prompt comes from game data, so
// it is never used as a format string).
std::string FormatDiskPrompt(const std::string& prompt, int number) {
  std::string out = prompt;
  size_t p = out.find("%d");
  if (p != std::string::npos) out.replace(p, 2, std::to_string(number));
  return out;
}

std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '7') {
      out += static_cast<char>(((s[i + 1] - '0') << 6) | ((s[i + 2] - '0') << 3) | (s[i + 3] - '0'));
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

// True when path lies inside folder (compared component by component).
bool IsBelow(const std::filesystem::path& path, const std::filesystem::path& folder) {
  auto p = path.begin();
  for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
    if (f->empty()) continue;  // a trailing separator
    if (p == path.end() || *p != *f) return false;
  }
  return true;
}

// The process-wide manager is destroyed at exit; the process-wide helpers its destructor
// uses (pending deletions, disk-name cache, converters) are made first so they outlive it.
struct TInstanceSlot {
  TInstanceSlot() {
    nova::ProcessPendingDeletions();
    InvalidateDiskNames();
    SjisToUtf8("a");
    Utf8ToSjis("a");
  }
  std::unique_ptr<TVrFileManager> manager;
};

std::unique_ptr<TVrFileManager>& Instance() {
  static TInstanceSlot slot;
  return slot.manager;
}

}  // namespace

std::vector<std::filesystem::path> OpticalMountPoints(const std::filesystem::path& mountsFile) {
  std::vector<std::filesystem::path> roots;
  std::ifstream in(mountsFile);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string device, mountPoint, type;
    if (!(fields >> device >> mountPoint >> type)) continue;
    if (type != "iso9660" && type != "udf") continue;
    std::string path = Unescape(mountPoint);
    if (!path.empty()) roots.emplace_back(path);
  }
  return roots;
}

TVrFileManager::TVrFileManager(bool removableRoots)
    : tempFolder_(MakePrivateTempFolder()),
      locks_(std::make_unique<TVrLockList>()),
      diskPrompt_(Utf8ToSjis("ディスク%dを入れてから[OK]をクリックしてください")),
      quitText_(Utf8ToSjis("終了します")),
      removableEnabled_(removableRoots) {
  RefreshRemovableRoots();
}

TVrFileManager::~TVrFileManager() {
  archives_.clear();
  locks_.reset();  // extracted files go to the pending deletions, which run now
  RemoveFolder(tempFolder_);
}

void TVrFileManager::RefreshRemovableRoots() {
  if (rootsFixed_) return;
  roots_ = removableEnabled_ ? OpticalMountPoints() : std::vector<std::filesystem::path>();
}

void TVrFileManager::SetRemovableRoots(std::vector<std::filesystem::path> roots) {
  roots_ = std::move(roots);
  rootsFixed_ = true;
}

void TVrFileManager::SetDiskPromptTexts(const std::string& prompt, const std::string& quitText) {
  diskPrompt_ = prompt;
  quitText_ = quitText;
}

TVrFileCollection* TVrFileManager::Archive(int index) const {
  if (index < 0 || index >= ArchiveCount()) return nullptr;
  return archives_[static_cast<size_t>(index)].get();
}

int TVrFileManager::AddMemoryArchive() { return AddCollection(std::make_unique<TVrFileCollection>()); }

int TVrFileManager::AddCollection(std::unique_ptr<TVrFileCollection> collection) {
  archives_.push_back(std::move(collection));
  return ArchiveCount() - 1;
}

int TVrFileManager::AddArchiveFile(const std::filesystem::path& fileName) {
  auto c = std::make_unique<TVrFileCollection>();
  c->OpenFile(fileName);
  archives_.push_back(std::move(c));
  return ArchiveCount() - 1;
}

int TVrFileManager::AddAppendedArchive(const std::filesystem::path& fileName) {
  auto c = std::make_unique<TVrFileCollection>();
  c->OpenAppended(fileName);
  archives_.push_back(std::move(c));
  return ArchiveCount() - 1;
}

int TVrFileManager::AddResourceArchive(const std::filesystem::path& moduleFile, const std::string& resName,
                                       const std::string& resType) {
  auto c = std::make_unique<TVrFileCollection>();
  c->OpenResource(moduleFile, resName, resType);
  archives_.push_back(std::move(c));
  return ArchiveCount() - 1;
}

void TVrFileManager::RemoveArchive(int index) {
  if (index >= 0 && index < ArchiveCount()) archives_.erase(archives_.begin() + index);
}

TVrFile* TVrFileManager::FindEntry(const std::string& name) {
  for (const auto& a : archives_) {
    TVrFile* e = a->FindFile(name);
    if (e && !IsSentinelName(e->Name())) return e;
  }
  return nullptr;
}

bool TVrFileManager::Exists(const std::string& name) {
  if (name.empty()) return false;
  if (FindEntry(name)) return true;
  if (!baseFolder_.empty() && FindGameFile(baseFolder_, name)) return true;
  for (const std::filesystem::path& root : roots_)
    if (FindGameFile(root, name)) return true;
  return false;
}

void TVrFileManager::ReadFile(TStream& dest, const std::string& name) {
  auto* mem = dynamic_cast<TKtMemoryStream*>(&dest);
  if (mem) mem->Clear();
  if (!baseFolder_.empty()) {
    if (std::optional<std::filesystem::path> path = FindGameFile(baseFolder_, name)) {
      LoadLocalFile(dest, *path);
      return;
    }
  }
  for (const auto& a : archives_) {
    TVrFile* e = a->FindFile(name);
    if (!e || IsSentinelName(e->Name())) continue;
    if (e->Memory || a->Stream()) {
      a->ReadEntryData(*e, dest);
      return;
    }
  }
  for (const std::filesystem::path& root : roots_) {
    if (std::optional<std::filesystem::path> path = FindGameFile(root, name)) {
      LoadLocalFile(dest, *path);
      return;
    }
  }
  RaiseError(name + NotFoundSuffix());
}

std::unique_ptr<TRangeStream> TVrFileManager::OpenRange(const std::string& name) {
  if (!baseFolder_.empty()) {
    if (std::optional<std::filesystem::path> path = FindGameFile(baseFolder_, name))
      return std::make_unique<TFileRangeStream>(*path, kWholeStream, 0);
  }
  for (const auto& a : archives_)
    if (std::unique_ptr<TRangeStream> r = a->OpenRange(name)) return r;
  for (const std::filesystem::path& root : roots_) {
    if (std::optional<std::filesystem::path> path = FindGameFile(root, name))
      return std::make_unique<TFileRangeStream>(*path, kWholeStream, 0);
  }
  RaiseError(name + NotFoundSuffix());
}

std::filesystem::path TVrFileManager::GetRealPath(const std::string& name) {
  if (!baseFolder_.empty()) {
    if (std::optional<std::filesystem::path> path = FindGameFile(baseFolder_, name)) return *path;
  }
  if (FindEntry(name)) {
    if (TVrLockData* lock = locks_->Find(name)) {
      ++lock->RefCount;
      return lock->Path;
    }
    if (tempFolder_.empty()) RaiseError(CannotCreateTemp());
    TVrLockData* lock = locks_->Add(name, tempFolder_);
    std::filesystem::path path = lock->Path;
    ::unlink(path.c_str());  // a stale file of that name is replaced
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      locks_->Remove(lock);
      RaiseError(CannotCreateTemp());
    }
    bool ok = true;
    try {
      TVrFileCollection* owner = nullptr;
      TVrFile* entry = nullptr;
      for (const auto& a : archives_) {
        TVrFile* e = a->FindFile(name);
        if (e && !IsSentinelName(e->Name()) && (e->Memory || a->Stream())) {
          owner = a.get();
          entry = e;
          break;
        }
      }
      if (entry && !entry->Memory && entry->Stored) {
        // Stored bytes (movies, music) go to the file in pieces, never whole into memory.
        TKtBigStream& in = *owner->Stream();
        in.SetPosition(entry->Offset);
        std::vector<char> buffer(static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(entry->Size, 1), 1 << 20)));
        for (int64_t left = entry->Size; left > 0 && ok;) {
          int64_t got = in.Read(buffer.data(), std::min<int64_t>(left, static_cast<int64_t>(buffer.size())));
          ok = got > 0 && WriteAll(fd, buffer.data(), got);
          left -= got;
        }
      } else {
        TKtMemoryStream bytes;
        ReadFile(bytes, name);
        ok = WriteAll(fd, bytes.Memory(), bytes.Size());
      }
    } catch (...) {
      ::close(fd);
      ::unlink(path.c_str());
      locks_->Remove(lock);
      throw;
    }
    if (::close(fd) != 0) ok = false;
    if (!ok) {
      ::unlink(path.c_str());
      locks_->Remove(lock);
      RaiseError(CannotCreateTemp());
    }
    return path;
  }
  for (const std::filesystem::path& root : roots_) {
    if (std::optional<std::filesystem::path> path = FindGameFile(root, name)) return *path;
  }
  return {};
}

void TVrFileManager::ListFolder(const std::string& folder, std::vector<std::string>& list) {
  for (const auto& a : archives_) a->ListFolder(folder, list);
  // The separator is added unless the folder already ends in one (a "\" that is not the
  // second byte of a double-byte character such as "ソ").
  std::string prefix = folder;
  bool endsInSeparator = !prefix.empty() && prefix.back() == '\\' && !IsTrailByteAt(prefix, prefix.size() - 1);
  if (!prefix.empty() && !endsInSeparator) prefix += '\\';
  auto listRoot = [&](const std::filesystem::path& root) {
    std::filesystem::path dir = root;
    if (!folder.empty()) {
      std::optional<TDiskEntry> e = ResolveGamePath(root, folder);
      if (!e || !e->isDirectory) return;
      dir = e->localPath;
    }
    for (const auto& [diskName, isDir] : ListLocalFolder(dir))
      if (!isDir) list.push_back(prefix + Utf8ToSjis(diskName));
  };
  if (!baseFolder_.empty()) listRoot(baseFolder_);
  for (const std::filesystem::path& root : roots_) listRoot(root);
}

bool TVrFileManager::FindDisk(int diskIndex) {
  RefreshRemovableRoots();
  bool found = false;
  for (const std::filesystem::path& root : roots_) {
    std::optional<std::filesystem::path> game = FindGameFile(root, "game.dat");
    std::optional<std::filesystem::path> install = FindGameFile(root, "install.dat");
    if (!game || !install) continue;
    TNovaInstallSet set;
    try {
      set.LoadFromFile(*install);
    } catch (const ENovaError&) {
      continue;  // an unreadable record is not our disk
    }
    if (set.ProjectName == projectName_ && set.DiskIndex == diskIndex) {
      AddArchiveFile(*game);
      found = true;
    }
  }
  return found;
}

bool TVrFileManager::PromptDisk(int diskNumber) {
  for (size_t i = 0; i < archives_.size();) {
    const std::filesystem::path& file = archives_[i]->FileName();
    bool onDisk = false;
    for (const std::filesystem::path& root : roots_)
      if (!file.empty() && IsBelow(file, root)) onDisk = true;
    if (onDisk) archives_.erase(archives_.begin() + static_cast<std::ptrdiff_t>(i));
    else ++i;
  }
  const std::string& title = ApplicationTitle();
  // Without dialogs nobody can answer: as a refused prompt, the game ends.
  while (true) {
    MsgResult r = dialogs_ ? dialogs_->MessageBox(FormatDiskPrompt(diskPrompt_, diskNumber), title,
                                                  MsgButtons::OkCancel, MsgIcon::None)
                           : MsgResult::Cancel;
    if (r == MsgResult::Ok) {
      if (FindDisk(diskNumber - 1)) return true;
      // Without removable roots no disc can ever be found: asking again would never end.
      if (!removableEnabled_ && !rootsFixed_) r = MsgResult::Cancel;
      else continue;
    }
    MsgResult q = dialogs_ ? dialogs_->MessageBox(quitText_, title, MsgButtons::OkCancel, MsgIcon::None) : MsgResult::Ok;
    if (q == MsgResult::Ok || (!removableEnabled_ && !rootsFixed_)) {
      SetQuitting(true);
      PostCloseRequest();
      return false;
    }
  }
}

TVrFileManager& FileManager() {
  std::unique_ptr<TVrFileManager>& m = Instance();
  if (!m) m = std::make_unique<TVrFileManager>(true);
  return *m;
}

void ResetFileManager(bool removableRoots) {
  std::unique_ptr<TVrFileManager>& m = Instance();
  m.reset();
  m = std::make_unique<TVrFileManager>(removableRoots);
}

}  // namespace nova
