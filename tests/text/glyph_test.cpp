// One character on a plane: the outline and face passes as they show, single- and
// double-byte codes, the styles, clipping at the plane's edges and the glyph size.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/glyph_renderer.h"
#include "tests/text/text_expectations.h"

namespace tvx::testing {
namespace {

constexpr uint16_t kBackground = 0x1234;
constexpr uint16_t kOutline = 0x0000;
constexpr uint16_t kFace = 0x7FFF;

class GlyphDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(renderer_.CreateFont());
    renderer_.Initialise();
    renderer_.SetColours(kOutline, kFace);
  }
  // A fresh plane of the background colour.
  VramPlane& Plane(uint16_t width = 640, uint16_t height = 480) {
    pixels_.assign(size_t{width} * height, kBackground);
    plane_ = VramPlane{pixels_, 0, 0, width, height};
    return plane_;
  }
  // The face pixels of `code` as the font has them, at (x + 1 + c, y + 1 + r).
  static bool FontBit(uint16_t font_code, int c, int r) {
    Glyph glyph;
    EXPECT_TRUE(LookupGlyph(FontFaceId::Text16, font_code, glyph));
    if (c < 0 || r < 0 || c >= glyph.width || r >= glyph.height) return false;
    return (glyph.rows[static_cast<size_t>(r)] & (0x8000u >> c)) != 0;
  }
  // Checks that the face of a glyph drawn at (x, y) is exactly the font's glyph moved by
  // (1, 1), and nothing of the face colour lies elsewhere in its box.
  void ExpectFaceIs(uint16_t font_code, int x, int y) {
    for (int r = 0; r < 20; ++r)
      for (int c = 0; c < 20; ++c) {
        const bool face = plane_.At(x + c, y + r) == kFace;
        EXPECT_EQ(face, FontBit(font_code, c - 1, r - 1)) << "at box pixel " << c << ", " << r;
      }
  }

  GlyphRenderer renderer_;
  std::vector<uint16_t> pixels_;
  VramPlane plane_;
};

TEST_F(GlyphDrawing, AStrokeGetsAOnePixelRimAndTwoOnTheRight) {
  // "一" is one row of 15 pixels (row 7, columns 0-14) in its cell.
  VramPlane& plane = Plane();
  renderer_.Draw(plane, CodeOf("一"), 100, 50, 0);
  for (int r = -2; r < 24; ++r)
    for (int c = -2; c < 24; ++c) {
      uint16_t want = kBackground;
      if ((r == 7 || r == 9) && c >= 0 && c <= 17) want = kOutline;   // above and below
      if (r == 8 && (c == 0 || c == 16 || c == 17)) want = kOutline;  // left, two on the right
      if (r == 8 && c >= 1 && c <= 15) want = kFace;
      EXPECT_EQ(plane.At(100 + c, 50 + r), want) << "at box pixel " << c << ", " << r;
    }
}

TEST_F(GlyphDrawing, CodesPickSingleOrDoubleByteCharacters) {
  Plane();
  renderer_.Draw(plane_, 0x0041, 10, 10, 0);
  ExpectFaceIs('A', 10, 10);
  // Without a lead byte in the high byte only the low byte counts.
  renderer_.Draw(plane_, 0x2041, 40, 10, 0);
  ExpectFaceIs('A', 40, 10);
  renderer_.Draw(plane_, 0x8140, 70, 10, 0);
  ExpectFaceIs(0x8140, 70, 10);
  // A lone "@" is another picture.
  EXPECT_NE(FontBit(0x8140, 0, 1), FontBit('@', 0, 1));
}

