#include "archive/disk_names.h"

#include <dirent.h>
#include <sys/stat.h>

#include <mutex>
#include <unordered_map>

#include "base/encoding.h"
#include "base/sjis.h"

namespace nova {
namespace {

// One cached folder listing: normalised key -> disk names (several when they differ only in
// letter case, which a Linux folder allows).
struct TFolderListing {
  struct timespec mtime = {};
  struct timespec ctime = {};
  std::unordered_map<std::string, std::vector<std::pair<std::string, bool>>> byKey;
  std::vector<std::pair<std::string, bool>> entries;
};

bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

class TDiskNameCache {
public:
  // Listing of dir, scanned once; rescanned when check is set and the folder changed.
  const TFolderListing* Listing(const std::string& dir, bool check) {
    auto it = folders_.find(dir);
    if (it != folders_.end() && !check) return &it->second;
    struct stat st;
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      if (it != folders_.end()) folders_.erase(it);
      return nullptr;
    }
    if (it != folders_.end() && SameTime(it->second.mtime, st.st_mtim) && SameTime(it->second.ctime, st.st_ctim))
      return &it->second;
    TFolderListing listing;
    listing.mtime = st.st_mtim;
    listing.ctime = st.st_ctim;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return nullptr;
    while (struct dirent* e = ::readdir(d)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      bool isDir = e->d_type == DT_DIR;
      if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
        struct stat es;
        isDir = ::stat((dir + "/" + name).c_str(), &es) == 0 && S_ISDIR(es.st_mode);
      }
      listing.byKey[DiskNameKey(name)].emplace_back(name, isDir);
      listing.entries.emplace_back(name, isDir);
    }
    ::closedir(d);
    return &(folders_[dir] = std::move(listing));
  }

  void Invalidate(const std::string& dir) {
    if (dir.empty()) folders_.clear();
    else folders_.erase(dir);
  }

  std::mutex lock;

private:
  std::unordered_map<std::string, TFolderListing> folders_;
};

TDiskNameCache& Cache() {
  static TDiskNameCache cache;
  return cache;
}

// The cache's key of a folder: its path without trailing separators ("." for none).
std::string CacheKey(const std::filesystem::path& folder) {
  std::string dir = folder.string();
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir.empty() ? std::string(".") : dir;
}

// Splits a Shift-JIS game name on "\" and "/" that are not trail bytes.
std::vector<std::string> SplitGameName(const std::string& name) {
  std::vector<std::string> parts;
  std::string cur;
  for (size_t i = 0; i < name.size();) {
    size_t n = CharLen(name, i);
    if (n == 1 && (name[i] == '\\' || name[i] == '/')) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur.append(name, i, n);
    }
    i += n;
  }
  parts.push_back(cur);
  return parts;
}

const std::pair<std::string, bool>* Pick(const TFolderListing& listing, const std::string& key,
                                         const std::string& utf8) {
  auto it = listing.byKey.find(key);
  if (it == listing.byKey.end()) return nullptr;
  for (const auto& e : it->second)
    if (e.first == utf8) return &e;  // an exact spelling wins
  return &it->second.front();
}

}  // namespace

bool IsSafeGameName(const std::string& name) {
  if (name.empty() || name[0] == '\\' || name[0] == '/') return false;
  for (size_t i = 0; i < name.size(); i += CharLen(name, i)) {
    if (CharLen(name, i) == 1 && (name[i] == ':' || name[i] == '\0')) return false;
  }
  for (const std::string& part : SplitGameName(name))
    if (part == "..") return false;
  return true;
}

std::string DiskNameKey(const std::string& s) {
  // The CP932 form of each differently mapped character, keyed by the other form's bytes.
  static const struct {
    const char* from;
    const char* to;
  } kVariants[] = {
      {"\xE3\x80\x9C", "\xEF\xBD\x9E"},  // U+301C wave dash -> U+FF5E
      {"\xE2\x80\x96", "\xE2\x88\xA5"},  // U+2016 double vertical line -> U+2225
      {"\xE2\x88\x92", "\xEF\xBC\x8D"},  // U+2212 minus sign -> U+FF0D
      {"\xC2\xA2", "\xEF\xBF\xA0"},      // U+00A2 cent -> U+FFE0
      {"\xC2\xA3", "\xEF\xBF\xA1"},      // U+00A3 pound -> U+FFE1
      {"\xC2\xAC", "\xEF\xBF\xA2"},      // U+00AC not sign -> U+FFE2
  };
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : static_cast<char>(c);
      ++i;
      continue;
    }
    bool replaced = false;
    for (const auto& v : kVariants) {
      size_t n = std::char_traits<char>::length(v.from);
      if (s.compare(i, n, v.from) == 0) {
        out += v.to;
        i += n;
        replaced = true;
        break;
      }
    }
    if (!replaced) out += s[i++];
  }
  return out;
}

std::optional<TDiskEntry> ResolveGamePath(const std::filesystem::path& folder, const std::string& name) {
  if (!IsSafeGameName(name)) return std::nullopt;
  std::string dir = CacheKey(folder);
  TDiskNameCache& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  std::vector<std::string> parts = SplitGameName(name);
  bool isDir = true;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].empty() || parts[i] == ".") {
      if (i + 1 == parts.size() && !isDir) return std::nullopt;  // "file\" is no file
      continue;
    }
    if (!isDir) return std::nullopt;
    std::string utf8 = SjisToUtf8(parts[i]);
    std::string key = DiskNameKey(utf8);
    const TFolderListing* listing = cache.Listing(dir, false);
    const std::pair<std::string, bool>* hit = listing ? Pick(*listing, key, utf8) : nullptr;
    if (!hit) {
      // A miss may mean the folder changed since it was scanned.
      listing = cache.Listing(dir, true);
      hit = listing ? Pick(*listing, key, utf8) : nullptr;
      if (!hit) return std::nullopt;
    }
    dir = (dir == "/" ? std::string() : dir) + "/" + hit->first;
    isDir = hit->second;
  }
  return TDiskEntry{dir, isDir};
}

std::optional<std::filesystem::path> FindGameFile(const std::filesystem::path& folder, const std::string& name) {
  std::optional<TDiskEntry> e = ResolveGamePath(folder, name);
  if (!e || e->isDirectory) return std::nullopt;
  return e->localPath;
}

std::vector<std::pair<std::string, bool>> ListLocalFolder(const std::filesystem::path& folder) {
  std::string dir = CacheKey(folder);
  TDiskNameCache& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  const TFolderListing* listing = cache.Listing(dir, true);
  return listing ? listing->entries : std::vector<std::pair<std::string, bool>>();
}

void InvalidateDiskNames(const std::filesystem::path& folder) {
  TDiskNameCache& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  cache.Invalidate(folder.empty() ? std::string() : CacheKey(folder));
}

}  // namespace nova
