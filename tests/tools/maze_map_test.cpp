// Maze maps: the grid text gives the record's bytes, any record comes back through show and
// map unchanged, mistakes are named by line and column, and the warnings see what a walker
// would meet.
#include <gtest/gtest.h>

#include <random>

#include "tests/tools/tool_test_support.h"
#include "tools/maze_command.h"
#include "tools/maze_map.h"
#include "tools/maze_map_text.h"

namespace tvx::tool {
namespace {

using maze::MazeMap;
using maze::Side;
using test::Bytes;
using test::ReadFile;
using test::RunCommand;
using test::TempDir;
using test::WriteFile;

constexpr std::string_view kSample =
    "# two rooms and a corridor\n"
    "+---+---+---+\n"
    "| 5     #   |\n"
    "+---+===+aaa+\n"
    "|       H 12|\n"
    "+---+---+---+\n"
    "wall 1 0 east 0   # one way: open from the west, a door from the east\n"
    "spare 2 1 7\n";

TEST(MazeMapText, TheGridGivesTheRecordByteForByte) {
  const maze::MapTextResult result = maze::ParseMapText(kSample, "sample.txt");
  ASSERT_TRUE(result.ok()) << result.errors[0];
  // Wall words from their nibbles: north, east, south, west.
  const auto walls = [](int n, int e, int s, int w) {
    return static_cast<uint16_t>(n << 12 | e << 8 | s << 4 | w);
  };
  ASSERT_EQ(result.map.width, 3);
  ASSERT_EQ(result.map.height, 2);
  EXPECT_EQ(result.map.At(0, 0).walls, walls(9, 0, 9, 9));
  EXPECT_EQ(result.map.At(1, 0).walls, walls(9, 0, 10, 0));
  EXPECT_EQ(result.map.At(2, 0).walls, walls(9, 9, 10, 3));
  EXPECT_EQ(result.map.At(0, 1).walls, walls(9, 0, 9, 9));
  EXPECT_EQ(result.map.At(1, 1).walls, walls(10, 10, 9, 0));
  EXPECT_EQ(result.map.At(2, 1).walls, walls(10, 9, 9, 10));
  EXPECT_EQ(result.map.At(0, 0).event, 5);
  EXPECT_EQ(result.map.At(2, 1).event, 12);
  EXPECT_EQ(result.map.At(2, 1).spare, 7);
  const std::vector<uint8_t> record = maze::WriteMap(result.map);
  ASSERT_EQ(record.size(), 4u + 6 * 4);
  EXPECT_EQ(std::vector<uint8_t>(record.begin(), record.begin() + 12),
            std::vector<uint8_t>({3, 0, 2, 0, 0x99, 0x90, 5, 0, 0xa0, 0x90, 0, 0}));
  EXPECT_EQ(record.back(), 7);

  // Rows may lose their trailing spaces, lines may end in CR LF, comments may follow the grid
  // after a space: the same map.
  const std::string trimmed =
      "+---+---+---+\r\n| 5     #   |   # row 0\r\n+---+===+aaa+\r\n|       H 12|\r\n"
      "+---+---+---+  # bottom\r\nwall 1 0 e 0\r\nSPARE 2 1 0x7\r\n";
  const maze::MapTextResult again = maze::ParseMapText(trimmed, "t.txt");
  ASSERT_TRUE(again.ok()) << again.errors[0];
  EXPECT_EQ(again.map, result.map);

  // An open east edge left by trimming a row: the warning names the place.
  const maze::MapTextResult open = maze::ParseMapText("+---+---+\n|   |\n+---+---+\n", "open.txt");
  ASSERT_TRUE(open.ok()) << open.errors[0];
  EXPECT_EQ(open.map.At(1, 0).Wall(Side::kEast), 0);
  ASSERT_EQ(open.warnings.size(), 2u);
  EXPECT_EQ(open.warnings[0],
            "open.txt:2:7: warning: 1 cell cannot be reached from (0, 0), "
            "where the walker starts; the first is (1, 0)");
  EXPECT_EQ(open.warnings[1].rfind("open.txt:2:9: warning: 1 side of the map's east edge can "
                                   "be walked through: ",
                                   0),
            0u)
      << open.warnings[1];
}

TEST(MazeMapText, AnyRecordComesBackThroughShowAndMap) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    MazeMap map;
    map.width = static_cast<uint16_t>(rng() % 9);
    map.height = static_cast<uint16_t>(rng() % 9);
    map.cells.resize(size_t{map.width} * map.height);
    // Some maps are drawn mostly symmetric (the grid says it all), some at random.
    const bool symmetric = round % 2 == 0;
    for (auto& cell : map.cells) {
      cell.walls = static_cast<uint16_t>(rng());
      cell.event = rng() % 3 == 0 ? static_cast<uint8_t>(rng()) : 0;
      cell.spare = rng() % 5 == 0 ? static_cast<uint8_t>(rng()) : 0;
    }
    if (symmetric) {
      for (uint32_t y = 0; y < map.height; ++y) {
        for (uint32_t x = 0; x < map.width; ++x) {
          if (x + 1 < map.width)
            map.At(x + 1, y).SetWall(Side::kWest, map.At(x, y).Wall(Side::kEast));
          if (y + 1 < map.height)
            map.At(x, y + 1).SetWall(Side::kNorth, map.At(x, y).Wall(Side::kSouth));
        }
      }
    }
    const std::string text = maze::FormatMapText(map, "random");
    const maze::MapTextResult result = maze::ParseMapText(text, "random.txt");
    ASSERT_TRUE(result.ok()) << result.errors[0] << "\n" << text;
    ASSERT_EQ(maze::WriteMap(result.map), maze::WriteMap(map)) << text;
    if (symmetric) {
      EXPECT_EQ(text.find("\nwall "), std::string::npos) << text;
    }
  }
}

