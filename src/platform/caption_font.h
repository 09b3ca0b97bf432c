#pragma once
// Text for the player's own controls (the toolbar captions): a Japanese face found through
// fontconfig (IPAGothic preferred), rasterised in grey by FreeType and blended onto a picture.
#include <memory>
#include <string>

#include "platform/window.h"

namespace nova {

class TCaptionFont {
public:
  // Null when no face that holds Japanese characters can be found or loaded.
  static std::unique_ptr<TCaptionFont> Open(int pixelSize);
  virtual ~TCaptionFont() = default;

  virtual int TextWidth(const std::string& utf8) = 0;
  // Draws the text centred in box, clipped to the picture. colour is 0x00RRGGBB.
  virtual void DrawCentred(TPicture& picture, const TRect& box, const std::string& utf8, uint32_t colour) = 0;
};

// Code points of a UTF-8 text; malformed bytes give U+FFFD.
std::u32string DecodeUtf8(const std::string& utf8);

}  // namespace nova
