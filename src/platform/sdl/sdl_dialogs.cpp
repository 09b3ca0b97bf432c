#include "platform/sdl/sdl_dialogs.h"

#include <SDL.h>

#include <optional>

#include "base/encoding.h"

namespace nova {
namespace {

struct TButtonSet {
  std::vector<std::pair<std::string, MsgResult>> Buttons;  // first = default
  MsgResult Escape;
};

TButtonSet ButtonsOf(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok: return {{{"OK", MsgResult::Ok}}, MsgResult::Ok};
    case MsgButtons::OkCancel:
      return {{{"OK", MsgResult::Ok}, {"キャンセル", MsgResult::Cancel}}, MsgResult::Cancel};
    case MsgButtons::YesNo: return {{{"はい", MsgResult::Yes}, {"いいえ", MsgResult::No}}, MsgResult::No};
    case MsgButtons::YesNoCancel:
      return {{{"はい", MsgResult::Yes}, {"いいえ", MsgResult::No}, {"キャンセル", MsgResult::Cancel}},
              MsgResult::Cancel};
  }
  return {{{"OK", MsgResult::Ok}}, MsgResult::Ok};
}

Uint32 FlagsOf(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Error: return SDL_MESSAGEBOX_ERROR;
    case MsgIcon::Warning: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
  }
}

// SDL needs its video subsystem for boxes; initialising it here keeps boxes working before
// the window exists (start-up errors).
bool EnsureVideo() { return SDL_WasInit(SDL_INIT_VIDEO) != 0 || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0; }

// Shows a box; the chosen button's id, -1 when dismissed, or nothing when it cannot be shown.
std::optional<int> ShowBox(SDL_Window* parent, Uint32 flags, const std::string& utf8Caption,
                           const std::string& utf8Text, const std::vector<SDL_MessageBoxButtonData>& buttons) {
  if (!EnsureVideo()) return std::nullopt;
  SDL_MessageBoxData box{};
  box.flags = flags;
  box.window = parent;
  box.title = utf8Caption.c_str();
  box.message = utf8Text.c_str();
  box.numbuttons = static_cast<int>(buttons.size());
  box.buttons = buttons.data();
  int chosen = -1;
  if (SDL_ShowMessageBox(&box, &chosen) != 0) return std::nullopt;
  return chosen;
}

}  // namespace

MsgResult TSdlDialogs::MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                                  MsgIcon icon) {
  TButtonSet set = ButtonsOf(buttons);
  std::vector<SDL_MessageBoxButtonData> data;
  for (size_t i = 0; i < set.Buttons.size(); ++i) {
    Uint32 flags = 0;
    if (i == 0) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (set.Buttons[i].second == set.Escape) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    data.push_back(SDL_MessageBoxButtonData{flags, static_cast<int>(i), set.Buttons[i].first.c_str()});
  }
  std::optional<int> chosen = ShowBox(parent_, FlagsOf(icon), SjisToUtf8(caption), SjisToUtf8(text), data);
  if (!chosen) return fallback_.MessageBox(text, caption, buttons, icon);
  if (*chosen < 0 || *chosen >= static_cast<int>(set.Buttons.size())) return set.Escape;
  return set.Buttons[static_cast<size_t>(*chosen)].second;
}

int TSdlDialogs::ChoiceBox(const std::string& utf8Caption, const std::string& utf8Text,
                           const std::vector<std::string>& utf8Choices) {
  if (!parent_) return -1;
  std::vector<SDL_MessageBoxButtonData> data;
  for (size_t i = 0; i < utf8Choices.size(); ++i) {
    data.push_back(SDL_MessageBoxButtonData{0, static_cast<int>(i), utf8Choices[i].c_str()});
  }
  std::optional<int> chosen = ShowBox(parent_, SDL_MESSAGEBOX_INFORMATION, utf8Caption, utf8Text, data);
  return chosen && *chosen >= 0 && *chosen < static_cast<int>(utf8Choices.size()) ? *chosen : -1;
}

}  // namespace nova
