// Draws the bundled game's pictures and writes them as layered images, so that the repository
// holds only their recipe: demo_assets OUT_DIR.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "base/stream.h"
#include "formats/brio_writer.h"
#include "formats/pixel_rows.h"

namespace {

using nova::TBrioBitmap;

uint32_t Rgb(double r, double g, double b) {
  auto c = [](double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 255.0) + 0.5); };
  return (c(r) << 16) | (c(g) << 8) | c(b);
}

double Mix(double a, double b, double t) { return a + (b - a) * t; }

// A small fixed generator: the pictures are the same on every build.
struct Lcg {
  uint32_t state = 12345;
  double Next() {
    state = state * 1103515245u + 12345u;
    return static_cast<double>((state >> 8) & 0xFFFF) / 65535.0;
  }
};

// Coverage of a pixel by a disc, with a one-pixel soft edge.
double Disc(double x, double y, double cx, double cy, double r) {
  return std::clamp(r - std::hypot(x + 0.5 - cx, y + 0.5 - cy) + 0.5, 0.0, 1.0);
}

// Coverage by a rounded rectangle of the given corner radius.
double RoundRect(double x, double y, double w, double h, double radius) {
  const double px = x + 0.5, py = y + 0.5;
  const double qx = std::max({radius - px, px - (w - radius), 0.0});
  const double qy = std::max({radius - py, py - (h - radius), 0.0});
  return std::clamp(radius - std::hypot(qx, qy) + 0.5, 0.0, 1.0);
}

void Blend(TBrioBitmap& bmp, int x, int y, uint32_t colour, double a) {
  if (a <= 0) return;
  const uint32_t old = bmp.Pixel(x, y);
  const double r = Mix((old >> 16) & 255, (colour >> 16) & 255, a);
  const double g = Mix((old >> 8) & 255, (colour >> 8) & 255, a);
  const double b = Mix(old & 255, colour & 255, a);
  bmp.SetPixel(x, y, Rgb(r, g, b));
}

TBrioBitmap TitleBackground(int w, int h) {
  TBrioBitmap bmp(w, h, 24);
  for (int y = 0; y < h; ++y) {
    const double t = static_cast<double>(y) / (h - 1);
    for (int x = 0; x < w; ++x) bmp.SetPixel(x, y, Rgb(Mix(12, 92, t), Mix(16, 48, t), Mix(48, 110, t)));
  }
  Lcg rnd;
  for (int i = 0; i < 140; ++i) {
    const int x = static_cast<int>(rnd.Next() * (w - 1)), y = static_cast<int>(rnd.Next() * h * 0.6);
    Blend(bmp, x, y, 0xFFFFF0, 0.4 + 0.6 * rnd.Next());
  }
  for (int y = 30; y < 150; ++y)
    for (int x = 460; x < 580; ++x) Blend(bmp, x, y, 0xFFF4C8, Disc(x, y, 520, 90, 44));
  // Two lines of hills in front.
  for (int x = 0; x < w; ++x) {
    const double far = h * 0.70 + 22 * std::sin(x * 0.011) + 10 * std::sin(x * 0.037 + 1);
    const double near = h * 0.82 + 16 * std::sin(x * 0.017 + 2) + 6 * std::sin(x * 0.05);
    for (int y = 0; y < h; ++y) {
      Blend(bmp, x, y, Rgb(40, 30, 70), std::clamp(y - far + 0.5, 0.0, 1.0));
      Blend(bmp, x, y, Rgb(20, 16, 36), std::clamp(y - near + 0.5, 0.0, 1.0));
    }
  }
  return bmp;
}

