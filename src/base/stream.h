#pragma once
// A plain byte stream with 64-bit positions and the typed little-endian readers and writers
// that every file and record format of the system uses. Typed reads are lenient: bytes past
// the end read as zero and a string field never claims more bytes than the stream still holds.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/extended.h"

namespace nova {

enum class SeekOrigin { Begin, Current, End };

class TStream {
public:
  virtual ~TStream() = default;
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  virtual int64_t Size();
  virtual void SetSize(int64_t size);

  int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(int64_t pos) { Seek(pos, SeekOrigin::Begin); }
  int64_t Remaining() {
    int64_t r = Size() - Position();
    return r < 0 ? 0 : r;
  }

  // Raises an error unless exactly count bytes were read / written.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);

  uint8_t ReadByte();
  int32_t ReadInt32();
  uint32_t ReadUInt32() { return static_cast<uint32_t>(ReadInt32()); }
  int64_t ReadInt64();
  Real ReadExtended();
  std::string ReadString();           // int32 length + bytes
  std::string ReadBytes(int64_t n);   // up to n bytes (fewer at the end)
  // A count read from data that may be damaged, checked against the bytes left (each item
  // takes at least minBytesEach) so that a reader never allocates without end; raises
  // "WHAT: bad count".
  int32_t CheckedCount(int32_t n, int64_t minBytesEach, const char* what);

  void WriteByte(uint8_t v) { WriteBuffer(&v, 1); }
  void WriteInt32(int32_t v);
  void WriteUInt32(uint32_t v) { WriteInt32(static_cast<int32_t>(v)); }
  void WriteInt64(int64_t v);
  void WriteExtended(Real v);
  void WriteString(const std::string& s);  // int32 length + bytes
  void WriteBytes(const std::string& s) { WriteBuffer(s.data(), static_cast<int64_t>(s.size())); }

  // Copies count bytes from source's position (count 0: the whole source from position 0).
  int64_t CopyFrom(TStream& source, int64_t count);

  // Set when a typed read ran past the end (its missing bytes read as zero): readers of
  // records that must be whole check it once at the end.
  bool ReadPastEnd() const { return readPastEnd_; }
  void ClearReadPastEnd() { readPastEnd_ = false; }

private:
  void ReadTyped(void* buffer, int64_t count) {
    if (Read(buffer, count) != count) readPastEnd_ = true;
  }
  bool readPastEnd_ = false;
};

// In-memory file, saved state or record buffer.
class TKtMemoryStream : public TStream {
public:
  TKtMemoryStream() = default;
  explicit TKtMemoryStream(std::string data) : data_(std::move(data)) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  void SetSize(int64_t size) override;

  void Clear() {
    data_.clear();
    pos_ = 0;
  }
  const std::string& Data() const { return data_; }
  std::string& MutableData() { return data_; }
  void Assign(std::string data) {
    data_ = std::move(data);
    pos_ = 0;
  }
  const char* Memory() const { return data_.data(); }

  // Files on the user's disk. LoadFromFile raises "<path>:ファイルがありません" when the file
  // cannot be read.
  void LoadFromFile(const std::filesystem::path& path);
  void SaveToFile(const std::filesystem::path& path) const;

private:
  std::string data_;
  size_t pos_ = 0;
};

// A file on the user's disk.
class TFileStream : public TStream {
public:
  enum Mode { OpenRead, OpenReadWrite, Create };
  TFileStream(const std::filesystem::path& path, Mode mode);
  ~TFileStream() override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override;
  void SetSize(int64_t size) override;
  void Flush();

private:
  int fd_ = -1;
  std::filesystem::path path_;
};

}  // namespace nova
