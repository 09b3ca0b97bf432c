#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/crc32.h"
#include "base/error.h"

namespace nova {

std::string InstanceLockFileName(const std::string& key) {
  static const char* kHex = "0123456789ABCDEF";
  std::string escaped;
  for (unsigned char c : key) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
        c == '-') {
      escaped += static_cast<char>(c);
    } else {
      escaped += '%';
      escaped += kHex[c >> 4];
      escaped += kHex[c & 15];
    }
  }
  constexpr size_t kMaxEscaped = 200;  // file names stop at 255 bytes
  if (escaped.size() > kMaxEscaped) {
    escaped = escaped.substr(0, kMaxEscaped - 9) + "~" + Format("%.8X", Crc32(key.data(), key.size()));
  }
  return "novaplayer-" + escaped + ".lock";
}

std::string DefaultLockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat st{};
  if (runtime && *runtime && stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) return runtime;
  std::string folder = Format("/tmp/novaplayer-%u", static_cast<unsigned>(getuid()));
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) RaiseError(folder + ": " + std::strerror(errno));
  // Someone else's folder of that name must not hold our lock.
  if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) {
    RaiseError(folder + ": not a private folder");
  }
  return folder;
}

std::unique_ptr<TInstanceLock> TInstanceLock::TryAcquire(const std::string& key, const std::string& folder) {
  std::string dir = folder.empty() ? DefaultLockFolder() : folder;
  std::string path = dir + "/" + InstanceLockFileName(key);
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) RaiseError(path + ": " + std::strerror(errno));
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno;
    close(fd);
    if (err == EWOULDBLOCK) return nullptr;
    RaiseError(path + ": " + std::strerror(err));
  }
  return std::unique_ptr<TInstanceLock>(new TInstanceLock(fd, std::move(path)));
}

TInstanceLock::~TInstanceLock() {
  // The file stays: removing it would let a third process lock a new file while a second
  // one still waits on the old.
  flock(fd_, LOCK_UN);
  close(fd_);
}

}  // namespace nova
