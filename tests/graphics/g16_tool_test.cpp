// `talvex-tool g16`: what encode writes is what the engine draws (padding and row order
// included), decode gives back the source picture, info reports and checks, and bad input
// ends in a message and exit code 1.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "archive/lzss_decoder.h"
#include "archive/lzss_encoder.h"
#include "graphics/picture_loader.h"
#include "resources/byte_order.h"
#include "tests/graphics/png_test_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/g16_command.h"
#include "tools/png_io.h"

namespace tvx::tool {
namespace {

using test::ReadFile;
using test::Rgb;
using test::RunCommand;
using test::TempDir;
using test::WriteFile;

// Colours with runs and noise, as pictures have.
Picture555 SamplePicture(uint32_t width, uint32_t height, uint32_t seed = 7) {
  Picture555 picture{width, height, {}};
  uint32_t state = seed;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      state = state * 1103515245u + 12345u;
      const bool noisy = (x / 5 + y / 3) % 3 == 0;
      picture.pixels.push_back(noisy ? static_cast<uint16_t>(state >> 17 & 0x7FFF)
                                     : Rgb(static_cast<int>(x % 32), static_cast<int>(y % 32), 9));
    }
  }
  return picture;
}

void WritePicture(const std::string& path, const Picture555& picture) {
  std::string error;
  ASSERT_TRUE(WritePngFile(path, picture, error)) << error;
}

Picture555 ReadPicture(const std::string& path) {
  std::string error;
  auto picture = ReadPngFile(path, error);
  EXPECT_TRUE(picture) << error;
  return picture.value_or(Picture555{});
}

struct Plane {
  std::vector<uint16_t> memory;
  VramPlane plane;
  Plane(uint16_t width, uint16_t height)
      : memory(size_t{width} * height), plane{memory, 0, 0, width, height} {}
};

TEST(G16Tool, TheEngineDrawsWhatEncodeWrote) {
  TempDir dir;
  const Picture555 source{3,
                          2,
                          {Rgb(31, 0, 0), Rgb(0, 31, 0), Rgb(0, 0, 31),  // top row
                           Rgb(1, 2, 3), Rgb(4, 5, 6), Rgb(7, 8, 9)}};
  WritePicture(dir / "in.png", source);
  const auto result =
      RunCommand(RunG16, {"encode", dir / "in.png", dir / "OUT.G16", "--at", "5,7"});
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_NE(result.out.find("3 x 2 at 5,7, 16 -> "), std::string::npos) << result.out;

  const std::vector<uint8_t> file = ReadFile(dir / "OUT.G16");
  ASSERT_GT(file.size(), PictureLoader::kG16HeaderSize);
  EXPECT_EQ(bytes::LoadLe16(file, 0), 5);
  EXPECT_EQ(bytes::LoadLe16(file, 2), 7);
  EXPECT_EQ(bytes::LoadLe16(file, 4), 3);
  EXPECT_EQ(bytes::LoadLe16(file, 6), 2);

  // The stream: the bottom row first, each row padded to 4 pixels with its last one.
  std::vector<uint8_t> stream(64);
  LzssDecoder decoder;
  stream.resize(decoder.Decode(std::span(file).subspan(8), stream));
  ASSERT_EQ(stream.size(), 16u);
  std::vector<uint16_t> pixels;
  for (size_t i = 0; i < stream.size(); i += 2) pixels.push_back(bytes::LoadLe16(stream, i));
  EXPECT_EQ(pixels,
            (std::vector<uint16_t>{Rgb(1, 2, 3), Rgb(4, 5, 6), Rgb(7, 8, 9), Rgb(7, 8, 9),
                                   Rgb(31, 0, 0), Rgb(0, 31, 0), Rgb(0, 0, 31), Rgb(0, 0, 31)}));

  // On a screen-sized plane: at (5, 7), four pixels a row, nothing else touched.
  Plane screen(640, 480);
  PictureLoader loader;
  ASSERT_TRUE(loader.LoadG16(file, screen.plane));
  for (uint32_t y = 0; y < 2; ++y) {
    for (uint32_t x = 0; x < 3; ++x) EXPECT_EQ(screen.plane.At(5 + x, 7 + y), source.At(x, y));
    EXPECT_EQ(screen.plane.At(8, 7 + y), source.At(2, y)) << "padding";
  }
  size_t drawn = 0;
  for (const uint16_t pixel : screen.memory) drawn += pixel != 0;
  EXPECT_EQ(drawn, 8u);
}

