#pragma once
// Mouse cursors as the window shows them, and the reader of Windows cursor files: ".cur" and
// ".ico" (a directory of images, each a device-independent bitmap with its AND mask or a PNG
// picture, with a hotspot) and ".ani" (a RIFF "ACON" list of such files with display rates and
// a step sequence). Reading is plain parsing of the bytes; every size is checked against the
// bytes that hold it, so a damaged file raises ENovaError and never reads outside its buffer.
#include <cstdint>
#include <span>
#include <vector>

namespace nova {

// One picture of a cursor: straight (not premultiplied) alpha, 0xAARRGGBB, rows top to bottom.
struct TCursorFrame {
  int32_t Width = 0, Height = 0;
  int32_t HotX = 0, HotY = 0;  // inside the picture
  std::vector<uint32_t> Pixels;
};

// One step of the animation: which frame, shown for how long.
struct TCursorStep {
  int32_t Frame = 0;
  uint32_t DurationMs = 0;
  friend bool operator==(const TCursorStep&, const TCursorStep&) = default;
};

// A still cursor has one frame and one step; an animated one cycles through its steps.
struct TCursorImage {
  std::vector<TCursorFrame> Frames;
  std::vector<TCursorStep> Steps;
  bool Animated() const { return Steps.size() > 1; }
};

// The largest side of a cursor picture read (the directory format cannot say more than 256).
constexpr int32_t kMaxCursorSide = 256;

// Reads a ".cur", ".ico" or ".ani" file. Of the pictures in a directory the one nearest to the
// standard 32 x 32 size is taken (the deeper one when two are equally near). Pixels that the
// AND mask makes transparent while the colour would invert the screen below are shown black
// (a colour cursor cannot invert). Raises ENovaError naming what is wrong.
TCursorImage DecodeCursorFile(std::span<const uint8_t> bytes);

// A PNG picture as a cursor frame (hotspot 0, 0): every colour type and depth, interlaced or
// not; sides above maxSide are refused.
TCursorFrame DecodeCursorPng(std::span<const uint8_t> bytes, int32_t maxSide = kMaxCursorSide);

}  // namespace nova
