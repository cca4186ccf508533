// The program's own mouse cursors, drawn in code: the pictures that scripts choose by cursor
// resource id. See docs/cursors.md for what each one shows.
//
//   100-109  static cursors (arrow, hand, hourglass, magnifier, speech bubble, crosshair,
//            arrows up, down, left, right)
//   225-229  maze cursors (step forward, turn left, turn right, step back, no way)
//   230-239  animated cursors, in pairs (base, base + 1) that the engine alternates
#pragma once

#include <cstdint>
#include <vector>

namespace tvx {

// One cursor: 32-bit ARGB pixels with straight alpha, rows top-down; (hotX, hotY) is the
// pixel that points.
struct CursorPicture {
  uint16_t id = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint16_t hotX = 0;
  uint16_t hotY = 0;
  std::vector<uint32_t> argb;
};

// Every cursor of the program, 32 × 32 each, in id order.
std::vector<CursorPicture> DrawCursorSet();

}  // namespace tvx