TEST(MazeMapText, MistakesAreNamedByLineAndColumn) {
  const auto first_error = [](std::string_view text) {
    const maze::MapTextResult result = maze::ParseMapText(text, "m.txt");
    return result.errors.empty() ? std::string("(none)") : result.errors[0];
  };
  EXPECT_EQ(first_error("+---+\n| x |\n+---+\n"),
            "m.txt:2:3: 'x' in a cell: a cell holds its event number (1-255) or nothing");
  EXPECT_EQ(first_error("+---+\n|256|\n+---+\n"), "m.txt:2:2: event 256 is larger than 255");
  EXPECT_EQ(first_error("+---+---+\n|   -   |\n+---+---+\n"),
            "m.txt:2:5: '-' is no wall along: ' ' open, '|' set 1, 'H' set 2, '#' a door, or a "
            "hex digit 0-f ('-' is a wall across)");
  EXPECT_EQ(first_error("+-|-+\n|   |\n+---+\n"),
            "m.txt:1:3: a wall across is one character three times: '---', not '-|-'");
  EXPECT_EQ(first_error("+---+---+\n|   |   |\n+---+\n"),
            "m.txt:3:6: expected '+' here: the grid is 2 cells wide");
  EXPECT_EQ(first_error("+---+\n|   |   x\n+---+\n"),
            "m.txt:2:9: unexpected 'x' right of the grid (1 cell wide); a comment there begins "
            "with ' #'");
  EXPECT_EQ(first_error("+---+\n|\t  |\n+---+\n"),
            "m.txt:2:2: a tab in the grid: it is drawn with ASCII characters and spaces");
  EXPECT_EQ(first_error("+---+\n|   |\n"),
            "m.txt:2:1: a row of cells is followed by a line of corners ('+...+')");
  EXPECT_EQ(first_error("+\n"),
            "m.txt:1:1: a line of corners is '+', then three wall characters and '+' for each "
            "cell");
  EXPECT_EQ(first_error("+---+\n|   |\n+---+\n+---+\n|   |\n+---+\n"),
            "m.txt:4:1: a second grid (the first begins on line 1): a map has one");
  EXPECT_EQ(first_error("size 2 1\n+---+\n|   |\n+---+\n"),
            "m.txt:1:1: the size says 2 x 1, the grid (line 2) is 1 x 1");
  EXPECT_EQ(first_error("size 2 2\n"),
            "m.txt:1:1: a 2 x 2 map needs its grid ('+---+' lines and rows of cells)");
  EXPECT_EQ(first_error("# nothing\n"),
            "m.txt:1:1: no map here: draw a grid of cells, or give 'size W H' for a map of none");
  EXPECT_EQ(first_error("size 65536 0\n"), "m.txt:1:6: the width 65536 is larger than 65535");
  EXPECT_EQ(first_error("+---+\n|   |\n+---+\nwall 1 0 north 9\n"),
            "m.txt:4:1: cell (1, 0) is outside the 1 x 1 map");
  EXPECT_EQ(first_error("+---+\n|   |\n+---+\nwall 0 0 up 9\n"),
            "m.txt:4:10: expected the side: north, east, south or west, not 'up'");
  EXPECT_EQ(first_error("+---+\n|   |\n+---+\nwall 0 0 n 16\n"),
            "m.txt:4:12: the wall value 16 is larger than 15");
  EXPECT_EQ(first_error("+---+\n|   |\n+---+\nwall 0 0 n 1\nwall 0 0 north 2\n"),
            "m.txt:5:1: this side of cell (0, 0) is given twice (first on line 4)");
  EXPECT_EQ(first_error("+---+\n|   |\n+---+\nspare 0 0 1 2\n"),
            "m.txt:4:13: unexpected '2' at the end of the line");
  EXPECT_EQ(first_error("+---+\n|   |\n+---+\ndoor 0 0\n"),
            "m.txt:4:1: 'door' begins no line of a map: the grid's lines begin with '+', the "
            "others with 'size', 'wall' or 'spare'");
  // Every mistake is reported, not just the first, and no map comes with them.
  const maze::MapTextResult many =
      maze::ParseMapText("+---+\n| x |\n+---+\nfoo\nwall 0 0 q 1\n", "m.txt");
  EXPECT_EQ(many.errors.size(), 3u);
  EXPECT_TRUE(many.warnings.empty());
}

