#include "platform/sdl/picture_upload.h"

#include <algorithm>

namespace tvx::platform {

namespace {

void ConvertRow(std::span<const uint16_t> in, uint32_t* out) {
  // Blocks of a fixed size are what the compiler turns into vector code at -O2.
  constexpr size_t kBlock = 8;
  size_t i = 0;
  for (; i + kBlock <= in.size(); i += kBlock)
    for (size_t k = 0; k < kBlock; ++k) out[i + k] = ToXrgb(in[i + k]);
  for (; i < in.size(); ++i) out[i] = ToXrgb(in[i]);
}

}  // namespace

SDL_Texture* CreatePictureTexture(SDL_Renderer* renderer, int32_t width, int32_t height) {
  return SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                           std::max(width, 1), std::max(height, 1));
}

bool UploadPicture(SDL_Texture* texture, std::span<const uint16_t> pixels, int32_t width,
                   int32_t height, bool bottom_up, const Rect& area) {
  const Rect r = Intersect(area, {0, 0, width, height});
  if (r.Empty()) return true;
  if (pixels.size() < static_cast<size_t>(width) * height) return false;
  const SDL_Rect locked{r.left, r.top, r.Width(), r.Height()};
  void* memory = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(texture, &locked, &memory, &pitch) != 0) return false;
  auto* out = static_cast<uint8_t*>(memory);
  for (int32_t y = r.top; y < r.bottom; ++y, out += pitch) {
    const int32_t stored = bottom_up ? height - 1 - y : y;
    const auto row = pixels.subspan(static_cast<size_t>(stored) * width + r.left,
                                    static_cast<size_t>(r.Width()));
    ConvertRow(row, reinterpret_cast<uint32_t*>(out));
  }
  SDL_UnlockTexture(texture);
  return true;
}

}  // namespace tvx::platform
