// Getting the engine's 5-5-5 pictures into SDL textures.
//
// Textures are 32-bit XRGB: no renderer shows 5-5-5 textures without converting them, and
// SDL's own conversion costs several times what this one does. The rows are put in display
// order while converting, so textures are always drawn upright without flipping (SDL's
// software renderer flips slowly, and misplaces flipped pictures that it scales).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <span>

#include "platform/types.h"

namespace tvx::platform {

// A streaming texture for a picture of this size; null on failure (see SDL_GetError).
SDL_Texture* CreatePictureTexture(SDL_Renderer* renderer, int32_t width, int32_t height);

// Copies the part `area` of a width x height picture to the same place in the texture.
// `bottom_up`: the picture stores its rows bottom-up (as framebuffers do), else top-down.
bool UploadPicture(SDL_Texture* texture, std::span<const uint16_t> pixels, int32_t width,
                   int32_t height, bool bottom_up, const Rect& area);

// One 5-5-5 pixel as XRGB8888, each channel widened so that 31 becomes 255.
constexpr uint32_t ToXrgb(uint16_t pixel) {
  const uint32_t c = pixel;
  const uint32_t top = (c & 0x7C00) << 9 | (c & 0x03E0) << 6 | (c & 0x001F) << 3;
  return top | ((top >> 5) & 0x070707);
}

}  // namespace tvx::platform
