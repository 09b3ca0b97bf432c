#include <unistd.h>

#include <algorithm>
#include <mutex>

#include "archive/vrfiles.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"

namespace nova {
namespace {

struct TPendingDeletions {
  std::mutex lock;
  std::vector<std::filesystem::path> paths;
};

TPendingDeletions& Pending() {
  static TPendingDeletions pending;
  return pending;
}

}  // namespace

void AddPendingDeletion(const std::filesystem::path& localPath) {
  TPendingDeletions& p = Pending();
  std::lock_guard<std::mutex> guard(p.lock);
  p.paths.push_back(localPath);
}

void ProcessPendingDeletions() {
  std::vector<std::filesystem::path> paths;
  {
    TPendingDeletions& p = Pending();
    std::lock_guard<std::mutex> guard(p.lock);
    paths.swap(p.paths);
  }
  for (const std::filesystem::path& path : paths) ::unlink(path.c_str());  // errors ignored
}

TVrLockList::~TVrLockList() {
  for (const auto& lock : items_) AddPendingDeletion(lock->Path);
  nova::ProcessPendingDeletions();
}

TVrLockData* TVrLockList::Find(const std::string& name) const {
  for (const auto& lock : items_)
    if (lock->Name == name) return lock.get();
  return nullptr;
}

TVrLockData* TVrLockList::Add(const std::string& name, const std::filesystem::path& tempFolder) {
  // The extension keeps the media type recognisable; path separators never get through.
  std::string ext = SjisToUtf8(ExtractFileExt(name));
  ext.erase(std::remove_if(ext.begin(), ext.end(), [](char c) { return c == '/' || c == '\\' || c == '\0'; }),
            ext.end());
  uint32_t id = nextId_;
  items_.push_back(std::make_unique<TVrLockData>(id, name, tempFolder / (Format("~nv%.8X", id) + ext)));
  auto used = [&](uint32_t v) {
    return std::any_of(items_.begin(), items_.end(), [&](const auto& l) { return l->Id == v; });
  };
  while (used(nextId_)) ++nextId_;
  return items_.back().get();
}

void TVrLockList::Remove(TVrLockData* lock) {
  items_.erase(std::remove_if(items_.begin(), items_.end(), [&](const auto& l) { return l.get() == lock; }),
               items_.end());
}

}  // namespace nova
