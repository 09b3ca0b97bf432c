#pragma once
// The screen manager: the list of full-screen display modes and the chosen one, the current
// mode (-2 before the first setting, -1 windowed, 0 or more a mode of the list), the back
// surface the displayed screen paints into, and the count of presented frames.
//
// On this platform full screen is the desktop's own mode with the picture scaled (see
// docs/platform.md), so there is no device to prepare: a mode's setting only rebuilds the back
// surface with the bit count that mode calls for.
#include <cstdint>
#include <vector>

#include "base/geometry.h"
#include "platform/window.h"
#include "render/dibx.h"

namespace nova {

class TScreenManager {
public:
  // modes: as the platform enumerates them; minimum: the project's screen size; preferred:
  // the project's two display parameters.
  TScreenManager(const std::vector<TDisplayMode>& modes, int minWidth, int minHeight, int preferredWidth,
                 int preferredHeight, int desktopBits = 24);

  const std::vector<TDisplayMode>& Modes() const { return modes_; }
  int ChosenIndex() const { return chosen_; }
  void SetChosenIndex(int index) { chosen_ = index; }
  int CurrentIndex() const { return current_; }
  bool Windowed() const { return current_ < 0; }
  // Sets the current mode and rebuilds the back surface.
  void SetMode(int index);
  TDIBX& BackSurface() { return back_; }
  // Copies the rectangles of the back surface into the panel picture and counts the frame.
  void Present(const std::vector<TRect>& rects, TPicture& panel);
  uint32_t FrameCount() const { return frames_; }

private:
  std::vector<TDisplayMode> modes_;
  int minWidth_, minHeight_, desktopBits_;
  int chosen_ = -1, current_ = -2;
  TDIBX back_;
  uint32_t frames_ = 0;
};

}  // namespace nova
