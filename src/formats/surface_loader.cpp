#include "formats/surface_loader.h"

#include <sys/stat.h>

#include <unordered_map>

#include "base/stream.h"
#include "formats/bmp_image.h"
#include "formats/brios.h"
#include "formats/image_input.h"
#include "formats/image_open.h"
#include "formats/png_image.h"
#include "formats/surface_pixels.h"

namespace nova {

void CopyFrameToSurface(const TBrioFrame& frame, TCustomDIBX& surface) {
  const int destBits = surface.GetBitCount();
  surface.SetSize(frame.Width, frame.Height, destBits);
  if (!frame.Surface || surface.IsEmpty()) return;
  TCustomDIBX& src = *frame.Surface;
  const int srcBits = src.GetStoredBitCount();
  TBrioPalette srcPalette = SurfacePalette(src);
  // A paletted frame that fits keeps its indices and brings its palette along.
  if (srcBits <= 8 && destBits <= 8 && srcBits <= destBits) {
    surface.SetPaletteEntries(srcPalette.data(), 0, static_cast<int>(srcPalette.size()));
    TSurfaceAccess from(src), to(surface);
    if (from.View().Empty() || to.View().Empty()) return;
    for (int32_t y = 0; y < frame.Height; ++y)
      for (int32_t x = 0; x < frame.Width; ++x)
        WritePixel(to.View().Row(y), x, destBits, ReadPixel(from.View().Row(y), x, srcBits));
    return;
  }
  TBrioPalette destPalette = SurfacePalette(surface);
  std::unordered_map<uint32_t, uint32_t> converted;  // colour -> destination pixel
  auto toPixel = [&](uint32_t color) {
    auto it = converted.find(color);
    if (it != converted.end()) return it->second;
    uint32_t p = destBits <= 8 ? static_cast<uint32_t>(NearestPaletteIndex(destPalette, color))
                               : static_cast<uint32_t>(surface.ColorToPixel(static_cast<int32_t>(color)));
    if (converted.size() < 65536) converted.emplace(color, p);
    return p;
  };
  TSurfaceAccess from(src), to(surface);
  const TPixelView& s = from.View();
  const TPixelView& d = to.View();
  for (int32_t y = 0; y < frame.Height; ++y) {
    for (int32_t x = 0; x < frame.Width; ++x) {
      uint32_t color = SurfacePixelToColor(src, ReadPixel(s.Row(y), x, s.Bits), srcPalette);
      uint32_t pixel = toPixel(color);
      if (d.Empty())
        surface.SetPixel(x, y, pixel);
      else
        WritePixel(d.Row(y), x, d.Bits, pixel);
    }
  }
}

bool LoadSurfaceFromStream(TCustomDIBX& surface, TStream& stream, const std::string& name, int32_t key) {
  const int64_t start = stream.Position();
  uint8_t head[4] = {};
  int64_t got = stream.Read(head, 4);
  stream.SetPosition(start);
  const bool bmp = got >= 2 && head[0] == 'B' && head[1] == 'M';
  const bool png = got >= 4 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G';
  const bool brio = got >= 4 && head[0] == 'B' && head[1] == 'r' && head[2] == 'i' && head[3] == 'o';
  if (!bmp && !png && !brio) return false;
  std::string bytes = ReadRemainingBytes(stream, name);
  TBrioFrameList list(key);
  if (brio) {
    list.LoadFromBytes(AsBytes(bytes), name, TBrioLoadOptions{true, false});
  } else {
    AddDecodedFrame(list, bmp ? DecodeBmp(AsBytes(bytes), name) : DecodePng(AsBytes(bytes), name));
  }
  if (list.Count() == 0) return false;
  CopyFrameToSurface(list.Frame(0), surface);
  return true;
}

bool LoadSurfaceFromFile(TCustomDIBX& surface, const std::string& path) {
  if (LowerExtension(path) != ".bmp") return false;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  TFileStream file(path, TFileStream::OpenRead);
  std::string bytes = ReadRemainingBytes(file, path);
  TBrioFrameList list;
  AddDecodedFrame(list, DecodeBmp(AsBytes(bytes), path));
  CopyFrameToSurface(list.Frame(0), surface);
  return true;
}

bool SaveSurfaceToFile(TCustomDIBX& surface, const std::string& path) {
  if (LowerExtension(path) != ".bmp") return false;
  TBrioBitmap rgb(surface.GetWidth(), surface.GetHeight(), 24);
  TBrioPalette palette = SurfacePalette(surface);
  {
    TSurfaceAccess access(surface);
    const TPixelView& v = access.View();
    for (int32_t y = 0; y < v.Height; ++y)
      for (int32_t x = 0; x < v.Width; ++x) {
        uint32_t color = SurfacePixelToColor(surface, ReadPixel(v.Row(y), x, v.Bits), palette);
        rgb.SetPixel(x, y, static_cast<uint32_t>(ColorToPixelValue(color, 24)));
      }
  }
  std::vector<uint8_t> bytes = EncodeBmp24(rgb);
  TFileStream file(path, TFileStream::Create);
  file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return true;
}

}  // namespace nova
