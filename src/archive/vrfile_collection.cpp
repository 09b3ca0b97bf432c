#include "archive/vrfile_collection.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>

#include "archive/disk_names.h"
#include "archive/pe_resources.h"
#include "base/crc32.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/kt_random.h"
#include "base/sjis.h"

namespace nova {

const char* const TVrFileCollection::kSentinel = "\\EOF\\";

namespace {

const std::string& Text(const char* utf8) {
  // Message texts are kept as Shift-JIS, converted once (map nodes never move).
  static std::mutex lock;
  static std::map<const char*, std::string> cache;
  std::lock_guard<std::mutex> guard(lock);
  auto it = cache.find(utf8);
  if (it == cache.end()) it = cache.emplace(utf8, Utf8ToSjis(utf8)).first;
  return it->second;
}

std::string NotFound(const std::string& name) { return name + Text(":ファイルがありません"); }

bool IsSentinel(const std::string& name) { return SameText(name, TVrFileCollection::kSentinel); }

bool LocalFileExists(const std::filesystem::path& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void ScrambleNames(std::vector<std::string>& names) {
  TKtRandom gen(TVrFileCollection::ArchiveKey);
  for (std::string& n : names)
    for (char& c : n) c = static_cast<char>(static_cast<uint8_t>(c) ^ static_cast<uint8_t>(gen.Step()));
}

void ScrambleOffsets(std::vector<int64_t>& offsets, bool wide) {
  TKtRandom gen(TVrFileCollection::ArchiveKey);
  for (int64_t& o : offsets) {
    uint32_t k = gen.Step();
    if (wide) {
      uint64_t high = static_cast<int32_t>(k) < 0 ? 0xFFFFFFFFull : 0;
      o = static_cast<int64_t>(static_cast<uint64_t>(o) ^ ((high << 32) | k));
    } else {
      o = static_cast<int64_t>(static_cast<uint32_t>(o) ^ k);
    }
  }
}

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i));
}
void Put64(std::string& s, uint64_t v) {
  for (int i = 0; i < 8; ++i) s += static_cast<char>(v >> (8 * i));
}

// The platform's packed date and time of a file's modification time (local time).
int32_t PackedFileAge(const std::filesystem::path& localPath) {
  struct stat st;
  if (::stat(localPath.c_str(), &st) != 0) return 0;
  struct tm t;
  time_t secs = st.st_mtime;
  if (!localtime_r(&secs, &t) || t.tm_year < 80) return 0;
  uint32_t date = (static_cast<uint32_t>(t.tm_year - 80) << 9) | ((t.tm_mon + 1) << 5) | t.tm_mday;
  uint32_t time = (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec / 2);
  return static_cast<int32_t>((date << 16) | time);
}

// A layered image is compressed only when it is version 103 or later and its header says
// its layers are stored uncompressed (compression field 1).
bool LayeredImageWantsCompression(const std::string& bytes) {
  if (bytes.size() < 7 + 4 + 23 || bytes.compare(0, 4, "Brio") != 0) return false;
  int version = 0;
  for (int i = 4; i < 7; ++i) {
    if (bytes[i] < '0' || bytes[i] > '9') return false;
    version = version * 10 + (bytes[i] - '0');
  }
  return version >= 103 && bytes[7 + 4 + 22] == 1;
}

bool ExtensionNeverCompressed(const std::string& name) {
  std::string ext = UpperCaseAnsi(ExtractFileExt(name));
  static constexpr std::string_view kMedia = ".WAV.WMA.OGG.MPG.MPEG.M1V.WMV.ASF.DAT.";
  return !ext.empty() && kMedia.find(ext) != std::string_view::npos;
}

uint32_t CrcOf(const std::string& bytes) {
  // In chunks of at most 1 MiB, as the whole-stream checksum is defined.
  uint32_t crc = 0;
  for (size_t p = 0; p < bytes.size(); p += 1 << 20)
    crc = Crc32Update(crc, bytes.data() + p, std::min<size_t>(1 << 20, bytes.size() - p));
  return crc;
}

}  // namespace

TVrFileCollection* TVrFile::Owner() const { return static_cast<TVrFileCollection*>(Collection()); }

