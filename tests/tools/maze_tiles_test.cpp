// Wall tile sets: the pieces' bytes where the view reads them, views assembled as the engine's
// DungeonView draws them, pieces rendered from a texture that meet without gaps or steps in
// every frame, a golden view, and the tiles command on files.
//
// The golden picture is tests/data/maze/texture-corridor-frame1.png; run the test with
// TALVEX_UPDATE_EXPECTED=1 in the environment to write it anew (and look at it before
// committing it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "graphics/dungeon_view.h"
#include "graphics/vram_plane_set.h"
#include "tests/tools/tool_test_support.h"
#include "tools/maze_command.h"
#include "tools/maze_map.h"
#include "tools/maze_palette.h"
#include "tools/maze_tile_set.h"
#include "tools/maze_view_previews.h"
#include "tools/maze_wall_painter.h"
#include "tools/png_io.h"

namespace tvx::tool {
namespace {

using test::ReadFile;
using test::Rgb;
using test::RunCommand;
using test::TempDir;
using test::WriteFile;

// Black, five blues for the ceiling, five greens for the floor, five reds for the walls.
maze::Palette HuePalette() {
  maze::Palette palette{};
  for (int i = 0; i < 5; ++i) {
    const int level = 7 + 6 * i;
    palette[static_cast<size_t>(1 + i)] = Rgb(0, 0, level);
    palette[static_cast<size_t>(6 + i)] = Rgb(0, level, 0);
    palette[static_cast<size_t>(11 + i)] = Rgb(level, 0, 0);
  }
  return palette;
}

std::vector<uint8_t> RenderedSet(const Picture555& texture, const maze::Palette& palette,
                                 bool dither = false) {
  maze::WallLook look;
  look.ceiling = {0, 0, 31};
  look.floor = {0, 31, 0};
  look.dither = dither;
  const maze::WallPainter painter(texture, look, palette);
  std::vector<uint8_t> set(maze::kTileSetBytes, 0);
  for (size_t number = 0; number < maze::kTileCount; ++number)
    maze::StorePiece(set, number, painter.Piece(number));
  return set;
}

TEST(MazeTileSet, PiecesLieWhereTheViewReadsThem) {
  // The pieces follow each other without gaps and fill the set exactly.
  size_t end = 0;
  for (size_t number = 0; number < maze::kTileCount; ++number) {
    const maze::TileDescriptor& tile = maze::kTiles[number];
    EXPECT_EQ(tile.offset, end) << "piece " << number;
    EXPECT_EQ(tile.width % 2, 0) << "piece " << number;
    end = tile.offset + size_t{tile.width} * tile.height / 2;
  }
  EXPECT_EQ(end, maze::kTileSetBytes);

  // Two pixels a byte, the left one in the high nibble, rows one after another; a piece
  // written changes no byte of another.
  std::vector<uint8_t> set(maze::kTileSetBytes, 0xEE);
  const maze::TileDescriptor& seven = maze::kTiles[7];  // 20 x 312
  std::vector<uint8_t> indices(size_t{seven.width} * seven.height);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(i % 16);
  maze::StorePiece(set, 7, indices);
  EXPECT_EQ(set[seven.offset], 0x01);
  EXPECT_EQ(set[seven.offset + 1], 0x23);
  EXPECT_EQ(set[seven.offset + 10], 0x45);  // row 1 begins with pixel 20 = index 4
  EXPECT_EQ(set[seven.offset - 1], 0xEE);
  EXPECT_EQ(set[seven.offset + indices.size() / 2], 0xEE);
  EXPECT_EQ(maze::PieceIndices(set, 7), indices);

  maze::Palette palette{};
  for (size_t i = 0; i < 16; ++i) palette[i] = static_cast<uint16_t>(0x0421 * (2 * i));
  const Picture555 picture = maze::PiecePicture(set, 7, palette);
  ASSERT_EQ(picture.width, 20u);
  ASSERT_EQ(picture.height, 312u);
  EXPECT_EQ(picture.At(3, 0), palette[3]);
  EXPECT_EQ(picture.At(0, 1), palette[4]);
  EXPECT_EQ(maze::NearestIndices(picture, palette), indices);
  EXPECT_EQ(maze::PieceFileName(7), "tile07.png");
  EXPECT_EQ(maze::PieceFileName(44), "tile44.png");

  // Every piece is made for a place on the screen where it is drawn unmirrored.
  for (size_t number = 0; number < maze::kTileCount; ++number) {
    const maze::PiecePlace& place = maze::PiecePlaces()[number];
    EXPECT_LE(place.x + maze::kTiles[number].width, 640) << number;
    EXPECT_LE(place.y + maze::kTiles[number].height, 480) << number;
  }
}

TEST(MazeTileSet, AssembledViewsAreWhatTheEngineDraws) {
  // Three sets of noise and any maze: the engine's view and the tool's assembly agree in
  // every frame, for walls of every kind (4-7 drawing nothing).
  std::array<std::vector<uint8_t>, 3> sets = {test::RandomBytes(maze::kTileSetBytes, 11),
                                              test::RandomBytes(maze::kTileSetBytes, 12),
                                              test::RandomBytes(maze::kTileSetBytes, 13)};
  maze::Palette palette{};
  for (size_t i = 0; i < 16; ++i) palette[i] = static_cast<uint16_t>(1 + i * 1999 % 0x7FFF);
  const std::vector<uint8_t> palette_bytes = maze::WritePalette(palette);
  std::mt19937 rng(5);
  maze::MazeMap map{7, 6, {}};
  for (int i = 0; i < 42; ++i) {
    map.cells.push_back({static_cast<uint16_t>(rng() & rng() & rng()), 0, 0});
  }
  const std::vector<uint8_t> record = maze::WriteMap(map);
  VramPlaneSet planes;
  DungeonView view(planes);
  ASSERT_TRUE(view.SetUp({record, {sets[0], sets[1], sets[2]}, palette_bytes, {}}));
  std::vector<uint16_t> pixels(640 * 480);
  VramPlane plane{pixels, 0, 0, 640, 480};
  for (int place = 0; place < 12; ++place) {
    view.Place(static_cast<uint16_t>(rng() % 7), static_cast<uint16_t>(rng() % 6),
               static_cast<uint16_t>(rng() % 4));
    for (uint32_t frame = 0; frame < 5; ++frame) {
      view.DrawOnto(plane, frame);
      const Picture555 assembled =
          maze::AssembleView(frame, view.viewBytes(), {sets[0], sets[1], sets[2]}, palette);
      size_t differing = 0;
      for (uint32_t y = 0; y < 480; ++y)
        for (uint32_t x = 0; x < 640; ++x) differing += assembled.At(x, y) != plane.At(x, y);
      EXPECT_EQ(differing, 0u) << "frame " << frame << " at " << view.x() << ", " << view.y();
    }
  }
}

// In a view from a flat red texture: the wall's rows in each column (nothing where no wall is).
struct WallRun {
  int top = -1;
  int bottom = -1;  // past the last row
  bool broken = false;
};
std::vector<WallRun> WallRuns(const Picture555& view) {
  std::vector<WallRun> runs(view.width);
  for (uint32_t x = 0; x < view.width; ++x) {
    WallRun& run = runs[x];
    for (uint32_t y = 0; y < view.height; ++y) {
      const uint16_t p = view.At(x, y);
      const bool wall = (p >> 10 & 31) > 0;
      if (!wall) continue;
      if (run.top < 0) {
        run.top = static_cast<int>(y);
      } else if (run.bottom != static_cast<int>(y)) {
        run.broken = true;
      }
      run.bottom = static_cast<int>(y) + 1;
    }
  }
  return runs;
}

TEST(MazeWallPainter, PiecesFromATextureMeetWithoutGapsOrSteps) {
  Picture555 red{4, 4, std::vector<uint16_t>(16, Rgb(31, 0, 0))};
  const maze::Palette palette = HuePalette();
  const std::vector<uint8_t> set = RenderedSet(red, palette);
  for (const maze::PreviewScene& scene : maze::PreviewScenes()) {
    // The walker's cell closed, or a hall of walls one cell ahead: a wall in every column,
    // all of them joined (in the other scenes nearer walls hide parts of further ones).
    const bool filled = scene.name == "closed" || scene.name == "hall";
    for (size_t frame = 0; frame < maze::kFrames; ++frame) {
      const Picture555 view = maze::AssembleView(frame, scene.walls, {set, set, set}, palette);
      const std::vector<WallRun> runs = WallRuns(view);
      for (uint32_t x = 0; x < runs.size(); ++x) {
        SCOPED_TRACE(std::string(scene.name) + " frame " + std::to_string(frame) + " column " +
                     std::to_string(x));
        EXPECT_FALSE(runs[x].broken);
        // (Frame 4 places the wall one cell ahead four columns left of frame 3's mirror
        // image, and leaves the screen's last four columns to the background.)
        if (filled && !(frame == 4 && x >= 636)) {
          EXPECT_GE(runs[x].top, 0);
        }
        // Where two pieces meet, the wall's edges go on: a step of a few rows at most (the
        // slope of the nearest side walls).
        if (!filled || x == 0 || runs[x].top < 0 || runs[x - 1].top < 0) continue;
        EXPECT_LE(std::abs(runs[x].top - runs[x - 1].top), 4);
        EXPECT_LE(std::abs(runs[x].bottom - runs[x - 1].bottom), 4);
      }
    }
  }
}

TEST(MazeWallPainter, AViewFromATinyTextureMatchesItsGoldenPicture) {
  // An 8 x 8 texture: a cross of light bricks on dark, one corner marked.
  Picture555 texture{8, 8, {}};
  for (uint32_t y = 0; y < 8; ++y) {
    for (uint32_t x = 0; x < 8; ++x) {
      uint16_t colour = (x == 3 || y == 3) ? Rgb(28, 8, 6) : Rgb(12, 4, 4);
      if (x < 2 && y < 2) colour = Rgb(30, 30, 0);
      texture.pixels.push_back(colour);
    }
  }
  maze::Palette palette = HuePalette();
  palette[15] = Rgb(30, 30, 0);
  const std::vector<uint8_t> set = RenderedSet(texture, palette, true);
  const maze::PreviewScene& corridor = maze::PreviewScenes()[1];
  ASSERT_EQ(corridor.name, "corridor");
  const Picture555 view = maze::AssembleView(1, corridor.walls, {set, set, set}, palette);

  const std::string expected_path =
      std::string(TALVEX_SOURCE_DIR) + "/tests/data/maze/texture-corridor-frame1.png";
  std::string error;
  if (std::getenv("TALVEX_UPDATE_EXPECTED") != nullptr) {
    ASSERT_TRUE(WritePngFile(expected_path, view, error)) << error;
  }
  const auto expected = ReadPngFile(expected_path, error);
  ASSERT_TRUE(expected) << error;
  ASSERT_EQ(expected->width, view.width);
  ASSERT_EQ(expected->height, view.height);
  size_t differing = 0;
  for (size_t i = 0; i < view.pixels.size(); ++i)
    differing += (view.pixels[i] & 0x7FFF) != expected->pixels[i];
  EXPECT_EQ(differing, 0u);
}

TEST(MazeTilesCommand, PiecesTexturesExportsAndPreviews) {
  TempDir dir;
  const maze::Palette palette = HuePalette();
  WriteFile(dir / "HUE.PAL", maze::WritePalette(palette));
  std::string error;
  Picture555 red{4, 4, std::vector<uint16_t>(16, Rgb(31, 0, 0))};
  ASSERT_TRUE(WritePngFile(dir / "red.png", red, error));

  const auto rendered = RunCommand(RunMaze, {"tiles", dir / "RED.DAT", "--palette", dir / "HUE.PAL",
                                             "--texture", dir / "red.png", "--ceiling", "0000ff",
                                             "--floor", "#00FF00", "--preview", dir / "views"});
  ASSERT_EQ(rendered.code, 0) << rendered.err;
  EXPECT_EQ(rendered.out, "45 pieces rendered from " + dir / "red.png" + " -> " + dir / "RED.DAT" +
                              " (966624 bytes)\n26 views -> " + dir / "views" + "\n");
  const std::vector<uint8_t> set = ReadFile(dir / "RED.DAT");
  EXPECT_EQ(set, RenderedSet(red, palette));
  EXPECT_TRUE(std::filesystem::exists(dir / "views/view-3-hall.png"));
  EXPECT_TRUE(std::filesystem::exists(dir / "views/sheet.png"));

  // Out as pieces and in again: the same set.
  const auto exported = RunCommand(RunMaze, {"tiles", "--export", dir / "RED.DAT", "--palette",
                                             dir / "HUE.PAL", dir / "pieces"});
  ASSERT_EQ(exported.code, 0) << exported.err;
  const auto imported = RunCommand(RunMaze, {"tiles", dir / "AGAIN.DAT", "--palette",
                                             dir / "HUE.PAL", "--pieces", dir / "pieces"});
  ASSERT_EQ(imported.code, 0) << imported.err;
  EXPECT_TRUE(imported.err.empty()) << imported.err;
  EXPECT_EQ(ReadFile(dir / "AGAIN.DAT"), set);

  // A missing piece stays colour 0 with a warning; one of the wrong size fails the whole set.
  std::filesystem::remove(dir / "pieces/tile09.png");
  const auto missing = RunCommand(RunMaze, {"tiles", dir / "MISS.DAT", "--palette", dir / "HUE.PAL",
                                            "--pieces", dir / "pieces"});
  ASSERT_EQ(missing.code, 0) << missing.err;
  EXPECT_EQ(missing.err, "maze tiles: warning: " + dir / "pieces/tile09.png" +
                             " is missing; piece 9 stays colour 0\n");
  EXPECT_NE(missing.out.find("44 pieces from"), std::string::npos) << missing.out;
  const std::vector<uint8_t> holed = ReadFile(dir / "MISS.DAT");
  EXPECT_EQ(maze::PieceIndices(holed, 9), std::vector<uint8_t>(112 * 480, 0));
  EXPECT_EQ(maze::PieceIndices(holed, 10), maze::PieceIndices(set, 10));

  ASSERT_TRUE(WritePngFile(dir / "pieces/tile09.png", red, error));
  WriteFile(dir / "OLD.DAT", {1, 2, 3});
  const auto wrong = RunCommand(RunMaze, {"tiles", dir / "OLD.DAT", "--palette", dir / "HUE.PAL",
                                          "--pieces", dir / "pieces"});
  EXPECT_EQ(wrong.code, 1);
  EXPECT_NE(wrong.err.find(dir / "pieces/tile09.png" + ": 4 x 4, but piece 9 is 112 x 480"),
            std::string::npos)
      << wrong.err;
  EXPECT_EQ(ReadFile(dir / "OLD.DAT"), std::vector<uint8_t>({1, 2, 3}));

  WriteFile(dir / "SHORT.DAT", {1, 2, 3});
  const auto short_set = RunCommand(
      RunMaze, {"tiles", "--export", dir / "SHORT.DAT", "--palette", dir / "HUE.PAL", dir / "x"});
  EXPECT_EQ(short_set.code, 1);
  EXPECT_NE(short_set.err.find("a tile set holds 966624 bytes, the file has 3"), std::string::npos);

  // Usage: one source of pieces, a palette, colours only with a texture.
  const std::string pal = dir / "HUE.PAL";
  EXPECT_EQ(RunCommand(RunMaze, {"tiles", dir / "X.DAT", "--palette", pal}).code, 2);
  EXPECT_EQ(RunCommand(RunMaze, {"tiles", dir / "X.DAT", "--texture", dir / "red.png"}).code, 2);
  EXPECT_EQ(RunCommand(RunMaze, {"tiles", dir / "X.DAT", "--palette", pal, "--pieces", "p",
                                 "--texture", "t.png"})
                .code,
            2);
  EXPECT_EQ(
      RunCommand(RunMaze, {"tiles", dir / "X.DAT", "--palette", pal, "--pieces", "p", "--dither"})
          .code,
      2);
  EXPECT_EQ(RunCommand(RunMaze, {"tiles", dir / "X.DAT", "--palette", pal, "--texture",
                                 dir / "red.png", "--ceiling", "12345"})
                .code,
            2);
}

TEST(MazeRenderCommand, DrawsTheViewOfAGameFolder) {
  TempDir dir;
  const maze::Palette palette = HuePalette();
  WriteFile(dir / "PAL.DAT", maze::WritePalette(palette));
  Picture555 red{4, 4, std::vector<uint16_t>(16, Rgb(31, 0, 0))};
  const std::vector<uint8_t> set = RenderedSet(red, palette);
  for (const char* name : {"WALL1.DAT", "WALL2.DAT", "WALL3.DAT"}) WriteFile(dir / name, set);
  // A corridor running north from (0, 2), closed at its end.
  WriteFile(dir / "maze.txt", test::Bytes("+---+\n|   |\n+   +\n|   |\n+   +\n|   |\n+---+\n"));
  ASSERT_EQ(RunCommand(RunMaze, {"map", dir / "maze.txt", dir / "MAP.DAT"}).code, 0);

  const auto drawn = RunCommand(RunMaze, {"render", dir.path().string(), "0", "2", "north",
                                          dir / "view.png", "--frame", "1"});
  ASSERT_EQ(drawn.code, 0) << drawn.err;
  EXPECT_EQ(drawn.out,
            dir / "MAP.DAT" + ": (0, 2) facing north, frame 1 -> " + dir / "view.png" + "\n");
  std::string error;
  const auto picture = ReadPngFile(dir / "view.png", error);
  ASSERT_TRUE(picture) << error;
  maze::ViewBytes walls{};
  for (const uint8_t index : {4, 6, 15, 17, 26, 28, 27}) walls[index] = 9;
  EXPECT_EQ(*picture, maze::AssembleView(1, walls, {set, set, set}, palette));

  // Files named by options; one tile set for all three kinds.
  std::filesystem::rename(dir / "MAP.DAT", dir / "OTHER.DAT");
  const auto named =
      RunCommand(RunMaze, {"render", dir.path().string(), "0", "0", "3", dir / "v2.png", "--map",
                           dir / "OTHER.DAT", "--tiles", dir / "WALL1.DAT"});
  EXPECT_EQ(named.code, 0) << named.err;

  const auto outside = RunCommand(RunMaze, {"render", dir.path().string(), "1", "0", "east",
                                            dir / "v3.png", "--map", dir / "OTHER.DAT"});
  EXPECT_EQ(outside.code, 1);
  EXPECT_NE(outside.err.find("(1, 0) is outside the 1 x 3 map"), std::string::npos) << outside.err;
  const auto absent =
      RunCommand(RunMaze, {"render", dir.path().string(), "0", "0", "east", dir / "v4.png"});
  EXPECT_EQ(absent.code, 1);
  EXPECT_NE(absent.err.find("MAP.DAT': No such file or directory"), std::string::npos);
  EXPECT_EQ(RunCommand(RunMaze, {"render", dir.path().string(), "0", "0", "up", "v.png"}).code, 2);
  EXPECT_EQ(
      RunCommand(RunMaze, {"render", dir.path().string(), "0", "0", "0", "v.png", "--frame", "5"})
          .code,
      2);
}

}  // namespace
}  // namespace tvx::tool
