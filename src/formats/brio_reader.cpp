// Reading layered images: signature, header, frames, layers.
#include <algorithm>

#include "base/error.h"
#include "base/stream.h"
#include "formats/brio_frame.h"
#include "formats/brio_tiles.h"
#include "formats/brios.h"
#include "formats/image_input.h"
#include "formats/image_limits.h"

namespace nova {
namespace {

// Smallest encodings, used to check that a stated count can fit in what is left of the file.
constexpr int64_t kMinFrameBytes = 4 + 4 + 4 + 1 + 4 + 4 + 12;  // name, values, layer count, size
constexpr int64_t kMinLayerBytes = 8 + 1 + 4 + 4 + 4 + 4;      // version 0: no alpha flag, no mask
constexpr int64_t kRectBytes = 16;
constexpr int32_t kMaxRects = 1 << 20;

bool ValidBits(int32_t bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

class TBrioReader {
public:
  TBrioReader(TImageInput& in, TBrioHeader& header, uint32_t key, std::vector<std::unique_ptr<TBrioFrame>>& frames)
      : in_(in), h_(header), key_(key), frames_(frames) {}

  void ReadSignatureAndHeader();
  void ReadFrames(const TBrioLoadOptions& options);

private:
  void ReadFrame(TBrioFrame& frame, int32_t index);
  void ReadLayer(TBrioFrame& frame, int32_t frameIndex, int32_t layerCount);
  const TBrioBitmap* TileSource(int32_t frame, int32_t layer, bool mask, int32_t currentFrame, int32_t currentLayers);
  void Spend(int64_t bytes);

  TImageInput& in_;
  TBrioHeader& h_;
  uint32_t key_;
  std::vector<std::unique_ptr<TBrioFrame>>& frames_;
  int64_t spent_ = 0;
};

void TBrioReader::ReadSignatureAndHeader() {
  std::span<const uint8_t> sig = in_.Remaining() >= 7 ? in_.Bytes(7) : std::span<const uint8_t>();
  if (sig.size() == 7 && sig[0] == 'B' && sig[1] == 'r' && sig[2] == 'i' && sig[3] == 'o') {
    int32_t v = 0;
    for (int i = 4; i < 7; ++i) {
      if (sig[i] < '0' || sig[i] > '9') in_.Corrupt("signature without a version number");
      v = v * 10 + (sig[i] - '0');
    }
    h_.Version = v;
  } else {
    in_.Seek(0);  // no signature: the seven bytes belong to the header of version 0
    h_.Version = 0;
  }
  if (h_.Version < 103) {
    h_.FrameCount = in_.Int32();
    in_.Skip(1);
    if (h_.Version > 101) h_.BackgroundColor = static_cast<uint32_t>(in_.Int32());
    return;
  }
  int32_t length = in_.Int32();
  if (length < 40) in_.Corrupt(Format("header length %d", length));
  std::span<const uint8_t> rec = in_.Bytes(length);  // bytes beyond the 40 known ones are skipped
  auto i32 = [&](size_t at) {
    return static_cast<int32_t>(static_cast<uint32_t>(rec[at]) | static_cast<uint32_t>(rec[at + 1]) << 8 |
                                static_cast<uint32_t>(rec[at + 2]) << 16 | static_cast<uint32_t>(rec[at + 3]) << 24);
  };
  h_.Width = i32(4);
  h_.Height = i32(8);
  h_.Bits = i32(12);
  h_.FrameCount = i32(16);
  h_.Scrambled = rec[21] != 0;
  h_.Compression = rec[22];
  h_.BackgroundColor = static_cast<uint32_t>(i32(24));
  h_.TileWidth = i32(28);
  h_.TileHeight = i32(32);
  h_.CompositeFirstLayer = h_.Version >= 105 && rec[36] != 0;
  h_.JpegQuality = rec[37];
  if (h_.Compression > 2) in_.Corrupt(Format("compression %d", h_.Compression));
  if (h_.TileWidth < 0 || h_.TileHeight < 0) in_.Corrupt(Format("tile size %dx%d", h_.TileWidth, h_.TileHeight));
}

void TBrioReader::ReadFrames(const TBrioLoadOptions& options) {
  if (h_.FrameCount < 0) in_.Corrupt(Format("frame count %d", h_.FrameCount));
  if (h_.FrameCount > kMaxImageFrames) in_.Corrupt(Format("frame count %d is beyond the limit", h_.FrameCount));
  if (static_cast<uint64_t>(h_.FrameCount) * kMinFrameBytes > in_.Remaining())
    in_.Corrupt(Format("frame count %d does not fit in the file", h_.FrameCount));
  for (int32_t i = 0; i < h_.FrameCount; ++i) {
    if (options.FirstFrameOnly && i > 0) break;
    frames_.push_back(std::make_unique<TBrioFrame>());
    TBrioFrame& frame = *frames_.back();
    ReadFrame(frame, i);
    Spend(static_cast<int64_t>(RowBytes(frame.Width, frame.Bits)) * frame.Height +
          int64_t{frame.Width} * frame.Height);
    ComposeBrioFrame(frame, h_);
    if (options.MakeMasks) BuildMaskFromTransparent(frame);
  }
}

void TBrioReader::Spend(int64_t bytes) {
  spent_ += bytes;
  if (spent_ > kMaxImageFileBytes) in_.Corrupt("pictures larger in all than the limit");
}

void TBrioReader::ReadFrame(TBrioFrame& frame, int32_t index) {
  frame.Name = in_.String();
  frame.TransparentIndex = in_.Int32();
  frame.Delay = in_.Int32();
  in_.Skip(1 + 4);
  int32_t layerCount = in_.Count(kMinLayerBytes, kMaxFrameLayers, "layer");
  frame.Width = in_.Int32();
  frame.Height = in_.Int32();
  frame.Bits = in_.Int32();
  if (!ValidBits(frame.Bits)) in_.Corrupt(Format("frame %d: %d bits per pixel", index, frame.Bits));
  CheckImageSize(in_.Name(), frame.Width, frame.Height, "frame");
  if (frame.Bits <= 8) {
    int32_t entries = 1 << frame.Bits;
    std::span<const uint8_t> pal = in_.Bytes(4 * entries);
    frame.Palette.resize(static_cast<size_t>(entries));
    for (int32_t e = 0; e < entries; ++e)  // blue, green, red, zero per entry
      frame.Palette[static_cast<size_t>(e)] =
          static_cast<uint32_t>(pal[4 * e + 2]) | static_cast<uint32_t>(pal[4 * e + 1]) << 8 |
          static_cast<uint32_t>(pal[4 * e]) << 16;
  }
  frame.Layers.reserve(static_cast<size_t>(layerCount));
  for (int32_t l = 0; l < layerCount; ++l) ReadLayer(frame, index, layerCount);
  if (h_.Version >= 104) {
    for (std::vector<TRect>* list : {&frame.Rects1, &frame.Rects2}) {
      int32_t n = in_.Count(kRectBytes, kMaxRects, "rectangle");
      list->reserve(static_cast<size_t>(n));
      for (int32_t r = 0; r < n; ++r) {
        TRect rect;
        rect.Left = in_.Int32();
        rect.Top = in_.Int32();
        rect.Right = in_.Int32();
        rect.Bottom = in_.Int32();
        list->push_back(rect);
      }
    }
  }
}

const TBrioBitmap* TBrioReader::TileSource(int32_t frame, int32_t layer, bool mask, int32_t currentFrame,
                                           int32_t currentLayers) {
  if (frame >= h_.FrameCount) in_.Corrupt(Format("tile copies from frame %d of %d", frame, h_.FrameCount));
  if (frame > currentFrame || static_cast<size_t>(frame) >= frames_.size()) return nullptr;  // not read yet
  const TBrioFrame& f = *frames_[static_cast<size_t>(frame)];
  int32_t layers = frame == currentFrame ? currentLayers : static_cast<int32_t>(f.Layers.size());
  if (layer < 0 || layer >= layers)
    in_.Corrupt(Format("tile copies from layer %d of frame %d, which has %d", layer, frame, layers));
  if (static_cast<size_t>(layer) >= f.Layers.size()) return nullptr;  // a later layer of this frame
  const TBrioLayer& l = f.Layers[static_cast<size_t>(layer)];
  if (mask) return l.HasMask() ? &l.Mask : nullptr;
  return &l.Color;
}

void TBrioReader::ReadLayer(TBrioFrame& frame, int32_t frameIndex, int32_t layerCount) {
  TBrioLayer layer;
  layer.OffsetX = in_.Int32();
  layer.OffsetY = in_.Int32();
  layer.Visible = in_.Byte() != 0;
  layer.TransparentColor = in_.Int32();
  layer.Opacity = in_.Int32();
  // Files older than the flag carry masks only as alpha.
  layer.HasAlpha = h_.Version > 100 ? in_.Byte() != 0 : true;
  in_.Skip(in_.Int32());  // layer name
  std::span<const uint8_t> colorData = in_.Bytes(in_.Int32());
  std::span<const uint8_t> maskData;
  if (h_.Version > 99) maskData = in_.Bytes(in_.Int32());

  TBrioPlaneFormat format{h_.Version, h_.Compression, h_.Scrambled, key_, h_.TileWidth, h_.TileHeight};
  int64_t pixels = int64_t{frame.Width} * frame.Height;
  Spend(static_cast<int64_t>(RowBytes(frame.Width, frame.Bits)) * frame.Height + (maskData.empty() ? 0 : pixels));
  auto source = [&](bool mask) {
    return [this, mask, frameIndex, layerCount](int32_t f, int32_t l) {
      return TileSource(f, l, mask, frameIndex, layerCount);
    };
  };
  layer.Color = DecodeBrioPlane(colorData, format, frame.Width, frame.Height, frame.Bits, false, source(false), in_.Name());
  if (!maskData.empty())
    layer.Mask = DecodeBrioPlane(maskData, format, frame.Width, frame.Height, frame.Bits, true, source(true), in_.Name());
  frame.Layers.push_back(std::move(layer));
}

}  // namespace

TBrioFrame& TBrioFrameList::Add() {
  frames_.push_back(std::make_unique<TBrioFrame>());
  return *frames_.back();
}

void TBrioFrameList::Clear() {
  frames_.clear();
  header_ = TBrioHeader{};
}

void TBrioFrameList::DropLayers() {
  for (auto& f : frames_) {
    f->Layers.clear();
    f->Layers.shrink_to_fit();
  }
}

void TBrioFrameList::Read(std::span<const uint8_t> bytes, const std::string& name, const TBrioLoadOptions& options) {
  TImageInput in(bytes, name);
  TBrioReader reader(in, header_, static_cast<uint32_t>(key_), frames_);
  reader.ReadSignatureAndHeader();
  reader.ReadFrames(options);
}

void TBrioFrameList::LoadFromBytes(std::span<const uint8_t> bytes, const std::string& name,
                                   const TBrioLoadOptions& options) {
  Clear();
  try {
    Read(bytes, name, options);
  } catch (...) {
    Clear();
    throw;
  }
}

void TBrioFrameList::LoadFromStream(TStream& stream, const std::string& name, const TBrioLoadOptions& options) {
  std::string bytes = ReadRemainingBytes(stream, name);
  LoadFromBytes(AsBytes(bytes), name, options);
}

std::string ReadRemainingBytes(TStream& stream, const std::string& name) {
  int64_t n = stream.Remaining();
  if (n > kMaxImageFileBytes) RaiseImageError(name, "file larger than the limit");
  std::string bytes(static_cast<size_t>(n), '\0');
  int64_t got = n > 0 ? stream.Read(bytes.data(), n) : 0;
  bytes.resize(static_cast<size_t>(got > 0 ? got : 0));
  return bytes;
}

}  // namespace nova
