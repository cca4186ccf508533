#include "resources/generator/cell_renderer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace tvx::fontgen {
namespace {

// A small 0/1 image of just the inked part of a glyph.
struct Ink {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;

  uint8_t& At(int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; }
  uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

struct InkBox {
  int min_x = INT_MAX;
  int max_x = INT_MIN;
  int min_y = INT_MAX;
  int max_y = INT_MIN;
  bool empty() const { return min_x > max_x; }
};

// Floor division by two, so that an advance wider than the cell overhangs both sides alike.
int HalfFloor(int value) {
  return value >= 0 ? value / 2 : -((1 - value) / 2);
}

int PenX(const GlyphImage& glyph, int cell_width) {
  return HalfFloor(cell_width - glyph.advance) + glyph.left;
}

int TopRow(const GlyphImage& glyph, int baseline) {
  return baseline - glyph.ascent;
}

InkBox FindInk(const GlyphImage& glyph, int left, int top) {
  InkBox box;
  for (int y = 0; y < glyph.height; ++y) {
    for (int x = 0; x < glyph.width; ++x) {
      if (!glyph.Lit(x, y)) continue;
      box.min_x = std::min(box.min_x, left + x);
      box.max_x = std::max(box.max_x, left + x);
      box.min_y = std::min(box.min_y, top + y);
      box.max_y = std::max(box.max_y, top + y);
    }
  }
  return box;
}

Ink Transposed(const Ink& ink) {
  Ink result{ink.height, ink.width, std::vector<uint8_t>(ink.pixels.size())};
  for (int y = 0; y < ink.height; ++y) {
    for (int x = 0; x < ink.width; ++x) result.At(y, x) = ink.At(x, y);
  }
  return result;
}

// Merges neighbouring columns until the image is `target` wide, always taking the pair that
// differs in the fewest rows (the leftmost such pair on a tie). The merged column is lit where
// either was, so no stroke disappears.
Ink NarrowTo(const Ink& ink, int target) {
  std::vector<std::vector<uint8_t>> columns(static_cast<size_t>(ink.width));
  for (int x = 0; x < ink.width; ++x) {
    for (int y = 0; y < ink.height; ++y) columns[static_cast<size_t>(x)].push_back(ink.At(x, y));
  }
  while (static_cast<int>(columns.size()) > target) {
    size_t best = 0;
    int best_cost = INT_MAX;
    for (size_t x = 0; x + 1 < columns.size(); ++x) {
      int cost = 0;
      for (size_t y = 0; y < columns[x].size(); ++y) cost += columns[x][y] != columns[x + 1][y];
      if (cost < best_cost) {
        best_cost = cost;
        best = x;
      }
    }
    for (size_t y = 0; y < columns[best].size(); ++y) columns[best][y] |= columns[best + 1][y];
    columns.erase(columns.begin() + static_cast<std::ptrdiff_t>(best) + 1);
  }
  Ink result{target, ink.height, std::vector<uint8_t>(static_cast<size_t>(target * ink.height))};
  for (int x = 0; x < target; ++x) {
    for (int y = 0; y < ink.height; ++y) result.At(x, y) = columns[static_cast<size_t>(x)][y];
  }
  return result;
}

// Where an ink run of `size` starting at `start` ends up inside [0, limit): unchanged when it fits,
// else moved the least distance that brings it inside.
int PlaceInside(int start, int size, int limit) {
  return std::clamp(start, 0, limit - size);
}

}  // namespace

CellRows RenderInCell(const GlyphImage& glyph, const Cell& cell) {
  CellRows rows{};
  const int left = PenX(glyph, cell.width);
  const int top = TopRow(glyph, cell.baseline);
  const InkBox box = FindInk(glyph, left, top);
  if (box.empty()) return rows;

  Ink ink{box.max_x - box.min_x + 1, box.max_y - box.min_y + 1, {}};
  ink.pixels.resize(static_cast<size_t>(ink.width * ink.height));
  for (int y = 0; y < ink.height; ++y) {
    for (int x = 0; x < ink.width; ++x) {
      ink.At(x, y) = glyph.Lit(box.min_x - left + x, box.min_y - top + y);
    }
  }
  if (ink.width > cell.width) ink = NarrowTo(ink, cell.width);
  if (ink.height > cell.height) ink = Transposed(NarrowTo(Transposed(ink), cell.height));

  const int x0 = PlaceInside(box.min_x, ink.width, cell.width);
  const int y0 = PlaceInside(box.min_y, ink.height, cell.height);
  for (int y = 0; y < ink.height; ++y) {
    for (int x = 0; x < ink.width; ++x) {
      if (ink.At(x, y))
        rows[static_cast<size_t>(y0 + y)] |= static_cast<uint16_t>(0x8000 >> (x0 + x));
    }
  }
  return rows;
}

int ChooseBaseline(std::span<const GlyphImage* const> glyphs, int cell_height, int font_ascent) {
  // Only the rows matter here: a glyph sticks out at baseline b when its inked rows, shifted by b,
  // leave [0, cell_height). Work out each glyph's inked rows relative to the baseline once.
  std::vector<std::pair<int, int>> spans;
  for (const GlyphImage* glyph : glyphs) {
    const InkBox box = FindInk(*glyph, 0, TopRow(*glyph, 0));
    if (!box.empty()) spans.emplace_back(box.min_y, box.max_y);
  }
  int best = font_ascent;
  long best_count = LONG_MAX;
  for (int baseline = 0; baseline <= cell_height; ++baseline) {
    const long count = std::count_if(spans.begin(), spans.end(), [&](const auto& span) {
      return span.first + baseline < 0 || span.second + baseline >= cell_height;
    });
    if (count < best_count ||
        (count == best_count && std::abs(baseline - font_ascent) < std::abs(best - font_ascent))) {
      best_count = count;
      best = baseline;
    }
  }
  return best;
}

}  // namespace tvx::fontgen
