#include "formats/image_open.h"

#include "base/stream.h"
#include "formats/bmp_image.h"
#include "formats/image_input.h"
#include "formats/brio_frame.h"
#include "formats/png_image.h"
#include "formats/surface_pixels.h"

namespace nova {

std::string LowerExtension(const std::string& name) {
  size_t dot = name.find_last_of('.');
  size_t sep = name.find_last_of("\\/");
  if (dot == std::string::npos || (sep != std::string::npos && sep > dot)) return "";
  std::string ext = name.substr(dot);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

TBrioFrame& AddDecodedFrame(TBrioFrameList& list, TDecodedImage&& image, const TBrioLoadOptions& options) {
  TBrioFrame& frame = list.Add();
  frame.Width = image.Color.Width();
  frame.Height = image.Color.Height();
  frame.Bits = image.Color.Bits();
  frame.Palette = std::move(image.Palette);
  frame.TransparentIndex = image.TransparentIndex;
  frame.Surface = SurfaceFromBitmap(image.Color, frame.Palette);
  if (!image.Mask.Empty()) frame.MaskSurface = SurfaceFromBitmap(image.Mask);
  frame.TransparentColor = ResolveTransparentColor(frame);
  SetSurfaceTransparent(frame);
  if (options.MakeMasks) BuildMaskFromTransparent(frame);
  return frame;
}

bool LoadImageByExtension(TBrioFrameList& list, std::span<const uint8_t> bytes, const std::string& name,
                          const TBrioLoadOptions& options) {
  list.Clear();
  std::string ext = LowerExtension(name);
  if (ext == ".bri") {
    list.LoadFromBytes(bytes, name, options);
  } else if (ext == ".png") {
    AddDecodedFrame(list, DecodePng(bytes, name), options);
  } else if (ext == ".bmp" || ext == ".dib") {
    AddDecodedFrame(list, DecodeBmp(bytes, name), options);
  } else {
    return false;
  }
  return true;
}

bool LoadImageByExtension(TBrioFrameList& list, TStream& stream, const std::string& name,
                          const TBrioLoadOptions& options) {
  std::string ext = LowerExtension(name);
  if (ext != ".bri" && ext != ".png" && ext != ".bmp" && ext != ".dib") {
    list.Clear();
    return false;
  }
  std::string bytes = ReadRemainingBytes(stream, name);
  return LoadImageByExtension(list, AsBytes(bytes), name, options);
}

}  // namespace nova
