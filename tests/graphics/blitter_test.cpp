// The blit operations on planes, and the pictures decoded onto them.
#include <gtest/gtest.h>

#include <array>
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
  bytes::StoreLe32(file, 564, 2);   // width
  bytes::StoreLe32(file, 568, 3);   // height
  bytes::StoreLe16(file, 584, 1);   // x
  bytes::StoreLe16(file, 588, 0);   // y: rows 0-2, the top one in file row 2
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
