#pragma once
// Where the client picture lies in a window of any size, and how window points map to picture
// pixels and back. The window measures in points (mouse positions, window size); its drawable
// area measures in device pixels, more of them on a HiDPI display. The picture keeps its
// aspect and is centred with black bars.
#include <cstdint>
#include <optional>
#include <string>

#include "base/geometry.h"

namespace nova {

enum class ScaleMode {
  Nearest,  // fill the window as far as the aspect allows, nearest-neighbour pixels
  Integer,  // the largest whole multiple that fits (shrunk like Nearest when none fits)
  Smooth,   // as Nearest, with linear filtering
};

// "nearest", "integer", "smooth" (exact, lower case), or nothing.
std::optional<ScaleMode> ParseScaleMode(const std::string& text);
const char* ScaleModeName(ScaleMode mode);

// The picture's rectangle in a drawable area, in device pixels.
TRect FitPicture(ScaleMode mode, int32_t areaWidth, int32_t areaHeight, int32_t pictureWidth, int32_t pictureHeight);

struct TPresentGeometry {
  int32_t WindowWidth = 0, WindowHeight = 0;      // points
  int32_t DrawableWidth = 0, DrawableHeight = 0;  // device pixels
  int32_t PictureWidth = 0, PictureHeight = 0;
  TRect Viewport;  // FitPicture of the drawable area

  static TPresentGeometry Make(ScaleMode mode, int32_t windowWidth, int32_t windowHeight, int32_t drawableWidth,
                               int32_t drawableHeight, int32_t pictureWidth, int32_t pictureHeight);
  bool Valid() const {
    return WindowWidth > 0 && WindowHeight > 0 && DrawableWidth > 0 && DrawableHeight > 0 && !Viewport.Empty() &&
           PictureWidth > 0 && PictureHeight > 0;
  }
};

// The picture pixel shown under a window point: the one whose displayed area holds the centre
// of the device pixels the point covers. Points on the bars give coordinates outside the
// picture (negative, or at least its size).
TPoint WindowToPicture(const TPresentGeometry& g, TPoint windowPoint);
// The window point over the centre of a picture pixel (the inverse where the picture is not
// shrunk).
TPoint PictureToWindow(const TPresentGeometry& g, TPoint picturePoint);

}  // namespace nova