// ---- zlib ----

void InflateInto(const char* data, int64_t size, std::string& out, int64_t hint, const std::string& fileName,
                 const std::string& entryName) {
  auto fail = [&](const char* why) {
    RaiseError(fileName + ":" + entryName + Text(":圧縮データが壊れています") + " (" + why + ")");
  };
  z_stream z{};
  if (inflateInit(&z) != Z_OK) fail("inflateInit");
  int64_t cap = hint > 0 ? std::min(hint + 1, kMaxInflatedEntrySize + 1)
                         : std::clamp<int64_t>(size * 4, 1 << 16, kMaxInflatedEntrySize + 1);
  out.resize(static_cast<size_t>(cap));
  int64_t inDone = 0, outDone = 0;
  int r = Z_OK;
  while (true) {
    if (z.avail_in == 0 && inDone < size) {
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data + inDone));
      z.avail_in = static_cast<uInt>(std::min<int64_t>(size - inDone, 1 << 30));
      inDone += z.avail_in;
    }
    if (outDone == static_cast<int64_t>(out.size())) {
      if (outDone > kMaxInflatedEntrySize) break;
      out.resize(static_cast<size_t>(std::min<int64_t>(outDone * 2, kMaxInflatedEntrySize + 1)));
    }
    uInt room = static_cast<uInt>(std::min<int64_t>(static_cast<int64_t>(out.size()) - outDone, 1 << 30));
    z.next_out = reinterpret_cast<Bytef*>(out.data() + outDone);
    z.avail_out = room;
    r = inflate(&z, Z_NO_FLUSH);
    outDone += room - z.avail_out;
    if (r == Z_STREAM_END) break;
    if (r == Z_BUF_ERROR && z.avail_in == 0 && inDone == size) break;  // input ended early
    if (r != Z_OK && r != Z_BUF_ERROR) break;
  }
  inflateEnd(&z);
  if (r == Z_STREAM_END && outDone <= kMaxInflatedEntrySize) {
    out.resize(static_cast<size_t>(outDone));
    return;
  }
  out.clear();
  out.shrink_to_fit();
  if (outDone > kMaxInflatedEntrySize) fail("larger than the entry size limit");
  if (r == Z_BUF_ERROR || r == Z_OK) fail("truncated");
  fail(z.msg ? z.msg : "invalid data");
}

std::string DeflateFast(const char* data, int64_t size) {
  uLongf bound = compressBound(static_cast<uLong>(size));
  std::string out(bound, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &bound, reinterpret_cast<const Bytef*>(data),
                static_cast<uLong>(size), Z_BEST_SPEED) != Z_OK)
    RaiseError("zlib compression failed");
  out.resize(bound);
  return out;
}

// ---- collection ----

TVrFileCollection::TVrFileCollection() = default;
TVrFileCollection::~TVrFileCollection() = default;

void TVrFileCollection::Reset() {
  Clear();
  stream_.reset();
  isResource_ = false;
  moduleFile_.clear();
  resName_.clear();
  resType_.clear();
}

void TVrFileCollection::Corrupt(const char* what) const {
  RaiseError(DisplayName() + Text(":アーカイブが壊れています") + " (" + what + ")");
}

int TVrFileCollection::EntryCount() const {
  int n = 0;
  for (int i = 0; i < Count(); ++i)
    if (!IsSentinel(Item(i)->Name())) ++n;
  return n;
}

void TVrFileCollection::OpenDataStream(const std::filesystem::path& fileName) {
  Reset();
  fileName_ = fileName;
  stream_ = std::make_unique<TKtBigFileStream>(fileName, TKtBigFileStream::OpenRead, segmentSize_);
}

