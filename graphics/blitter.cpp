#include "graphics/blitter.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tvx::blit {
namespace {

// Rows are worked on in blocks of a fixed number of pixels held in locals: with a known count
// and no way for the block to overlap the row, the compiler turns each block into vector
// instructions; the last few pixels of a row go one at a time.
constexpr uint32_t kBlock = 16;

// row[c] = op(row[c]) across the row.
template <typename PixelOp>
void MapRow(uint16_t* row, uint32_t w, PixelOp op) {
  uint32_t c = 0;
  // Blocks of a fixed length vectorise; in place, nothing can alias.
  for (; c + kBlock <= w; c += kBlock) {
    uint16_t* block = row + c;
    for (uint32_t k = 0; k < kBlock; ++k) block[k] = op(block[k]);
  }
  for (; c < w; ++c) row[c] = op(row[c]);
}

// row[c] = colour across the row, in the same fixed blocks (stores only).
void FillRow(uint16_t* row, uint32_t w, uint16_t colour) {
  uint32_t c = 0;
  for (; c + kBlock <= w; c += kBlock) {
    uint16_t* block = row + c;
    for (uint32_t k = 0; k < kBlock; ++k) block[k] = colour;
  }
  for (; c < w; ++c) row[c] = colour;
}

// out[c] = in[c] unless it is the key, across rows that do not overlap.
void KeyedRow(const uint16_t* __restrict in, uint16_t* __restrict out, uint32_t w, uint16_t key) {
  uint32_t c = 0;
  for (; c + kBlock <= w; c += kBlock) {
    const uint16_t* from = in + c;
    uint16_t* to = out + c;
    for (uint32_t k = 0; k < kBlock; ++k) to[k] = from[k] != key ? from[k] : to[k];
  }
  for (; c < w; ++c) out[c] = in[c] != key ? in[c] : out[c];
}

// A row moved right over itself, pixel by pixel left to right as the engine has always
// copied: it repeats its left columns.
void CopyRowRightward(const uint16_t* in, uint16_t* out, uint32_t w) {
  for (uint32_t c = 0; c < w; ++c) out[c] = in[c];
}

template <typename PixelOp>
void ForEachPixel(VramPlane& plane, Rect16 rect, PixelOp op) {
  Clip(plane, rect.x, rect.y, rect.w, rect.h);
  for (uint32_t r = 0; r < rect.h; ++r) MapRow(&plane.At(rect.x, rect.y + r), rect.w, op);
}

// Each 5-bit channel through `f`, written out so that it vectorises with the row.
template <typename ChannelOp>
uint16_t MapChannels(uint16_t pixel, ChannelOp f) {
  const unsigned r = f((pixel >> 10) & 31u), g = f((pixel >> 5) & 31u), b = f(pixel & 31u);
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
    } else if (out <= in || in + from.w <= out) {
      // Rows apart, or moved left over itself: a left-to-right copy gives what a move gives.
      std::memmove(out, in, from.w * 2);
    } else {
      CopyRowRightward(in, out, from.w);
    }
  }
}

void CopyRectKeyed(const VramPlane& source, Rect16 from, VramPlane& dest, uint32_t dx, uint32_t dy,
                   uint16_t key) {
  Clip(source, from.x, from.y, from.w, from.h);
  Clip(dest, dx, dy, from.w, from.h);
  const bool same_plane = source.pixels.data() == dest.pixels.data();
  for (uint32_t r = 0; r < from.h; ++r) {
    const uint16_t* in = &source.At(from.x, from.y + r);
    uint16_t* out = &dest.At(dx, dy + r);
    if (same_plane && in < out + from.w && out < in + from.w) {
      // Overlapping rows of one plane, pixel by pixel left to right as a plain copy does.
      for (uint32_t c = 0; c < from.w; ++c) out[c] = in[c] != key ? in[c] : out[c];
    } else {
      KeyedRow(in, out, from.w, key);
    }
  }
}

void FillRect(VramPlane& plane, Rect16 rect, uint16_t colour) {
  Clip(plane, rect.x, rect.y, rect.w, rect.h);
  if (rect.h == 0) return;
  if (rect.w == plane.width) {
    // Whole rows lie next to each other: one run from the lowest row in memory.
    FillRow(&plane.At(0, rect.y + rect.h - 1), rect.w * rect.h, colour);
    return;
  }
  for (uint32_t r = 0; r < rect.h; ++r) FillRow(&plane.At(rect.x, rect.y + r), rect.w, colour);
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
    KeyedRow(&fore.At(from.x, from.y + r), scratch.data(), from.w, key);
    std::memcpy(&dest.At(dx, dy + r), scratch.data(), from.w * 2);
  }
}

void Darken(VramPlane& plane, Rect16 rect) {
  ForEachPixel(plane, rect,
               [](uint16_t p) { return MapChannels(p, [](unsigned c) { return c >> 1; }); });
}

void Wash(VramPlane& plane, Rect16 rect) {
  ForEachPixel(plane, rect, [](uint16_t p) {
    return MapChannels(p, [](unsigned c) { return c * 123 / 256 + 14; });
  });
}

}  // namespace tvx::blit
