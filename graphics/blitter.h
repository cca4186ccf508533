// The blit operations on planes. Every rectangle is clipped to every plane involved, so no
// size or position from a script writes or reads outside a plane; a plane without pixels
// takes part in nothing. Rows are walked top to bottom, pixels left to right.
#pragma once

#include <cstdint>
#include <span>

#include "graphics/vram_plane_set.h"

namespace tvx::blit {

struct Rect16 {
  uint32_t x = 0, y = 0, w = 0, h = 0;
};

// Narrows w and h so that the rectangle at (x, y) lies inside the plane (all 0 when the
// plane has no pixels or the corner lies outside it).
void Clip(const VramPlane& plane, uint32_t x, uint32_t y, uint32_t& w, uint32_t& h);

void CopyRect(const VramPlane& source, Rect16 from, VramPlane& dest, uint32_t dx, uint32_t dy);
// As CopyRect, skipping source pixels equal to the key.
void CopyRectKeyed(const VramPlane& source, Rect16 from, VramPlane& dest, uint32_t dx,
                   uint32_t dy, uint16_t key);
void FillRect(VramPlane& plane, Rect16 rect, uint16_t colour);
// Exchanges the two rectangles row by row through the scratch row.
void SwapRect(VramPlane& a, Rect16 from, VramPlane& b, uint32_t bx, uint32_t by,
              std::span<uint16_t> scratch);
// Pixels equal to a become b, every other pixel becomes a.
void ToggleColour(VramPlane& plane, Rect16 rect, uint16_t a, uint16_t b);
// Destination = foreground where it differs from the key, else background.
void Composite(const VramPlane& fore, Rect16 from, const VramPlane& back, uint32_t bx,
               uint32_t by, VramPlane& dest, uint32_t dx, uint32_t dy, uint16_t key,
               std::span<uint16_t> scratch);
// Each 5-bit channel c of the block becomes c / 2 (darken) or c × 123 / 256 + 14 (wash).
void Darken(VramPlane& plane, Rect16 rect);
void Wash(VramPlane& plane, Rect16 rect);

}  // namespace tvx::blit
