#include "platform/sdl/sdl_keys.h"

namespace tvx::platform {

namespace {

Key Code(uint8_t value) {
  return static_cast<Key>(value);
}

}  // namespace

Key KeyFromSdl(SDL_Keycode keycode) {
  // Letters and digits follow the keyboard layout: the key that types "A" is key A.
  if (keycode >= SDLK_a && keycode <= SDLK_z)
    return Code(static_cast<uint8_t>('A' + (keycode - SDLK_a)));
  if (keycode >= SDLK_0 && keycode <= SDLK_9)
    return Code(static_cast<uint8_t>('0' + (keycode - SDLK_0)));
  if (keycode >= SDLK_F1 && keycode <= SDLK_F12)
    return Code(static_cast<uint8_t>(static_cast<uint8_t>(Key::F1) + (keycode - SDLK_F1)));
  if (keycode >= SDLK_KP_1 && keycode <= SDLK_KP_9)
    return Code(static_cast<uint8_t>(0x61 + (keycode - SDLK_KP_1)));  // numeric pad 1..9
  switch (keycode) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return Key::Enter;
    case SDLK_ESCAPE:
      return Key::Escape;
    case SDLK_SPACE:
      return Key::Space;
    case SDLK_TAB:
      return Key::Tab;
    case SDLK_LEFT:
      return Key::Left;
    case SDLK_RIGHT:
      return Key::Right;
    case SDLK_UP:
      return Key::Up;
    case SDLK_DOWN:
      return Key::Down;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return Key::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return Key::Ctrl;
    case SDLK_LALT:
    case SDLK_RALT:
      return Key::Alt;
    // Editing and paging keys and numeric pad 0 have codes of their own.
    case SDLK_BACKSPACE:
      return Key::Backspace;
    case SDLK_PAGEUP:
      return Key::PageUp;
    case SDLK_PAGEDOWN:
      return Key::PageDown;
    case SDLK_END:
      return Key::End;
    case SDLK_HOME:
      return Key::Home;
    case SDLK_INSERT:
      return Code(0x2D);
    case SDLK_DELETE:
      return Key::Delete;
    case SDLK_KP_0:
      return Code(0x60);
    default:
      return Key::None;
  }
}

}  // namespace tvx::platform
