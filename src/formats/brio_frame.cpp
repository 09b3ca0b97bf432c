#include "formats/brio_frame.h"

#include "formats/brio_compose.h"

namespace nova {

int32_t ResolveTransparentColor(const TBrioFrame& frame) {
  if (frame.TransparentIndex < 0) return -1;
  if (frame.Bits <= 8) {
    size_t i = static_cast<size_t>(frame.TransparentIndex);
    return i < frame.Palette.size() ? static_cast<int32_t>(frame.Palette[i] & 0xFFFFFF) : -1;
  }
  return frame.TransparentIndex & 0xFFFFFF;  // a true-colour frame stores the colour itself
}

void ComposeBrioFrame(TBrioFrame& frame, const TBrioHeader& header) {
  frame.Picture.Allocate(frame.Width, frame.Height, frame.Bits);
  frame.PictureMask.Clear();
  TPixelView picture = frame.Picture.View();
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
      frame.PictureMask = layer.Mask;
    }
    const int64_t key = ColorToPixelValue(layer.TransparentColor, frame.Bits);
    if ((layer.TransparentColor == -1 || (firstVisible && header.CompositeFirstLayer)) && layer.Opacity > 254)
      CopyLayer(picture, color);
    else
      DrawLayer(picture, color, layer.Opacity, key);
  }
  frame.TransparentColor = ResolveTransparentColor(frame);
}

void BuildMaskFromTransparent(TBrioFrame& frame) {
  if (frame.HasMask() || frame.Picture.Empty()) return;
  frame.PictureMask.Allocate(frame.Width, frame.Height, 8);
  int64_t key = -1;
  if (frame.TransparentColor >= 0)
    key = frame.Bits <= 8 ? frame.TransparentIndex : ColorToPixelValue(frame.TransparentColor, frame.Bits);
  for (int32_t y = 0; y < frame.Height; ++y) {
    uint8_t* m = frame.PictureMask.Row(y);
    for (int32_t x = 0; x < frame.Width; ++x) {
      uint32_t p = frame.Picture.Pixel(x, y);
      if (frame.Bits == 32) p &= 0xFFFFFF;
      m[x] = key >= 0 && p == static_cast<uint32_t>(key) ? 0 : 255;
    }
  }
}

}  // namespace nova
