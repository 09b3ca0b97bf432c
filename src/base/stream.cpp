#include "base/stream.h"

#include "base/encoding.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/error.h"

namespace nova {

int64_t TStream::Size() {
  int64_t pos = Position();
  int64_t end = Seek(0, SeekOrigin::End);
  Seek(pos, SeekOrigin::Begin);
  return end;
}

void TStream::SetSize(int64_t) { RaiseError("stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count > 0 && Read(buffer, count) != count) RaiseError("ストリーム読み込みエラー");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count > 0 && Write(buffer, count) != count) RaiseError("ストリーム書き込みエラー");
}

uint8_t TStream::ReadByte() {
  uint8_t v = 0;
  ReadTyped(&v, 1);
  return v;
}

int32_t TStream::ReadInt32() {
  uint8_t b[4] = {};
  ReadTyped(b, 4);
  return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                              (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

int64_t TStream::ReadInt64() {
  uint8_t b[8] = {};
  ReadTyped(b, 8);
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(b[i]) << (8 * i);
  return static_cast<int64_t>(v);
}

Real TStream::ReadExtended() {
  uint8_t b[10] = {};
  ReadTyped(b, 10);
  return ExtendedToReal(b);
}

int32_t TStream::CheckedCount(int32_t n, int64_t minBytesEach, const char* what) {
  if (n < 0 || (minBytesEach > 0 && n > Remaining() / minBytesEach)) RaiseError(Format("%s: bad count", what));
  return n;
}

std::string TStream::ReadBytes(int64_t n) {
  if (n <= 0) return std::string();
  int64_t left = Remaining();
  if (n > left) {
    n = left;
    readPastEnd_ = true;
  }
  std::string s(static_cast<size_t>(n), '\0');
  int64_t got = Read(s.data(), n);
  s.resize(static_cast<size_t>(got < 0 ? 0 : got));
  return s;
}

std::string TStream::ReadString() { return ReadBytes(ReadInt32()); }

void TStream::WriteInt32(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                  static_cast<uint8_t>(u >> 24)};
  WriteBuffer(b, 4);
}

void TStream::WriteInt64(int64_t v) {
  uint64_t u = static_cast<uint64_t>(v);
  uint8_t b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(u >> (8 * i));
  WriteBuffer(b, 8);
}

void TStream::WriteExtended(Real v) {
  uint8_t b[10];
  RealToExtended(v, b);
  WriteBuffer(b, 10);
}

void TStream::WriteString(const std::string& s) {
  WriteInt32(static_cast<int32_t>(s.size()));
  WriteBytes(s);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  if (auto* mem = dynamic_cast<TKtMemoryStream*>(&source)) {
    int64_t pos = mem->Position();
    int64_t n = count;
    if (n > mem->Size() - pos) n = mem->Size() - pos;
    if (n <= 0) return 0;
    WriteBuffer(mem->Memory() + pos, n);
    mem->Seek(n, SeekOrigin::Current);
    return n;
  }
  const int64_t kChunk = 1 << 20;
  std::vector<char> buffer(static_cast<size_t>(count < kChunk ? count : kChunk));
  int64_t done = 0;
  while (done < count) {
    int64_t want = count - done < kChunk ? count - done : kChunk;
    int64_t got = source.Read(buffer.data(), want);
    if (got <= 0) break;
    WriteBuffer(buffer.data(), got);
    done += got;
  }
  return done;
}

int64_t TKtMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || pos_ >= data_.size()) return 0;
  size_t n = data_.size() - pos_;
  if (static_cast<uint64_t>(count) < n) n = static_cast<size_t>(count);
  std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += n;
  return static_cast<int64_t>(n);
}

int64_t TKtMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  size_t n = static_cast<size_t>(count);
  if (pos_ + n > data_.size()) data_.resize(pos_ + n);
  std::memcpy(data_.data() + pos_, buffer, n);
  pos_ += n;
  return count;
}

int64_t TKtMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? static_cast<int64_t>(pos_)
                                                                                   : static_cast<int64_t>(data_.size());
  int64_t p = base + offset;
  if (p < 0) p = 0;
  pos_ = static_cast<size_t>(p);
  return p;
}

void TKtMemoryStream::SetSize(int64_t size) {
  data_.resize(static_cast<size_t>(size < 0 ? 0 : size));
  if (pos_ > data_.size()) pos_ = data_.size();
}

void TKtMemoryStream::LoadFromFile(const std::filesystem::path& path) {
  TFileStream f(path, TFileStream::OpenRead);
  int64_t size = f.Size();
  std::string data(static_cast<size_t>(size), '\0');
  f.ReadBuffer(data.data(), size);
  Assign(std::move(data));
}

void TKtMemoryStream::SaveToFile(const std::filesystem::path& path) const {
  TFileStream f(path, TFileStream::Create);
  f.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

TFileStream::TFileStream(const std::filesystem::path& path, Mode mode) : path_(path) {
  int flags = mode == OpenRead ? O_RDONLY : mode == OpenReadWrite ? O_RDWR : (O_RDWR | O_CREAT | O_TRUNC);
  fd_ = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    if (mode == Create) RaiseError(HostPathText(path) + Utf8ToSjis(":ファイルが作れません"));
    RaiseError(HostPathText(path) + Utf8ToSjis(":ファイルがありません"));
  }
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  char* p = static_cast<char*>(buffer);
  while (done < count) {
    ssize_t r = ::read(fd_, p + done, static_cast<size_t>(count - done));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += r;
  }
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  const char* p = static_cast<const char*>(buffer);
  while (done < count) {
    ssize_t r = ::write(fd_, p + done, static_cast<size_t>(count - done));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += r;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
  int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
  return r < 0 ? -1 : static_cast<int64_t>(r);
}

int64_t TFileStream::Size() {
  struct stat st;
  if (::fstat(fd_, &st) != 0) return 0;
  return static_cast<int64_t>(st.st_size);
}

void TFileStream::SetSize(int64_t size) {
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
    RaiseError(HostPathText(path_) + Utf8ToSjis(":ファイルに書き込めません"));
}

void TFileStream::Flush() { ::fsync(fd_); }

}  // namespace nova
