#include "saves/save_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "archive/bigstreams.h"
#include "base/error.h"

namespace nova {

namespace {

[[noreturn]] void Fail(const std::filesystem::path& path, const char* what, int err) {
  RaiseError(HostPathText(path) + ": " + what + " (" + std::strerror(err) + ")");
}

bool SameBytes(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  if (std::filesystem::file_size(a, ec) != std::filesystem::file_size(b, ec) || ec) return false;
  TKtMemoryStream x, y;
  try {
    x.LoadFromFile(a);
    y.LoadFromFile(b);
  } catch (const std::exception&) {
    return false;
  }
  return x.Data() == y.Data();
}

}  // namespace

void TSaveFile::Open() {
  exists_ = false;
  damaged_ = false;
  damageReason_.clear();
  damagedCopy_.reset();
  archive_.OpenFile(std::filesystem::path());  // empty, in memory
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path_, ec)) return;
  exists_ = true;
  try {
    // A plain stream: no side directory and no loose files beside it take part.
    auto stream = std::make_unique<TKtBigFileStream>(path_, TKtBigFileStream::OpenRead);
    archive_.OpenStream(std::move(stream), path_);
  } catch (const std::exception& e) {
    archive_.OpenFile(std::filesystem::path());
    MarkDamaged(e.what());
  }
}

void TSaveFile::MarkDamaged(const std::string& why) {
  if (!damaged_) damageReason_ = why;
  damaged_ = true;
}

bool TSaveFile::Has(const std::string& name) const {
  TVrFile* e = archive_.FindFile(name);
  return e && e->Name() != TVrFileCollection::kSentinel;
}

bool TSaveFile::Read(const std::string& name, TKtMemoryStream& out) {
  out.Clear();
  TVrFile* e = archive_.FindFile(name);
  if (!e || e->Name() == TVrFileCollection::kSentinel) return false;
  try {
    archive_.ReadEntryData(*e, out);
  } catch (const std::exception& err) {
    MarkDamaged(err.what());
    throw;
  }
  out.SetPosition(0);
  return true;
}

void TSaveFile::Put(const std::string& name, std::string bytes) {
  archive_.RemoveFile(name);
  archive_.AddMemoryFile(name)->Memory->Assign(std::move(bytes));
}

std::string TSaveFile::Build() {
  // Every entry copied from the file is read first: one that cannot be read is left out rather
  // than failing the whole write (the damaged file is kept aside by Commit).
  for (int i = archive_.Count() - 1; i >= 0; --i) {
    TVrFile* e = archive_.Entry(i);
    if (e->Memory || e->Name() == TVrFileCollection::kSentinel) continue;
    auto bytes = std::make_unique<TKtMemoryStream>();
    try {
      archive_.ReadEntryData(*e, *bytes);
    } catch (const std::exception& err) {
      MarkDamaged(err.what());
      archive_.Delete(i);
      continue;
    }
    // Written as the archive writes entries it copies: compressed up to the size limit, the
    // checksum over the stored bytes.
    e->Memory = std::move(bytes);
    e->RawChecksum = 0;
  }
  TKtMemoryStream out;
  archive_.Write(out);
  return out.Data();
}

void TSaveFile::Commit() {
  std::string bytes = Build();
  damagedCopy_.reset();
  if (damaged_ && exists_) damagedCopy_ = KeepDamagedCopy(path_);
  ReplaceFileAtomically(path_, bytes);
}

void ReplaceFileAtomically(const std::filesystem::path& given, const std::string& bytes) {
  std::error_code ec;
  std::filesystem::path path = given;
  if (std::filesystem::is_symlink(given, ec)) {
    std::filesystem::path target = std::filesystem::weakly_canonical(given, ec);
    if (!ec) path = target;
  }
  std::filesystem::path temp = path;
  temp += ".new";
  mode_t mode = 0644;
  struct stat old;
  if (::stat(path.c_str(), &old) == 0) mode = old.st_mode & 07777;

  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) Fail(temp, "cannot create the file", errno);
  auto abandon = [&](const char* what) {
    int err = errno;
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    Fail(temp, what, err);
  };
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      abandon("cannot write the file");
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) abandon("cannot flush the file to the disk");
  int rc = ::close(fd);
  fd = -1;
  if (rc != 0) abandon("cannot write the file");
  if (::rename(temp.c_str(), path.c_str()) != 0) abandon("cannot replace the file");
  // The rename itself reaches the disk with the folder.
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

std::filesystem::path KeepDamagedCopy(const std::filesystem::path& path) {
  for (int n = 1;; ++n) {
    std::filesystem::path copy = path;
    copy += n == 1 ? std::string(".damaged") : ".damaged" + std::to_string(n);
    std::error_code ec;
    if (std::filesystem::exists(copy, ec)) {
      if (SameBytes(copy, path)) return copy;
      continue;
    }
    TKtMemoryStream bytes;
    bytes.LoadFromFile(path);
    ReplaceFileAtomically(copy, bytes.Data());
    return copy;
  }
}

}  // namespace nova
