// Windows cursor files. A ".cur" or ".ico" file is a directory of pictures (6-byte header,
// 16-byte entries with size, hotspot, length and offset); each picture is a bitmap info header,
// palette, colour rows and 1-bit AND mask rows (both bottom-up, rows padded to 4 bytes), or a
// whole PNG file. An ".ani" file is a RIFF "ACON" form: "anih" (frame and step counts, default
// rate in 1/60 s, flags), optional "rate" and "seq " tables, and a "fram" list of "icon" chunks,
// each a complete cursor file.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/error.h"
#include "platform/cursor_image.h"

namespace nova {
namespace {

constexpr uint32_t kMaxAniFrames = 256;
constexpr uint32_t kMaxAniSteps = 4096;
constexpr uint64_t kMaxAniPixels = 4u << 20;  // every frame together
constexpr uint64_t kMaxStepMs = 3600u * 1000u;

uint16_t CursorLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t CursorLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

[[noreturn]] void Bad(const std::string& what) { RaiseError("cursor file: " + what); }

bool IsPng(std::span<const uint8_t> b) { return b.size() >= 8 && b[0] == 0x89 && std::memcmp(&b[1], "PNG", 3) == 0; }

// A device-independent bitmap with its AND mask, as an icon directory stores it.
TCursorFrame DecodeDib(std::span<const uint8_t> img) {
  if (img.size() < 40) Bad("picture header cut short");
  const uint32_t headerSize = CursorLe32(&img[0]);
  if (headerSize < 40 || headerSize > img.size()) Bad("bad picture header size");
  const int32_t width = static_cast<int32_t>(CursorLe32(&img[4]));
  const int32_t doubleHeight = static_cast<int32_t>(CursorLe32(&img[8]));
  const int bits = CursorLe16(&img[14]);
  const uint32_t compression = CursorLe32(&img[16]);
  const uint32_t colorsUsed = CursorLe32(&img[32]);
  // The height counts the colour rows and the mask rows.
  const int32_t height = doubleHeight / 2;
  if (width <= 0 || width > kMaxCursorSide || height <= 0 || height > kMaxCursorSide) Bad("bad picture size");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) Bad("unsupported bit depth");
  if (compression != 0) Bad("compressed pictures are not read");
  uint64_t paletteCount = colorsUsed;
  if (bits <= 8) {
    if (paletteCount == 0) paletteCount = 1u << bits;
    if (paletteCount > (1u << bits)) Bad("bad palette size");
  } else if (paletteCount > 256) {
    Bad("bad palette size");
  }
  const uint64_t colorRow = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
  const uint64_t maskRow = (static_cast<uint64_t>(width) + 31) / 32 * 4;
  const uint64_t colorStart = headerSize + paletteCount * 4;
  const uint64_t maskStart = colorStart + colorRow * height;
  if (maskStart > img.size()) Bad("colour rows cut short");
  const bool hasMask = maskStart + maskRow * height <= img.size();
  if (!hasMask && bits != 32) Bad("mask rows cut short");

