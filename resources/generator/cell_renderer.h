// Puts the proportional glyphs of a PCF face into the fixed cells the engine draws with.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "resources/generator/pcf_font.h"

namespace tvx::fontgen {

struct Cell {
  int width = 0;
  int height = 0;
  int baseline = 0;  // rows above the baseline: the baseline is the top edge of this row
};

using CellRows = std::array<uint16_t, 16>;  // top row first, bit 15 = leftmost pixel

// Draws a glyph into a cell. The glyph's advance is centred in the cell and its baseline put on the
// cell's baseline. The font's Latin letters are wider and reach lower than the half-width cells
// allow, so ink that would leave the cell is brought back instead of being cut off: a glyph whose
// ink fits is moved just enough to come inside, and one whose ink is too wide or too tall is
// narrowed by merging its most alike neighbouring columns (or rows), which keeps every stroke.
CellRows RenderInCell(const GlyphImage& glyph, const Cell& cell);

// The baseline row for a face: the one that leaves the fewest glyphs sticking out of their cells,
// and of those the one closest to the font's ascent.
int ChooseBaseline(std::span<const GlyphImage* const> glyphs, int cell_height, int font_ascent);

}  // namespace tvx::fontgen
