#include "formats/png_image.h"

#include <png.h>

#include <cstring>
#include <memory>

#include "base/error.h"
#include "formats/image_limits.h"

namespace nova {
namespace {

// libpng reports errors by longjmp to the jump buffer armed with setjmp. Each function that
// arms it keeps only trivially destructible locals, so the jump skips no destructor; the
// owning C++ objects live in the callers.

struct PngSource {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  PngSource* src = static_cast<PngSource*>(png_get_io_ptr(png));
  if (count > src->size - src->pos) png_error(png, "truncated");
  std::memcpy(out, src->data + src->pos, count);
  src->pos += count;
}

struct PngErrorText {
  char text[200];
};

void OnPngError(png_structp png, png_const_charp message) {
  PngErrorText* e = static_cast<PngErrorText*>(png_get_error_ptr(png));
  std::snprintf(e->text, sizeof e->text, "%s", message ? message : "error");
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// What the picture becomes.
enum class PngTarget { Indexed, Rgb, Rgba };

struct PngLayout {
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0;
  PngTarget target = PngTarget::Rgb;
  size_t rowBytes = 0;
  // Palette and transparency as read.
  int paletteCount = 0;
  uint32_t palette[256] = {};
  int transparentIndex = -1;
  int32_t transparentColor = -1;
};

bool ReadPngInfo(png_structp png, png_infop info, PngLayout* layout) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_read_info(png, info);
  png_get_IHDR(png, info, &layout->width, &layout->height, &layout->bitDepth, &layout->colorType, nullptr, nullptr,
               nullptr);
  if (static_cast<int64_t>(layout->width) * layout->height > kMaxImagePixels) return true;  // the caller refuses it

  png_bytep transAlpha = nullptr;
  int transCount = 0;
  png_color_16p transColor = nullptr;
  bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) &&
                 png_get_tRNS(png, info, &transAlpha, &transCount, &transColor) != 0;
  const int depth = layout->bitDepth;

  switch (layout->colorType) {
    case PNG_COLOR_TYPE_PALETTE: {
      png_colorp pal = nullptr;
      int count = 0;
      png_get_PLTE(png, info, &pal, &count);
      layout->paletteCount = count < 0 ? 0 : (count > 256 ? 256 : count);
      for (int i = 0; i < layout->paletteCount; ++i)
        layout->palette[i] = static_cast<uint32_t>(pal[i].red) | static_cast<uint32_t>(pal[i].green) << 8 |
                             static_cast<uint32_t>(pal[i].blue) << 16;
      // One fully transparent entry and no partial alpha: a transparent index; anything
      // else needs a real alpha channel.
      int clear = -1, clearCount = 0;
      bool partial = false;
      for (int i = 0; hasTrns && i < transCount; ++i) {
        if (transAlpha[i] == 0) {
          if (clearCount++ == 0) clear = i;
        } else if (transAlpha[i] != 255) {
          partial = true;
        }
      }
      if (hasTrns && (partial || clearCount > 1)) {
        layout->target = PngTarget::Rgba;
        png_set_palette_to_rgb(png);
        png_set_tRNS_to_alpha(png);
      } else {
        layout->target = PngTarget::Indexed;
        layout->transparentIndex = clear;
        if (depth < 8) png_set_packing(png);
      }
      break;
    }
    case PNG_COLOR_TYPE_GRAY:
      layout->target = PngTarget::Indexed;
      layout->paletteCount = 256;
      for (int i = 0; i < 256; ++i) layout->palette[i] = static_cast<uint32_t>(i) * 0x010101u;
      if (hasTrns && transColor) {
        uint32_t g = transColor->gray;
        layout->transparentIndex = depth == 16 ? static_cast<int>(g >> 8) : static_cast<int>(g * 255 / ((1u << depth) - 1));
      }
      if (depth < 8) png_set_expand_gray_1_2_4_to_8(png);
      break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      layout->target = PngTarget::Rgba;
      png_set_gray_to_rgb(png);
      break;
    case PNG_COLOR_TYPE_RGB:
      layout->target = PngTarget::Rgb;
      if (hasTrns && transColor) {
        uint32_t r = transColor->red, g = transColor->green, b = transColor->blue;
        if (depth == 16) r >>= 8, g >>= 8, b >>= 8;
        layout->transparentColor = static_cast<int32_t>(r | g << 8 | b << 16);
      }
      break;
    default:
      layout->target = PngTarget::Rgba;
      break;
  }
  if (depth == 16) png_set_strip_16(png);
  if (layout->target != PngTarget::Indexed) png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  layout->rowBytes = png_get_rowbytes(png, info);
  return true;
}

bool ReadPngRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

struct PngReadGuard {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngReadGuard() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  }
};

}  // namespace

bool LooksLikePng(std::span<const uint8_t> bytes) {
  return bytes.size() >= 8 && png_sig_cmp(bytes.data(), 0, 8) == 0;
}

