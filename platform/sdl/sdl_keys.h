// SDL key codes to the engine's key codes.
#pragma once

#include <SDL.h>

#include "platform/types.h"

namespace tvx::platform {

// Key::None for keys the engine has no code for.
Key KeyFromSdl(SDL_Keycode keycode);

}  // namespace tvx::platform
