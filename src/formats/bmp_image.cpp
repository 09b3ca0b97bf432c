#include "formats/bmp_image.h"

#include <cstring>

#include "base/error.h"
#include "formats/image_input.h"
#include "formats/image_limits.h"

namespace nova {
namespace {

constexpr int32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

struct BmpHeader {
  int32_t width = 0, height = 0, bits = 0, compression = kRgb;
  bool topDown = false;
  uint32_t masks[4] = {};  // red, green, blue, alpha
  int32_t colorsUsed = 0;
  bool core = false;
};

// Run-length rows into an index bitmap (bottom-up as stored).
void DecodeRle(TImageInput& in, TBrioBitmap& out, bool four) {
  int32_t x = 0, y = out.Height() - 1;
  auto put = [&](uint32_t v) {
    if (x < out.Width() && y >= 0) out.SetPixel(x, y, v);
    ++x;
  };
  while (y >= 0 && in.Remaining() >= 2) {
    uint8_t count = in.Byte(), value = in.Byte();
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      --y;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // move right and up
      x += in.Byte();
      y -= in.Byte();
    } else {  // a literal run of `value` pixels, padded to a 16-bit boundary
      int32_t bytes = four ? (value + 1) / 2 : value;
      std::span<const uint8_t> run = in.Bytes(bytes + (bytes & 1));
      for (int i = 0; i < value; ++i) put(four ? ((i & 1) ? run[i / 2] & 0x0F : run[i / 2] >> 4) : run[i]);
    }
  }
}

}  // namespace

