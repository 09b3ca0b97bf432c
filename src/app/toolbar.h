#pragma once
// The toolbar strip along the top of the main window: a dock 4 pixels higher than its
// buttons, holding two 67 x 18 buttons, "終了" (quit question) and "画面切替" (full screen).
#include <memory>
#include <string>

#include "platform/caption_font.h"
#include "platform/window.h"

namespace nova {

constexpr int kToolButtonWidth = 67;
constexpr int kToolButtonHeight = 18;
constexpr int kDockHeight = kToolButtonHeight + 4;

enum class ToolButton { None = -1, Quit = 0, Screen = 1 };

class TToolbar {
public:
  // font: the captions' face (without one the buttons have no text). The headless player
  // draws no captions, so its pictures do not depend on the fonts installed.
  explicit TToolbar(std::unique_ptr<TCaptionFont> font);
  ~TToolbar();

  ToolButton ButtonAt(int x, int y) const;  // client coordinates
  static TRect ButtonRect(ToolButton button);
  // Draws the dock across the picture's top kDockHeight rows.
  void Draw(TPicture& picture, ToolButton hover, ToolButton pressed);
  bool HasFont() const { return font_ != nullptr; }

private:
  std::unique_ptr<TCaptionFont> font_;
};

// The captions (Shift-JIS).
const std::string& QuitCaption();
const std::string& ScreenCaption();

}  // namespace nova
