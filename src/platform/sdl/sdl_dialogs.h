#pragma once
// Message boxes through SDL: texts converted from Shift-JIS to UTF-8, Return takes the first
// button and Escape the Cancel / No button; a box SDL cannot show falls back to the headless
// form (stderr and the first button).
#include "platform/dialogs.h"

struct SDL_Window;

namespace nova {

class TSdlDialogs : public TDialogs {
public:
  void SetParent(SDL_Window* parent) { parent_ = parent; }
  MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  int ChoiceBox(const std::string& utf8Caption, const std::string& utf8Text,
                const std::vector<std::string>& utf8Choices) override;

private:
  SDL_Window* parent_ = nullptr;
  THeadlessDialogs fallback_;
};

}  // namespace nova
