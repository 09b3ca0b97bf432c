#include "archive/bigstreams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "archive/disk_names.h"
#include "archive/pe_resources.h"
#include "base/encoding.h"
#include "base/error.h"

namespace nova {
namespace {

constexpr int64_t kCopyBuffer = 0x100000;

std::string NotFoundText(const std::filesystem::path& path) {
  static const std::string text = Utf8ToSjis(":ファイルがありません");
  return HostPathText(path) + text;
}

// A segment written on another system may differ in letter case ("GAME.001" beside
// "game.dat"): the exact name first, else the one whose name matches ignoring case.
std::filesystem::path FindSegment(const std::filesystem::path& wanted) {
  struct stat st;
  if (::stat(wanted.c_str(), &st) == 0) return wanted;
  std::string key = DiskNameKey(wanted.filename().string());
  std::filesystem::path folder = wanted.parent_path();
  for (const auto& [name, isDir] : ListLocalFolder(folder))
    if (!isDir && DiskNameKey(name) == key) return folder / name;
  return wanted;
}

int64_t PRead(int fd, void* buffer, int64_t count, int64_t offset) {
  int64_t done = 0;
  char* p = static_cast<char*>(buffer);
  while (done < count) {
    ssize_t r = ::pread(fd, p + done, static_cast<size_t>(count - done), static_cast<off_t>(offset + done));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += r;
  }
  return done;
}

int64_t PWrite(int fd, const void* buffer, int64_t count, int64_t offset) {
  int64_t done = 0;
  const char* p = static_cast<const char*>(buffer);
  while (done < count) {
    ssize_t r = ::pwrite(fd, p + done, static_cast<size_t>(count - done), static_cast<off_t>(offset + done));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += r;
  }
  return done;
}

int64_t Clamp(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

int64_t TKtBigStream::CopyFromBig(TKtBigStream& source, int64_t count) {
  std::vector<char> buffer(static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(count, 0), kCopyBuffer)));
  int64_t done = 0;
  while (done < count) {
    int64_t got = source.Read(buffer.data(), std::min<int64_t>(count - done, kCopyBuffer));
    if (got <= 0) break;
    int64_t put = Write(buffer.data(), got);
    done += put;
    if (put < got) break;
  }
  return done;
}

int64_t TKtBigStream::CopyTo(TStream& dest, int64_t count) {
  std::vector<char> buffer(static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(count, 0), kCopyBuffer)));
  int64_t done = 0;
  while (done < count) {
    int64_t got = Read(buffer.data(), std::min<int64_t>(count - done, kCopyBuffer));
    if (got <= 0) break;
    int64_t put = dest.Write(buffer.data(), got);
    done += put;
    if (put < got) break;
  }
  return done;
}

// ---- segmented file ----

std::filesystem::path TKtBigFileStream::SegmentName(const std::filesystem::path& path, int index) {
  if (index == 0) return path;
  char digits[16];
  std::snprintf(digits, sizeof digits, ".%.3d", index);
  std::filesystem::path name = path;
  return name.replace_extension(digits);
}

TKtBigFileStream::TKtBigFileStream(const std::filesystem::path& path, Mode mode, int64_t segmentSize)
    : path_(path), mode_(mode), segmentSize_(segmentSize > 0 ? segmentSize : kBigSegmentSize) {
  if (mode == Create) {
    for (int k = 0;; ++k) {
      std::filesystem::path name = k == 0 ? path : FindSegment(SegmentName(path, k));
      if (::unlink(name.c_str()) != 0 && k > 0) break;
    }
    if (!OpenSegment(0)) RaiseError(HostPathText(path) + Utf8ToSjis(":ファイルが作れません"));
    return;
  }
  int flags = (mode == OpenRead ? O_RDONLY : O_RDWR) | O_CLOEXEC;
  for (int k = 0;; ++k) {
    int fd = ::open((k == 0 ? path : FindSegment(SegmentName(path, k))).c_str(), flags);
    if (fd < 0) break;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      break;
    }
    segments_.push_back({fd, static_cast<int64_t>(st.st_size)});
  }
  if (segments_.empty()) RaiseError(NotFoundText(path));
}

TKtBigFileStream::~TKtBigFileStream() {
  Flush();
  for (Segment& s : segments_) ::close(s.fd);
}

void TKtBigFileStream::Flush() {
  if (mode_ == OpenRead) return;
  for (Segment& s : segments_) ::fdatasync(s.fd);
}

bool TKtBigFileStream::OpenSegment(int index) {
  while (static_cast<int>(segments_.size()) <= index) {
    std::filesystem::path name = SegmentName(path_, static_cast<int>(segments_.size()));
    int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    segments_.push_back({fd, 0});
  }
  return true;
}

int64_t TKtBigFileStream::Size() {
  int64_t total = 0;
  for (const Segment& s : segments_) total += s.size;
  return total;
}

int64_t TKtBigFileStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? position_ : Size();
  position_ = Clamp(base + offset, 0, Size());
  return position_;
}

int64_t TKtBigFileStream::Read(void* buffer, int64_t count) {
  char* p = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    size_t seg = static_cast<size_t>(position_ / segmentSize_);
    int64_t off = position_ % segmentSize_;
    if (seg >= segments_.size() || off >= segments_[seg].size) break;
    int64_t want = std::min(count - done, segments_[seg].size - off);
    int64_t got = PRead(segments_[seg].fd, p + done, want, off);
    done += got;
    position_ += got;
    if (got < want) break;
  }
  return done;
}

