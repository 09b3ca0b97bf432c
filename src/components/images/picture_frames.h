#pragma once
// A picture of a game file decoded for drawing on a screen: every frame converted to the
// screen's bit count, with its mask or colour key and its duration, and the looping frame step
// of animated pictures. Message text shows its inline images with it and image captions draw
// their cells from it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "render/dibx.h"
#include "text/text_images.h"

namespace nova {

struct TComponentServices;

class TPictureFrames {
public:
  struct TFrame {
    std::unique_ptr<TDIBX> Surface;
    std::unique_ptr<TDIBX> Mask;  // 8 bits; null when the frame has none
    int32_t Duration = 1;         // milliseconds, at least 1
  };

  // Reads the file through the game's file space and decodes it; false (and no frames) when
  // the game has no such file or it is no picture. A damaged picture raises the image error.
  bool Load(const TComponentServices& services, const std::string& name, int bits);
  void Clear();

  int Count() const { return static_cast<int>(frames_.size()); }
  bool Empty() const { return frames_.empty(); }
  int Index() const { return index_; }
  TFrame& Frame(int i) { return frames_[static_cast<size_t>(i)]; }
  TFrame& Current() { return frames_[static_cast<size_t>(index_)]; }
  int32_t Width() const;   // of the first frame
  int32_t Height() const;

  // The looping step: with more than one frame, count the elapsed time down and move on
  // (wrapping) until the countdown is positive again; true when the frame changed.
  bool Step(uint32_t elapsedMs);
  void Rewind();

  // Draws src of the current frame at (x, y) with a blend value: 0 nothing, 1..254 blended,
  // 255 copied, 256..511 added with factor value - 256; through the mask when the frame has
  // one, else keyed on its colour key.
  void Draw(TCustomDIBX& target, int32_t x, int32_t y, int32_t blend, const TRect& src);

private:
  std::vector<TFrame> frames_;
  int index_ = 0;
  int32_t countdown_ = 0;
};

// Image glyphs of message text: their pictures come from the game's files.
class TMesPicture : public TTextPicture {
public:
  TPictureFrames Frames;
  int32_t Width() const override { return Frames.Width(); }
  int32_t Height() const override { return Frames.Height(); }
  int FrameCount() const override { return Frames.Count(); }
};

class TMesPictureSource : public TTextImageSource {
public:
  // bits: the depth of the screen the pictures are drawn on.
  TMesPictureSource(const TComponentServices& services, int bits) : services_(services), bits_(bits) {}
  std::unique_ptr<TTextPicture> LoadPicture(const std::string& fileName) override;

private:
  const TComponentServices& services_;
  int bits_;
};

}  // namespace nova
