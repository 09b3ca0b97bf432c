#include "formats/brio_frame.h"

#include "formats/brio_compose.h"
#include "formats/surface_pixels.h"

namespace nova {

int32_t ResolveTransparentColor(const TBrioFrame& frame) {
  if (frame.TransparentIndex < 0) return -1;
  if (frame.Bits <= 8) {
    size_t i = static_cast<size_t>(frame.TransparentIndex);
    return i < frame.Palette.size() ? static_cast<int32_t>(frame.Palette[i] & 0xFFFFFF) : -1;
  }
  return frame.TransparentIndex & 0xFFFFFF;  // a true-colour frame stores the colour itself
}

void SetSurfaceTransparent(TBrioFrame& frame) {
  if (!frame.Surface) return;
  frame.Surface->Transparent = frame.TransparentColor < 0 ? -1
                               : frame.Bits <= 8      ? frame.TransparentIndex
                                                      : frame.Surface->ColorToPixel(frame.TransparentColor);
}

void ComposeBrioFrame(TBrioFrame& frame, const TBrioHeader& header) {
  frame.Surface = std::make_unique<TDIBX>();
  frame.Surface->SetSize(frame.Width, frame.Height, frame.Bits);
  if (frame.Bits <= 8) {
    frame.Palette.resize(size_t{1} << frame.Bits);
    frame.Surface->SetPaletteEntries(frame.Palette.data(), 0, static_cast<int>(frame.Palette.size()));
  }
  frame.MaskSurface.reset();
  TSurfaceAccess access(*frame.Surface);
  const TPixelView& picture = access.View();
  FillFrameBackground(picture, frame.Palette, header.BackgroundColor);
  bool seenVisible = false;
  for (size_t i = 0; i < frame.Layers.size(); ++i) {
    TBrioLayer& layer = frame.Layers[i];
    if (!layer.Visible) continue;
    const bool firstVisible = !seenVisible;
    seenVisible = true;
    TPixelView color = layer.Color.View();
    if (layer.HasMask() && layer.HasAlpha) {
      if (i > 0) {
        DrawLayerMasked(picture, color, layer.Mask.View());
        continue;
      }
      // The bottom layer's mask becomes the frame's; its colour is then laid down as any
      // other layer's, so the picture under the mask is the layer's own.
      frame.MaskSurface = SurfaceFromBitmap(layer.Mask);
    }
    const int64_t key = ColorToPixelValue(layer.TransparentColor, frame.Bits);
    if ((layer.TransparentColor == -1 || (firstVisible && header.CompositeFirstLayer)) && layer.Opacity > 254)
      CopyLayer(picture, color);
    else
      DrawLayer(picture, color, layer.Opacity, key);
  }
  frame.TransparentColor = ResolveTransparentColor(frame);
  SetSurfaceTransparent(frame);
}

void BuildMaskFromTransparent(TBrioFrame& frame) {
  if (frame.HasMask() || !frame.Surface) return;
  TBrioBitmap mask(frame.Width, frame.Height, 8);
  TSurfaceAccess access(*frame.Surface);
  const TPixelView& picture = access.View();
  int64_t key = -1;
  if (frame.TransparentColor >= 0)
    key = frame.Bits <= 8 ? frame.TransparentIndex : ColorToPixelValue(frame.TransparentColor, frame.Bits);
  for (int32_t y = 0; y < picture.Height; ++y) {
    uint8_t* m = mask.Row(y);
    for (int32_t x = 0; x < picture.Width; ++x) {
      uint32_t p = ReadPixel(picture.Row(y), x, picture.Bits);
      if (picture.Bits == 32) p &= 0xFFFFFF;
      m[x] = key >= 0 && p == static_cast<uint32_t>(key) ? 0 : 255;
    }
  }
  frame.MaskSurface = SurfaceFromBitmap(mask);
}

}  // namespace nova
