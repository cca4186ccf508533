// The pictures of `run --dump`: pictures made by `g16 encode`, drawn and blitted by a
// script, come out of a headless run as plane and screen PNGs with exactly the expected
// pixels, at the end of the run and at the times asked for.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/graphics/png_test_support.h"
#include "tests/script/script_fixture.h"
#include "tests/tools/tool_test_support.h"
#include "tools/g16_command.h"
#include "tools/plane_dump.h"
#include "tools/png_io.h"
#include "tools/run_command.h"

namespace tvx::testing {
namespace {

namespace fs = std::filesystem;
using tool::Picture555;
using tool::test::RunCommand;

uint16_t Rgb(int r, int g, int b) {
  return static_cast<uint16_t>(r << 10 | g << 5 | b);
}

TEST(PlaneDump, BottomUpRowsComeOutTopDown) {
  // Row y of a bottom-up picture starts at (height - y - 1) × width.
  const std::vector<uint16_t> memory = {5, 6, 3, 4, 1, 2};
  const Picture555 picture = tool::FromBottomUp({memory, 2, 3});
  EXPECT_EQ(picture, (Picture555{2, 3, {1, 2, 3, 4, 5, 6}}));
  EXPECT_EQ(tool::FromBottomUp({memory, 4, 3}), Picture555{}) << "too few pixels for the size";
}

class PlaneDumpRun : public ScriptTest {
 protected:
  // Writes a PNG of the picture and encodes it with the tool into the game folder.
  void Encode(const std::string& name, const Picture555& picture, const std::string& at) {
    std::string error;
    ASSERT_TRUE(tool::WritePngFile((dir() / (name + ".png")).string(), picture, error)) << error;
    const auto result = RunCommand(tool::RunG16, {"encode", (dir() / (name + ".png")).string(),
                                                  (dir() / name).string(), "--at", at});
    ASSERT_EQ(result.code, 0) << result.err;
  }
  tool::test::RunResult RunGame(std::vector<std::string> args) {
    args.insert(args.begin(), dir().string());
    return RunCommand(tool::RunRun, std::move(args));
  }
  static Picture555 Png(const fs::path& path) {
    std::string error;
    auto picture = tool::ReadPngFile(path.string(), error);
    EXPECT_TRUE(picture) << error;
    return picture.value_or(Picture555{});
  }
  static Picture555 Black(uint32_t width, uint32_t height) {
    return {width, height, std::vector<uint16_t>(size_t{width} * height)};
  }
  // Puts a picture at (x, y); `padded` as the engine draws a G16 file made by the tool, each
  // row taken to an even width with its last pixel.
  static void Draw(Picture555& on, const Picture555& picture, uint32_t x, uint32_t y,
                   bool padded = true) {
    const uint32_t width = padded ? (picture.width + 1) / 2 * 2 : picture.width;
    for (uint32_t row = 0; row < picture.height; ++row)
      for (uint32_t column = 0; column < width; ++column)
        on.At(x + column, y + row) = picture.At(std::min(column, picture.width - 1), row);
  }

