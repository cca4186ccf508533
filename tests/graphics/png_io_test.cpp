// PNG files in and out of the picture tools: 5-5-5 pixels survive a write and a read exactly,
// 8-bit channels round to the nearest 5-bit level, every colour type and depth comes in as
// RGB, and damaged or oversized files are refused with a message.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/graphics/png_test_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/png_io.h"

namespace tvx::tool {
namespace {

using test::BuildPng;
using test::Layout;
using test::PngLayout;

uint16_t Rgb(int r, int g, int b) {
  return static_cast<uint16_t>(r << 10 | g << 5 | b);
}

std::optional<Picture555> Decode(const std::vector<uint8_t>& png) {
  std::string error;
  auto picture = DecodePng(png, error);
  EXPECT_TRUE(picture.has_value()) << error;
  return picture;
}

std::string DecodeError(const std::vector<uint8_t>& png) {
  std::string error;
  EXPECT_FALSE(DecodePng(png, error).has_value());
  return error;
}

TEST(PngIo, EveryColourSurvivesWriteThenRead) {
  Picture555 all{256, 128, {}};
  for (uint32_t i = 0; i < 0x8000; ++i) all.pixels.push_back(static_cast<uint16_t>(i));
  // Odd sizes too: rows of an odd byte count, a single pixel.
  const Picture555 small{3,
                         2,
                         {Rgb(31, 0, 0), Rgb(0, 31, 0), Rgb(0, 0, 31), Rgb(1, 2, 3),
                          Rgb(30, 29, 28), Rgb(16, 15, 17)}};
  const Picture555 dot{1, 1, {Rgb(17, 3, 30)}};
  for (const Picture555* picture : std::vector<const Picture555*>{&all, &small, &dot}) {
    std::string error;
    const auto png = EncodePng(*picture, error);
    ASSERT_TRUE(png) << error;
    const auto back = Decode(*png);
    ASSERT_TRUE(back);
    EXPECT_TRUE(test::SamePicture(*back, *picture)) << picture->width << " x " << picture->height;
  }
}

TEST(PngIo, BitFifteenIsNotAColour) {
  const Picture555 flagged{2, 1, {static_cast<uint16_t>(0x8000 | Rgb(5, 6, 7)), 0xFFFF}};
  std::string error;
  const auto png = EncodePng(flagged, error);
  ASSERT_TRUE(png) << error;
  const auto back = Decode(*png);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->pixels, (std::vector<uint16_t>{Rgb(5, 6, 7), 0x7FFF}));
}

TEST(PngIo, EightBitChannelsRoundToTheNearestLevel) {
  PngLayout layout = Layout(256, 1, 8, 2, {std::vector<uint8_t>()});
  for (int v = 0; v < 256; ++v)
    layout.rows[0].insert(layout.rows[0].end(), {uint8_t(v), uint8_t(255 - v), 0});
  const auto picture = Decode(BuildPng(layout));
  ASSERT_TRUE(picture);
  for (int v = 0; v < 256; ++v) {
    const int red = picture->At(static_cast<uint32_t>(v), 0) >> 10;
    const int green = picture->At(static_cast<uint32_t>(v), 0) >> 5 & 31;
    // No other level lies nearer to v (level k stands for k × 255 / 31).
    for (int k = 0; k < 32; ++k) {
      EXPECT_LE(std::abs(red * 255 - v * 31), std::abs(k * 255 - v * 31)) << v;
      EXPECT_LE(std::abs(green * 255 - (255 - v) * 31), std::abs(k * 255 - (255 - v) * 31)) << v;
    }
  }
  // Levels either side of a midpoint: 4 is nearer 0, 5 nearer 8.2; 127 and 128 straddle 15.5.
  EXPECT_EQ(picture->At(4, 0) >> 10, 0);
  EXPECT_EQ(picture->At(5, 0) >> 10, 1);
  EXPECT_EQ(picture->At(127, 0) >> 10, 15);
  EXPECT_EQ(picture->At(128, 0) >> 10, 16);
  EXPECT_EQ(picture->At(255, 0) >> 10, 31);
}

TEST(PngIo, EveryColourTypeComesInAsRgb) {
  {  // grey, 8 bits
    const auto p = Decode(BuildPng(Layout(2, 1, 8, 0, {{0, 255}})));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->pixels, (std::vector<uint16_t>{0, 0x7FFF}));
  }
  {  // grey, 1 and 2 bits: samples from the high bits, scaled to the full range
    const auto one = Decode(BuildPng(Layout(3, 1, 1, 0, {{0b10100000}})));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->pixels, (std::vector<uint16_t>{0x7FFF, 0, 0x7FFF}));
    const auto two = Decode(BuildPng(Layout(2, 1, 2, 0, {{0b01110000}})));
    ASSERT_TRUE(two);
    EXPECT_EQ(two->pixels, (std::vector<uint16_t>{Rgb(10, 10, 10), 0x7FFF}));
  }
  {  // palette, 4 bits, with transparency: the colours stay
    PngLayout layout = Layout(3, 1, 4, 3, {{0x01, 0x20}});
    layout.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    layout.trns = {0, 128};
    const auto p = Decode(BuildPng(layout));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->pixels, (std::vector<uint16_t>{Rgb(31, 0, 0), Rgb(0, 31, 0), Rgb(0, 0, 31)}));
  }
  {  // RGBA: alpha dropped, even where it is 0
    const auto p = Decode(BuildPng(Layout(2, 1, 8, 6, {{255, 0, 0, 0, 0, 0, 255, 255}})));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->pixels, (std::vector<uint16_t>{Rgb(31, 0, 0), Rgb(0, 0, 31)}));
  }
  {  // grey + alpha, 16 bits
    const auto p = Decode(BuildPng(Layout(1, 1, 16, 4, {{0x80, 0x80, 0x00, 0x00}})));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->pixels, (std::vector<uint16_t>{Rgb(16, 16, 16)}));
  }
  {  // RGB, 16 bits
    const auto p = Decode(
        BuildPng(Layout(2, 1, 16, 2, {{0xFF, 0xFF, 0, 0, 0x80, 0x80, 0, 0, 0, 0, 0xFF, 0xFF}})));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->pixels, (std::vector<uint16_t>{Rgb(31, 0, 16), Rgb(0, 0, 31)}));
  }
}