int64_t TKtBigFileStream::Write(const void* buffer, int64_t count) {
  if (mode_ == OpenRead) return 0;
  const char* p = static_cast<const char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    int seg = static_cast<int>(position_ / segmentSize_);
    int64_t off = position_ % segmentSize_;
    if (!OpenSegment(seg)) break;
    int64_t want = std::min(count - done, segmentSize_ - off);
    int64_t put = PWrite(segments_[static_cast<size_t>(seg)].fd, p + done, want, off);
    done += put;
    position_ += put;
    Segment& s = segments_[static_cast<size_t>(seg)];
    s.size = std::max(s.size, off + put);
    if (put < want) break;
  }
  return done;
}

// ---- resource ----

TKtBigResourceStream::TKtBigResourceStream(const std::filesystem::path& modulePath, const std::string& resName,
                                           const std::string& resType)
    : module_(modulePath), resName_(resName), resType_(resType) {
  TPeResource res;
  PeLookup r = FindPeResource(modulePath, resName, resType, res);
  if (r == PeLookup::NotPe) RaiseError(HostPathText(modulePath) + Utf8ToSjis(":実行ファイルが読めません"));
  if (r == PeLookup::Missing)
    RaiseError(HostPathText(modulePath) + ":" + resType + "/" + resName + Utf8ToSjis(":リソースがありません"));
  fd_ = ::open(modulePath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) RaiseError(NotFoundText(modulePath));
  start_ = res.offset;
  size_ = res.size;
}

TKtBigResourceStream::~TKtBigResourceStream() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t TKtBigResourceStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? position_ : size_;
  position_ = Clamp(base + offset, 0, size_);
  return position_;
}

int64_t TKtBigResourceStream::Read(void* buffer, int64_t count) {
  int64_t n = std::min(count, size_ - position_);
  if (n <= 0) return 0;
  int64_t got = PRead(fd_, buffer, n, start_ + position_);
  position_ += got;
  return got;
}

// ---- read-ahead ----

TKtBuffBigStream::TKtBuffBigStream(TKtBigStream& stream) : stream_(stream), buffer_(new char[kBufferSize]) {}

TKtBuffBigStream::~TKtBuffBigStream() {
  if (filled_ > used_) stream_.Seek(-(filled_ - used_), SeekOrigin::Current);
}

int64_t TKtBuffBigStream::Read(void* buffer, int64_t count) {
  char* p = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    if (used_ == filled_) {
      int64_t left = stream_.Size() - stream_.Position();
      filled_ = left > 0 ? stream_.Read(buffer_.get(), std::min(kBufferSize, left)) : 0;
      used_ = 0;
      if (filled_ <= 0) {
        filled_ = 0;
        break;
      }
    }
    int64_t n = std::min(count - done, filled_ - used_);
    std::memcpy(p + done, buffer_.get() + used_, static_cast<size_t>(n));
    used_ += n;
    done += n;
  }
  return done;
}

int32_t TKtBuffBigStream::ReadInt32() {
  uint8_t b[4] = {};
  Read(b, 4);
  return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                              (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

// ---- range streams ----

TRangeStream::TRangeStream(std::unique_ptr<TKtBigStream> stream, int64_t size, int64_t start)
    : stream_(std::move(stream)) {
  int64_t total = stream_->Size();
  start_ = Clamp(start, 0, total);
  size_ = size < 0 ? total - start_ : std::min(size, total - start_);
  position_ = start_;
  stream_->SetPosition(start_);
}

int64_t TRangeStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t p = origin == SeekOrigin::Begin ? start_ + offset
              : origin == SeekOrigin::Current ? position_ + offset
                                              : start_ + size_ + offset;
  position_ = Clamp(p, start_, start_ + size_);
  return position_ - start_;
}

int64_t TRangeStream::Read(void* buffer, int64_t count) {
  int64_t n = std::min(count, start_ + size_ - position_);
  if (n <= 0) return 0;
  stream_->SetPosition(position_);
  int64_t got = stream_->Read(buffer, n);
  if (got > 0) position_ += got;
  return got < 0 ? 0 : got;
}

TFileRangeStream::TFileRangeStream(const std::filesystem::path& path, int64_t size, int64_t start, int64_t segmentSize)
    : TRangeStream(std::make_unique<TKtBigFileStream>(path, TKtBigFileStream::OpenRead, segmentSize), size, start) {}

TResourceRangeStream::TResourceRangeStream(const std::filesystem::path& modulePath, const std::string& resName,
                                           const std::string& resType, int64_t size, int64_t start)
    : TRangeStream(std::make_unique<TKtBigResourceStream>(modulePath, resName, resType), size, start) {}

// ---- copying ----

int64_t CopyStream(TStream& dest, TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  if (count <= 0) return 0;
  if (auto* mem = dynamic_cast<TKtMemoryStream*>(&source)) {
    int64_t pos = mem->Position();
    int64_t n = std::min(count, mem->Size() - pos);
    if (n <= 0) return 0;
    dest.WriteBuffer(mem->Memory() + pos, n);
    mem->Seek(n, SeekOrigin::Current);
    return n;
  }
  constexpr int64_t kMiB = 1 << 20;
  int64_t bufferSize = std::min<int64_t>(count, 10 * kMiB);
  std::unique_ptr<char[]> buffer;
  while (!buffer) {
    buffer.reset(new (std::nothrow) char[static_cast<size_t>(bufferSize)]);
    if (!buffer) {
      if (bufferSize <= kMiB) throw std::bad_alloc();
      bufferSize -= kMiB;
    }
  }
  int64_t done = 0;
  while (done < count) {
    int64_t got = source.Read(buffer.get(), std::min(bufferSize, count - done));
    if (got <= 0) break;
    dest.WriteBuffer(buffer.get(), got);
    done += got;
  }
  return done;
}

}  // namespace nova
