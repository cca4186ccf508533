// The maze view's palette: swatches taken as they are, pictures reduced to 16 colours the
// same way every time and close to their colours, the file's bytes, and the command.
#include <gtest/gtest.h>

#include <random>

#include "tests/tools/tool_test_support.h"
#include "tools/maze_command.h"
#include "tools/maze_palette.h"
#include "tools/png_io.h"

namespace tvx::tool {
namespace {

using test::ReadFile;
using test::Rgb;
using test::RunCommand;
using test::TempDir;
using test::WriteFile;

int ChannelDistance(uint16_t a, uint16_t b) {
  int worst = 0;
  for (int shift : {10, 5, 0})
    worst = std::max(worst, std::abs((a >> shift & 31) - (b >> shift & 31)));
  return worst;
}

TEST(MazePalette, SwatchesAreTakenAsTheyAreAndPicturesReduced) {
  // 16 pixels in any shape: reading order, bit 15 dropped.
  Picture555 swatch{8, 2, {}};
  for (uint16_t i = 0; i < 16; ++i)
    swatch.pixels.push_back(static_cast<uint16_t>(0x8000 | i * 2001));
  const maze::PaletteMaking taken = maze::MakePalette(swatch);
  EXPECT_TRUE(taken.takenAsIs);
  for (uint16_t i = 0; i < 16; ++i) EXPECT_EQ(taken.palette[i], (i * 2001) & 0x7FFF) << i;

  // Fewer colours than entries: all of them, dark to light, the lightest repeated.
  Picture555 few{5, 5, {}};
  const std::array<uint16_t, 3> three = {Rgb(31, 31, 31), Rgb(0, 0, 0), Rgb(20, 0, 0)};
  for (int i = 0; i < 25; ++i) few.pixels.push_back(three[static_cast<size_t>(i) % 3]);
  const maze::PaletteMaking reduced_few = maze::MakePalette(few);
  EXPECT_FALSE(reduced_few.takenAsIs);
  EXPECT_EQ(reduced_few.colours, 3u);
  EXPECT_EQ(reduced_few.palette[0], Rgb(0, 0, 0));
  EXPECT_EQ(reduced_few.palette[1], Rgb(20, 0, 0));
  for (size_t i = 2; i < 16; ++i) EXPECT_EQ(reduced_few.palette[i], Rgb(31, 31, 31)) << i;

  // 16 clusters of noisy colours: each cluster finds an entry within a level or so of its
  // centre, whatever the proportions of the clusters, and twice the same picture gives the
  // same palette.
  std::mt19937 rng(3);
  std::vector<uint16_t> centres;
  for (int i = 0; i < 16; ++i)
    centres.push_back(Rgb(2 + (i & 3) * 9, 2 + (i >> 2 & 3) * 9, 4 + 6 * (i % 5)));
  Picture555 noisy{200, 150, {}};
  for (uint32_t i = 0; i < noisy.width * noisy.height; ++i) {
    const size_t cluster = (i * i / 7 + i / 13) % 16;
    const uint16_t c = centres[cluster];
    const auto jitter = [&](int v) {
      return std::clamp(v + static_cast<int>(rng() % 3) - 1, 0, 31);
    };
    noisy.pixels.push_back(Rgb(jitter(c >> 10 & 31), jitter(c >> 5 & 31), jitter(c & 31)));
  }
  const maze::PaletteMaking reduced = maze::MakePalette(noisy);
  EXPECT_GT(reduced.colours, 16u);
  for (const uint16_t centre : centres) {
    const uint16_t nearest = reduced.palette[maze::NearestEntry(reduced.palette, centre)];
    EXPECT_LE(ChannelDistance(nearest, centre), 1) << std::hex << centre << " got " << nearest;
  }
  for (size_t i = 1; i < 16; ++i)
    EXPECT_LE(maze::Brightness(reduced.palette[i - 1]), maze::Brightness(reduced.palette[i]));
  EXPECT_EQ(maze::MakePalette(noisy).palette, reduced.palette);
}

TEST(MazePalette, FileBytesNearestEntriesAndTheStrip) {
  maze::Palette palette{};
  for (size_t i = 0; i < 16; ++i) palette[i] = static_cast<uint16_t>(0x0421 * (i * 2));
  const std::vector<uint8_t> bytes = maze::WritePalette(palette);
  ASSERT_EQ(bytes.size(), 32u);
  EXPECT_EQ(bytes[2], 0x42);
  EXPECT_EQ(bytes[3], 0x08);
  std::string error;
  EXPECT_EQ(maze::ReadPalette(bytes, error), palette);
  EXPECT_FALSE(maze::ReadPalette(std::span(bytes).first(31), error));
  EXPECT_EQ(error, "a palette is 32 bytes (16 colours of 2 bytes), the file has 31");

  // Grey levels 0, 2, 4 ... 30: 3 lies between 2 and 4, and the lower index wins.
  EXPECT_EQ(maze::NearestEntry(palette, Rgb(3, 3, 3)), 1);
  EXPECT_EQ(maze::NearestEntry(palette, Rgb(31, 31, 31)), 15);
  EXPECT_EQ(maze::NearestEntry(palette, static_cast<uint16_t>(0x8000 | Rgb(8, 8, 8))), 4);
  EXPECT_EQ(maze::NearestEntry(palette, 9.4f, 9.4f, 9.4f), 5);

  const Picture555 strip = maze::PaletteStrip(palette);
  ASSERT_EQ(strip.width, 512u);
  ASSERT_EQ(strip.height, 32u);
  EXPECT_EQ(strip.At(0, 0), palette[0]);
  EXPECT_EQ(strip.At(31, 31), palette[0]);
  EXPECT_EQ(strip.At(32, 0), palette[1]);
  EXPECT_EQ(strip.At(511, 31), palette[15]);
}

TEST(MazePalette, CommandMakesAndShowsPalettes) {
  TempDir dir;
  Picture555 art{64, 64, {}};
  for (uint32_t y = 0; y < 64; ++y)
    for (uint32_t x = 0; x < 64; ++x)
      art.pixels.push_back(Rgb(static_cast<int>(x / 2), static_cast<int>(y / 2), 10));
  std::string error;
  ASSERT_TRUE(WritePngFile(dir / "art.png", art, error)) << error;
  const auto made = RunCommand(RunMaze, {"palette", dir / "art.png", dir / "ART.PAL"});
  ASSERT_EQ(made.code, 0) << made.err;
  EXPECT_EQ(made.out,
            dir / "art.png" + ": 1024 colours reduced to 16 -> " + dir / "ART.PAL" + "\n");
  const std::vector<uint8_t> bytes = ReadFile(dir / "ART.PAL");
  ASSERT_EQ(bytes.size(), 32u);
  const auto palette = maze::ReadPalette(bytes, error);
  ASSERT_TRUE(palette);
  EXPECT_EQ(*palette, maze::MakePalette(art).palette);

  const auto shown = RunCommand(RunMaze, {"palette", "--show", dir / "ART.PAL", dir / "strip.png"});
  ASSERT_EQ(shown.code, 0) << shown.err;
  const auto strip = ReadPngFile(dir / "strip.png", error);
  ASSERT_TRUE(strip) << error;
  EXPECT_EQ(*strip, maze::PaletteStrip(*palette));

  // A swatch of 16 pixels.
  Picture555 swatch{4, 4, {}};
  for (int i = 0; i < 16; ++i) swatch.pixels.push_back(Rgb(i * 2, 31 - i * 2, i));
  ASSERT_TRUE(WritePngFile(dir / "swatch.png", swatch, error));
  const auto as_is = RunCommand(RunMaze, {"palette", dir / "swatch.png", dir / "SW.PAL"});
  EXPECT_EQ(as_is.out,
            dir / "swatch.png" + ": 16 pixels taken as they are -> " + dir / "SW.PAL" + "\n");
  EXPECT_EQ(ReadFile(dir / "SW.PAL")[0], 0xE0);  // (0, 31, 0) little-endian: 0x03E0

  WriteFile(dir / "SHORT.PAL", {1, 2, 3});
  const auto short_palette =
      RunCommand(RunMaze, {"palette", "--show", dir / "SHORT.PAL", dir / "x.png"});
  EXPECT_EQ(short_palette.code, 1);
  EXPECT_NE(short_palette.err.find("SHORT.PAL: a palette is 32 bytes"), std::string::npos);
  EXPECT_EQ(RunCommand(RunMaze, {"palette", dir / "absent.png", dir / "A.PAL"}).code, 1);
  EXPECT_EQ(RunCommand(RunMaze, {"palette", dir / "art.png"}).code, 2);
}

}  // namespace
}  // namespace tvx::tool
