#include "graphics/blitter.h"

#include <algorithm>
#include <cstring>

namespace tvx::blit {
namespace {

template <typename PixelOp>
void ForEachPixel(VramPlane& plane, Rect16 rect, PixelOp op) {
  Clip(plane, rect.x, rect.y, rect.w, rect.h);
  for (uint32_t r = 0; r < rect.h; ++r) {
    uint16_t* row = &plane.At(rect.x, rect.y + r);
    for (uint32_t c = 0; c < rect.w; ++c) row[c] = op(row[c]);
  }
}

uint16_t MapChannels(uint16_t pixel, int (*f)(int)) {
  const int r = f((pixel >> 10) & 31), g = f((pixel >> 5) & 31), b = f(pixel & 31);
  return static_cast<uint16_t>(r << 10 | g << 5 | b);
}

}  // namespace

void Clip(const VramPlane& plane, uint32_t x, uint32_t y, uint32_t& w, uint32_t& h) {
  if (!plane.exists() || x >= plane.width || y >= plane.height) {
    w = h = 0;
    return;
  }
  w = std::min(w, plane.width - x);
  h = std::min(h, plane.height - y);
}

void CopyRect(const VramPlane& source, Rect16 from, VramPlane& dest, uint32_t dx, uint32_t dy) {
  Clip(source, from.x, from.y, from.w, from.h);
  Clip(dest, dx, dy, from.w, from.h);
  const bool same_plane = source.pixels.data() == dest.pixels.data();
  for (uint32_t r = 0; r < from.h; ++r) {
    const uint16_t* in = &source.At(from.x, from.y + r);
    uint16_t* out = &dest.At(dx, dy + r);
    if (!same_plane) {
      std::memcpy(out, in, from.w * 2);
    } else {
      // Within one plane, pixel by pixel left to right: a block moved right over itself
      // repeats its left columns.
      for (uint32_t c = 0; c < from.w; ++c) out[c] = in[c];
    }
  }
}

void CopyRectKeyed(const VramPlane& source, Rect16 from, VramPlane& dest, uint32_t dx, uint32_t dy,
                   uint16_t key) {
  Clip(source, from.x, from.y, from.w, from.h);
  Clip(dest, dx, dy, from.w, from.h);
  for (uint32_t r = 0; r < from.h; ++r) {
    const uint16_t* in = &source.At(from.x, from.y + r);
    uint16_t* out = &dest.At(dx, dy + r);
    // Branch-free so that the loop vectorises.
    for (uint32_t c = 0; c < from.w; ++c) out[c] = in[c] != key ? in[c] : out[c];
  }
}

void FillRect(VramPlane& plane, Rect16 rect, uint16_t colour) {
  Clip(plane, rect.x, rect.y, rect.w, rect.h);
  for (uint32_t r = 0; r < rect.h; ++r) std::fill_n(&plane.At(rect.x, rect.y + r), rect.w, colour);
}

void SwapRect(VramPlane& a, Rect16 from, VramPlane& b, uint32_t bx, uint32_t by,
              std::span<uint16_t> scratch) {
  Clip(a, from.x, from.y, from.w, from.h);
  Clip(b, bx, by, from.w, from.h);
  from.w = std::min<uint32_t>(from.w, static_cast<uint32_t>(scratch.size()));
  for (uint32_t r = 0; r < from.h; ++r) {
    uint16_t* pa = &a.At(from.x, from.y + r);
    uint16_t* pb = &b.At(bx, by + r);
    std::memcpy(scratch.data(), pa, from.w * 2);
    std::memmove(pa, pb, from.w * 2);
    std::memcpy(pb, scratch.data(), from.w * 2);
  }
}

void ToggleColour(VramPlane& plane, Rect16 rect, uint16_t a, uint16_t b) {
  ForEachPixel(plane, rect, [a, b](uint16_t p) { return p == a ? b : a; });
}

void Composite(const VramPlane& fore, Rect16 from, const VramPlane& back, uint32_t bx, uint32_t by,
               VramPlane& dest, uint32_t dx, uint32_t dy, uint16_t key,
               std::span<uint16_t> scratch) {
  Clip(fore, from.x, from.y, from.w, from.h);
  Clip(back, bx, by, from.w, from.h);
  Clip(dest, dx, dy, from.w, from.h);
  from.w = std::min<uint32_t>(from.w, static_cast<uint32_t>(scratch.size()));
  for (uint32_t r = 0; r < from.h; ++r) {
    std::memcpy(scratch.data(), &back.At(bx, by + r), from.w * 2);
    const uint16_t* in = &fore.At(from.x, from.y + r);
    for (uint32_t c = 0; c < from.w; ++c) scratch[c] = in[c] != key ? in[c] : scratch[c];
    std::memcpy(&dest.At(dx, dy + r), scratch.data(), from.w * 2);
  }
}

void Darken(VramPlane& plane, Rect16 rect) {
  ForEachPixel(plane, rect,
               [](uint16_t p) { return MapChannels(p, [](int c) { return c >> 1; }); });
}

void Wash(VramPlane& plane, Rect16 rect) {
  ForEachPixel(plane, rect,
               [](uint16_t p) { return MapChannels(p, [](int c) { return c * 123 / 256 + 14; }); });
}

}  // namespace tvx::blit
