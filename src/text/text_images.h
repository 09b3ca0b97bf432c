#pragma once
// Pictures shown inside message text. Image glyphs only need a picture's size to be laid out;
// loading (through the image cache), animation and drawing belong to the display components,
// which implement these interfaces. Tests use fakes.
#include <cstdint>
#include <memory>
#include <string>

namespace nova {

// One loaded picture of an image glyph (its frame list).
class TTextPicture {
public:
  virtual ~TTextPicture() = default;
  // Size of the first frame.
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  virtual int FrameCount() const { return 1; }
};

class TTextImageSource {
public:
  virtual ~TTextImageSource() = default;
  // The picture of a game file (a game path), or nullptr when the file does not exist.
  virtual std::unique_ptr<TTextPicture> LoadPicture(const std::string& fileName) = 0;
};

}  // namespace nova
