#include "resources/generator/cell_renderer.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

namespace tvx::fontgen {
namespace {

GlyphImage MakeGlyph(int left, int advance, int ascent, const std::vector<std::string>& rows) {
  GlyphImage glyph;
  glyph.left = left;
  glyph.advance = advance;
  glyph.ascent = ascent;
  glyph.height = static_cast<int>(rows.size());
  glyph.width = static_cast<int>(rows[0].size());
  for (const std::string& row : rows) {
    for (char c : row) glyph.pixels.push_back(c == '#');
  }
  return glyph;
}

std::vector<std::string> Picture(const CellRows& rows, const Cell& cell) {
  std::vector<std::string> picture;
  for (int y = 0; y < cell.height; ++y) {
    std::string line;
    for (int x = 0; x < cell.width; ++x) {
      line += rows[static_cast<size_t>(y)] & (0x8000 >> x) ? '#' : '.';
    }
    picture.push_back(line);
  }
  return picture;
}

TEST(CellRenderer, PlacesGlyphsOnTheBaseline) {
  const Cell cell{8, 6, 4};
  // Advance 4 in an 8-wide cell: centred, two columns in; two rows above the baseline.
  const auto bar = MakeGlyph(1, 4, 2, {"##", "#."});
  EXPECT_EQ(Picture(RenderInCell(bar, cell), cell),
            (std::vector<std::string>{"........", "........", "...##...", "...#....", "........",
                                      "........"}));
  // A descender that fits stays below the baseline.
  const auto tail = MakeGlyph(0, 8, 0, {"#", "#"});
  EXPECT_EQ(Picture(RenderInCell(tail, cell), cell)[4], "#.......");
  EXPECT_EQ(Picture(RenderInCell(tail, cell), cell)[5], "#.......");
}

TEST(CellRenderer, BringsOverhangingInkBackWhole) {
  const Cell cell{8, 6, 4};
  // Three rows of descender but only two rows below the baseline: moved up one row intact.
  const auto deep = MakeGlyph(0, 8, 1, {"####", "#..#", "####", "...#"});
  EXPECT_EQ(Picture(RenderInCell(deep, cell), cell),
            (std::vector<std::string>{"........", "........", "####....", "#..#....", "####....",
                                      "...#...."}));
  // Ink that starts left of the cell moves right.
  const auto left = MakeGlyph(-2, 8, 1, {"#.#"});
  EXPECT_EQ(Picture(RenderInCell(left, cell), cell)[3], "#.#.....");
}

TEST(CellRenderer, NarrowsTooWideInkWithoutLosingStrokes) {
  const Cell cell{8, 4, 4};
  // 12 columns with three vertical strokes and a bar: still three strokes and a full bar.
  const auto wide =
      MakeGlyph(0, 12, 4, {"#....#.....#", "#....#.....#", "#....#.....#", "############"});
  const auto picture = Picture(RenderInCell(wide, cell), cell);
  EXPECT_EQ(picture[3], "########");
  int strokes = 0;
  for (size_t x = 0; x < 8; ++x) strokes += picture[0][x] == '#';
  EXPECT_EQ(strokes, 3);
  EXPECT_EQ(picture[0], picture[1]);
  // Taller than the cell: rows merge the same way.
  const auto tall = MakeGlyph(0, 8, 6, {"#", ".", "#", ".", "#", "."});
  const auto column = Picture(RenderInCell(tall, cell), cell);
  int lit = 0;
  for (const auto& line : column) lit += line[0] == '#';
  EXPECT_EQ(lit, 3);
}

TEST(CellRenderer, ChoosesTheBaselineThatKeepsGlyphsInside) {
  // Ideographs from 12 rows above the baseline to 2 below, a Latin letter 9 rows high.
  const auto ideograph = MakeGlyph(0, 16, 12, std::vector<std::string>(14, "#"));
  const auto letter = MakeGlyph(0, 8, 9, std::vector<std::string>(9, "#"));
  const std::vector<const GlyphImage*> glyphs = {&ideograph, &ideograph, &letter};
  // In 14 rows only baseline 12 fits the ideographs.
  EXPECT_EQ(ChooseBaseline(glyphs, 14, 15), 12);
  // In 16 rows baselines 12-14 all fit; the font's ascent decides.
  EXPECT_EQ(ChooseBaseline(glyphs, 16, 13), 13);
  EXPECT_EQ(ChooseBaseline(glyphs, 16, 20), 14);
  // When no baseline suits every glyph, the most glyphs win over the font's ascent.
  const auto tall = MakeGlyph(0, 8, 10, std::vector<std::string>(10, "#"));  // fits at 10 only
  const auto deep = MakeGlyph(0, 8, 8, std::vector<std::string>(10, "#"));   // fits at 8 only
  const std::vector<const GlyphImage*> rival = {&tall, &deep, &deep};
  EXPECT_EQ(ChooseBaseline(rival, 10, 10), 8);
}

}  // namespace
}  // namespace tvx::fontgen
