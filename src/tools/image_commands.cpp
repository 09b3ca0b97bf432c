// novatool image: layered images, PNG and BMP files from the command line. Paths are UTF-8;
// frame names inside layered images are Shift-JIS and printed as UTF-8.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/encoding.h"
#include "base/error.h"
#include "base/stream.h"
#include "formats/brio_writer.h"
#include "formats/brios.h"
#include "formats/image_input.h"
#include "formats/image_open.h"
#include "formats/png_image.h"
#include "formats/surface_pixels.h"
#include "base/json.h"
#include "tools/commands.h"

namespace nova::tools {
namespace {

constexpr const char* kImageUsage =
    "usage: novatool image info FILE [--key N]\n"
    "       novatool image decode FILE -o OUT.png [--key N] [--frame K]\n"
    "       novatool image encode IN.png|IN.bmp -o OUT.bri [--key N] [--compression 0|1|2] [--quality Q]\n"
    "       novatool image compare EXPECTED ACTUAL [--key N]\n";

struct Options {
  std::string input, output, second;
  int32_t key = 0;
  int frame = 0;
  int compression = 0;
  int quality = 75;
};

bool ParseNumber(const std::string& text, long long& out) {
  errno = 0;
  char* end = nullptr;
  out = std::strtoll(text.c_str(), &end, 0);
  return errno == 0 && end && *end == 0 && !text.empty();
}

// Positional input plus the options; false on anything it does not understand.
bool Parse(const Args& args, size_t from, Options& o) {
  for (size_t i = from; i < args.size(); ++i) {
    const std::string& a = args[i];
    long long n = 0;
    auto value = [&]() { return i + 1 < args.size() && ParseNumber(args[i + 1], n); };
    if (a == "-o" && i + 1 < args.size()) {
      o.output = args[++i];
    } else if (a == "--key" && value()) {
      o.key = static_cast<int32_t>(static_cast<uint32_t>(n));  // unsigned spellings of the seed too
      ++i;
    } else if (a == "--frame" && value() && n >= 0) {
      o.frame = static_cast<int>(n);
      ++i;
    } else if (a == "--compression" && value() && n >= 0 && n <= 2) {
      o.compression = static_cast<int>(n);
      ++i;
    } else if (a == "--quality" && value() && n >= 1 && n <= 100) {
      o.quality = static_cast<int>(n);
      ++i;
    } else if (!a.empty() && a[0] != '-' && o.input.empty()) {
      o.input = a;
    } else if (!a.empty() && a[0] != '-' && o.second.empty()) {
      o.second = a;
    } else {
      return false;
    }
  }
  return !o.input.empty();
}

int ImageUsage() {
  std::fputs(kImageUsage, stderr);
  return 2;
}

void Open(TBrioFrameList& list, const std::string& path) {
  const std::string name = Utf8ToSjis(path);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) RaiseError(name + Utf8ToSjis(":ファイルがありません"));
  TKtMemoryStream file;
  file.LoadFromFile(path);
  if (!LoadImageByExtension(list, AsBytes(file.Data()), name))
    RaiseError(name + ": not a picture (.bri, .png, .bmp or .dib)");
}

std::string RectList(const std::vector<TRect>& rects) {
  std::string s = "[";
  for (size_t i = 0; i < rects.size(); ++i)
    s += Format("%s[%d,%d,%d,%d]", i ? "," : "", rects[i].Left, rects[i].Top, rects[i].Right, rects[i].Bottom);
  return s + "]";
}

int Info(const Options& o) {
  TBrioFrameList list(o.key);
  Open(list, o.input);
  for (int i = 0; i < list.Count(); ++i) {
    const TBrioFrame& f = list.Frame(i);
    std::printf("{\"frame\": %d, \"name\": %s, \"delay\": %d, \"width\": %d, \"height\": %d, \"bpp\": %d, "
                "\"transparent\": %d, \"rects1\": %s, \"rects2\": %s}\n",
                i, JsonString(f.Name).c_str(), f.Delay, f.Width, f.Height, f.Bits, f.TransparentColor,
                RectList(f.Rects1).c_str(), RectList(f.Rects2).c_str());
  }
  return 0;
}

int Decode(const Options& o) {
  if (o.output.empty()) return ImageUsage();
  TBrioFrameList list(o.key);
  Open(list, o.input);
  if (o.frame >= list.Count()) RaiseError(Format("%s has %d frames, no frame %d", o.input.c_str(), list.Count(), o.frame));
  TBrioFrame& f = list.Frame(o.frame);
  if (!f.Surface || f.Surface->IsEmpty()) RaiseError(o.input + ": frame " + std::to_string(o.frame) + " is empty");
  std::vector<uint8_t> png;
  if (f.Bits <= 8) {
    png = EncodePng(BitmapFromSurface(*f.Surface), nullptr, f.Palette);
  } else {
    TBrioBitmap mask = f.MaskSurface ? BitmapFromSurface(*f.MaskSurface) : TBrioBitmap();
    png = EncodePng(BitmapFromSurface(*f.Surface, false), f.MaskSurface ? &mask : nullptr, {});
  }
  TKtMemoryStream(std::string(png.begin(), png.end())).SaveToFile(o.output);
  return 0;
}

int Encode(const Options& o) {
  if (o.output.empty()) return ImageUsage();
  std::string ext = LowerExtension(o.input);
  if (ext != ".png" && ext != ".bmp" && ext != ".dib") return ImageUsage();
  TBrioFrameList list(o.key);
  Open(list, o.input);
  TBrioWriteOptions w;
  w.Key = o.key;
  w.Compression = o.compression;
  w.JpegQuality = o.quality;
  TKtMemoryStream out;
  WriteBrio(out, list, w);
  out.SaveToFile(o.output);
  return 0;
}

// Frame 0 of both pictures, colour by colour: 0 when equal, 1 (with the first difference on
// stdout) when not.
int Compare(const Options& o) {
  if (o.second.empty()) return ImageUsage();
  TBrioFrameList expected(o.key), actual(o.key);
  Open(expected, o.input);
  Open(actual, o.second);
  if (expected.Count() == 0 || actual.Count() == 0) RaiseError("compare: a picture without frames");
  TBrioFrame& e = expected.Frame(0);
  TBrioFrame& a = actual.Frame(0);
  if (!e.Surface || !a.Surface) RaiseError("compare: an empty frame");
  const int w = e.Surface->GetWidth(), h = e.Surface->GetHeight();
  if (w != a.Surface->GetWidth() || h != a.Surface->GetHeight()) {
    std::printf("size differs: %dx%d expected, %dx%d actual\n", w, h, a.Surface->GetWidth(), a.Surface->GetHeight());
    return 1;
  }
  const TBrioPalette pe = SurfacePalette(*e.Surface), pa = SurfacePalette(*a.Surface);
  long long differing = 0;
  int fx = -1, fy = -1;
  uint32_t fe = 0, fa = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t ce = SurfacePixelToColor(*e.Surface, e.Surface->GetPixel(x, y), pe);
      const uint32_t ca = SurfacePixelToColor(*a.Surface, a.Surface->GetPixel(x, y), pa);
      if (ce == ca) continue;
      if (differing++ == 0) fx = x, fy = y, fe = ce, fa = ca;
    }
  if (differing == 0) return 0;
  std::printf("%lld pixels differ; the first at (%d, %d): 0x%06X expected, 0x%06X actual (0x00BBGGRR)\n", differing,
              fx, fy, fe, fa);
  return 1;
}

}  // namespace

int CmdImage(const Args& args) {
  Options o;
  if (args.empty() || !Parse(args, 1, o)) return ImageUsage();
  if (args[0] == "info") return Info(o);
  if (args[0] == "decode") return Decode(o);
  if (args[0] == "encode") return Encode(o);
  if (args[0] == "compare") return Compare(o);
  return ImageUsage();
}

}  // namespace nova::tools