TBrioBitmap RoomBackground(int w, int h) {
  TBrioBitmap bmp(w, h, 24);
  for (int y = 0; y < h; ++y) {
    const double t = static_cast<double>(y) / (h - 1);
    for (int x = 0; x < w; ++x) {
      const bool floor = y > h * 0.72;
      const double shade = floor ? 0.75 + 0.05 * ((x / 40 + y / 20) % 2) : 1.0;
      bmp.SetPixel(x, y, floor ? Rgb(150 * shade, 100 * shade, 60 * shade) : Rgb(Mix(236, 200, t), Mix(220, 176, t), Mix(190, 140, t)));
    }
  }
  // A window with a sky view and its frame.
  for (int y = 60; y < 250; ++y)
    for (int x = 380; x < 580; ++x) {
      const bool frame = x < 392 || x >= 568 || y < 72 || y >= 238 || (x >= 474 && x < 486) || (y >= 149 && y < 161);
      bmp.SetPixel(x, y, frame ? Rgb(110, 70, 40) : Rgb(120, 180, 235 - (y - 72) * 0.3));
    }
  // A television on a low cabinet; the movie plays in its screen (160 x 120 at 96, 132).
  for (int y = 120; y < 300; ++y)
    for (int x = 60; x < 300; ++x) {
      if (y >= 264) {
        if (x >= 70 && x < 290) bmp.SetPixel(x, y, y < 270 ? Rgb(120, 80, 50) : Rgb(96, 62, 38));
      } else if (x >= 84 && x < 276) {
        const bool screen = x >= 96 && x < 256 && y >= 132 && y < 252;
        bmp.SetPixel(x, y, screen ? Rgb(16, 20, 24) : Rgb(52 + (y - 120) / 12, 52 + (y - 120) / 12, 60));
      }
    }
  return bmp;
}

// A button face with its mask: a rounded rectangle, lit from above.
void Button(int w, int h, uint32_t top, uint32_t bottom, uint32_t border, TBrioBitmap& colour, TBrioBitmap& mask) {
  colour.Allocate(w, h, 24);
  mask.Allocate(w, h, 8);
  for (int y = 0; y < h; ++y) {
    const double t = static_cast<double>(y) / (h - 1);
    const double r = Mix((top >> 16) & 255, (bottom >> 16) & 255, t);
    const double g = Mix((top >> 8) & 255, (bottom >> 8) & 255, t);
    const double b = Mix(top & 255, bottom & 255, t);
    for (int x = 0; x < w; ++x) {
      const double outer = RoundRect(x, y, w, h, 14);
      const double inner = RoundRect(x - 2, y - 2, w - 4, h - 4, 12);
      colour.SetPixel(x, y, Rgb(r, g, b));
      Blend(colour, x, y, border, 1.0 - inner);
      mask.SetPixel(x, y, static_cast<uint32_t>(outer * 255 + 0.5));
    }
  }
}

// The cells of a value control's picture side by side, each a rounded rectangle lit from
// above, in the colours given (top, bottom, border) for each cell.
struct CellLook {
  uint32_t top, bottom, border;
};
void Cells(int w, int h, double radius, std::initializer_list<CellLook> looks, TBrioBitmap& colour,
           TBrioBitmap& mask) {
  colour.Allocate(w * static_cast<int>(looks.size()), h, 24);
  mask.Allocate(w * static_cast<int>(looks.size()), h, 8);
  int cell = 0;
  for (const CellLook& look : looks) {
    for (int y = 0; y < h; ++y) {
      const double t = h > 1 ? static_cast<double>(y) / (h - 1) : 0;
      const uint32_t face = Rgb(Mix((look.top >> 16) & 255, (look.bottom >> 16) & 255, t),
                                Mix((look.top >> 8) & 255, (look.bottom >> 8) & 255, t),
                                Mix(look.top & 255, look.bottom & 255, t));
      for (int x = 0; x < w; ++x) {
        const double inner = RoundRect(x - 1, y - 1, w - 2, h - 2, std::max(radius - 1, 0.0));
        colour.SetPixel(cell * w + x, y, face);
        Blend(colour, cell * w + x, y, look.border, 1.0 - inner);
        mask.SetPixel(cell * w + x, y, static_cast<uint32_t>(RoundRect(x, y, w, h, radius) * 255 + 0.5));
      }
    }
    ++cell;
  }
}