void TVrFileCollection::OpenFile(const std::filesystem::path& fileName, bool keepName) {
  Reset();
  fileName_ = fileName;
  if (fileName.empty()) return;
  bool exists = LocalFileExists(fileName);
  folder_ = exists || keepName ? fileName.parent_path() : fileName;
  if (folder_.empty()) folder_ = ".";
  if (!exists) return;
  std::string ext = fileName.extension().string();
  if (SameText(ext, ".exe") || SameText(ext, ".scr")) {
    OpenAppended(fileName);
    return;
  }
  stream_ = std::make_unique<TKtBigFileStream>(fileName, TKtBigFileStream::OpenRead, segmentSize_);
  // A directory kept in a side file with the extension ".ext".
  std::filesystem::path side = fileName;
  side.replace_extension(".ext");
  if (!LocalFileExists(side)) {
    std::optional<std::filesystem::path> found =
        FindGameFile(fileName.parent_path(), Utf8ToSjis(side.filename().string()));
    side = found ? *found : std::filesystem::path();
  }
  if (!side.empty()) {
    TKtBigFileStream dir(side, TKtBigFileStream::OpenRead);
    ReadDirectoryFrom(dir, stream_->Size());
    return;
  }
  stream_->SetPosition(0);
  ReadDirectory(*stream_);
}

void TVrFileCollection::OpenAppended(const std::filesystem::path& fileName) {
  std::filesystem::path folder = fileName.parent_path();
  OpenDataStream(fileName);
  folder_ = folder.empty() ? std::filesystem::path(".") : folder;
  int64_t size = stream_->Size();
  if (size < 6) Corrupt("no trailer");
  stream_->SetPosition(size - 6);
  int64_t start = stream_->ReadInt32();
  if (start < 0 || start > size - 6) Corrupt("trailer outside the file");
  stream_->SetPosition(start);
  ReadDirectory(*stream_);
}

void TVrFileCollection::OpenResource(const std::filesystem::path& moduleFile, const std::string& resName,
                                     const std::string& resType) {
  Reset();
  fileName_ = moduleFile;
  TPeResource res;
  PeLookup r = FindPeResource(moduleFile, resName, resType, res);
  if (r == PeLookup::NotPe) return;  // a module that cannot be loaded leaves the collection empty
  if (r == PeLookup::Missing)
    RaiseError(DisplayName() + ":" + resType + "/" + resName + Text(":リソースがありません"));
  if (res.size == 0) RaiseError(Text("リソースが見つかりません"));
  stream_ = std::make_unique<TKtBigResourceStream>(moduleFile, resName, resType);
  isResource_ = true;
  moduleFile_ = moduleFile;
  resName_ = resName;
  resType_ = resType;
  ReadDirectory(*stream_);
}

void TVrFileCollection::OpenStream(std::unique_ptr<TKtBigStream> stream, const std::filesystem::path& fileName) {
  Reset();
  fileName_ = fileName;
  stream_ = std::move(stream);
  ReadDirectory(*stream_);
}

void TVrFileCollection::ReadDirectory(TKtBigStream& stream) { ReadDirectoryFrom(stream, stream.Size()); }

