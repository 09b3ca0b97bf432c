#pragma once
// Layered images (".bri", signature "Brio"): a file holds frames, each built from stacked
// layers with colour pixels and an optional 8-bit mask. A frame list reads a file into one
// composed surface per frame, with mask surface and transparent colour resolved; PNG and BMP
// files load into the same shape (image_open.h), single-layer files are written by
// brio_writer.h, and surfaces load and save pictures through surface_loader.h.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "formats/pixel_rows.h"
#include "render/dibx.h"

namespace nova {

class TStream;

// The file header (versions below 103 carry only the frame count and, above 101, the
// background colour; the rest keeps these defaults).
struct TBrioHeader {
  int32_t Version = 0;
  int32_t Width = 0, Height = 0, Bits = 0;
  int32_t FrameCount = 0;
  bool Scrambled = false;
  int32_t Compression = 0;  // 0 zlib, 1 none, 2 JPEG colour with zlib mask
  uint32_t BackgroundColor = 0;
  int32_t TileWidth = 0, TileHeight = 0;  // 0: rows
  bool CompositeFirstLayer = false;       // versions 105 and later
  int32_t JpegQuality = 0;
};

// A layer keeps its pixels as plain rows: tiles of later frames copy from them, and only the
// composed frame becomes a surface.
class TBrioLayer {
public:
  TBrioBitmap Color;  // the frame's size and depth
  TBrioBitmap Mask;   // 8 bits; empty when the layer has none
  // The two values stored before the visible flag (written as 0): carried as the layer's
  // offset, composition does not use them.
  int32_t OffsetX = 0, OffsetY = 0;
  bool Visible = true;
  int32_t TransparentColor = -1;  // -1: none
  int32_t Opacity = 255;
  bool HasAlpha = false;

  bool HasMask() const { return !Mask.Empty(); }
};

class TBrioFrame {
public:
  std::string Name;                // Shift-JIS
  int32_t TransparentIndex = -1;   // palette index or colour as stored; -1: none
  int32_t Delay = 100;             // milliseconds
  int32_t Width = 0, Height = 0, Bits = 0;
  TBrioPalette Palette;            // 2^bits colours when Bits <= 8
  std::vector<TBrioLayer> Layers;
  // The composed picture at the frame's size and depth (paletted: with the palette; its
  // Transparent field holds the pixel value of the transparent colour) and its optional
  // 8-bit mask (0 invisible, 255 opaque).
  std::unique_ptr<TDIBX> Surface;
  std::unique_ptr<TDIBX> MaskSurface;
  int32_t TransparentColor = -1;   // 0x00BBGGRR after composition; -1: none
  // Two rectangle lists (versions 104 and later), carried to whoever draws the frame.
  std::vector<TRect> Rects1, Rects2;

  bool HasMask() const { return MaskSurface != nullptr; }
};

struct TBrioLoadOptions {
  bool FirstFrameOnly = false;
  // Give every frame a mask: frames without one get 255 everywhere but 0 where the pixel
  // has the frame's transparent colour.
  bool MakeMasks = false;
};

class TBrioFrameList {
public:
  // key: the scramble seed (the project's image key; 0 for files not tied to a project).
  explicit TBrioFrameList(int32_t key = 0) : key_(key) {}

  int32_t Key() const { return key_; }
  const TBrioHeader& Header() const { return header_; }
  TBrioHeader& Header() { return header_; }
  int32_t Version() const { return header_.Version; }
  uint32_t BackgroundColor() const { return header_.BackgroundColor; }
  bool CompositeFirstLayer() const { return header_.CompositeFirstLayer; }

  int Count() const { return static_cast<int>(frames_.size()); }
  TBrioFrame& Frame(int i) { return *frames_[static_cast<size_t>(i)]; }
  const TBrioFrame& Frame(int i) const { return *frames_[static_cast<size_t>(i)]; }
  TBrioFrame& Add();
  void Clear();
  // Frees the layers once the composed pictures are all that is wanted.
  void DropLayers();

  // Reads a layered image; name (Shift-JIS or UTF-8, as the caller reports files) appears in
  // every error. A damaged or truncated file raises ENovaError and leaves the list empty.
  void LoadFromBytes(std::span<const uint8_t> bytes, const std::string& name, const TBrioLoadOptions& options = {});
  // The same from a stream's current position to its end.
  void LoadFromStream(TStream& stream, const std::string& name, const TBrioLoadOptions& options = {});

private:
  void Read(std::span<const uint8_t> bytes, const std::string& name, const TBrioLoadOptions& options);

  int32_t key_;
  TBrioHeader header_;
  std::vector<std::unique_ptr<TBrioFrame>> frames_;
};

// Reads a whole stream from its current position (the readers work on memory).
std::string ReadRemainingBytes(TStream& stream, const std::string& name);

}  // namespace nova
