#include "formats/brio_tiles.h"

#include <cstring>
#include <vector>

#include "base/error.h"
#include "formats/brio_scramble.h"
#include "formats/image_limits.h"
#include "formats/jpeg_codec.h"
#include "formats/zlib_block.h"

namespace nova {
namespace {

int64_t TileRowBytes(int64_t width, int32_t bits) { return (width * bits + 7) / 8; }

// The block's bytes after decompression: at most cap bytes are of any use.
std::vector<uint8_t> Unpack(std::span<const uint8_t> data, bool zipped, size_t cap, const std::string& name) {
  if (zipped) return InflateImageBlock(data, cap, name);
  size_t n = data.size() < cap ? data.size() : cap;
  return std::vector<uint8_t>(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
}

// The bitmap is allocated once the data has shown that it holds every row.
void ReadRows(std::span<const uint8_t> data, bool zipped, bool scrambled, uint32_t key, TBrioBitmap& out,
              int32_t width, int32_t height, int32_t bits, const std::string& name) {
  const size_t rowSize = static_cast<size_t>(RowBytes(width, bits));
  const size_t need = rowSize * static_cast<size_t>(height);
  std::vector<uint8_t> raw = Unpack(data, zipped, need, name);
  if (raw.size() < need)
    RaiseImageError(name, Format("pixel data holds %zu of %zu bytes", raw.size(), need));
  out.Allocate(width, height, bits);
  if (!scrambled) {
    std::memcpy(out.Data(), raw.data(), need);
    return;
  }
  // The i-th stored row is image row order[i].
  std::vector<uint32_t> order = ScrambleOrder(key, out.Height());
  for (size_t i = 0; i < order.size(); ++i) std::memcpy(out.Row(static_cast<int32_t>(order[i])), raw.data() + i * rowSize, rowSize);
}

struct TileEntry {
  int32_t Source = -1;
  int32_t Value = 0;
};

void ReadTiles(std::span<const uint8_t> data, bool zipped, const TBrioPlaneFormat& f, bool scrambled, TBrioBitmap& out,
               int32_t width, int32_t height, int32_t bits, const TBrioTileSource& source, const std::string& name) {
  const int64_t tw = f.TileWidth, th = f.TileHeight;
  const int64_t cols = (width + tw - 1) / tw;
  const int64_t rows = (height + th - 1) / th;
  const int64_t count = cols * rows;  // at most one tile per pixel, so within the pixel limit
  // Every tile's rows are (clipped width * bits + 7) / 8 bytes: the most the block can hold
  // is the entries plus every tile stored in full.
  int64_t rowBytesAllColumns = 0;
  for (int64_t c = 0; c < cols; ++c) rowBytesAllColumns += TileRowBytes(std::min<int64_t>(tw, width - c * tw), bits);
  const int64_t cap = count * 8 + rowBytesAllColumns * height;
  std::vector<uint8_t> raw = Unpack(data, zipped, static_cast<size_t>(cap), name);
  if (static_cast<int64_t>(raw.size()) < count * 8)
    RaiseImageError(name, Format("tile table holds %zu of %lld bytes", raw.size(), static_cast<long long>(count * 8)));
  out.Allocate(width, height, bits);

  std::vector<TileEntry> entries(static_cast<size_t>(count));
  auto le32 = [&](size_t at) {
    return static_cast<int32_t>(static_cast<uint32_t>(raw[at]) | static_cast<uint32_t>(raw[at + 1]) << 8 |
                                static_cast<uint32_t>(raw[at + 2]) << 16 | static_cast<uint32_t>(raw[at + 3]) << 24);
  };
  // The i-th stored entry belongs to tile order[i] (stored order when unscrambled).
  std::vector<uint32_t> order;
  if (scrambled) order = ScrambleOrder(f.Key, static_cast<int32_t>(count));
  for (int64_t i = 0; i < count; ++i) {
    size_t tile = scrambled ? order[static_cast<size_t>(i)] : static_cast<size_t>(i);
    entries[tile] = TileEntry{le32(static_cast<size_t>(i) * 8), le32(static_cast<size_t>(i) * 8 + 4)};
  }

  TPixelView view = out.View();
  size_t at = static_cast<size_t>(count) * 8;
  auto tileRect = [&](int64_t t, int32_t& x, int32_t& y, int32_t& w, int32_t& h) {
    x = static_cast<int32_t>((t % cols) * tw);
    y = static_cast<int32_t>((t / cols) * th);
    w = static_cast<int32_t>(std::min<int64_t>(tw, out.Width() - x));
    h = static_cast<int32_t>(std::min<int64_t>(th, out.Height() - y));
  };
  // Tiles are filled strictly in order: a copy from a later tile copies what it holds now.
  for (int64_t t = 0; t < count; ++t) {
    int32_t x, y, w, h;
    tileRect(t, x, y, w, h);
    const TileEntry& e = entries[static_cast<size_t>(t)];
    if (e.Source == -1) {
      size_t rowBytes = static_cast<size_t>(TileRowBytes(w, bits));
      if (raw.size() - at < rowBytes * static_cast<size_t>(h))
        RaiseImageError(name, Format("tile %lld: pixel data ends early", static_cast<long long>(t)));
      // The stored tile is a little picture of its own, rows packed without padding.
      TPixelView tile{raw.data() + at, static_cast<std::ptrdiff_t>(rowBytes), w, h, bits};
      CopyPixelBlock(tile, 0, 0, view, x, y, w, h);
      at += rowBytes * static_cast<size_t>(h);
    } else if (e.Source == -2) {
      if (e.Value < 0 || e.Value >= count)
        RaiseImageError(name, Format("tile %lld copies tile %d of %lld", static_cast<long long>(t), e.Value,
                                     static_cast<long long>(count)));
      int32_t sx, sy, sw, sh;
      tileRect(e.Value, sx, sy, sw, sh);
      if (e.Value != t) CopyPixelBlock(view, sx, sy, view, x, y, std::min(w, sw), std::min(h, sh));
    } else if (e.Source >= 0) {
      const TBrioBitmap* other = source ? source(e.Source, e.Value) : nullptr;
      // Another frame's layer of another depth has nothing to give.
      if (!other || other->Bits() != bits || other == &out) continue;
      int32_t cw = std::min(w, other->Width() - x), ch = std::min(h, other->Height() - y);
      TPixelView from = const_cast<TBrioBitmap*>(other)->View();
      CopyPixelBlock(from, x, y, view, x, y, cw, ch);
    } else {
      RaiseImageError(name, Format("tile %lld has source %d", static_cast<long long>(t), e.Source));
    }
  }
}

}  // namespace

TBrioBitmap ConvertTrueColor(const TBrioBitmap& rgb24, int32_t bits) {
  if (bits == 24) return rgb24;
  TBrioBitmap out(rgb24.Width(), rgb24.Height(), bits);
  for (int32_t y = 0; y < rgb24.Height(); ++y) {
    const uint8_t* s = rgb24.Row(y);
    uint8_t* d = out.Row(y);
    for (int32_t x = 0; x < rgb24.Width(); ++x) {
      uint32_t rgb = ReadPixel(s, x, 24);  // 0x00RRGGBB
      uint32_t color = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
      WritePixel(d, x, bits, static_cast<uint32_t>(ColorToPixelValue(color, bits)));
    }
  }
  return out;
}

TBrioBitmap DecodeBrioPlane(std::span<const uint8_t> data, const TBrioPlaneFormat& f, int32_t width, int32_t height,
                            int32_t bits, bool isMask, const TBrioTileSource& source, const std::string& name) {
  const bool modern = f.Version >= 103;
  const int32_t planeBits = isMask ? 8 : bits;
  TBrioBitmap out;
  if (width <= 0 || height <= 0) return out;
  if (modern && !isMask && f.Compression == 2) {
    if (bits <= 8) RaiseImageError(name, Format("JPEG layer in a %d-bit frame", bits));
    return ConvertTrueColor(DecodeJpeg(data, width, height, name), bits);
  }
  const bool zipped = f.Compression == 0 || (isMask && f.Compression == 2);
  if (modern && f.TileWidth > 0 && f.TileHeight > 0) {
    ReadTiles(data, zipped, f, f.Scrambled, out, width, height, planeBits, source, name);
  } else {
    // JPEG files keep their rows in order, also the masks'.
    ReadRows(data, zipped, modern && f.Scrambled && f.Compression != 2, f.Key, out, width, height, planeBits, name);
  }
  return out;
}

}  // namespace nova
