// Draws the bundled game's movie (the television's programme: coloured lights dancing over a
// dark sky, 2.4 s at 25 frames a second) and writes it as MPEG-1: make_demo_movie OUT.mpg.
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <vector>

#include "platform/sdl/ffmpeg_encoder.h"

namespace {

constexpr int kWidth = 160, kHeight = 120, kFps = 25, kFrames = 60;

void DrawFrame(int k, std::vector<uint32_t>& px) {
  const double t = static_cast<double>(k) / kFps;
  const uint32_t colours[] = {0xFF5050, 0x50FF80, 0x5090FF, 0xFFD040, 0xE060FF};
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      double r = 10 + 20.0 * y / kHeight, g = 12 + 10.0 * y / kHeight, b = 40 + 40.0 * y / kHeight;
      for (int i = 0; i < 5; ++i) {
        const double cx = kWidth / 2.0 + 52 * std::sin(t * (1.1 + 0.3 * i) + i * 1.3);
        const double cy = kHeight / 2.0 + 36 * std::cos(t * (0.9 + 0.25 * i) + i * 2.1);
        const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        const double a = std::exp(-d2 / 180.0);
        r += a * ((colours[i] >> 16) & 0xFF);
        g += a * ((colours[i] >> 8) & 0xFF);
        b += a * (colours[i] & 0xFF);
      }
      auto c = [](double v) { return static_cast<uint32_t>(v > 255 ? 255 : v); };
      px[static_cast<size_t>(y) * kWidth + x] = (c(r) << 16) | (c(g) << 8) | c(b);
    }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_demo_movie OUT.mpg\n", stderr);
    return 2;
  }
  try {
    const std::filesystem::path out = argv[1];
    if (out.has_parent_path()) std::filesystem::create_directories(out.parent_path());
    nova::WriteMpegMovie(out, kWidth, kHeight, kFps, kFrames, DrawFrame);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_demo_movie: %s\n", e.what());
    return 1;
  }
  return 0;
}