void Write(const std::filesystem::path& dir, const char* name, const TBrioBitmap& colour, const TBrioBitmap* mask) {
  nova::TBrioWriteFrame frame;
  frame.Color = &colour;
  frame.Mask = mask;
  nova::TKtMemoryStream out;
  nova::WriteBrio(out, {frame}, nova::TBrioWriteOptions{});
  out.SaveToFile(dir / name);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: demo_assets OUT_DIR\n", stderr);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);
  Write(dir, "title.bri", TitleBackground(640, 480), nullptr);
  Write(dir, "room.bri", RoomBackground(640, 480), nullptr);
  TBrioBitmap colour, mask;
  Button(200, 48, 0x5A7BD8, 0x2C3E8C, 0xD8E0FF, colour, mask);
  Write(dir, "button.bri", colour, &mask);
  Button(200, 48, 0x86A4FF, 0x4660C0, 0xFFFFFF, colour, mask);
  Write(dir, "button_hover.bri", colour, &mask);
  Button(200, 48, 0x2C3E8C, 0x1A2660, 0xA8B4E0, colour, mask);
  Write(dir, "button_pressed.bri", colour, &mask);
  // The room's row of small buttons.
  Button(112, 32, 0x5A7BD8, 0x2C3E8C, 0xD8E0FF, colour, mask);
  Write(dir, "small.bri", colour, &mask);
  Button(112, 32, 0x86A4FF, 0x4660C0, 0xFFFFFF, colour, mask);
  Write(dir, "small_hover.bri", colour, &mask);
  Button(112, 32, 0x2C3E8C, 0x1A2660, 0xA8B4E0, colour, mask);
  Write(dir, "small_pressed.bri", colour, &mask);
  // A snowflake for the title's particles: a white dot of 6 x 6 whose mask fades out from the
  // middle, so that flakes stay soft over the gradient.
  colour.Allocate(6, 6, 24);
  mask.Allocate(6, 6, 8);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const double d = std::hypot(x - 2.5, y - 2.5) / 3.0;
      colour.SetPixel(x, y, Rgb(255, 255, 255));
      mask.SetPixel(x, y, static_cast<uint32_t>(std::clamp(1.0 - d, 0.0, 1.0) * 255 + 0.5));
    }
  Write(dir, "snow.bri", colour, &mask);
  // The settings page's value controls: a bar of 200 x 10 (its rest, then its value part), a
  // thumb of 14 x 22 (normal, hover, pressed), step buttons of 18 x 18 (each button's three
  // states), and a gauge of 200 x 14 (its value part, then the part being lost).
  Cells(200, 10, 5, {{0x202838, 0x384058, 0x8890B0}, {0x86A4FF, 0x4660C0, 0xD8E0FF}}, colour, mask);
  Write(dir, "bar.bri", colour, &mask);
  Cells(14, 22, 5, {{0xE8ECFF, 0xA8B4E0, 0x2C3E8C}, {0xFFFFFF, 0xC8D4FF, 0x4660C0}, {0xA8B4E0, 0x7884B0, 0x1A2660}},
        colour, mask);
  Write(dir, "thumb.bri", colour, &mask);
  const CellLook step{0x5A7BD8, 0x2C3E8C, 0xD8E0FF}, stepHover{0x86A4FF, 0x4660C0, 0xFFFFFF},
      stepPressed{0x2C3E8C, 0x1A2660, 0xA8B4E0};
  Cells(18, 18, 6, {step, stepHover, stepPressed, step, stepHover, stepPressed}, colour, mask);
  Write(dir, "steps.bri", colour, &mask);
  Cells(200, 14, 4, {{0x90F0A0, 0x30A050, 0xE0FFE8}, {0xFFC080, 0xC06020, 0xFFE8D0}}, colour, mask);
  Write(dir, "gauge.bri", colour, &mask);
  return 0;
}
