#include "archive/pe_resources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace nova {
namespace {

// A file read on demand with bounds checks; every failed read marks the image bad.
class TImage {
public:
  explicit TImage(const std::filesystem::path& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) size_ = st.st_size;
    else ok_ = false;
  }
  ~TImage() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Ok() const { return ok_; }
  int64_t FileSize() const { return size_; }
  bool Bytes(int64_t pos, void* out, int64_t n) {
    if (!ok_ || pos < 0 || n < 0 || pos > size_ - n) return ok_ = false;
    if (::pread(fd_, out, static_cast<size_t>(n), static_cast<off_t>(pos)) != n) return ok_ = false;
    return true;
  }
  uint32_t U32(int64_t pos) {
    uint8_t b[4] = {};
    Bytes(pos, b, 4);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  }
  uint16_t U16(int64_t pos) {
    uint8_t b[2] = {};
    Bytes(pos, b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
  }

private:
  int fd_ = -1;
  int64_t size_ = 0;
  bool ok_ = true;
};

struct TSection {
  uint32_t va, vsize, rawSize, rawPos;
};

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool SameAsciiName(const std::u16string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] > 0x7F || Upper(static_cast<char>(a[i])) != Upper(b[i])) return false;
  }
  return true;
}

}  // namespace

PeLookup FindPeResource(const std::filesystem::path& localPath, const std::string& name, const std::string& type,
                        TPeResource& out) {
  TImage img(localPath);
  if (!img.Ok()) return PeLookup::NotPe;
  char mz[2];
  if (!img.Bytes(0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z') return PeLookup::NotPe;
  int64_t pe = img.U32(0x3C);
  char sig[4];
  if (!img.Bytes(pe, sig, 4) || std::memcmp(sig, "PE\0\0", 4) != 0) return PeLookup::NotPe;
  int64_t coff = pe + 4;
  uint16_t sectionCount = img.U16(coff + 2);
  uint16_t optSize = img.U16(coff + 16);
  int64_t opt = coff + 20;
  uint16_t magic = img.U16(opt);
  int64_t dirs = magic == 0x20B ? opt + 112 : magic == 0x10B ? opt + 96 : -1;
  if (dirs < 0 || !img.Ok()) return PeLookup::NotPe;
  uint32_t dirCount = img.U32(dirs - 4);
  if (dirCount < 3 || dirs + 24 > opt + optSize) return PeLookup::Missing;
  uint32_t resRva = img.U32(dirs + 16);
  if (!img.Ok()) return PeLookup::NotPe;
  if (resRva == 0) return PeLookup::Missing;

  std::vector<TSection> sections;
  int64_t table = opt + optSize;
  for (int i = 0; i < sectionCount; ++i) {
    int64_t s = table + 40 * i;
    sections.push_back({img.U32(s + 12), img.U32(s + 8), img.U32(s + 16), img.U32(s + 20)});
  }
  if (!img.Ok()) return PeLookup::NotPe;
  auto fileOf = [&](uint32_t rva, uint32_t len, int64_t& pos) {
    for (const TSection& s : sections) {
      uint32_t extent = s.vsize > s.rawSize ? s.vsize : s.rawSize;
      if (rva >= s.va && rva - s.va < extent) {
        uint64_t off = rva - s.va;
        if (off + len > s.rawSize) return false;  // not backed by file bytes
        pos = static_cast<int64_t>(s.rawPos) + static_cast<int64_t>(off);
        return pos + len <= img.FileSize();
      }
    }
    return false;
  };
  int64_t root;
  if (!fileOf(resRva, 16, root)) return PeLookup::NotPe;

  // One level of the directory: the entry whose name matches (named entries only), or the
  // first entry when want is empty (the language level). Returns the entry's offset field.
  auto findEntry = [&](int64_t dir, const std::string& want, uint32_t& target) {
    uint32_t named = img.U16(dir + 12), ids = img.U16(dir + 14);
    if (!img.Ok()) return false;
    uint32_t total = named + ids;
    if (want.empty()) {
      if (total == 0) return false;
      target = img.U32(dir + 16 + 4);
      return img.Ok();
    }
    for (uint32_t i = 0; i < named; ++i) {
      int64_t e = dir + 16 + 8 * static_cast<int64_t>(i);
      uint32_t nameField = img.U32(e);
      if (!img.Ok() || !(nameField & 0x80000000u)) continue;
      int64_t str = root + (nameField & 0x7FFFFFFFu);
      uint16_t len = img.U16(str);
      if (!img.Ok() || len != want.size()) continue;
      std::u16string text(len, u'\0');
      for (uint16_t k = 0; k < len; ++k) text[k] = static_cast<char16_t>(img.U16(str + 2 + 2 * k));
      if (img.Ok() && SameAsciiName(text, want)) {
        target = img.U32(e + 4);
        return img.Ok();
      }
    }
    return false;
  };

  uint32_t t;
  if (!findEntry(root, type, t) || !(t & 0x80000000u)) return img.Ok() ? PeLookup::Missing : PeLookup::NotPe;
  if (!findEntry(root + (t & 0x7FFFFFFFu), name, t) || !(t & 0x80000000u))
    return img.Ok() ? PeLookup::Missing : PeLookup::NotPe;
  if (!findEntry(root + (t & 0x7FFFFFFFu), std::string(), t) || (t & 0x80000000u))
    return img.Ok() ? PeLookup::Missing : PeLookup::NotPe;
  int64_t data = root + t;
  uint32_t dataRva = img.U32(data), dataSize = img.U32(data + 4);
  if (!img.Ok()) return PeLookup::NotPe;
  int64_t pos = 0;
  if (dataSize > 0 && !fileOf(dataRva, dataSize, pos)) return PeLookup::NotPe;
  out.offset = pos;
  out.size = dataSize;
  return PeLookup::Found;
}

}  // namespace nova
