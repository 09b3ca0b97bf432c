#pragma once
// Text for the player's own controls (the toolbar captions), drawn onto a picture. The real
// platform finds a Japanese face; without one the controls have no captions.
#include <cstdint>
#include <string>

#include "platform/window.h"

namespace nova {

class TCaptionFont {
public:
  virtual ~TCaptionFont() = default;
  virtual int TextWidth(const std::string& utf8) = 0;
  // Draws the text centred in box, clipped to the picture. colour is 0x00RRGGBB.
  virtual void DrawCentred(TPicture& picture, const TRect& box, const std::string& utf8, uint32_t colour) = 0;
};

}  // namespace nova