bool LooksLikeBmp(std::span<const uint8_t> bytes) { return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M'; }

TDecodedImage DecodeBmp(std::span<const uint8_t> bytes, const std::string& name) {
  TImageInput in(bytes, name);
  if (!LooksLikeBmp(bytes)) in.Corrupt("not a bitmap file");
  in.Skip(10);
  const int32_t dataOffset = in.Int32();
  const size_t infoStart = in.Position();
  const int32_t infoSize = in.Int32();
  BmpHeader h;
  if (infoSize == 12) {
    h.core = true;
    std::span<const uint8_t> core = in.Bytes(8);
    h.width = core[0] | core[1] << 8;
    h.height = core[2] | core[3] << 8;
    h.bits = core[6] | core[7] << 8;
  } else if (infoSize >= 40 && infoSize <= 1024) {
    h.width = in.Int32();
    h.height = in.Int32();
    in.Skip(2);
    h.bits = in.Byte();
    h.bits |= in.Byte() << 8;
    h.compression = in.Int32();
    in.Skip(12);
    h.colorsUsed = in.Int32();
    in.Skip(4);
    if (h.compression == kBitFields) {
      // The masks follow a 40-byte header, and are part of the longer ones.
      for (int i = 0; i < 3; ++i) h.masks[i] = static_cast<uint32_t>(in.Int32());
      if (infoSize >= 56) h.masks[3] = static_cast<uint32_t>(in.Int32());
    }
    in.Seek(infoStart + static_cast<size_t>(infoSize));
    if (h.compression == kBitFields && infoSize == 40) in.Skip(12);
  } else {
    in.Corrupt(Format("bitmap header of %d bytes", infoSize));
  }
  if (h.height < 0) {
    h.topDown = true;
    h.height = h.height == INT32_MIN ? INT32_MAX : -h.height;
  }
  CheckImageSize(name, h.width, h.height, "bitmap");
  const bool valid =
      (h.compression == kRgb && (h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 || h.bits == 32)) ||
      (h.compression == kRle8 && h.bits == 8) || (h.compression == kRle4 && h.bits == 4) ||
      (h.compression == kBitFields && (h.bits == 16 || h.bits == 32));
  if (!valid) in.Corrupt(Format("%d bits per pixel with compression %d", h.bits, h.compression));
  if ((h.compression == kRle8 || h.compression == kRle4) && h.topDown) in.Corrupt("top-down run-length bitmap");

  TDecodedImage out;
  if (h.bits <= 8) {
    int32_t entries = 1 << h.bits;
    int32_t stored = h.colorsUsed > 0 && h.colorsUsed < entries ? h.colorsUsed : entries;
    if (h.colorsUsed < 0) in.Corrupt(Format("%d palette entries", h.colorsUsed));
    const int entrySize = h.core ? 3 : 4;
    std::span<const uint8_t> pal = in.Bytes(int64_t{stored} * entrySize);
    out.Palette.assign(static_cast<size_t>(entries), 0);
    for (int32_t i = 0; i < stored; ++i) {  // blue, green, red (, zero)
      const uint8_t* e = pal.data() + static_cast<size_t>(i) * entrySize;
      out.Palette[static_cast<size_t>(i)] = static_cast<uint32_t>(e[2]) | static_cast<uint32_t>(e[1]) << 8 |
                                            static_cast<uint32_t>(e[0]) << 16;
    }
  }
  if (dataOffset < 0 || static_cast<size_t>(dataOffset) > bytes.size()) in.Corrupt(Format("pixel data at %d", dataOffset));
  in.Seek(static_cast<size_t>(dataOffset));

  if (h.compression == kRle8 || h.compression == kRle4) {
    out.Color.Allocate(h.width, h.height, h.bits);
    DecodeRle(in, out.Color, h.compression == kRle4);
    return out;
  }
  const size_t rowSize = static_cast<size_t>(RowBytes(h.width, h.bits));
  std::span<const uint8_t> data = in.Bytes(static_cast<int64_t>(rowSize) * h.height);
  auto stored = [&](int32_t y) { return data.data() + rowSize * static_cast<size_t>(h.topDown ? y : h.height - 1 - y); };

  if (h.bits <= 8 || h.bits == 24) {
    out.Color.Allocate(h.width, h.height, h.bits);
    for (int32_t y = 0; y < h.height; ++y) std::memcpy(out.Color.Row(y), stored(y), rowSize);
    return out;
  }
  // 16 and 32 bits: through channel masks into 24 bits; at 32 bits the fourth byte (or the
  // alpha field) becomes the mask.
  if (h.compression == kRgb) {
    if (h.bits == 16) {
      h.masks[0] = 0x7C00, h.masks[1] = 0x03E0, h.masks[2] = 0x001F;
    } else {
      h.masks[0] = 0xFF0000, h.masks[1] = 0xFF00, h.masks[2] = 0xFF;
    }
  }
  out.Color.Allocate(h.width, h.height, 24);
  if (h.bits == 32) out.Mask.Allocate(h.width, h.height, 8);
  for (int32_t y = 0; y < h.height; ++y) {
    const uint8_t* s = stored(y);
    uint8_t* d = out.Color.Row(y);
    for (int32_t x = 0; x < h.width; ++x, d += 3) {
      uint32_t p = ReadPixel(s, x, h.bits);
      d[0] = static_cast<uint8_t>(WidenChannel(p, h.masks[2]));
      d[1] = static_cast<uint8_t>(WidenChannel(p, h.masks[1]));
      d[2] = static_cast<uint8_t>(WidenChannel(p, h.masks[0]));
      if (h.bits == 32) out.Mask.Row(y)[x] = static_cast<uint8_t>(h.masks[3] ? WidenChannel(p, h.masks[3]) : p >> 24);
    }
  }
  return out;
}

std::vector<uint8_t> EncodeBmp24(const TBrioBitmap& rgb24) {
  if (rgb24.Bits() != 24) RaiseError("EncodeBmp24: the picture is not 24-bit");
  const uint32_t rowSize = static_cast<uint32_t>(rgb24.RowSize());
  const uint32_t dataSize = rowSize * static_cast<uint32_t>(rgb24.Height());
  std::vector<uint8_t> out;
  out.reserve(54 + dataSize);
  auto u16 = [&](uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  };
  auto u32 = [&](uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  out.push_back('B');
  out.push_back('M');
  u32(54 + dataSize);
  u32(0);
  u32(54);
  u32(40);
  u32(static_cast<uint32_t>(rgb24.Width()));
  u32(static_cast<uint32_t>(rgb24.Height()));
  u16(1);
  u16(24);
  u32(kRgb);
  u32(dataSize);
  u32(2835);  // 72 dots per inch
  u32(2835);
  u32(0);
  u32(0);
  for (int32_t y = rgb24.Height() - 1; y >= 0; --y) out.insert(out.end(), rgb24.Row(y), rgb24.Row(y) + rowSize);
  return out;
}

}  // namespace nova
