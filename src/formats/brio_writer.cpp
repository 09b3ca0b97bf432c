#include "formats/brio_writer.h"

#include <cstring>

#include "base/encoding.h"
#include "base/error.h"
#include "base/stream.h"
#include "formats/brio_scramble.h"
#include "formats/brios.h"
#include "formats/jpeg_codec.h"
#include "formats/surface_pixels.h"
#include "formats/zlib_block.h"

namespace nova {
namespace {

constexpr int32_t kWriteVersion = 106;

// The rows of a bitmap as stored: top to bottom, or in the scrambled order (stored row i is
// image row order[i]).
std::vector<uint8_t> StoredRows(const TBrioBitmap& b, bool scrambled, uint32_t key) {
  const size_t rowSize = static_cast<size_t>(b.RowSize());
  std::vector<uint8_t> rows(rowSize * static_cast<size_t>(b.Height()));
  if (!scrambled) {
    if (!rows.empty()) std::memcpy(rows.data(), b.Data(), rows.size());
    return rows;
  }
  std::vector<uint32_t> order = ScrambleOrder(key, b.Height());
  for (size_t i = 0; i < order.size(); ++i) std::memcpy(rows.data() + i * rowSize, b.Row(static_cast<int32_t>(order[i])), rowSize);
  return rows;
}

TBrioBitmap ToRgb24(const TBrioBitmap& b) {
  if (b.Bits() == 24) return b;
  TBrioBitmap out(b.Width(), b.Height(), 24);
  TBrioPalette none;
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x) {
      uint32_t c = PixelToColor(b.Pixel(x, y), b.Bits(), none);
      out.SetPixel(x, y, static_cast<uint32_t>(ColorToPixelValue(c, 24)));
    }
  return out;
}

void WriteBlock(TStream& out, const std::vector<uint8_t>& block) {
  out.WriteInt32(static_cast<int32_t>(block.size()));
  out.WriteBuffer(block.data(), static_cast<int64_t>(block.size()));
}

void CheckFrame(const TBrioWriteFrame& f) {
  const TBrioBitmap* c = f.Color;
  if (!c) RaiseError("WriteBrio: a frame without a picture");
  int32_t bits = c->Bits();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    RaiseError(Format("WriteBrio: %d bits per pixel cannot be written", bits));
  if (f.Mask && !f.Mask->Empty() &&
      (f.Mask->Bits() != 8 || f.Mask->Width() != c->Width() || f.Mask->Height() != c->Height()))
    RaiseError("WriteBrio: the mask must be 8 bits and of the picture's size");
  if (bits <= 8 && f.Palette.size() > (size_t{1} << bits)) RaiseError("WriteBrio: palette larger than the depth allows");
}

}  // namespace

void WriteBrio(TStream& out, const std::vector<TBrioWriteFrame>& frames, const TBrioWriteOptions& options) {
  if (options.RequireScramble && options.Key == 0) RaiseError(Utf8ToSjis("識別コードを設定してください"));
  const bool scrambled = options.Key != 0;
  const int32_t compression = scrambled ? 1 : options.Compression;
  if (compression < 0 || compression > 2) RaiseError(Format("WriteBrio: compression %d", compression));
  for (const TBrioWriteFrame& f : frames) {
    CheckFrame(f);
    if (compression == 2 && f.Color->Bits() <= 8) RaiseError("WriteBrio: JPEG layers need a true-colour picture");
  }
  const uint32_t key = static_cast<uint32_t>(options.Key);

  out.WriteBytes(Format("Brio%03d", kWriteVersion));
  out.WriteInt32(40);
  const TBrioBitmap* first = frames.empty() ? nullptr : frames[0].Color;
  out.WriteInt32(kWriteVersion);
  out.WriteInt32(first ? first->Width() : 0);
  out.WriteInt32(first ? first->Height() : 0);
  out.WriteInt32(first ? first->Bits() : 0);
  out.WriteInt32(static_cast<int32_t>(frames.size()));
  out.WriteByte(1);
  out.WriteByte(scrambled ? 1 : 0);
  out.WriteByte(static_cast<uint8_t>(compression));
  out.WriteByte(0);
  out.WriteInt32(static_cast<int32_t>(options.BackgroundColor));
  out.WriteInt32(0);  // tile width: rows
  out.WriteInt32(0);
  out.WriteByte(0);   // composite-first-layer flag
  out.WriteByte(static_cast<uint8_t>(options.JpegQuality));
  out.WriteByte(0);
  out.WriteByte(0);

  for (const TBrioWriteFrame& f : frames) {
    const TBrioBitmap& c = *f.Color;
    const bool hasMask = f.Mask && !f.Mask->Empty();
    out.WriteString(f.Name);
    out.WriteInt32(f.TransparentIndex);
    out.WriteInt32(f.Delay);
    out.WriteByte(0);
    out.WriteInt32(0);
    out.WriteInt32(1);  // one layer
    out.WriteInt32(c.Width());
    out.WriteInt32(c.Height());
    out.WriteInt32(c.Bits());
    if (c.Bits() <= 8) {
      size_t entries = size_t{1} << c.Bits();
      for (size_t i = 0; i < entries; ++i) {
        uint32_t color = i < f.Palette.size() ? f.Palette[i] : 0;
        uint8_t quad[4] = {static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8),
                           static_cast<uint8_t>(color), 0};
        out.WriteBuffer(quad, 4);
      }
    }
    out.WriteInt32(0);  // offsets
    out.WriteInt32(0);
    out.WriteByte(1);    // visible
    out.WriteInt32(-1);  // transparent colour
    out.WriteInt32(255);
    out.WriteByte(hasMask ? 1 : 0);
    out.WriteString("Layer");
    if (compression == 2) {
      WriteBlock(out, c.Empty() ? std::vector<uint8_t>() : EncodeJpeg(ToRgb24(c), options.JpegQuality));
    } else {
      std::vector<uint8_t> rows = StoredRows(c, scrambled, key);
      WriteBlock(out, compression == 0 ? DeflateImageBlock(rows) : rows);
    }
    if (hasMask) {
      // JPEG files keep their mask rows in order (and compressed).
      std::vector<uint8_t> rows = StoredRows(*f.Mask, scrambled && compression != 2, key);
      WriteBlock(out, compression == 1 ? rows : DeflateImageBlock(rows));
    } else {
      out.WriteInt32(0);
    }
    out.WriteInt32(0);  // two empty rectangle lists
    out.WriteInt32(0);
  }
}

void WriteBrio(TStream& out, const TBrioFrameList& list, const TBrioWriteOptions& options) {
  std::vector<TBrioBitmap> colors, masks;
  colors.reserve(static_cast<size_t>(list.Count()));
  masks.reserve(static_cast<size_t>(list.Count()));
  std::vector<TBrioWriteFrame> frames;
  for (int i = 0; i < list.Count(); ++i) {
    const TBrioFrame& f = list.Frame(i);
    if (!f.Surface) RaiseError("WriteBrio: a frame without a surface");
    colors.push_back(BitmapFromSurface(*f.Surface));
    masks.push_back(f.MaskSurface ? BitmapFromSurface(*f.MaskSurface) : TBrioBitmap());
    TBrioWriteFrame w;
    w.Name = f.Name;
    w.TransparentIndex = f.TransparentIndex;
    w.Delay = f.Delay;
    w.Color = &colors.back();
    w.Mask = f.MaskSurface ? &masks.back() : nullptr;
    w.Palette = SurfacePalette(*f.Surface);
    frames.push_back(std::move(w));
  }
  WriteBrio(out, frames, options);
}

}  // namespace nova