TEST(MazeMapText, WarningsSeeTheEdgesTheReachAndTheSize) {
  const maze::MapTextResult closed =
      maze::ParseMapText("+---+---+\n|   #   |\n+111+---+\n| 5 H   |\n+---+---+\n", "closed.txt");
  ASSERT_TRUE(closed.ok());
  // (1, 1) lies behind a set-2 wall and a blocking top: out of reach; the door and the
  // passable wall 1 lead on.
  ASSERT_EQ(closed.warnings.size(), 1u);
  EXPECT_EQ(closed.warnings[0],
            "closed.txt:4:7: warning: 1 cell cannot be reached from (0, 0), "
            "where the walker starts; the first is (1, 1)");

  // A one-way passage: the grid's wall blocks from the east only, so all is reachable.
  const maze::MapTextResult one_way =
      maze::ParseMapText("+---+---+\n|   |   |\n+---+---+\nwall 0 0 east 0\n", "oneway.txt");
  ASSERT_TRUE(one_way.ok());
  EXPECT_TRUE(one_way.warnings.empty()) << one_way.warnings[0];

  // An edge side overridden open is named at its line.
  const maze::MapTextResult edge = maze::ParseMapText(
      "+---+---+\n|   |   |\n+---+---+\nwall 0 0 east 0\nwall 1 0 north 3\n", "edge.txt");
  ASSERT_EQ(edge.warnings.size(), 1u);
  EXPECT_EQ(edge.warnings[0].rfind("edge.txt:5:1: warning: 1 side of the map's north edge", 0), 0u)
      << edge.warnings[0];

  const maze::MapTextResult empty = maze::ParseMapText("size 3 0\n", "empty.txt");
  ASSERT_TRUE(empty.ok());
  EXPECT_EQ(empty.map.width, 3);
  EXPECT_EQ(maze::WriteMap(empty.map), std::vector<uint8_t>({3, 0, 0, 0}));
  ASSERT_EQ(empty.warnings.size(), 1u);
  EXPECT_EQ(empty.warnings[0], "empty.txt:1:1: warning: the map has no cells (3 x 0)");
}