TEST(G16Tool, DecodeGivesBackTheSourcePixels) {
  TempDir dir;
  const std::vector<std::pair<uint32_t, uint32_t>> sizes = {{1, 1},  {3, 2},   {2, 3},   {17, 1},
                                                            {1, 17}, {64, 33}, {333, 41}};
  for (const auto& [width, height] : sizes) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    const Picture555 source = SamplePicture(width, height);
    WritePicture(dir / "in.png", source);
    // The position is not part of the decoded picture.
    ASSERT_EQ(RunCommand(RunG16, {"encode", "--at", "600,470", dir / "in.png", dir / "P.G16"}).code,
              0);
    const auto decoded = RunCommand(RunG16, {"decode", dir / "P.G16", dir / "out.png"});
    ASSERT_EQ(decoded.code, 0) << decoded.err;
    EXPECT_TRUE(test::SamePicture(ReadPicture(dir / "out.png"), source));
  }
}

TEST(G16Tool, DecodeTakesAnyValidStream) {
  // Written by hand rather than by the tool: black padding, a stream that goes on beyond
  // the picture. The padding is not part of the picture; the extra bytes are ignored.
  TempDir dir;
  const std::vector<uint16_t> rows = {Rgb(1, 1, 1), 0, Rgb(2, 2, 2), 0, 0x1234, 0x4321};
  std::vector<uint8_t> stream;
  for (const uint16_t pixel : rows)
    stream.insert(stream.end(), {uint8_t(pixel), uint8_t(pixel >> 8)});
  std::vector<uint8_t> file(8);
  bytes::StoreLe16(file, 4, 1);
  bytes::StoreLe16(file, 6, 2);
  const auto packed = LzssEncoder().Encode(stream);
  file.insert(file.end(), packed.begin(), packed.end());
  WriteFile(dir / "HAND.G16", file);
  ASSERT_EQ(RunCommand(RunG16, {"decode", dir / "HAND.G16", dir / "hand.png"}).code, 0);
  EXPECT_TRUE(test::SamePicture(ReadPicture(dir / "hand.png"),
                                (Picture555{1, 2, {Rgb(2, 2, 2), Rgb(1, 1, 1)}})));
  const auto info = RunCommand(RunG16, {"info", dir / "HAND.G16"});
  EXPECT_EQ(info.code, 0);
  EXPECT_NE(info.out.find("stream: complete, 8 bytes (more follows, which the engine ignores)"),
            std::string::npos)
      << info.out;
}

TEST(G16Tool, InfoShowsTheHeaderAndChecksTheStream) {
  TempDir dir;
  WritePicture(dir / "in.png", SamplePicture(101, 20));
  ASSERT_EQ(RunCommand(RunG16, {"encode", dir / "in.png", dir / "P.G16", "--at", "10,65535"}).code,
            0);
  const auto file = ReadFile(dir / "P.G16");
  const auto info = RunCommand(RunG16, {"info", dir / "P.G16"});
  ASSERT_EQ(info.code, 0) << info.err;
  const size_t packed = file.size() - 8;
  char ratio[32];
  std::snprintf(ratio, sizeof ratio, "%.1f%%", 100.0 * static_cast<double>(packed) / 4080);
  EXPECT_EQ(info.out, dir / "P.G16" + "\n" +
                          "position: 10,65535\n"
                          "size: 101 x 20 (rows of 102 pixels)\n"
                          "packed: " +
                          std::to_string(packed) + " bytes\n" + "ratio: " + ratio +
                          " of 4080 bytes\n" + "stream: complete, 4080 bytes\n");

  // Short of the last pixel: reported, and exit code 1.
  WriteFile(dir / "CUT.G16", std::vector<uint8_t>(file.begin(), file.end() - 1));
  const auto short_info = RunCommand(RunG16, {"info", dir / "CUT.G16"});
  EXPECT_EQ(short_info.code, 1);
  EXPECT_NE(short_info.out.find("stream: too short, "), std::string::npos) << short_info.out;
  EXPECT_NE(short_info.err.find("of the 4080 bytes the picture needs"), std::string::npos)
      << short_info.err;
}

