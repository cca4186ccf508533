// The blit operations on planes, and the pictures decoded onto them.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "archive/lzss_encoder.h"
#include "graphics/blitter.h"
#include "graphics/picture_loader.h"
#include "resources/byte_order.h"

namespace tvx {
namespace {

// A plane of its own memory for tests.
struct TestPlane {
  std::vector<uint16_t> memory;
  VramPlane plane;
  TestPlane(uint16_t w, uint16_t h, uint16_t fill = 0) : memory(size_t{w} * h, fill) {
    plane = {memory, 0, 0, w, h};
  }
};

TEST(Blits, ClippedToEveryPlaneInvolved) {
  TestPlane source(8, 4), dest(6, 3, 0x1111);
  for (uint16_t y = 0; y < 4; ++y)
    for (uint16_t x = 0; x < 8; ++x) source.plane.At(x, y) = static_cast<uint16_t>(y * 16 + x);
  // Wider than the destination: only what fits is copied, rows top to bottom.
  blit::CopyRect(source.plane, {1, 1, 100, 100}, dest.plane, 2, 1);
  EXPECT_EQ(dest.plane.At(2, 1), 0x11);
  EXPECT_EQ(dest.plane.At(5, 1), 0x14);
  EXPECT_EQ(dest.plane.At(5, 2), 0x24);
  EXPECT_EQ(dest.plane.At(1, 1), 0x1111);
  EXPECT_EQ(dest.plane.At(2, 0), 0x1111);
  // Far outside: nothing at all.
  blit::CopyRect(source.plane, {60000, 0, 5, 5}, dest.plane, 0, 0);
  blit::FillRect(dest.plane, {6, 0, 5, 5}, 0);
  EXPECT_EQ(dest.plane.At(0, 0), 0x1111);
  // A plane without pixels takes part in nothing.
  VramPlane none{};
  blit::CopyRect(none, {0, 0, 5, 5}, dest.plane, 0, 0);
  blit::FillRect(none, {0, 0, 5, 5}, 7);
  EXPECT_EQ(dest.plane.At(0, 0), 0x1111);
  // Memory order is bottom-up: row 0 on screen is the last row in memory.
  blit::FillRect(dest.plane, {0, 0, 6, 1}, 0x7FFF);
  EXPECT_EQ(dest.memory[12], 0x7FFF);
  EXPECT_EQ(dest.memory[0], 0x1111);
}

TEST(Blits, KeyedToggleSwapCompositeAndShading) {
  TestPlane a(4, 2, 0x0001), b(4, 2, 0x0002), d(4, 2, 0x0003);
  a.plane.At(1, 0) = 0x7C00;
  std::array<uint16_t, 1000> scratch{};
  blit::CopyRectKeyed(a.plane, {0, 0, 4, 2}, d.plane, 0, 0, 0x0001);
  EXPECT_EQ(d.plane.At(0, 0), 0x0003);  // key pixels leave the destination
  EXPECT_EQ(d.plane.At(1, 0), 0x7C00);
  // A foreground all key: the background comes through unchanged.
  blit::Composite(b.plane, {0, 0, 4, 2}, a.plane, 0, 0, d.plane, 0, 0, 0x0002, scratch);
  EXPECT_EQ(d.memory, a.memory);
  blit::SwapRect(a.plane, {0, 0, 4, 1}, b.plane, 0, 1, scratch);
  EXPECT_EQ(b.plane.At(1, 1), 0x7C00);
  EXPECT_EQ(a.plane.At(1, 0), 0x0002);
  // Black becomes white, every other pixel black.
  TestPlane t(2, 1);
  t.plane.At(1, 0) = 0x1234;
  blit::ToggleColour(t.plane, {0, 0, 2, 1}, 0x0000, 0x7FFF);
  EXPECT_EQ(t.plane.At(0, 0), 0x7FFF);
  EXPECT_EQ(t.plane.At(1, 0), 0x0000);
  TestPlane s(1, 1, 0x7FFF);
  blit::Darken(s.plane, {0, 0, 1, 1});
  EXPECT_EQ(s.plane.At(0, 0), (15 << 10) | (15 << 5) | 15);
  TestPlane w(1, 1, 0x0000);
  blit::Wash(w.plane, {0, 0, 1, 1});
  EXPECT_EQ(w.plane.At(0, 0), (14 << 10) | (14 << 5) | 14);
}

// The pixel rules one pixel at a time, clipped as the blits clip, for comparison on
// rectangles of every width (the wide paths work on blocks of pixels and then the rest), at
// the planes' edges and beyond them.
struct PixelRules {
  static bool Inside(const VramPlane& p, uint32_t x, uint32_t y) {
    return x < p.width && y < p.height;
  }
  static void Fill(VramPlane& p, blit::Rect16 r, uint16_t colour) {
    for (uint32_t y = r.y; y < r.y + r.h; ++y)
      for (uint32_t x = r.x; x < r.x + r.w && Inside(p, r.x, r.y); ++x)
        if (Inside(p, x, y)) p.At(x, y) = colour;
  }
  static void Toggle(VramPlane& p, blit::Rect16 r, uint16_t a, uint16_t b) {
    for (uint32_t y = r.y; y < r.y + r.h; ++y)
      for (uint32_t x = r.x; x < r.x + r.w; ++x)
        if (Inside(p, r.x, r.y) && Inside(p, x, y)) p.At(x, y) = p.At(x, y) == a ? b : a;
  }
  static void Keyed(const VramPlane& s, blit::Rect16 r, VramPlane& d, uint32_t dx, uint32_t dy,
                    uint16_t key) {
    if (!Inside(s, r.x, r.y) || !Inside(d, dx, dy)) return;
    for (uint32_t y = 0; y < r.h; ++y)
      for (uint32_t x = 0; x < r.w; ++x)
        if (Inside(s, r.x + x, r.y + y) && Inside(d, dx + x, dy + y)) {
          const uint16_t p = s.At(r.x + x, r.y + y);
          if (p != key) d.At(dx + x, dy + y) = p;
        }
  }
  static uint16_t Channels(uint16_t p, uint32_t (*f)(uint32_t)) {
    return static_cast<uint16_t>(f(p >> 10 & 31) << 10 | f(p >> 5 & 31) << 5 | f(p & 31));
  }
};

TEST(Blits, WidePathsAgreeWithThePixelRules) {
  std::mt19937 random(11);
  auto below = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
  for (int round = 0; round < 400; ++round) {
    const uint16_t w = static_cast<uint16_t>(1 + random() % 70);
    const uint16_t h = static_cast<uint16_t>(1 + random() % 9);
    TestPlane a(w, h), b(w, h), expected_a(w, h), expected_b(w, h);
    for (size_t i = 0; i < a.memory.size(); ++i) {
      a.memory[i] = expected_a.memory[i] = static_cast<uint16_t>(random() % 3);
      b.memory[i] = expected_b.memory[i] = static_cast<uint16_t>(random() % 3 + 1);
    }
    // Often at an edge, sometimes past it, odd widths throughout.
    auto coordinate = [&](uint32_t size) { return below(4) == 0 ? size : below(size); };
    const blit::Rect16 rect{coordinate(w), coordinate(h), below(w + 20u), below(12)};
    const uint32_t dx = coordinate(w), dy = coordinate(h);
    SCOPED_TRACE("round " + std::to_string(round));
    switch (round % 4) {
      case 0:
        blit::FillRect(a.plane, rect, 0x7FFF);
        PixelRules::Fill(expected_a.plane, rect, 0x7FFF);
        break;
      case 1:
        blit::ToggleColour(a.plane, rect, 1, 0x7C00);
        PixelRules::Toggle(expected_a.plane, rect, 1, 0x7C00);
        break;
      case 2:
        blit::CopyRectKeyed(a.plane, rect, b.plane, dx, dy, 2);
        PixelRules::Keyed(expected_a.plane, rect, expected_b.plane, dx, dy, 2);
        break;
      default: {
        blit::Darken(a.plane, rect);
        blit::Wash(b.plane, rect);
        const blit::Rect16 r = rect;
        for (uint32_t y = r.y; y < r.y + r.h; ++y)
          for (uint32_t x = r.x; x < r.x + r.w; ++x)
            if (PixelRules::Inside(a.plane, r.x, r.y) && PixelRules::Inside(a.plane, x, y)) {
              expected_a.plane.At(x, y) = PixelRules::Channels(expected_a.plane.At(x, y),
                                                               [](uint32_t c) { return c >> 1; });
              expected_b.plane.At(x, y) = PixelRules::Channels(
                  expected_b.plane.At(x, y), [](uint32_t c) { return c * 123 / 256 + 14; });
            }
        break;
      }
    }
    ASSERT_EQ(a.memory, expected_a.memory);
    ASSERT_EQ(b.memory, expected_b.memory);
  }
  // A keyed copy within one plane onto an overlapping place goes pixel by pixel left to
  // right, as a plain copy within one plane does: moved right it repeats its left columns.
  for (const auto& [from, to] : {std::pair{0u, 2u}, std::pair{2u, 0u}, std::pair{0u, 17u}}) {
    TestPlane row(40, 1);
    for (uint16_t x = 0; x < 40; ++x) row.memory[x] = static_cast<uint16_t>(x % 7 + 1);
    std::vector<uint16_t> expected = row.memory;
    for (uint32_t c = 0; c < 23; ++c)
      if (expected[from + c] != 3) expected[to + c] = expected[from + c];
    blit::CopyRectKeyed(row.plane, {from, 0, 23, 1}, row.plane, to, 0, 3);
    EXPECT_EQ(row.memory, expected) << from << " to " << to;
  }
  // The same for a plain copy, within a row and down a plane whose rows overlap the block:
  // rows top to bottom, each left to right.
  struct Place {
    uint32_t x, y;
  };
  for (const auto& [from, to] :
       {std::pair{Place{0, 0}, Place{2, 0}}, std::pair{Place{2, 1}, Place{0, 1}},
        std::pair{Place{0, 0}, Place{17, 0}}, std::pair{Place{5, 0}, Place{5, 0}},
        std::pair{Place{3, 0}, Place{3, 1}}, std::pair{Place{3, 1}, Place{4, 0}}}) {
    TestPlane plane(41, 3), expected(41, 3);
    for (uint16_t i = 0; i < plane.memory.size(); ++i)
      plane.memory[i] = expected.memory[i] = static_cast<uint16_t>(i % 11 + 1);
    for (uint32_t r = 0; r < 2; ++r)
      for (uint32_t c = 0; c < 23; ++c)
        expected.plane.At(to.x + c, to.y + r) = expected.plane.At(from.x + c, from.y + r);
    blit::CopyRect(plane.plane, {from.x, from.y, 23, 2}, plane.plane, to.x, to.y);
    EXPECT_EQ(plane.memory, expected.memory)
        << "plain copy (" << from.x << ", " << from.y << ") to (" << to.x << ", " << to.y << ")";
  }
}

std::vector<uint8_t> G16(uint16_t x, uint16_t y, uint16_t w, uint16_t h,
                         const std::vector<uint8_t>& stream) {
  std::vector<uint8_t> file(8 + stream.size());
  bytes::StoreLe16(file, 0, x);
  bytes::StoreLe16(file, 2, y);
  bytes::StoreLe16(file, 4, w);
  bytes::StoreLe16(file, 6, h);
  std::copy(stream.begin(), stream.end(), file.begin() + 8);
  return file;
}

TEST(Pictures, G16RowsPaddingAndEdges) {
  PictureLoader loader;
  TestPlane plane(8, 4, 0x5555);
  // Width 3, height 2: rows of 4 pixels (padding included), bottom row first.
  std::vector<uint8_t> pixels;
  for (uint16_t v = 1; v <= 8; ++v) {
    pixels.push_back(static_cast<uint8_t>(v));
    pixels.push_back(0);
  }
  ASSERT_TRUE(loader.LoadG16(G16(2, 1, 3, 2, LzssEncoder().Encode(pixels)), plane.plane));
  EXPECT_EQ(plane.plane.At(2, 2), 1);  // the first decoded row is the bottom one
  EXPECT_EQ(plane.plane.At(5, 2), 4);  // the fourth pixel lands at x + 3
  EXPECT_EQ(plane.plane.At(2, 1), 5);
  EXPECT_EQ(plane.plane.At(6, 1), 0x5555);
  EXPECT_EQ(loader.last().width, 3);
  // A reference before any literal: offset 0, length 4 → two black pixels.
  TestPlane black(2, 1, 0x5555);
  ASSERT_TRUE(loader.LoadG16(G16(0, 0, 2, 1, {0x00, 0x00, 0x01}), black.plane));
  EXPECT_EQ(black.memory, (std::vector<uint16_t>{0, 0}));
  // A picture reaching past the plane's edges draws what lies inside; a short stream
  // stops where it ends.
  TestPlane edge(4, 2, 0x5555);
  std::vector<uint8_t> big(2 * 6 * 4, 0x11);
  ASSERT_TRUE(loader.LoadG16(G16(2, 1, 6, 4, LzssEncoder().Encode(big)), edge.plane));
  EXPECT_EQ(edge.plane.At(3, 1), 0x1111);
  EXPECT_EQ(edge.plane.At(1, 1), 0x5555);
  EXPECT_EQ(edge.plane.At(3, 0), 0x5555);
  EXPECT_FALSE(loader.LoadG16(std::vector<uint8_t>{1, 2, 3}, edge.plane));
}

TEST(Pictures, RawLayoutWritesOnlyInsideThePlane) {
  PictureLoader loader;
  std::vector<uint8_t> file(PictureLoader::kRawHeaderEnd + 64, 0);
  bytes::StoreLe32(file, 564, 2);  // width
  bytes::StoreLe32(file, 568, 3);  // height
  bytes::StoreLe16(file, 584, 1);  // x
  bytes::StoreLe16(file, 588, 0);  // y: rows 0-2, the top one in file row 2
  for (int row = 0; row < 3; ++row)
    for (int c = 0; c < 2; ++c)
      bytes::StoreLe16(file, 54 + 4 * static_cast<size_t>(row) + 2 * static_cast<size_t>(c),
                       static_cast<uint16_t>(0x100 * (row + 1) + c));
  TestPlane plane(3, 2, 0x5555);
  ASSERT_TRUE(loader.LoadRaw(file, plane.plane));
  // File row 0 would be picture row 2: below the plane, not written.
  EXPECT_EQ(plane.plane.At(1, 1), 0x200);
  EXPECT_EQ(plane.plane.At(2, 0), 0x301);
  EXPECT_EQ(plane.plane.At(0, 0), 0x5555);
  EXPECT_EQ(loader.last().height, 3);
  EXPECT_FALSE(loader.LoadRaw(std::vector<uint8_t>(100), plane.plane));
}

}  // namespace
}  // namespace tvx