void TVrFileCollection::ReadDirectoryFrom(TKtBigStream& dir, int64_t dataSize) {
  Clear();
  const int64_t base = dir.Position();
  const int64_t dirEnd = dir.Size();
  int version = 0;
  char magic[2] = {};
  if (dir.Read(magic, 2) == 2 && magic[0] == 'v' && magic[1] == 'f') {
    version = dir.ReadInt32();
  } else {
    dir.SetPosition(base);
  }
  int64_t pos = dir.Position();
  if (dirEnd - pos < 4) Corrupt("truncated directory");
  int64_t n = dir.ReadInt32();
  pos += 4;
  const int64_t offsetSize = version >= 101 ? 8 : 4;
  const int64_t flagBytes = version >= 102 ? 10 : version >= 101 ? 9 : 0;
  // Every entry needs at least a name length, an offset and its flags.
  if (n < 0 || n > (dirEnd - pos - offsetSize) / (4 + offsetSize + flagBytes)) Corrupt("entry count");

  std::vector<std::string> names(static_cast<size_t>(n));
  {
    TKtBuffBigStream buffered(dir);
    for (std::string& name : names) {
      int64_t len = buffered.ReadInt32();
      pos += 4;
      if (len < 0 || len > dirEnd - pos) Corrupt("name length");
      name.resize(static_cast<size_t>(len));
      if (buffered.Read(name.data(), len) != len) Corrupt("truncated directory");
      pos += len;
    }
  }
  if (version >= 100) ScrambleNames(names);

  int64_t tableBytes = (n + 1) * offsetSize + n * flagBytes;
  if (tableBytes > dirEnd - pos) Corrupt("truncated directory");
  std::string table(static_cast<size_t>(tableBytes), '\0');
  if (dir.Read(table.data(), tableBytes) != tableBytes) Corrupt("truncated directory");
  const uint8_t* t = reinterpret_cast<const uint8_t*>(table.data());

  std::vector<int64_t> offsets(static_cast<size_t>(n + 1));
  for (int64_t i = 0; i <= n; ++i) {
    const uint8_t* p = t + i * offsetSize;
    offsets[i] = offsetSize == 8 ? static_cast<int64_t>(Le32(p) | (static_cast<uint64_t>(Le32(p + 4)) << 32))
                                 : static_cast<int64_t>(Le32(p));
  }
  if (version >= 100) ScrambleOffsets(offsets, version >= 101);
  if (offsetSize == 4)
    for (int64_t& o : offsets) o = static_cast<uint32_t>(o);  // widened, high half 0
  for (int64_t i = 0; i <= n; ++i) {
    if (offsets[i] < 0 || offsets[i] > dataSize - base) Corrupt("entry offset outside the file");
    if (i > 0 && offsets[i] < offsets[i - 1]) Corrupt("entry offsets out of order");
  }

  for (int64_t i = 0; i < n; ++i) Add(std::make_unique<TVrFile>(), names[i]);
  Add(std::make_unique<TVrFile>(), kSentinel);
  const uint8_t* flags = t + (n + 1) * offsetSize;
  for (int64_t i = 0; i < n; ++i) {
    TVrFile* e = Entry(static_cast<int>(i));
    e->Size = offsets[i + 1] - offsets[i];
    e->Offset = offsets[i] + base;
    if (version >= 101) {
      e->Stored = flags[i];
      e->FileAge = static_cast<int32_t>(Le32(flags + n + 4 * i));
      e->Checksum = Le32(flags + 5 * n + 4 * i);
      e->RawChecksum = version >= 102 ? flags[9 * n + i] : 0;
    }
  }
  Entry(static_cast<int>(n))->Offset = offsets[n] + base;
}

TVrFile* TVrFileCollection::AddMemoryFile(const std::string& name) {
  auto e = std::make_unique<TVrFile>();
  e->Memory = std::make_unique<TKtMemoryStream>();
  return static_cast<TVrFile*>(Add(std::move(e), name));
}

TVrFile* TVrFileCollection::AddFile(const std::string& name) {
  return static_cast<TVrFile*>(Add(std::make_unique<TVrFile>(), name));
}

void TVrFileCollection::RemoveFile(const std::string& name) {
  int i = IndexOf(name);
  if (i >= 0) Delete(i);
}

TVrFile* TVrFileCollection::FindFile(const std::string& name) const {
  return static_cast<TVrFile*>(Find(name));
}

void TVrFileCollection::ReadEntry(const std::string& name, TStream& dest) {
  auto* mem = dynamic_cast<TKtMemoryStream*>(&dest);
  if (mem) mem->Clear();
  if (!folder_.empty()) {
    std::optional<std::filesystem::path> loose = FindGameFile(folder_, name);
    if (loose && !SameText(loose->string(), fileName_.string())) {
      if (mem) {
        mem->LoadFromFile(*loose);
      } else {
        TFileStream f(*loose, TFileStream::OpenRead);
        CopyStream(dest, f, 0);
        dest.SetPosition(0);
      }
      return;
    }
  }
  TVrFile* entry = FindFile(name);
  if (!entry || IsSentinel(entry->Name()) || (!entry->Memory && !stream_)) RaiseError(NotFound(name));
  ReadEntryData(*entry, dest);
}