TDecodedImage DecodePng(std::span<const uint8_t> bytes, const std::string& name) {
  if (!LooksLikePng(bytes)) RaiseImageError(name, "not a PNG file");
  PngErrorText error{};
  PngSource source{bytes.data(), bytes.size(), 0};
  PngReadGuard g;
  g.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, OnPngError, OnPngWarning);
  if (!g.png) RaiseError("libpng: cannot create a reader");
  g.info = png_create_info_struct(g.png);
  if (!g.info) RaiseError("libpng: cannot create a reader");
  png_set_read_fn(g.png, &source, ReadFromMemory);

  auto layout = std::make_unique<PngLayout>();
  if (!ReadPngInfo(g.png, g.info, layout.get())) RaiseImageError(name, std::string("PNG: ") + error.text);
  CheckImageSize(name, layout->width, layout->height, "PNG");
  const int32_t w = static_cast<int32_t>(layout->width), h = static_cast<int32_t>(layout->height);
  const int channels = layout->target == PngTarget::Indexed ? 1 : layout->target == PngTarget::Rgb ? 3 : 4;
  if (layout->rowBytes != static_cast<size_t>(w) * channels) RaiseImageError(name, "PNG: unexpected row layout");

  // Rows as libpng writes them: indices, blue-green-red, or blue-green-red-alpha.
  std::vector<uint8_t> pixels(layout->rowBytes * static_cast<size_t>(h));
  std::vector<png_bytep> rows(static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y) rows[static_cast<size_t>(y)] = pixels.data() + layout->rowBytes * static_cast<size_t>(y);
  if (!ReadPngRows(g.png, rows.data())) RaiseImageError(name, std::string("PNG: ") + error.text);

  TDecodedImage out;
  if (layout->target == PngTarget::Indexed) {
    out.Color.Allocate(w, h, 8);
    for (int32_t y = 0; y < h; ++y) std::memcpy(out.Color.Row(y), rows[static_cast<size_t>(y)], static_cast<size_t>(w));
    out.Palette.assign(layout->palette, layout->palette + 256);  // entries past PLTE stay black
    out.TransparentIndex = layout->transparentIndex;
    return out;
  }
  out.Color.Allocate(w, h, 24);
  if (layout->target == PngTarget::Rgb) {
    for (int32_t y = 0; y < h; ++y) std::memcpy(out.Color.Row(y), rows[static_cast<size_t>(y)], static_cast<size_t>(w) * 3);
    out.TransparentIndex = layout->transparentColor;
    return out;
  }
  out.Mask.Allocate(w, h, 8);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* s = rows[static_cast<size_t>(y)];
    uint8_t* c = out.Color.Row(y);
    uint8_t* m = out.Mask.Row(y);
    for (int32_t x = 0; x < w; ++x, s += 4, c += 3) {
      c[0] = s[0];
      c[1] = s[1];
      c[2] = s[2];
      m[x] = s[3];
    }
  }
  return out;
}

namespace {

void WriteToVector(png_structp png, png_bytep data, png_size_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + count);
}

void FlushNothing(png_structp) {}

struct PngPlan {
  png_uint_32 width, height;
  int bitDepth, colorType;
  int paletteCount;
  png_color palette[256];
};

bool WritePng(png_structp png, png_infop info, const PngPlan* plan, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, plan->width, plan->height, plan->bitDepth, plan->colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (plan->colorType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, plan->palette, plan->paletteCount);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

struct PngWriteGuard {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngWriteGuard() {
    if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
  }
};

}  // namespace

std::vector<uint8_t> EncodePng(const TBrioBitmap& color, const TBrioBitmap* mask, const TBrioPalette& palette) {
  const int32_t bits = color.Bits();
  if (color.Empty()) RaiseError("PNG: an empty picture cannot be written");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24) RaiseError(Format("PNG: %d-bit pictures are not written", bits));
  const bool alpha = bits == 24 && mask && !mask->Empty();
  auto plan = std::make_unique<PngPlan>();
  plan->width = static_cast<png_uint_32>(color.Width());
  plan->height = static_cast<png_uint_32>(color.Height());
  plan->bitDepth = bits == 24 ? 8 : bits;
  plan->colorType = bits <= 8 ? PNG_COLOR_TYPE_PALETTE : alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
  plan->paletteCount = bits <= 8 ? 1 << bits : 0;
  for (int i = 0; i < plan->paletteCount; ++i) {
    uint32_t c = static_cast<size_t>(i) < palette.size() ? palette[static_cast<size_t>(i)] : 0;
    plan->palette[i] = png_color{static_cast<png_byte>(c), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c >> 16)};
  }
  // Rows in PNG order: indices as they are (same packing as bitmap rows), red-green-blue(-alpha).
  const size_t rowBytes = bits <= 8 ? (static_cast<size_t>(color.Width()) * bits + 7) / 8
                                    : static_cast<size_t>(color.Width()) * (alpha ? 4 : 3);
  std::vector<uint8_t> pixels(rowBytes * static_cast<size_t>(color.Height()));
  std::vector<png_bytep> rows(static_cast<size_t>(color.Height()));
  for (int32_t y = 0; y < color.Height(); ++y) {
    uint8_t* d = pixels.data() + rowBytes * static_cast<size_t>(y);
    rows[static_cast<size_t>(y)] = d;
    const uint8_t* s = color.Row(y);
    if (bits <= 8) {
      std::memcpy(d, s, rowBytes);
      continue;
    }
    for (int32_t x = 0; x < color.Width(); ++x, s += 3) {
      *d++ = s[2];
      *d++ = s[1];
      *d++ = s[0];
      if (alpha) *d++ = mask->Row(y)[x];
    }
  }
  std::vector<uint8_t> out;
  PngErrorText error{};
  PngWriteGuard g;
  g.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, OnPngError, OnPngWarning);
  if (!g.png) RaiseError("libpng: cannot create a writer");
  g.info = png_create_info_struct(g.png);
  if (!g.info) RaiseError("libpng: cannot create a writer");
  png_set_write_fn(g.png, &out, WriteToVector, FlushNothing);
  if (!WritePng(g.png, g.info, plan.get(), rows.data())) RaiseError(std::string("PNG: ") + error.text);
  return out;
}

}  // namespace nova
