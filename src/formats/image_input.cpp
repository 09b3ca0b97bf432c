#include "formats/image_input.h"

#include "base/encoding.h"
#include "base/error.h"
#include "formats/image_limits.h"

namespace nova {

void RaiseImageError(const std::string& name, const std::string& why) {
  static const std::string text = Utf8ToSjis(":画像ファイルが壊れています");
  RaiseError(name + text + " (" + why + ")");
}

void CheckImageSize(const std::string& name, int64_t width, int64_t height, const char* what) {
  if (width < 0 || height < 0) RaiseImageError(name, Format("%s size %lldx%lld is negative", what,
                                                             static_cast<long long>(width), static_cast<long long>(height)));
  if (width > kMaxImageSide || height > kMaxImageSide || width * height > kMaxImagePixels)
    RaiseImageError(name, Format("%s size %lldx%lld is beyond the limit", what, static_cast<long long>(width),
                                 static_cast<long long>(height)));
}

void TImageInput::Corrupt(const std::string& why) const { RaiseImageError(name_, why); }

uint8_t TImageInput::Byte() {
  if (Remaining() < 1) Corrupt("truncated");
  return bytes_[pos_++];
}

int32_t TImageInput::Int32() {
  if (Remaining() < 4) Corrupt("truncated");
  const uint8_t* p = bytes_.data() + pos_;
  pos_ += 4;
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

std::span<const uint8_t> TImageInput::Bytes(int64_t n) {
  if (n < 0) Corrupt(Format("negative length %lld", static_cast<long long>(n)));
  if (static_cast<uint64_t>(n) > Remaining()) Corrupt("truncated");
  std::span<const uint8_t> s = bytes_.subspan(pos_, static_cast<size_t>(n));
  pos_ += static_cast<size_t>(n);
  return s;
}

std::string TImageInput::String() {
  std::span<const uint8_t> s = Bytes(Int32());
  return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

int32_t TImageInput::Count(int64_t recordSize, int64_t limit, const char* what) {
  int32_t n = Int32();
  if (n < 0) Corrupt(Format("negative %s count %d", what, n));
  if (n > limit) Corrupt(Format("%s count %d is beyond the limit", what, n));
  if (recordSize > 0 && static_cast<uint64_t>(n) * static_cast<uint64_t>(recordSize) > Remaining())
    Corrupt(Format("%s count %d does not fit in the file", what, n));
  return n;
}

}  // namespace nova