TEST(MazeMapRecord, ReadsWhatItWritesAndRefusesShortFiles) {
  MazeMap map{2, 1, {{0x1234, 5, 6}, {0xFFFF, 255, 0}}};
  const std::vector<uint8_t> record = maze::WriteMap(map);
  EXPECT_EQ(record, std::vector<uint8_t>({2, 0, 1, 0, 0x34, 0x12, 5, 6, 0xFF, 0xFF, 255, 0}));
  const maze::MapReading back = maze::ReadMap(record);
  ASSERT_TRUE(back.map);
  EXPECT_EQ(*back.map, map);
  EXPECT_EQ(back.extraBytes, 0u);

  std::vector<uint8_t> longer = record;
  longer.push_back(9);
  EXPECT_EQ(maze::ReadMap(longer).extraBytes, 1u);
  EXPECT_EQ(maze::ReadMap(std::span(record).first(11)).error,
            "a 2 x 1 map takes 12 bytes, the file has 11");
  EXPECT_EQ(maze::ReadMap(std::span(record).first(3)).error,
            "too short for a map (3 bytes; the width and height alone take 4)");
  // The largest size a header can claim is compared without overflow.
  EXPECT_FALSE(maze::ReadMap(std::vector<uint8_t>({0xFF, 0xFF, 0xFF, 0xFF, 0})).map);
}

TEST(MazeCommand, MapAndShowOnFiles) {
  TempDir dir;
  WriteFile(dir / "maze.txt", Bytes(kSample));
  const auto built = RunCommand(RunMaze, {"map", dir / "maze.txt", dir / "MAZE.DAT"});
  ASSERT_EQ(built.code, 0) << built.err;
  EXPECT_EQ(built.out,
            dir / "maze.txt" + ": 3 x 2 cells -> " + dir / "MAZE.DAT" + " (28 bytes, 1 warning)\n");
  const std::vector<uint8_t> record = ReadFile(dir / "MAZE.DAT");

  const auto shown = RunCommand(RunMaze, {"show", dir / "MAZE.DAT", "-o", dir / "back.txt"});
  ASSERT_EQ(shown.code, 0) << shown.err;
  ASSERT_EQ(RunCommand(RunMaze, {"map", dir / "back.txt", dir / "AGAIN.DAT"}).code, 0);
  EXPECT_EQ(ReadFile(dir / "AGAIN.DAT"), record);
  const auto printed = RunCommand(RunMaze, {"show", dir / "MAZE.DAT"});
  EXPECT_EQ(Bytes(printed.out), ReadFile(dir / "back.txt"));

  // Bytes after the record are told of in a note.
  std::vector<uint8_t> longer = record;
  longer.insert(longer.end(), {1, 2});
  WriteFile(dir / "LONG.DAT", longer);
  const auto noted = RunCommand(RunMaze, {"show", dir / "LONG.DAT"});
  EXPECT_NE(noted.out.find("# note: the file goes on for 2 bytes after the map"), std::string::npos)
      << noted.out;

  // A failed build leaves the old file; a short record is refused by show.
  WriteFile(dir / "OLD.DAT", Bytes("old"));
  WriteFile(dir / "bad.txt", Bytes("+---+\n| ? |\n+---+\n"));
  const auto failed = RunCommand(RunMaze, {"map", dir / "bad.txt", dir / "OLD.DAT"});
  EXPECT_EQ(failed.code, 1);
  EXPECT_NE(failed.err.find("maze map: 1 error; " + dir / "OLD.DAT" + " not written"),
            std::string::npos)
      << failed.err;
  EXPECT_EQ(ReadFile(dir / "OLD.DAT"), Bytes("old"));
  WriteFile(dir / "SHORT.DAT", {1, 0, 1, 0, 0});
  const auto short_map = RunCommand(RunMaze, {"show", dir / "SHORT.DAT"});
  EXPECT_EQ(short_map.code, 1);
  EXPECT_NE(short_map.err.find("a 1 x 1 map takes 8 bytes, the file has 5"), std::string::npos);

  EXPECT_EQ(RunCommand(RunMaze, {"map", dir / "maze.txt"}).code, 2);
  EXPECT_EQ(RunCommand(RunMaze, {"show"}).code, 2);
  EXPECT_EQ(RunCommand(RunMaze, {"bogus"}).code, 2);
  EXPECT_EQ(RunCommand(RunMaze, {"--help"}).code, 0);
}

}  // namespace
}  // namespace tvx::tool
