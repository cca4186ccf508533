// Wall pieces rendered from one wall texture: each of the 45 pieces is cut from the view it
// is drawn in (maze_tile_set.h, PiecePlaces), rendered with only its own wall standing, in
// the perspective of maze_view_camera.h, over a ceiling and a floor that darken toward the
// horizon (the dark between them is what the engine leaves black). Every pixel becomes its
// nearest palette entry, optionally after an ordered dither.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tools/maze_palette.h"
#include "tools/png_io.h"

namespace tvx::tool::maze {

// A colour in 5-bit channels (0-31), red, green, blue.
using Colour = std::array<float, 3>;

Colour ColourOf(uint16_t pixel);

struct WallLook {
  Colour ceiling{};
  Colour floor{};
  bool dither = false;
};

class WallPainter {
 public:
  // `texture` must have pixels.
  WallPainter(const Picture555& texture, const WallLook& look, const Palette& palette);

  // Piece `number` (0-44) as palette indices, rows from the top.
  std::vector<uint8_t> Piece(size_t number) const;
  // The same in colour, before the palette (for looking at the rendering itself).
  Picture555 PieceColours(size_t number) const;

 private:
  Colour Background(double row) const;
  Colour PixelAt(size_t number, int x, int y) const;

  const Picture555& texture_;
  WallLook look_;
  const Palette& palette_;
};

}  // namespace tvx::tool::maze