void TVrFileCollection::ReadEntryData(TVrFile& entry, TStream& dest) {
  auto* mem = dynamic_cast<TKtMemoryStream*>(&dest);
  if (!mem) {
    TKtMemoryStream tmp;
    ReadEntryData(entry, tmp);
    dest.WriteBuffer(tmp.Memory(), tmp.Size());
    dest.SetPosition(0);
    return;
  }
  if (entry.Memory) {
    mem->Assign(entry.Memory->Data());
    return;
  }
  if (!stream_) RaiseError(NotFound(entry.Name()));
  mem->Clear();
  if (entry.Size <= 0) return;
  stream_->SetPosition(entry.Offset);
  if (entry.Stored) {
    std::string& out = mem->MutableData();
    out.resize(static_cast<size_t>(entry.Size));
    if (stream_->Read(out.data(), entry.Size) != entry.Size) {
      mem->Clear();
      Corrupt("entry data outside the file");
    }
    mem->SetPosition(0);
    return;
  }
  // Compressed bytes go through a buffer kept between reads (up to 16 MiB), so reading many
  // entries does not map and fault in fresh memory for each.
  constexpr int64_t kKeepScratch = 16 << 20;
  std::unique_ptr<char[]> large;
  char* packed;
  if (entry.Size <= kKeepScratch) {
    if (static_cast<int64_t>(scratch_.size()) < entry.Size) scratch_.resize(static_cast<size_t>(entry.Size));
    packed = scratch_.data();
  } else {
    large.reset(new char[static_cast<size_t>(entry.Size)]);
    packed = large.get();
  }
  if (stream_->Read(packed, entry.Size) != entry.Size) Corrupt("entry data outside the file");
  std::string out;
  InflateInto(packed, entry.Size, out, entry.InflatedHint, DisplayName(), entry.Name());
  entry.InflatedHint = static_cast<int64_t>(out.size());
  mem->Assign(std::move(out));
}

std::unique_ptr<TRangeStream> TVrFileCollection::OpenRange(const std::string& name) {
  TVrFile* entry = FindFile(name);
  if (!stream_ || !entry || entry->Memory || IsSentinel(entry->Name())) return nullptr;
  if (isResource_) return std::make_unique<TResourceRangeStream>(moduleFile_, resName_, resType_, entry->Size, entry->Offset);
  return std::make_unique<TFileRangeStream>(fileName_, entry->Size, entry->Offset, segmentSize_);
}

void TVrFileCollection::ListFolder(const std::string& folder, std::vector<std::string>& list) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& name = Item(i)->Name();
    if (IsSentinel(name) || !SameText(ExtractFilePath(name), folder)) continue;
    std::string bare = ExtractFileName(name);
    bool listed = std::any_of(list.begin(), list.end(), [&](const std::string& s) { return SameText(s, bare); });
    if (!listed) list.push_back(name);
  }
}

// ---- writing ----

void TVrFileCollection::WriteEntryBytes(TVrFile& entry, int version, TStream& data, TVrFile& rec) {
  const bool mustCompress = version < 101;  // older directories have no stored flags
  rec.Stored = 0;
  rec.RawChecksum = entry.RawChecksum;
  rec.FileAge = entry.FileAge;
  auto put = [&](const std::string& raw, bool compress, bool rawChecksum) {
    if (compress) {
      std::string packed = DeflateFast(raw.data(), static_cast<int64_t>(raw.size()));
      data.WriteBytes(packed);
      rec.Checksum = rawChecksum ? CrcOf(raw) : CrcOf(packed);
      rec.Size = static_cast<int64_t>(packed.size());
    } else {
      rec.Stored = 1;
      data.WriteBytes(raw);
      rec.Checksum = CrcOf(raw);
      rec.Size = static_cast<int64_t>(raw.size());
    }
  };
  // The policy for files: media never compressed, layered images as their header says, and
  // compression kept only where it saves a tenth.
  auto putFile = [&](const std::string& raw) {
    bool compress;
    if (UpperCaseAnsi(ExtractFileExt(entry.Name())) == ".BRI") compress = LayeredImageWantsCompression(raw);
    else compress = !ExtensionNeverCompressed(entry.Name()) && raw.size() < 0x500000;
    if (mustCompress) {
      put(raw, true, entry.RawChecksum == 1);
      return;
    }
    if (compress) {
      std::string packed = DeflateFast(raw.data(), static_cast<int64_t>(raw.size()));
      if (static_cast<int64_t>(packed.size()) <= static_cast<int64_t>(raw.size()) * 9 / 10) {
        data.WriteBytes(packed);
        rec.Checksum = entry.RawChecksum == 1 ? CrcOf(raw) : CrcOf(packed);
        rec.Size = static_cast<int64_t>(packed.size());
        return;
      }
    }
    put(raw, false, false);
  };
  if (entry.Memory) {
    const std::string& raw = entry.Memory->Data();
    if (entry.PackAsFile) putFile(raw);
    else put(raw, mustCompress || static_cast<int64_t>(raw.size()) <= kStoreAsIsAbove, entry.RawChecksum == 1);
    return;
  }
  std::optional<std::filesystem::path> source = folder_.empty() ? std::nullopt : FindGameFile(folder_, entry.Name());
  if (source) {
    TKtMemoryStream file;
    file.LoadFromFile(*source);
    rec.FileAge = PackedFileAge(*source);
    putFile(file.Data());
    return;
  }
  // Bytes from this collection's own archive.
  TKtMemoryStream bytes;
  ReadEntryData(entry, bytes);
  rec.RawChecksum = 0;
  put(bytes.Data(), mustCompress || bytes.Size() <= kStoreAsIsAbove, false);
}

