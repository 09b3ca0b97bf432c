#pragma once
// A bounds-checked little-endian cursor over the bytes of one image file. Every read checks
// what is left; running past the end, like any damage found by the decoders, raises the
// image error naming the file.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace nova {

class TImageInput {
public:
  TImageInput(std::span<const uint8_t> bytes, const std::string& name) : bytes_(bytes), name_(name) {}

  const std::string& Name() const { return name_; }
  size_t Position() const { return pos_; }
  size_t Remaining() const { return bytes_.size() - pos_; }
  void Seek(size_t pos) { pos_ = pos <= bytes_.size() ? pos : bytes_.size(); }

  uint8_t Byte();
  int32_t Int32();
  // n bytes as a view into the file (no copy).
  std::span<const uint8_t> Bytes(int64_t n);
  void Skip(int64_t n) { Bytes(n); }
  // A string field: int32 byte count and that many bytes.
  std::string String();
  // An int32 count of records of recordSize bytes each that must still fit in the file.
  int32_t Count(int64_t recordSize, int64_t limit, const char* what);

  [[noreturn]] void Corrupt(const std::string& why) const;

private:
  std::span<const uint8_t> bytes_;
  std::string name_;
  size_t pos_ = 0;
};

inline std::span<const uint8_t> AsBytes(std::string_view s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

}  // namespace nova
