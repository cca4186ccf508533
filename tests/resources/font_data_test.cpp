#include "resources/font_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <set>

#include "tests/resources/glyph_helpers.h"

namespace tvx {
namespace {

using testing::BottomInkRow;
using testing::InkedRows;
using testing::LitPixels;

constexpr std::array kFaces{FontFaceId::Text16, FontFaceId::Ui12};

Glyph Lookup(FontFaceId face, uint16_t code) {
  Glyph glyph;
  EXPECT_TRUE(LookupGlyph(face, code, glyph)) << std::hex << code;
  return glyph;
}

TEST(FontData, CellGeometry) {
  EXPECT_EQ(FaceHeight(FontFaceId::Text16), 16);
  EXPECT_EQ(FaceHeight(FontFaceId::Ui12), 12);
  EXPECT_EQ(CellWidth(FontFaceId::Text16, 'A'), 8);
  EXPECT_EQ(CellWidth(FontFaceId::Text16, 0xB0A1), 16);
  EXPECT_EQ(CellWidth(FontFaceId::Ui12, 'A'), 6);
  EXPECT_EQ(CellWidth(FontFaceId::Ui12, 0xB0A1), 12);
  for (FontFaceId face : kFaces) {
    const Glyph latin = Lookup(face, 'A');
    const Glyph hanzi = Lookup(face, 0xB0A1);
    EXPECT_EQ(latin.width, CellWidth(face, 'A'));
    EXPECT_EQ(hanzi.width, CellWidth(face, 0xB0A1));
    EXPECT_EQ(latin.height, FaceHeight(face));
    EXPECT_EQ(hanzi.height, FaceHeight(face));
  }
}

TEST(FontData, CodesWithoutGlyphGiveAnEmptyCell) {
  // Bytes 0x80 and 0xFF, trail bytes outside 0x40-0xFE or 0x7F, a non-lead first byte, controls,
  // a code GBK leaves unassigned, and one GBK has but no WenQuanYi size draws (U+2015).
  constexpr std::array<uint16_t, 10> kCodes{0x80,   0xFF, 0x817F, 0x8130, 0xFF40,
                                            0x80A1, 0x0A, 0x7F,   0xA2E3, 0xA844};
  for (FontFaceId face : kFaces) {
    for (uint16_t code : kCodes) {
      Glyph glyph;
      glyph.rows.fill(0xFFFF);
      EXPECT_FALSE(LookupGlyph(face, code, glyph)) << std::hex << code;
      EXPECT_EQ(glyph.width, CellWidth(face, code)) << std::hex << code;
      EXPECT_EQ(glyph.height, FaceHeight(face));
      EXPECT_EQ(LitPixels(glyph), 0) << std::hex << code;
    }
    // Blank characters do have (empty) glyphs.
    Glyph space;
    EXPECT_TRUE(LookupGlyph(face, ' ', space));
    EXPECT_EQ(LitPixels(space), 0);
    EXPECT_TRUE(LookupGlyph(face, 0xA1A1, space));
    EXPECT_EQ(LitPixels(space), 0);
  }
}

TEST(FontData, EveryGlyphStaysInsideItsCell) {
  for (FontFaceId face : kFaces) {
    int found = 0;
    for (uint32_t code = 0; code <= 0xFFFF; ++code) {
      Glyph glyph;
      if (!LookupGlyph(face, static_cast<uint16_t>(code), glyph)) continue;
      ++found;
      const auto outside_columns = static_cast<uint16_t>(0xFFFF >> glyph.width);
      for (size_t y = 0; y < glyph.rows.size(); ++y) {
        const uint16_t stray = y < glyph.height ? glyph.rows[y] & outside_columns : glyph.rows[y];
        ASSERT_EQ(stray, 0) << std::hex << code << " row " << std::dec << y;
      }
    }
    // 95 printable ASCII characters and about 21,780 double-byte ones.
    EXPECT_GT(found, 21800);
  }
}

TEST(FontData, LatinLettersAreDrawnWholeOnTheHanziBaseline) {
  for (FontFaceId face : kFaces) {
    const int height = FaceHeight(face);
    const Glyph a = Lookup(face, 'A');
    EXPECT_EQ(a.width, height / 2);
    EXPECT_GT(LitPixels(a), 10);
    // 'A' is wider than the half-width cell in this font; both legs must still be there.
    const uint16_t bottom = a.rows[static_cast<size_t>(BottomInkRow(a))];
    EXPECT_GE(std::popcount(bottom), 2) << "one leg of 'A' is missing";
    const Glyph h = Lookup(face, 'H');
    const Glyph x = Lookup(face, 'x');
    const Glyph mouth = Lookup(face, 0xBFDA);  // 口
    EXPECT_EQ(BottomInkRow(a), BottomInkRow(h));
    EXPECT_EQ(BottomInkRow(a), BottomInkRow(x));
    EXPECT_LE(std::abs(BottomInkRow(a) - BottomInkRow(mouth)), 2);
    // Descenders reach below the baseline and are not cut off.
    for (char descender : {'g', 'p', 'y'}) {
      const Glyph glyph = Lookup(face, static_cast<uint16_t>(descender));
      EXPECT_GT(BottomInkRow(glyph), BottomInkRow(x)) << descender;
    }
    EXPECT_GT(LitPixels(Lookup(face, '_')), 3);
  }
}

// Number of separate horizontal strokes: runs of rows lit across at least half the cell.
int HorizontalStrokes(const Glyph& glyph) {
  int strokes = 0;
  bool in_stroke = false;
  for (int y = 0; y < glyph.height; ++y) {
    const bool wide = std::popcount(glyph.rows[static_cast<size_t>(y)]) >= glyph.width / 2;
    if (wide && !in_stroke) ++strokes;
    in_stroke = wide;
  }
  return strokes;
}

TEST(FontData, HanziShapes) {
  for (FontFaceId face : kFaces) {
    // 一 is one long horizontal run (the small face adds a one-pixel hook above its end).
    const Glyph one = Lookup(face, 0xD2BB);
    EXPECT_EQ(HorizontalStrokes(one), 1);
    EXPECT_LE(InkedRows(one).size(), 2u);
    int longest = 0;
    for (uint16_t row : one.rows) {
      for (int shift = 0; shift < 16; ++shift) {
        longest = std::max(longest, std::countl_one(static_cast<uint16_t>(row << shift)));
      }
    }
    EXPECT_GE(longest, one.width * 3 / 4);
    EXPECT_EQ(HorizontalStrokes(Lookup(face, 0xB6FE)), 2);  // 二
    EXPECT_EQ(HorizontalStrokes(Lookup(face, 0xC8FD)), 3);  // 三
    // 口 is a closed box: its top and bottom rows are lit across, the rows between only at the
    // sides.
    const Glyph mouth = Lookup(face, 0xBFDA);
    const auto rows = InkedRows(mouth);
    ASSERT_GE(rows.size(), 6u);
    EXPECT_EQ(std::popcount(mouth.rows[static_cast<size_t>(rows[rows.size() / 2])]), 2);
  }
}

TEST(FontData, DifferentHanziHaveDifferentBitmaps) {
  for (FontFaceId face : kFaces) {
    std::set<std::array<uint16_t, 16>> bitmaps;
    int count = 0;
    for (int lead = 0xB0; lead <= 0xF7; ++lead) {
      for (int trail = 0xA1; trail <= 0xFE; ++trail) {
        Glyph glyph;
        if (!LookupGlyph(face, static_cast<uint16_t>(lead << 8 | trail), glyph)) continue;
        ++count;
        bitmaps.insert(glyph.rows);
      }
    }
    EXPECT_GE(count, 6763);  // the GB2312 hanzi
    EXPECT_GE(bitmaps.size(), static_cast<size_t>(count) * 99 / 100);
  }
}

TEST(FontData, MeasureGbk) {
  EXPECT_EQ(MeasureGbk(FontFaceId::Text16, ""), 0);
  EXPECT_EQ(MeasureGbk(FontFaceId::Text16, "TALVEX"), 48);
  EXPECT_EQ(MeasureGbk(FontFaceId::Ui12, "TALVEX"), 36);
  EXPECT_EQ(MeasureGbk(FontFaceId::Text16, "\xCF\xB5\xCD\xB3"), 32);  // 系统
  EXPECT_EQ(MeasureGbk(FontFaceId::Ui12, "\xCF\xB5\xCD\xB3(S)"), 24 + 18);
  // A lead byte always takes the next byte with it, whatever it is...
  EXPECT_EQ(MeasureGbk(FontFaceId::Text16, "\x81\x30"), 16);
  // ...except at the very end, where it is one narrow cell.
  EXPECT_EQ(MeasureGbk(FontFaceId::Text16, "A\xB0"), 16);
  EXPECT_EQ(MeasureGbk(FontFaceId::Ui12, "\xB0\xA1\xB0"), 18);
  // Bytes 0x80 and 0xFF are not lead bytes.
  EXPECT_EQ(MeasureGbk(FontFaceId::Text16, "\x80\xFF"), 16);
}

}  // namespace
}  // namespace tvx