TEST_F(GlyphDrawing, StylesWidenTheFace) {
  const uint16_t code = CodeOf("字");
  auto picture = [&](uint16_t style) {
    Plane(24, 24);
    renderer_.Draw(plane_, code, 0, 0, style);
    return pixels_;
  };
  const auto plain = picture(0), bold = picture(1), low = picture(2), doubled = picture(3);
  EXPECT_EQ(low, doubled);
  EXPECT_NE(plain, bold);
  EXPECT_NE(plain, low);
  EXPECT_NE(bold, low);
  EXPECT_EQ(plain, picture(4));  // any other style is plain
  // Bold: every face pixel of the plain picture has a face pixel to its right.
  Plane(24, 24);
  renderer_.Draw(plane_, code, 0, 0, 1);
  for (int r = 0; r < 16; ++r)
    for (int c = 0; c < 16; ++c)
      if (FontBit(code, c, r)) {
        EXPECT_EQ(plane_.At(c + 1, r + 1), kFace);
        EXPECT_EQ(plane_.At(c + 2, r + 1), kFace);
      }
}

TEST_F(GlyphDrawing, OnlyThePixelsInsideThePlaneAreDrawn) {
  const uint16_t code = CodeOf("国");
  // The same glyph on a plane with room around it, shifted by (30, 30).
  std::vector<uint16_t> roomy(700 * 540, kBackground);
  VramPlane big{roomy, 0, 0, 700, 540};
  for (const auto& [x, y] : {std::pair{630, 470}, std::pair{-7, -9}, std::pair{-7, 470}}) {
    VramPlane& plane = Plane();
    renderer_.Draw(plane, code, x, y, 0);
    std::fill(roomy.begin(), roomy.end(), kBackground);
    renderer_.Draw(big, code, x + 30, y + 30, 0);
    int drawn = 0;
    for (uint32_t py = 0; py < 480; ++py)
      for (uint32_t px = 0; px < 640; ++px) {
        ASSERT_EQ(plane.At(px, py), big.At(px + 30, py + 30)) << x << ", " << y;
        drawn += plane.At(px, py) != kBackground;
      }
    EXPECT_GT(drawn, 0);
  }
  // Wholly outside, or on a plane without pixels: nothing, and nothing breaks.
  VramPlane& plane = Plane();
  renderer_.Draw(plane, code, 640, 0, 0);
  renderer_.Draw(plane, code, 0, 65520, 0);
  renderer_.Draw(plane, code, -20, -20, 0);
  EXPECT_TRUE(
      std::all_of(pixels_.begin(), pixels_.end(), [](uint16_t p) { return p == kBackground; }));
  VramPlane none{};
  renderer_.Draw(none, code, 0, 0, 0);
}

TEST_F(GlyphDrawing, TheGlyphSizeSetsTheCopiedBox) {
  const uint16_t code = CodeOf("一");
  renderer_.SetGlyphSize(8, 8);
  EXPECT_EQ(renderer_.glyphWidth(), 8);
  VramPlane& plane = Plane();
  renderer_.Draw(plane, code, 0, 0, 0);
  // A 12 × 12 box: the stroke is cut after column 11.
  EXPECT_EQ(plane.At(11, 8), kFace);
  EXPECT_EQ(plane.At(12, 8), kBackground);
  EXPECT_EQ(plane.At(11, 9), kOutline);
  EXPECT_EQ(plane.At(11, 12), kBackground);
}

TEST_F(GlyphDrawing, SizesBeyondTheGlyphBoxAreClamped) {
  const uint16_t code = CodeOf("国");
  Plane();
  renderer_.Draw(plane_, code, 100, 100, 0);
  const auto normal = pixels_;
  renderer_.SetGlyphSize(200, 61);
  EXPECT_EQ(renderer_.glyphWidth(), 60);
  EXPECT_EQ(renderer_.glyphHeight(), 60);
  // The whole 64 × 64 box is copied; only what the passes lit shows.
  Plane();
  renderer_.Draw(plane_, code, 100, 100, 0);
  EXPECT_EQ(pixels_, normal);
  renderer_.SetGlyphSize(60, 60);
  EXPECT_EQ(renderer_.glyphWidth(), 60);
}

TEST_F(GlyphDrawing, ColoursAreTheLatestSet) {
  renderer_.SetColours(0x7C00, 0x03E0);
  VramPlane& plane = Plane();
  renderer_.Draw(plane, CodeOf("一"), 0, 0, 0);
  EXPECT_EQ(plane.At(5, 7), 0x7C00);
  EXPECT_EQ(plane.At(5, 8), 0x03E0);
}

}  // namespace
}  // namespace tvx::testing
