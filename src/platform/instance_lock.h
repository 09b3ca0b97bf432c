#pragma once
// One player per game: an exclusive flock on a lock file named from the game's key, held
// for the process's life. Lock files live in $XDG_RUNTIME_DIR, else in /tmp/novaplayer-$UID/
// (created private to the user).
#include <memory>
#include <string>

namespace nova {

class TInstanceLock {
public:
  ~TInstanceLock();
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

  // Null when another holder has the same key. Raises ENovaError when no lock file can be
  // made. folder empty = the default folder above.
  static std::unique_ptr<TInstanceLock> TryAcquire(const std::string& key, const std::string& folder = "");

  const std::string& Path() const { return path_; }

private:
  TInstanceLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  int fd_;
  std::string path_;
};

// The lock file name for a key: "novaplayer-" + the key with every byte outside
// [A-Za-z0-9._-] written as %XX + ".lock"; a long key keeps its start and a CRC-32 of the whole.
std::string InstanceLockFileName(const std::string& key);
std::string DefaultLockFolder();

}  // namespace nova
