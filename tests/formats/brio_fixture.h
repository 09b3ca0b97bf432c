#pragma once
// Hand-made layered image files for the tests: every field written as the format lays it out.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/geometry.h"
#include "formats/pixel_rows.h"

namespace nova::test {

inline std::string Le32(uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
inline std::string Str(const std::string& s) { return Le32(static_cast<uint32_t>(s.size())) + s; }

inline std::string Zip(const std::string& s) {
  uLongf n = compressBound(static_cast<uLong>(s.size()));
  std::string out(n, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(s.data()), s.size(), 1);
  out.resize(n);
  return out;
}

// The padded rows of a bitmap, top to bottom.
inline std::string RowsOf(const TBrioBitmap& b) {
  return std::string(reinterpret_cast<const char*>(b.Data()), b.ByteSize());
}

struct LayerSpec {
  bool Visible = true;
  int32_t Transparent = -1;
  int32_t Opacity = 255;
  bool HasAlpha = false;
  std::string Color;  // the block as stored (already compressed when the file says so)
  std::string Mask;   // empty: no mask
  int32_t OffsetX = 0, OffsetY = 0;
};

struct FrameSpec {
  std::string Name = "f";
  int32_t Transparent = -1;
  int32_t Delay = 100;
  int32_t Width = 1, Height = 1, Bits = 24;
  std::vector<uint32_t> Palette;  // colours 0x00BBGGRR; padded to 2^bits
  std::vector<LayerSpec> Layers;
  std::vector<TRect> Rects1, Rects2;
};

struct BrioSpec {
  int Version = 106;
  int32_t HeaderLength = 40;
  bool Scrambled = false;
  int Compression = 1;
  uint32_t Background = 0;
  int32_t TileWidth = 0, TileHeight = 0;
  bool CompositeFirst = false;
  std::vector<FrameSpec> Frames;
};

inline std::string BuildBrio(const BrioSpec& s) {
  std::string out;
  const int v = s.Version;
  if (v > 0) out += Format("Brio%03d", v);
  if (v < 103) {
    out += Le32(static_cast<uint32_t>(s.Frames.size())) + '\0';
    if (v > 101) out += Le32(s.Background);
  } else {
    const FrameSpec* f = s.Frames.empty() ? nullptr : &s.Frames[0];
    std::string rec = Le32(static_cast<uint32_t>(v)) + Le32(f ? f->Width : 0) + Le32(f ? f->Height : 0) +
                      Le32(f ? f->Bits : 0) + Le32(static_cast<uint32_t>(s.Frames.size()));
    rec += '\1';
    rec += static_cast<char>(s.Scrambled);
    rec += static_cast<char>(s.Compression);
    rec += '\0';
    rec += Le32(s.Background) + Le32(static_cast<uint32_t>(s.TileWidth)) + Le32(static_cast<uint32_t>(s.TileHeight));
    rec += static_cast<char>(s.CompositeFirst);
    rec += std::string(3, '\0');
    rec.resize(static_cast<size_t>(s.HeaderLength), '\x77');  // a longer header's unknown bytes
    out += Le32(static_cast<uint32_t>(s.HeaderLength)) + rec;
  }
  for (const FrameSpec& f : s.Frames) {
    out += Str(f.Name) + Le32(static_cast<uint32_t>(f.Transparent)) + Le32(static_cast<uint32_t>(f.Delay)) + '\0' + Le32(0);
    out += Le32(static_cast<uint32_t>(f.Layers.size())) + Le32(f.Width) + Le32(f.Height) + Le32(f.Bits);
    if (f.Bits <= 8) {
      for (uint32_t i = 0; i < (1u << f.Bits); ++i) {
        uint32_t c = i < f.Palette.size() ? f.Palette[i] : 0;
        out += std::string{static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c), '\0'};
      }
    }
    for (const LayerSpec& l : f.Layers) {
      out += Le32(static_cast<uint32_t>(l.OffsetX)) + Le32(static_cast<uint32_t>(l.OffsetY)) + static_cast<char>(l.Visible) + Le32(static_cast<uint32_t>(l.Transparent)) +
             Le32(static_cast<uint32_t>(l.Opacity));
      if (v > 100) out += static_cast<char>(l.HasAlpha);
      out += Str("Layer") + Str(l.Color);
      if (v > 99) out += Str(l.Mask);
    }
    if (v >= 104) {
      for (const std::vector<TRect>* list : {&f.Rects1, &f.Rects2}) {
        out += Le32(static_cast<uint32_t>(list->size()));
        for (const TRect& r : *list)
          out += Le32(static_cast<uint32_t>(r.Left)) + Le32(static_cast<uint32_t>(r.Top)) +
                 Le32(static_cast<uint32_t>(r.Right)) + Le32(static_cast<uint32_t>(r.Bottom));
      }
    }
  }
  return out;
}

// One tile entry of a tile table.
inline std::string Tile(int32_t source, int32_t value) {
  return Le32(static_cast<uint32_t>(source)) + Le32(static_cast<uint32_t>(value));
}

}  // namespace nova::test
