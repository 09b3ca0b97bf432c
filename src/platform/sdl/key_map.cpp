#include "platform/sdl/key_map.h"

#include <SDL.h>

namespace nova {

namespace {

// The punctuation keys by their position, as the original platform names them on a Japanese
// (106/109-key) keyboard, the layout the games were made for: the key right of "L" is ";"
// (0xBB), then ":" (0xBA); the keys right of "P" are "@" (0xC0) and "[" (0xDB); right of "0"
// come "-", "^" (0xDE) and the yen key; the "ro" key sits left of the right Shift.
int JapaneseOemKey(int32_t scancode) {
  switch (scancode) {
    case SDL_SCANCODE_MINUS: return 0xBD;         // -
    case SDL_SCANCODE_EQUALS: return 0xDE;        // ^
    case SDL_SCANCODE_INTERNATIONAL3: return 0xDC;  // yen
    case SDL_SCANCODE_LEFTBRACKET: return 0xC0;   // @
    case SDL_SCANCODE_RIGHTBRACKET: return 0xDB;  // [
    case SDL_SCANCODE_SEMICOLON: return 0xBB;     // ;
    case SDL_SCANCODE_APOSTROPHE: return 0xBA;    // :
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return 0xDD;     // ]
    case SDL_SCANCODE_COMMA: return 0xBC;
    case SDL_SCANCODE_PERIOD: return 0xBE;
    case SDL_SCANCODE_SLASH: return 0xBF;
    case SDL_SCANCODE_INTERNATIONAL1:
    case SDL_SCANCODE_NONUSBACKSLASH: return 0xE2;  // ro (backslash, underscore)
    case SDL_SCANCODE_GRAVE: return 0xF3;            // hankaku/zenkaku
    default: return 0;
  }
}

}  // namespace

int VirtualKeyFromSdl(int32_t keycode, int32_t scancode) {
  if (int oem = JapaneseOemKey(scancode)) return oem;
  if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
  if (keycode >= SDLK_0 && keycode <= SDLK_9) return '0' + (keycode - SDLK_0);
  if (keycode >= SDLK_F1 && keycode <= SDLK_F12) return 112 + (keycode - SDLK_F1);
  if (keycode >= SDLK_F13 && keycode <= SDLK_F24) return 124 + (keycode - SDLK_F13);
  if (keycode >= SDLK_KP_1 && keycode <= SDLK_KP_9) return 97 + (keycode - SDLK_KP_1);
  switch (keycode) {
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_CLEAR: return 12;
    case SDLK_RETURN: case SDLK_RETURN2: case SDLK_KP_ENTER: return 13;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return 16;
    case SDLK_LCTRL: case SDLK_RCTRL: return 17;
    case SDLK_LALT: case SDLK_RALT: return 18;
    case SDLK_PAUSE: return 19;
    case SDLK_CAPSLOCK: return 20;
    case SDLK_ESCAPE: return 27;
    case SDLK_SPACE: return 32;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_END: return 35;
    case SDLK_HOME: return 36;
    case SDLK_LEFT: return 37;
    case SDLK_UP: return 38;
    case SDLK_RIGHT: return 39;
    case SDLK_DOWN: return 40;
    case SDLK_SELECT: return 41;
    case SDLK_EXECUTE: return 43;
    case SDLK_PRINTSCREEN: return 44;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return 46;
    case SDLK_HELP: return 47;
    case SDLK_LGUI: return 91;
    case SDLK_RGUI: return 92;
    case SDLK_APPLICATION: case SDLK_MENU: return 93;
    case SDLK_SLEEP: return 95;
    case SDLK_KP_0: return 96;
    case SDLK_KP_MULTIPLY: return 106;
    case SDLK_KP_PLUS: return 107;
    case SDLK_KP_COMMA: return 108;
    case SDLK_KP_MINUS: return 109;
    case SDLK_KP_PERIOD: case SDLK_KP_DECIMAL: return 110;
    case SDLK_KP_DIVIDE: return 111;
    case SDLK_NUMLOCKCLEAR: return 144;
    case SDLK_SCROLLLOCK: return 145;
    default: break;
  }
  // The other keys of the Japanese keyboard by position.
  switch (scancode) {
    case SDL_SCANCODE_INTERNATIONAL2: return 0x15;  // katakana/hiragana
    case SDL_SCANCODE_INTERNATIONAL4: return 0x1C;  // convert
    case SDL_SCANCODE_INTERNATIONAL5: return 0x1D;  // non-convert
    case SDL_SCANCODE_LANG5: return 0xF3;           // hankaku/zenkaku
    default: break;
  }
  return 0;
}

}  // namespace nova
