// PNG pictures inside cursor files. Cursors are small, so the whole picture is inflated at once
// into a buffer of exactly the size the header promises; the scanline filters and the seven
// interlace passes are undone here.
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "base/crc32.h"
#include "base/error.h"
#include "platform/cursor_image.h"

namespace nova {
namespace {

uint32_t Be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

[[noreturn]] void Bad(const char* what) { RaiseError(std::string("cursor PNG: ") + what); }

struct TPngHeader {
  uint32_t Width = 0, Height = 0;
  int Depth = 0, ColorType = 0;
  bool Interlaced = false;
  int Channels() const {
    switch (ColorType) {
      case 0: case 3: return 1;
      case 2: return 3;
      case 4: return 2;
      default: return 4;  // 6
    }
  }
  int BitsPerPixel() const { return Depth * Channels(); }
  size_t RowBytes(uint32_t width) const { return (static_cast<size_t>(width) * BitsPerPixel() + 7) / 8; }
};

// The seven passes of Adam7: start column/row and step.
constexpr std::array<std::array<int, 4>, 7> kAdam7{{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                                   {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}};

uint32_t PassExtent(uint32_t size, int start, int step) {
  return size > static_cast<uint32_t>(start) ? (size - start + step - 1) / step : 0;
}

uint8_t Paeth(int a, int b, int c) {
  int p = a + b - c, pa = p > a ? p - a : a - p, pb = p > b ? p - b : b - p, pc = p > c ? p - c : c - p;
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Undoes the filters of one sub-image in place: rows of 1 + rowBytes bytes.
void Unfilter(uint8_t* data, uint32_t rows, size_t rowBytes, int bpp) {
  const uint8_t* prev = nullptr;
  for (uint32_t y = 0; y < rows; ++y) {
    uint8_t* row = data + y * (rowBytes + 1);
    uint8_t filter = row[0];
    uint8_t* px = row + 1;
    for (size_t i = 0; i < rowBytes; ++i) {
      int a = i >= static_cast<size_t>(bpp) ? px[i - bpp] : 0;
      int b = prev ? prev[i] : 0;
      int c = prev && i >= static_cast<size_t>(bpp) ? prev[i - bpp] : 0;
      switch (filter) {
        case 0: break;
        case 1: px[i] = static_cast<uint8_t>(px[i] + a); break;
        case 2: px[i] = static_cast<uint8_t>(px[i] + b); break;
        case 3: px[i] = static_cast<uint8_t>(px[i] + (a + b) / 2); break;
        case 4: px[i] = static_cast<uint8_t>(px[i] + Paeth(a, b, c)); break;
        default: Bad("unknown row filter");
      }
    }
    prev = px;
  }
}

// One sample (channel value at the file's depth) of a row.
uint32_t Sample(const uint8_t* row, uint32_t index, int depth) {
  switch (depth) {
    case 16: return static_cast<uint32_t>(row[index * 2]) << 8 | row[index * 2 + 1];
    case 8: return row[index];
    default: {
      size_t bit = static_cast<size_t>(index) * depth;
      return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
    }
  }
}

struct TPngColors {
  std::vector<uint32_t> Palette;      // 0x00RRGGBB
  std::vector<uint8_t> PaletteAlpha;  // tRNS of a palette picture
  bool HasKey = false;                // tRNS of a grey or true-colour picture
  uint32_t Key[3] = {0, 0, 0};
};

uint8_t To8(uint32_t v, int depth) {
  if (depth == 16) return static_cast<uint8_t>(v >> 8);
  if (depth == 8) return static_cast<uint8_t>(v);
  return static_cast<uint8_t>(v * 255 / ((1u << depth) - 1));
}

uint32_t PixelAt(const uint8_t* row, uint32_t x, const TPngHeader& h, const TPngColors& c) {
  const int n = h.Channels();
  uint32_t s[4] = {0, 0, 0, 0};
  for (int i = 0; i < n; ++i) s[i] = Sample(row, x * n + i, h.Depth);
  switch (h.ColorType) {
    case 0: {
      uint32_t g = To8(s[0], h.Depth), a = c.HasKey && s[0] == c.Key[0] ? 0 : 255;
      return a << 24 | g << 16 | g << 8 | g;
    }
    case 2: {
      uint32_t a = c.HasKey && s[0] == c.Key[0] && s[1] == c.Key[1] && s[2] == c.Key[2] ? 0 : 255;
      return a << 24 | To8(s[0], h.Depth) << 16 | To8(s[1], h.Depth) << 8 | To8(s[2], h.Depth);
    }
    case 3: {
      if (s[0] >= c.Palette.size()) Bad("palette index out of range");
      uint32_t a = s[0] < c.PaletteAlpha.size() ? c.PaletteAlpha[s[0]] : 255;
      return a << 24 | c.Palette[s[0]];
    }
    case 4: {
      uint32_t g = To8(s[0], h.Depth);
      return static_cast<uint32_t>(To8(s[1], h.Depth)) << 24 | g << 16 | g << 8 | g;
    }
    default:
      return static_cast<uint32_t>(To8(s[3], h.Depth)) << 24 | To8(s[0], h.Depth) << 16 | To8(s[1], h.Depth) << 8 |
             To8(s[2], h.Depth);
  }
}

bool DepthAllowed(int colorType, int depth) {
  switch (colorType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2: case 4: case 6: return depth == 8 || depth == 16;
    default: return false;
  }
}

}  // namespace

TCursorFrame DecodeCursorPng(std::span<const uint8_t> bytes, int32_t maxSide) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (bytes.size() < 8 || std::memcmp(bytes.data(), kSignature, 8) != 0) Bad("no PNG signature");
  TPngHeader h;
  TPngColors colors;
  std::vector<uint8_t> compressed;
  bool haveHeader = false, ended = false;
  size_t at = 8;
  while (!ended) {
    if (bytes.size() - at < 12) Bad("cut short");
    const uint32_t length = Be32(&bytes[at]);
    if (length > bytes.size() - at - 12) Bad("a chunk runs past the end");
    const uint8_t* type = &bytes[at + 4];
    const uint8_t* data = &bytes[at + 8];
    if (Crc32(type, length + 4) != Be32(data + length)) Bad("chunk checksum mismatch");
    at += 12 + static_cast<size_t>(length);
    if (std::memcmp(type, "IHDR", 4) == 0) {
      if (length != 13 || haveHeader) Bad("bad header");
      h.Width = Be32(data);
      h.Height = Be32(data + 4);
      h.Depth = data[8];
      h.ColorType = data[9];
      if (data[10] != 0 || data[11] != 0 || data[12] > 1) Bad("unknown compression, filter or interlace method");
      h.Interlaced = data[12] == 1;
      if (!DepthAllowed(h.ColorType, h.Depth)) Bad("bad depth or colour type");
      if (h.Width == 0 || h.Height == 0 || h.Width > static_cast<uint32_t>(maxSide) ||
          h.Height > static_cast<uint32_t>(maxSide)) {
        Bad("picture too large for a cursor");
      }
      haveHeader = true;
    } else if (!haveHeader) {
      Bad("header missing");
    } else if (std::memcmp(type, "PLTE", 4) == 0) {
      if (length % 3 != 0 || length == 0 || length > 768) Bad("bad palette");
      colors.Palette.clear();
      for (uint32_t i = 0; i < length; i += 3) {
        colors.Palette.push_back(static_cast<uint32_t>(data[i]) << 16 | static_cast<uint32_t>(data[i + 1]) << 8 |
                                 data[i + 2]);
      }
    } else if (std::memcmp(type, "tRNS", 4) == 0) {
      if (h.ColorType == 3) {
        if (length > 256) Bad("bad transparency");
        colors.PaletteAlpha.assign(data, data + length);
      } else if (h.ColorType == 0 || h.ColorType == 2) {
        uint32_t n = h.ColorType == 0 ? 1 : 3;
        if (length != n * 2) Bad("bad transparency");
        for (uint32_t i = 0; i < n; ++i) colors.Key[i] = static_cast<uint32_t>(data[2 * i]) << 8 | data[2 * i + 1];
        colors.HasKey = true;
      }
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      compressed.insert(compressed.end(), data, data + length);
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      ended = true;
    } else if ((type[0] & 0x20) == 0) {
      Bad("unknown critical chunk");
    }
  }
  if (h.ColorType == 3 && colors.Palette.empty()) Bad("palette missing");

  // Sizes of the sub-images (one, or the seven passes).
  struct TPass {
    int X0, Y0, DX, DY;
    uint32_t W, H;
    size_t Offset;
  };
  std::vector<TPass> passes;
  size_t total = 0;
  if (h.Interlaced) {
    for (const auto& p : kAdam7) {
      TPass pass{p[0], p[1], p[2], p[3], PassExtent(h.Width, p[0], p[2]), PassExtent(h.Height, p[1], p[3]), total};
      if (pass.W == 0 || pass.H == 0) continue;
      passes.push_back(pass);
      total += pass.H * (h.RowBytes(pass.W) + 1);
    }
  } else {
    passes.push_back(TPass{0, 0, 1, 1, h.Width, h.Height, 0});
    total = h.Height * (h.RowBytes(h.Width) + 1);
  }
  std::vector<uint8_t> raw(total);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) Bad("inflate cannot start");
  z.next_in = compressed.data();
  z.avail_in = static_cast<uInt>(compressed.size());
  z.next_out = raw.data();
  z.avail_out = static_cast<uInt>(raw.size());
  int rc = inflate(&z, Z_FINISH);
  size_t produced = raw.size() - z.avail_out;
  inflateEnd(&z);
  if ((rc != Z_STREAM_END && rc != Z_BUF_ERROR && rc != Z_OK) || produced != raw.size()) Bad("pixel data damaged");

  TCursorFrame frame;
  frame.Width = static_cast<int32_t>(h.Width);
  frame.Height = static_cast<int32_t>(h.Height);
  frame.Pixels.assign(static_cast<size_t>(h.Width) * h.Height, 0);
  const int bpp = std::max(1, h.BitsPerPixel() / 8);
  for (const TPass& p : passes) {
    const size_t rowBytes = h.RowBytes(p.W);
    Unfilter(raw.data() + p.Offset, p.H, rowBytes, bpp);
    for (uint32_t y = 0; y < p.H; ++y) {
      const uint8_t* row = raw.data() + p.Offset + y * (rowBytes + 1) + 1;
      uint32_t* out = frame.Pixels.data() + static_cast<size_t>(p.Y0 + y * p.DY) * h.Width;
      for (uint32_t x = 0; x < p.W; ++x) out[p.X0 + x * p.DX] = PixelAt(row, x, h, colors);
    }
  }
  return frame;
}

}  // namespace nova
