#pragma once
// The 64-bit streams archives are read through: segmented files (game.dat, game.001, ...),
// memory, resources of an executable, a read-ahead buffer, and range streams that expose
// one archive entry. Every path here is a path on the user's disk.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"

namespace nova {

// Largest number of bytes one segment of a segmented archive file holds.
constexpr int64_t kBigSegmentSize = 0x40000000;

class TKtBigStream : public TStream {
public:
  int64_t GetSize() { return Size(); }
  int64_t GetPosition() { return Position(); }
  // Copies count bytes from source's position; returns the number copied.
  virtual int64_t CopyFromBig(TKtBigStream& source, int64_t count);
  // Copies count bytes from this stream's position into dest.
  virtual int64_t CopyTo(TStream& dest, int64_t count);
  // Local file behind the stream, when there is one (used to open range streams).
  virtual std::filesystem::path LocalFileName() const { return {}; }
};

// A file split into segments of at most segmentSize bytes: segment 0 is the file itself,
// segment k >= 1 is the name without its extension + "." + k as at least three digits,
// found without regard to letter case when reading.
class TKtBigFileStream : public TKtBigStream {
public:
  enum Mode {
    OpenRead,       // every existing segment, read only (others may read)
    OpenReadWrite,  // every existing segment, read and write
    Create,         // existing segments deleted; segments made when a write reaches them
  };
  TKtBigFileStream(const std::filesystem::path& path, Mode mode, int64_t segmentSize = kBigSegmentSize);
  ~TKtBigFileStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override;
  std::filesystem::path LocalFileName() const override { return path_; }

  int SegmentCount() const { return static_cast<int>(segments_.size()); }
  int64_t SegmentSize() const { return segmentSize_; }
  static std::filesystem::path SegmentName(const std::filesystem::path& path, int index);

private:
  struct Segment {
    int fd = -1;
    int64_t size = 0;
  };
  bool OpenSegment(int index);  // creates it in write modes
  void Flush();

  std::filesystem::path path_;
  Mode mode_;
  int64_t segmentSize_;
  std::vector<Segment> segments_;
  int64_t position_ = 0;
};

// A memory stream seen as a big stream.
class TKtBigMemoryStream : public TKtBigStream {
public:
  TKtBigMemoryStream() : memory_(std::make_unique<TKtMemoryStream>()) {}
  explicit TKtBigMemoryStream(std::unique_ptr<TKtMemoryStream> memory) : memory_(std::move(memory)) {}
  int64_t Read(void* buffer, int64_t count) override { return memory_->Read(buffer, count); }
  int64_t Write(const void* buffer, int64_t count) override { return memory_->Write(buffer, count); }
  int64_t Seek(int64_t offset, SeekOrigin origin) override { return memory_->Seek(offset, origin); }
  int64_t Size() override { return memory_->Size(); }
  void SetSize(int64_t size) override { memory_->SetSize(size); }
  void LoadFromFile(const std::filesystem::path& path) { memory_->LoadFromFile(path); }
  void SaveToFile(const std::filesystem::path& path) const { memory_->SaveToFile(path); }
  TKtMemoryStream& Memory() { return *memory_; }

private:
  std::unique_ptr<TKtMemoryStream> memory_;
};

// The bytes of one resource of a Windows executable: on this platform a read-only window
// over the executable file, found with our own PE resource-directory reader.
class TKtBigResourceStream : public TKtBigStream {
public:
  // Raises a clear error when the module cannot be read or holds no such resource.
  TKtBigResourceStream(const std::filesystem::path& modulePath, const std::string& resName, const std::string& resType);
  ~TKtBigResourceStream() override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return size_; }
  const std::filesystem::path& ModulePath() const { return module_; }
  const std::string& ResName() const { return resName_; }
  const std::string& ResType() const { return resType_; }

private:
  std::filesystem::path module_;
  std::string resName_, resType_;
  int fd_ = -1;
  int64_t start_ = 0, size_ = 0, position_ = 0;
};

// Read-ahead over a big stream; on destruction gives back (moves the stream's position
// back over) what it read ahead but did not hand out.
class TKtBuffBigStream {
public:
  static constexpr int64_t kBufferSize = 102400;
  explicit TKtBuffBigStream(TKtBigStream& stream);
  ~TKtBuffBigStream();
  TKtBuffBigStream(const TKtBuffBigStream&) = delete;
  TKtBuffBigStream& operator=(const TKtBuffBigStream&) = delete;
  int64_t Read(void* buffer, int64_t count);
  int32_t ReadInt32();

private:
  TKtBigStream& stream_;
  std::unique_ptr<char[]> buffer_;
  int64_t filled_ = 0, used_ = 0;
};

// Size argument of a range stream that means "to the end of the underlying stream".
constexpr int64_t kWholeStream = -1;

// A read-only window [start, start + size) over a big stream; positions are relative to start.
// The window never reaches past the underlying stream's end.
class TRangeStream : public TStream {
public:
  // size kWholeStream: from start to the underlying stream's end. A size of 0 is an empty
  // window (an empty entry must not show the whole archive).
  TRangeStream(std::unique_ptr<TKtBigStream> stream, int64_t size, int64_t start);
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return size_; }
  int64_t Start() const { return start_; }

private:
  std::unique_ptr<TKtBigStream> stream_;
  int64_t start_, size_, position_;
};

class TFileRangeStream : public TRangeStream {
public:
  TFileRangeStream(const std::filesystem::path& path, int64_t size, int64_t start,
                   int64_t segmentSize = kBigSegmentSize);
};

class TResourceRangeStream : public TRangeStream {
public:
  TResourceRangeStream(const std::filesystem::path& modulePath, const std::string& resName, const std::string& resType,
                       int64_t size, int64_t start);
};

// Copies count bytes from source's position to dest (count 0: the whole source from 0).
// A memory source is written in one piece; otherwise through a buffer of up to 10 MiB that
// shrinks by 1 MiB while memory is short.
int64_t CopyStream(TStream& dest, TStream& source, int64_t count);

}  // namespace nova