TEST(G16Tool, BadInputEndsWithAMessage) {
  TempDir dir;
  WritePicture(dir / "in.png", SamplePicture(8, 8));
  ASSERT_EQ(RunCommand(RunG16, {"encode", dir / "in.png", dir / "GOOD.G16"}).code, 0);
  const auto good = ReadFile(dir / "GOOD.G16");
  WriteFile(dir / "text.png", test::Bytes("not a picture"));
  WriteFile(dir / "TINY.G16", {1, 2, 3, 4, 5});
  WriteFile(dir / "CUT.G16", std::vector<uint8_t>(good.begin(), good.begin() + 20));
  std::vector<uint8_t> empty_picture(good);
  bytes::StoreLe16(empty_picture, 4, 0);
  WriteFile(dir / "EMPTY.G16", empty_picture);
  std::vector<uint8_t> huge(good);
  bytes::StoreLe16(huge, 4, 65535);
  bytes::StoreLe16(huge, 6, 65535);
  WriteFile(dir / "HUGE.G16", huge);

  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"encode", dir / "absent.png", dir / "X.G16"},
       "cannot read '" + (dir / "absent.png") + "': No such file or directory"},
      {{"encode", dir / "text.png", dir / "X.G16"}, dir / "text.png: not a PNG file"},
      {{"encode", dir / "in.png", dir / "no/such/X.G16"},
       "cannot write '" + (dir / "no/such/X.G16") + "': No such file or directory"},
      {{"decode", dir / "absent.G16", dir / "x.png"},
       "cannot read '" + (dir / "absent.G16") + "': No such file or directory"},
      {{"decode", dir / "TINY.G16", dir / "x.png"}, "too short for a G16 header (5 bytes)"},
      {{"decode", dir / "CUT.G16", dir / "x.png"}, "the pixel stream ends after "},
      {{"decode", dir / "EMPTY.G16", dir / "x.png"}, "an empty picture (0 x 8)"},
      {{"decode", dir / "HUGE.G16", dir / "x.png"}, "65535 x 65535 is too large"},
      {{"decode", dir / "GOOD.G16", dir / "no/such/x.png"},
       "cannot write '" + (dir / "no/such/x.png") + "': No such file or directory"},
      {{"info", dir / "absent.G16"},
       "cannot read '" + (dir / "absent.G16") + "': No such file or directory"},
      {{"info", dir / "TINY.G16"}, "too short for a G16 header"},
      {{"info", dir / "CUT.G16"}, "the pixel stream ends after "},
  };
  for (const Case& c : cases) {
    const auto result = RunCommand(RunG16, c.args);
    EXPECT_EQ(result.code, 1) << ::testing::PrintToString(c.args);
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "X.G16"));
  EXPECT_FALSE(std::filesystem::exists(dir / "x.png"));
}

TEST(G16Tool, UsageErrorsAndHelp) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"squash"},
                                             {"encode", "a.png"},
                                             {"encode", "a.png", "b.G16", "c"},
                                             {"encode", "a.png", "b.G16", "--at"},
                                             {"encode", "a.png", "b.G16", "--at", "1"},
                                             {"encode", "a.png", "b.G16", "--at", "1,"},
                                             {"encode", "a.png", "b.G16", "--at", "x,2"},
                                             {"encode", "a.png", "b.G16", "--at", "65536,0"},
                                             {"encode", "a.png", "b.G16", "--at", "-1,0"},
                                             {"encode", "a.png", "b.G16", "--fast"},
                                             {"decode", "a.G16"},
                                             {"decode", "-x", "a.G16", "b.png"},
                                             {"info"},
                                             {"info", "a", "b"}}) {
    const auto result = RunCommand(RunG16, args);
    EXPECT_EQ(result.code, 2) << ::testing::PrintToString(args);
    EXPECT_NE(result.err.find("usage: talvex-tool g16"), std::string::npos) << result.err;
  }
  for (const std::string action : {"encode", "decode", "info"}) {
    const auto help = RunCommand(RunG16, {action, "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("usage: talvex-tool g16 " + action, 0), 0u) << help.out;
  }
  const auto help = RunCommand(RunG16, {"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("g16 encode IN.png OUT.G16 [--at X,Y]"), std::string::npos);
}

}  // namespace
}  // namespace tvx::tool