  const uint8_t* palette = img.data() + headerSize;
  bool alphaUsed = false;
  if (bits == 32) {
    for (int32_t y = 0; y < height && !alphaUsed; ++y) {
      const uint8_t* row = img.data() + colorStart + colorRow * y;
      for (int32_t x = 0; x < width; ++x) alphaUsed |= row[x * 4 + 3] != 0;
    }
  }
  TCursorFrame frame;
  frame.Width = width;
  frame.Height = height;
  frame.Pixels.resize(static_cast<size_t>(width) * height);
  for (int32_t y = 0; y < height; ++y) {
    const int32_t stored = height - 1 - y;  // bottom-up
    const uint8_t* row = img.data() + colorStart + colorRow * stored;
    const uint8_t* mask = hasMask ? img.data() + maskStart + maskRow * stored : nullptr;
    uint32_t* out = frame.Pixels.data() + static_cast<size_t>(y) * width;
    for (int32_t x = 0; x < width; ++x) {
      uint32_t color = 0, alpha = 255;
      if (bits <= 8) {
        const size_t bit = static_cast<size_t>(x) * bits;
        const uint32_t index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        if (index < paletteCount) {
          const uint8_t* e = palette + index * 4;
          color = static_cast<uint32_t>(e[2]) << 16 | static_cast<uint32_t>(e[1]) << 8 | e[0];
        }
      } else {
        const uint8_t* p = row + x * (bits / 8);
        color = static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
        if (alphaUsed) alpha = p[3];
      }
      if (!alphaUsed && mask && (mask[x / 8] >> (7 - x % 8) & 1)) {
        // AND 1: colour 0 leaves the screen as it is; any other colour would invert it.
        alpha = color == 0 ? 0 : 255;
        color = 0;
      }
      out[x] = alpha << 24 | color;
    }
  }
  return frame;
}

struct TDirEntry {
  int32_t Side = 0, Bits = 0, HotX = 0, HotY = 0;
  uint32_t Offset = 0, Size = 0;
};

// A ".cur" or ".ico" file: the picture nearest to 32 x 32, with its hotspot.
TCursorFrame DecodeIconFile(std::span<const uint8_t> bytes) {
  if (bytes.size() < 6) Bad("cut short");
  const uint16_t type = CursorLe16(&bytes[2]), count = CursorLe16(&bytes[4]);
  if (CursorLe16(&bytes[0]) != 0 || (type != 1 && type != 2)) Bad("not a cursor or icon file");
  if (count == 0) Bad("no pictures");
  if (6 + static_cast<size_t>(count) * 16 > bytes.size()) Bad("directory cut short");
  std::vector<TDirEntry> entries;
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* e = &bytes[6 + static_cast<size_t>(i) * 16];
    TDirEntry d;
    d.Size = CursorLe32(e + 8);
    d.Offset = CursorLe32(e + 12);
    if (d.Size == 0 || d.Offset > bytes.size() || d.Size > bytes.size() - d.Offset) continue;  // points nowhere
    d.Side = std::max(e[0] ? e[0] : 256, e[1] ? e[1] : 256);
    if (type == 2) d.HotX = CursorLe16(e + 4), d.HotY = CursorLe16(e + 6);  // icons have no hotspot
    std::span<const uint8_t> img = bytes.subspan(d.Offset, d.Size);
    d.Bits = IsPng(img) ? 32 : img.size() >= 16 ? CursorLe16(&img[14]) : 0;
    entries.push_back(d);
  }
  if (entries.empty()) Bad("no readable picture");
  std::stable_sort(entries.begin(), entries.end(), [](const TDirEntry& a, const TDirEntry& b) {
    int da = std::abs(a.Side - 32), db = std::abs(b.Side - 32);
    return da != db ? da < db : a.Bits > b.Bits;
  });
  // The best picture that reads; the first one's fault is the one reported.
  std::string firstError;
  for (const TDirEntry& d : entries) {
    try {
      std::span<const uint8_t> img = bytes.subspan(d.Offset, d.Size);
      TCursorFrame frame = IsPng(img) ? DecodeCursorPng(img) : DecodeDib(img);
      frame.HotX = std::clamp(d.HotX, 0, frame.Width - 1);
      frame.HotY = std::clamp(d.HotY, 0, frame.Height - 1);
      return frame;
    } catch (const ENovaError& e) {
      if (firstError.empty()) firstError = e.Message();
    }
  }
  RaiseError(firstError);
}

struct TChunk {
  char Id[5] = {0, 0, 0, 0, 0};
  std::span<const uint8_t> Data;
};