bool TVrFileCollection::Write(TStream& dest, int version) { return WriteSplit(dest, dest, version); }

bool TVrFileCollection::WriteSplit(TStream& dir, TStream& data, int version) {
  const bool same = &dir == &data;
  std::vector<TVrFile*> entries;
  for (int i = 0; i < Count(); ++i)
    if (!IsSentinel(Entry(i)->Name())) entries.push_back(Entry(i));
  const int64_t n = static_cast<int64_t>(entries.size());
  const bool wide = version >= 101;

  std::string head;
  if (version != 0) {
    head += "vf";
    Put32(head, static_cast<uint32_t>(version));
  }
  Put32(head, static_cast<uint32_t>(n));
  std::vector<std::string> names;
  for (TVrFile* e : entries) names.push_back(e->Name());
  if (version >= 100) ScrambleNames(names);
  for (const std::string& name : names) {
    Put32(head, static_cast<uint32_t>(name.size()));
    head += name;
  }
  dir.WriteBytes(head);
  const int64_t tablePos = dir.Position();
  const int64_t flagBytes = version >= 102 ? 10 : version >= 101 ? 9 : 0;
  const int64_t tableBytes = (n + 1) * (wide ? 8 : 4) + n * flagBytes;
  dir.WriteBytes(std::string(static_cast<size_t>(tableBytes), '\0'));

  std::vector<TVrFile> records(static_cast<size_t>(n));
  std::vector<int64_t> offsets(static_cast<size_t>(n + 1));
  for (int64_t i = 0; i < n; ++i) {
    bool stop = false;
    if (progress_) progress_(*this, *entries[i], stop, static_cast<int>(n), static_cast<int>(i), 0);
    if (stop) return false;
    offsets[i] = data.Position();
    WriteEntryBytes(*entries[i], version, data, records[i]);
    if (progress_) progress_(*this, *entries[i], stop, static_cast<int>(n), static_cast<int>(i), records[i].Size);
    if (stop) return false;
  }
  offsets[n] = data.Position();
  if (!wide && offsets[n] > 0xFFFFFFFFll) RaiseError(Format("archive too large for version %d", version));
  if (version >= 100) ScrambleOffsets(offsets, wide);

  std::string table;
  table.reserve(static_cast<size_t>(tableBytes));
  for (int64_t o : offsets) {
    if (wide) Put64(table, static_cast<uint64_t>(o));
    else Put32(table, static_cast<uint32_t>(o));
  }
  if (wide) {
    for (const TVrFile& r : records) table += static_cast<char>(r.Stored);
    for (const TVrFile& r : records) Put32(table, static_cast<uint32_t>(r.FileAge));
    for (const TVrFile& r : records) Put32(table, r.Checksum);
    if (version >= 102)
      for (const TVrFile& r : records) table += static_cast<char>(r.RawChecksum);
  }
  int64_t end = data.Position();
  dir.SetPosition(tablePos);
  dir.WriteBytes(table);
  if (same) dir.SetPosition(end);
  return true;
}

}  // namespace nova
