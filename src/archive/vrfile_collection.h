#pragma once
// One archive: an indexed container of named entries, each stored zlib-compressed or as is.
//
// Byte layout (little-endian): "vf", int32 version, int32 count n, n names (int32 length +
// bytes), n + 1 offsets relative to the directory start (int64 from version 101, int32
// before), then from version 101 n stored flags, n file ages, n CRC-32s and (102) n
// raw-checksum flags; then the entries' bytes. Without "vf" the directory is version 0 and
// starts with the count. From version 100 names and offsets are scrambled with a key stream
// (TKtRandom seeded with ArchiveKey). Entries of versions below 101 are all zlib streams.
//
// After a directory is read the collection holds the n entries in directory order followed
// by the sentinel "\EOF\" which only carries the end of the last entry's data.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/bigstreams.h"
#include "base/error.h"
#include "base/hash_collection.h"

namespace nova {

// The most bytes one compressed entry may inflate to; a larger result is refused as corrupt.
constexpr int64_t kMaxInflatedEntrySize = int64_t{1} << 30;  // 1 GiB
// In-memory entries and archive-sourced entries larger than this are stored as is.
constexpr int64_t kStoreAsIsAbove = 0x4FFFFF;

class TVrFileCollection;

class TVrFile : public THashCollectionItem {
public:
  int64_t Offset = 0;       // absolute position of the first stored byte in the archive stream
  int64_t Size = 0;         // stored bytes (compressed size for a compressed entry)
  uint8_t Stored = 0;       // 1 = as is, 0 = zlib stream
  int32_t FileAge = 0;      // packed date (high 16 bits) and time (low 16 bits), 0 = unknown
  uint32_t Checksum = 0;    // CRC-32
  uint8_t RawChecksum = 0;  // 1 = the checksum covers the uncompressed bytes
  int64_t InflatedHint = 0; // inflated size seen at the last read (0 = not known yet)
  std::unique_ptr<TKtMemoryStream> Memory;  // in-memory entries only (uncompressed bytes)
  // An in-memory entry that stands for a file added from a folder (a game builder's asset):
  // written with the policy for files, so movies and sounds stay stored as is and range
  // streams can read them.
  bool PackAsFile = false;

  TVrFileCollection* Owner() const;
};

// Called twice per written entry: before (bytes = 0) and after (bytes = bytes written).
// Setting stop ends the writing; Write then returns false.
using TVrProgress = std::function<void(TVrFileCollection& collection, TVrFile& entry, bool& stop, int total,
                                       int index, int64_t bytes)>;

class TVrFileCollection : public THashCollection {
public:
  static constexpr uint32_t ArchiveKey = 1803562217u;
  static constexpr int kWriteVersion = 102;
  static const char* const kSentinel;  // "\EOF\"

  TVrFileCollection();
  ~TVrFileCollection() override;

  // An archive file on the user's disk; an empty path: an in-memory collection. The folder of
  // loose files becomes the file's folder when the file exists (or keepName is set), else the
  // whole path. ".exe" and ".scr" files are read from their trailer, others from the ".ext"
  // side file when there is one, else from position 0.
  void OpenFile(const std::filesystem::path& fileName, bool keepName = false);
  // An executable that carries the archive at its end (whatever its name): the directory
  // starts where the trailer (int32 position + "nv") says.
  void OpenAppended(const std::filesystem::path& fileName);
  // The resource resName of type resType in the Windows executable moduleFile. A module that
  // cannot be read leaves the collection empty without error.
  void OpenResource(const std::filesystem::path& moduleFile, const std::string& resName, const std::string& resType);
  // Reads a directory that starts at the stream's position; entry data lies in the same stream.
  void ReadDirectory(TKtBigStream& stream);
  // Takes the stream as the archive's own (e.g. an archive held in memory) and reads its
  // directory from the stream's position.
  void OpenStream(std::unique_ptr<TKtBigStream> stream, const std::filesystem::path& fileName = {});

  TVrFile* AddMemoryFile(const std::string& name);
  // An entry without bytes of its own: written from folder + name, else from this archive.
  TVrFile* AddFile(const std::string& name);
  void RemoveFile(const std::string& name);
  TVrFile* FindFile(const std::string& name) const;
  TVrFile* Entry(int index) const { return static_cast<TVrFile*>(Item(index)); }
  int EntryCount() const;  // entries without the sentinel

  // The entry's bytes (inflated) in dest at position 0; a loose file at folder + name wins.
  // "%s:ファイルがありません" when there is no such entry.
  void ReadEntry(const std::string& name, TStream& dest);
  // Only the archive part of ReadEntry (no loose file); entry must belong to this collection.
  void ReadEntryData(TVrFile& entry, TStream& dest);
  // The entry's stored bytes as a read-only stream; nullptr without stream or entry.
  std::unique_ptr<TRangeStream> OpenRange(const std::string& name);
  // Appends the full names of the entries directly in folder ("cg\"), skipping names whose
  // bare file name the list already holds.
  void ListFolder(const std::string& folder, std::vector<std::string>& list) const;

  // Writes the whole archive to dest, whose position 0 is the archive's first byte.
  // True when complete, false when the progress callback stopped it.
  bool Write(TStream& dest, int version = kWriteVersion);
  // The directory to dir (position 0 = directory start) and the data to data; the offsets
  // are positions in data. With &dir == &data this is Write.
  bool WriteSplit(TStream& dir, TStream& data, int version = kWriteVersion);

  // Where loose files beside the archive are looked for (empty: nowhere).
  const std::filesystem::path& Folder() const { return folder_; }
  void SetFolder(const std::filesystem::path& folder) { folder_ = folder; }
  const std::filesystem::path& FileName() const { return fileName_; }
  TKtBigStream* Stream() const { return stream_.get(); }
  bool IsResource() const { return isResource_; }
  void SetProgress(TVrProgress progress) { progress_ = std::move(progress); }
  bool HasProgress() const { return static_cast<bool>(progress_); }
  // Segment size of the archive files opened from now on (tests use small ones).
  void SetSegmentSize(int64_t size) { segmentSize_ = size; }

private:
  void Reset();
  void OpenDataStream(const std::filesystem::path& fileName);
  void ReadDirectoryFrom(TKtBigStream& dir, int64_t dataSize);
  std::string DisplayName() const { return HostPathText(fileName_); }
  [[noreturn]] void Corrupt(const char* what) const;
  void WriteEntryBytes(TVrFile& entry, int version, TStream& data, TVrFile& record);

  std::filesystem::path folder_;
  std::filesystem::path fileName_;
  std::unique_ptr<TKtBigStream> stream_;
  bool isResource_ = false;
  std::filesystem::path moduleFile_;
  std::string resName_, resType_;
  TVrProgress progress_;
  int64_t segmentSize_ = kBigSegmentSize;
  std::vector<char> scratch_;  // compressed bytes of the entry being read
};

// Inflates one complete zlib stream; raises "<file>:<entry>:..." when it is corrupt or would
// exceed kMaxInflatedEntrySize. hint: expected output size (0 when unknown); fileName: the
// archive as the message names it (Shift-JIS).
void InflateInto(const char* data, int64_t size, std::string& out, int64_t hint, const std::string& fileName,
                 const std::string& entryName);
// zlib at the fastest level.
std::string DeflateFast(const char* data, int64_t size);

}  // namespace nova