TEST(PngIo, InterlacedFilesReadAsPlainOnes) {
  PngLayout plain = Layout(9, 10, 8, 2, {});
  for (uint32_t y = 0; y < plain.height; ++y) {
    plain.rows.emplace_back();
    for (uint32_t x = 0; x < plain.width; ++x)
      plain.rows.back().insert(plain.rows.back().end(),
                               {uint8_t(x * 28), uint8_t(y * 25), uint8_t((x ^ y) * 16)});
  }
  PngLayout interlaced = plain;
  interlaced.interlaced = true;
  const auto a = Decode(BuildPng(plain));
  const auto b = Decode(BuildPng(interlaced));
  ASSERT_TRUE(a && b);
  EXPECT_TRUE(test::SamePicture(*a, *b));
  EXPECT_EQ(a->At(8, 9), Pack555(8 * 28, 9 * 25, (8 ^ 9) * 16));
}

TEST(PngIo, DamagedAndOversizedFilesAreRefused) {
  const auto good = BuildPng(Layout(2, 2, 8, 2, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}));
  EXPECT_EQ(DecodeError({}), "not a PNG file");
  EXPECT_EQ(DecodeError(test::Bytes("GIF89a, surely not a PNG")), "not a PNG file");

  // Cut anywhere after the signature: a message, never a crash.
  for (size_t size = 8; size < good.size(); ++size) {
    const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(size));
    EXPECT_NE(DecodeError(cut).find("cannot read the PNG"), std::string::npos) << size;
  }
  auto bad_crc = good;
  bad_crc[29] ^= 0x01;  // the IHDR checksum
  EXPECT_NE(DecodeError(bad_crc).find("cannot read the PNG"), std::string::npos);
  const auto bad_depth = BuildPng(Layout(2, 2, 7, 2, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}));
  EXPECT_NE(DecodeError(bad_depth).find("cannot read the PNG"), std::string::npos);

  // Too large: over the side limit, or over the pixel limit (refused before the rows).
  PngLayout wide = Layout(70000, 1, 8, 0, {std::vector<uint8_t>(70000)});
  EXPECT_NE(DecodeError(BuildPng(wide)).find("cannot read the PNG"), std::string::npos);
  PngLayout huge = Layout(5000, 5000, 8, 2, {std::vector<uint8_t>(15000)});  // one row of data only
  EXPECT_EQ(DecodeError(BuildPng(huge)), "5000 x 5000 is too large (at most 16777216 pixels)");
}

TEST(PngIo, FilesAreNamedInErrorsAndReplacedWhole) {
  test::TempDir dir;
  std::string error;
  EXPECT_FALSE(ReadPngFile(dir / "absent.png", error));
  EXPECT_EQ(error, "cannot read '" + dir / "absent.png" + "': No such file or directory");
  test::WriteFile(dir / "text.png", test::Bytes("hello"));
  EXPECT_FALSE(ReadPngFile(dir / "text.png", error));
  EXPECT_EQ(error, dir / "text.png" + ": not a PNG file");

  const Picture555 picture{2, 1, {Rgb(1, 2, 3), Rgb(4, 5, 6)}};
  ASSERT_TRUE(WritePngFile(dir / "out.png", picture, error)) << error;
  const auto back = ReadPngFile(dir / "out.png", error);
  ASSERT_TRUE(back) << error;
  EXPECT_TRUE(test::SamePicture(*back, picture));

  // A picture that cannot be written leaves the old file.
  EXPECT_FALSE(WritePngFile(dir / "out.png", Picture555{}, error));
  EXPECT_NE(error.find("no picture to write"), std::string::npos) << error;
  EXPECT_TRUE(ReadPngFile(dir / "out.png", error));
  EXPECT_FALSE(WritePngFile(dir / "no/such/folder/x.png", picture, error));
  EXPECT_EQ(error,
            "cannot write '" + dir / "no/such/folder/x.png" + "': No such file or directory");
}

}  // namespace
}  // namespace tvx::tool