  const Picture555 a_{3,
                      2,
                      {Rgb(31, 0, 0), Rgb(0, 31, 0), Rgb(0, 0, 31),  //
                       Rgb(9, 9, 9), Rgb(31, 31, 0), Rgb(0, 31, 31)}};
  const Picture555 b_{5,
                      3,
                      {Rgb(1, 0, 0), Rgb(2, 0, 0), Rgb(3, 0, 0), Rgb(4, 0, 0), Rgb(5, 0, 0),
                       Rgb(0, 1, 0), Rgb(0, 2, 0), Rgb(0, 3, 0), Rgb(0, 4, 0), Rgb(0, 5, 0),
                       Rgb(0, 0, 1), Rgb(0, 0, 2), Rgb(0, 0, 3), Rgb(0, 0, 4), Rgb(0, 0, 5)}};
};

TEST_F(PlaneDumpRun, PicturesAndBlitsComeOutExactly) {
  WriteSettings("[GRAPHICS]\nbBGTYPE=1\n");
  Encode("A.G16", a_, "10,20");
  Encode("B.G16", b_, "0,0");
  Script("MAIN.MES", R"(
    SYSCALL 8, "A.G16"                          ; onto plane 0 at (10,20), shown at once
    SET_DIM16 1, 0, 3                           ; then onto plane 3
    SYSCALL 8, "B.G16"
    SYSCALL 10, 0, 0, 0, 4, 2, 3, 100, 50, 0    ; plane 3 (0,0)-(4,2) to plane 0 at (100,50)
    END
  )");
  const fs::path dump = dir() / "dump";
  const auto result = RunGame({"--headless", "--dump", dump.string()});
  ASSERT_EQ(result.code, 0) << result.err;

  // The window shows the rectangles presented: A's own 3 columns, not the padding pixel
  // that its rows leave on plane 0.
  Picture555 screen = Black(640, 480);
  Draw(screen, a_, 10, 20, /*padded=*/false);
  Draw(screen, b_, 100, 50, /*padded=*/false);  // the copied rectangle is 5 wide
  Picture555 plane0 = screen;
  Draw(plane0, a_, 10, 20);
  Picture555 plane3 = Black(640, 480);
  Draw(plane3, b_, 0, 0);
  EXPECT_TRUE(tool::test::SamePicture(Png(dump / "plane0.png"), plane0));
  EXPECT_TRUE(tool::test::SamePicture(Png(dump / "screen.png"), screen));
  EXPECT_TRUE(tool::test::SamePicture(Png(dump / "plane3.png"), plane3));
  const std::vector<std::pair<int, std::pair<uint32_t, uint32_t>>> untouched = {
      {1, {1000, 1760}}, {4, {640, 480}}, {5, {640, 480}},
      {6, {352, 32}},    {7, {320, 32}},  {8, {640, 480}}};
  for (const auto& [index, size] : untouched) {
    EXPECT_TRUE(tool::test::SamePicture(Png(dump / ("plane" + std::to_string(index) + ".png")),
                                        Black(size.first, size.second)))
        << index;
  }
  EXPECT_FALSE(fs::exists(dump / "plane2.png"));
  EXPECT_TRUE(fs::exists(dump / "vars.bin"));
}

TEST_F(PlaneDumpRun, DumpsAtSetTimesHoldTheWholeStateOfThatMoment) {
  WriteSettings("[GRAPHICS]\nbBGTYPE=1\n");
  Encode("A.G16", a_, "10,20");
  Encode("B.G16", b_, "0,0");
  Script("MAIN.MES", R"(
    SYSCALL 8, "A.G16"
    SET_REG16 A, 1
    SYSCALL 11                                  ; wait for the player
    SYSCALL 8, "B.G16"
    SET_REG16 A, 2
    END
  )");
  std::ofstream("input.txt") << "500 key down Enter\n520 key up Enter\n";
  const fs::path dump = dir() / "dump";
  const auto result = RunGame({"--headless", "--input", (dir() / "input.txt").string(), "--dump",
                               dump.string(), "--dump-at", "100000,200"});
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_NE(result.err.find("the run ended before 100000 ms"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(dump / "100000"));

  // Plane 0 and the window (which shows no padding) before and after the second picture.
  Picture555 early = Black(640, 480);
  Draw(early, a_, 10, 20);
  Picture555 early_screen = Black(640, 480);
  Draw(early_screen, a_, 10, 20, /*padded=*/false);
  Picture555 late = early;
  Draw(late, b_, 0, 0);
  Picture555 late_screen = early_screen;
  Draw(late_screen, b_, 0, 0, /*padded=*/false);
  EXPECT_TRUE(tool::test::SamePicture(Png(dump / "200" / "plane0.png"), early));
  EXPECT_TRUE(tool::test::SamePicture(Png(dump / "200" / "screen.png"), early_screen));
  EXPECT_TRUE(tool::test::SamePicture(Png(dump / "plane0.png"), late));
  EXPECT_TRUE(tool::test::SamePicture(Png(dump / "screen.png"), late_screen));
  // The rest of the set is of the same moment.
  const auto vars = tool::test::ReadFile((dump / "200" / "vars.bin").string());
  ASSERT_EQ(vars.size(), 4096u);
  std::ifstream files(dump / "200" / "files.txt");
  const std::string shown((std::istreambuf_iterator<char>(files)), {});
  EXPECT_NE(shown.find("2\tA.G16\n"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("B.G16"), std::string::npos) << shown;
  EXPECT_TRUE(fs::exists(dump / "200" / "boxes.txt"));
  EXPECT_NE(tool::test::ReadFile((dump / "vars.bin").string()), vars);
}

TEST_F(PlaneDumpRun, DumpAtNeedsTimesAndADumpFolder) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--headless", "--dump-at", "100"},
                                             {"--headless", "--dump", "d", "--dump-at", "1,,2"},
                                             {"--headless", "--dump", "d", "--dump-at", "ten"},
                                             {"--headless", "--dump", "d", "--dump-at"}}) {
    const auto result = RunGame(args);
    EXPECT_EQ(result.code, 2) << ::testing::PrintToString(args);
    EXPECT_NE(result.err.find("usage: talvex-tool run"), std::string::npos) << result.err;
  }
  const auto usage = RunCommand(tool::RunRun, {"--help"});
  EXPECT_NE(usage.out.find("--dump-at"), std::string::npos);
  EXPECT_NE(usage.out.find("screen.png"), std::string::npos);
}

}  // namespace
}  // namespace tvx::testing