// The chunks of a RIFF body, each checked to lie inside it.
std::vector<TChunk> ReadChunks(std::span<const uint8_t> body) {
  std::vector<TChunk> chunks;
  size_t at = 0;
  while (body.size() - at >= 8) {
    TChunk c;
    std::memcpy(c.Id, &body[at], 4);
    const uint32_t length = CursorLe32(&body[at + 4]);
    if (length > body.size() - at - 8) Bad(std::string("chunk \"") + c.Id + "\" runs past the end");
    c.Data = body.subspan(at + 8, length);
    chunks.push_back(c);
    at += 8 + static_cast<size_t>(length);
    if (length % 2 && at < body.size()) ++at;  // chunks start on even offsets
  }
  return chunks;
}

TCursorImage DecodeAni(std::span<const uint8_t> bytes) {
  if (bytes.size() < 12 || std::memcmp(&bytes[8], "ACON", 4) != 0) Bad("not an animated cursor");
  const uint32_t riffLength = CursorLe32(&bytes[4]);
  if (riffLength < 4) Bad("cut short");
  const size_t end = std::min<uint64_t>(bytes.size(), 8 + static_cast<uint64_t>(riffLength));
  std::span<const uint8_t> header, rates, sequence;
  std::vector<std::span<const uint8_t>> icons;
  for (const TChunk& c : ReadChunks(bytes.subspan(12, end - 12))) {
    if (std::memcmp(c.Id, "anih", 4) == 0) {
      header = c.Data;
    } else if (std::memcmp(c.Id, "rate", 4) == 0) {
      rates = c.Data;
    } else if (std::memcmp(c.Id, "seq ", 4) == 0) {
      sequence = c.Data;
    } else if (std::memcmp(c.Id, "LIST", 4) == 0 && c.Data.size() >= 4 && std::memcmp(c.Data.data(), "fram", 4) == 0) {
      for (const TChunk& f : ReadChunks(c.Data.subspan(4))) {
        if (std::memcmp(f.Id, "icon", 4) == 0) icons.push_back(f.Data);
      }
    }
  }
  if (header.size() < 36) Bad("animation header missing");
  const uint32_t frameCount = CursorLe32(&header[4]);
  uint32_t stepCount = CursorLe32(&header[8]);
  const uint32_t defaultRate = CursorLe32(&header[28]);
  const uint32_t flags = CursorLe32(&header[32]);
  if (!(flags & 1)) Bad("animations of raw pictures are not read");
  if (frameCount == 0 || frameCount > kMaxAniFrames) Bad("bad frame count");
  if (icons.size() < frameCount) Bad("frames missing");
  if (stepCount == 0) stepCount = frameCount;
  if (stepCount > kMaxAniSteps) Bad("bad step count");
  const bool sequenced = (flags & 2) && !sequence.empty();
  if (sequenced && sequence.size() / 4 < stepCount) Bad("step sequence cut short");
  if (!rates.empty() && rates.size() / 4 < stepCount) Bad("rate table cut short");

  TCursorImage image;
  uint64_t pixels = 0;
  for (uint32_t i = 0; i < frameCount; ++i) {
    image.Frames.push_back(DecodeIconFile(icons[i]));
    pixels += image.Frames.back().Pixels.size();
    if (pixels > kMaxAniPixels) Bad("animation too large");
  }
  for (uint32_t i = 0; i < stepCount; ++i) {
    uint32_t frame = sequenced ? CursorLe32(&sequence[i * 4]) : i % frameCount;
    if (frame >= frameCount) Bad("step names a missing frame");
    uint64_t jiffies = rates.empty() ? defaultRate : CursorLe32(&rates[i * 4]);
    uint64_t ms = std::max<uint64_t>(jiffies, 1) * 1000 / 60;  // a rate counts 1/60 s
    image.Steps.push_back(TCursorStep{static_cast<int32_t>(frame), static_cast<uint32_t>(std::min(ms, kMaxStepMs))});
  }
  return image;
}

}  // namespace

TCursorImage DecodeCursorFile(std::span<const uint8_t> bytes) {
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "RIFF", 4) == 0) return DecodeAni(bytes);
  TCursorImage image;
  image.Frames.push_back(DecodeIconFile(bytes));
  image.Steps.push_back(TCursorStep{0, 0});
  return image;
}

}  // namespace nova
