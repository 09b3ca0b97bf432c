#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/sdl/key_map.h"

namespace nova {
namespace {

TEST(KeyMap, TranslatesToVirtualKeys) {
  struct Case {
    SDL_Keycode key;
    SDL_Scancode scan;
    int vk;
  } cases[] = {
      {SDLK_RETURN, SDL_SCANCODE_RETURN, 13},     {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27},     {SDLK_SPACE, SDL_SCANCODE_SPACE, 32},
      {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, 33},     {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, 34},
      {SDLK_END, SDL_SCANCODE_END, 35},           {SDLK_HOME, SDL_SCANCODE_HOME, 36},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, 37},         {SDLK_UP, SDL_SCANCODE_UP, 38},
      {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39},       {SDLK_DOWN, SDL_SCANCODE_DOWN, 40},
      {SDLK_INSERT, SDL_SCANCODE_INSERT, 45},     {SDLK_DELETE, SDL_SCANCODE_DELETE, 46},
      {SDLK_0, SDL_SCANCODE_0, 48},               {SDLK_9, SDL_SCANCODE_9, 57},
      {SDLK_a, SDL_SCANCODE_A, 65},               {SDLK_z, SDL_SCANCODE_Z, 90},
      {SDLK_F1, SDL_SCANCODE_F1, 112},            {SDLK_F12, SDL_SCANCODE_F12, 123},
      {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 16},     {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 16},
      {SDLK_LCTRL, SDL_SCANCODE_LCTRL, 17},       {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 17},
      {SDLK_LALT, SDL_SCANCODE_LALT, 18},         {SDLK_TAB, SDL_SCANCODE_TAB, 9},
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8}, {SDLK_KP_0, SDL_SCANCODE_KP_0, 96},
      {SDLK_KP_9, SDL_SCANCODE_KP_9, 105},        {SDLK_KP_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY, 106},
      {SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 107},  {SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, 109},
      {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, 110}, {SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, 111},
      {SDLK_COMMA, SDL_SCANCODE_COMMA, 0xBC},
      {SDLK_MINUS, SDL_SCANCODE_MINUS, 0xBD},     {SDLK_SLASH, SDL_SCANCODE_SLASH, 0xBF},
      {SDLK_APPLICATION, SDL_SCANCODE_APPLICATION, 93},
      {SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL3, 0xDC},  // yen key
      {SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL4, 0x1C},  // convert
      {SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VirtualKeyFromSdl(c.key, c.scan), c.vk) << SDL_GetKeyName(c.key) << " scancode " << c.scan;
  }
}

// The punctuation keys of a Japanese keyboard reach the game with the codes the original
// platform gives them there, whatever character the desktop's layout puts on them.
TEST(KeyMap, JapaneseKeyboardPunctuationByPosition) {
  struct Case {
    SDL_Keycode key;  // what a Japanese layout reports
    SDL_Scancode scan;
    int vk;
  } cases[] = {
      {SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 0xBB},  {SDLK_COLON, SDL_SCANCODE_APOSTROPHE, 0xBA},
      {SDLK_AT, SDL_SCANCODE_LEFTBRACKET, 0xC0},       {SDLK_LEFTBRACKET, SDL_SCANCODE_RIGHTBRACKET, 0xDB},
      {SDLK_CARET, SDL_SCANCODE_EQUALS, 0xDE},         {SDLK_RIGHTBRACKET, SDL_SCANCODE_BACKSLASH, 0xDD},
      {SDLK_RIGHTBRACKET, SDL_SCANCODE_NONUSHASH, 0xDD}, {SDLK_BACKSLASH, SDL_SCANCODE_INTERNATIONAL1, 0xE2},
      {SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL1, 0xE2}, {SDLK_PERIOD, SDL_SCANCODE_PERIOD, 0xBE},
      // A US layout gives other characters on the same keys: the codes stay the same.
      {SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, 0xBA},     {SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, 0xC0},
      {SDLK_EQUALS, SDL_SCANCODE_EQUALS, 0xDE},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VirtualKeyFromSdl(c.key, c.scan), c.vk) << SDL_GetKeyName(c.key) << " scancode " << c.scan;
  }
}

}  // namespace
}  // namespace nova
