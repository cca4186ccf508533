// The maze map record that the dungeon call walks, as `talvex-tool maze` builds and shows it,
// with the checks a maker wants (edges that let the walker off the map, cells it cannot reach).
//
// The record, all numbers little-endian:
//
//   offset 0                      u16 width (cells)
//   offset 2                      u16 height
//   offset 4 + (y × width + x) × 4  cell (x, y), rows from the top:
//       +0  u16 wall word: bits 12-15 the north wall, 8-11 east, 4-7 south, 0-3 west
//       +2  u8  event number (0 none)
//       +3  u8  not read by the view (kept as it is)
//
// A wall value: bits 0-2 the kind (0 open, 1-3 drawn from tile set 1-3, 4-7 drawn by nothing
// but there), bit 3 set = the walker cannot step through it forwards. A step back is refused
// by any value but 0.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tvx::tool::maze {

// The sides in the order of the headings' turns: north, east, south, west.
enum class Side : uint8_t { kNorth = 0, kEast = 1, kSouth = 2, kWest = 3 };
inline constexpr std::array<Side, 4> kSides = {Side::kNorth, Side::kEast, Side::kSouth,
                                               Side::kWest};
inline constexpr uint8_t kBlocksForward = 0x8;
inline constexpr size_t kMapHeaderSize = 4;
inline constexpr size_t kCellSize = 4;

constexpr Side Opposite(Side side) {
  return static_cast<Side>((static_cast<uint8_t>(side) + 2) % 4);
}
// The wall word's bit of a side's value: north 12, east 8, south 4, west 0.
constexpr unsigned ShiftOf(Side side) {
  return 12u - 4u * static_cast<unsigned>(side);
}

struct MazeCell {
  uint16_t walls = 0;
  uint8_t event = 0;
  uint8_t spare = 0;

  uint8_t Wall(Side side) const { return static_cast<uint8_t>(walls >> ShiftOf(side) & 0xF); }
  void SetWall(Side side, uint8_t value) {
    walls =
        static_cast<uint16_t>((walls & ~(0xFu << ShiftOf(side))) | (value & 0xFu) << ShiftOf(side));
  }
  bool operator==(const MazeCell&) const = default;
};

struct MazeMap {
  uint16_t width = 0;
  uint16_t height = 0;
  std::vector<MazeCell> cells;  // width × height, rows from the top

  MazeCell& At(uint32_t x, uint32_t y) { return cells[size_t{y} * width + x]; }
  const MazeCell& At(uint32_t x, uint32_t y) const { return cells[size_t{y} * width + x]; }
  bool operator==(const MazeMap&) const = default;
};

// The record's bytes.
std::vector<uint8_t> WriteMap(const MazeMap& map);

struct MapReading {
  std::optional<MazeMap> map;
  std::string error;      // why there is no map
  size_t extraBytes = 0;  // bytes after the record, not part of it
};
// Reads a record from the start of `bytes`; a file too short for its cells is an error.
MapReading ReadMap(std::span<const uint8_t> bytes);

// What a maker is warned of (none of it stops the engine).
struct CellSide {
  uint16_t x = 0;
  uint16_t y = 0;
  Side side = Side::kNorth;
};
struct EdgeFinding {
  Side edge = Side::kNorth;
  size_t count = 0;  // sides on that edge of the map the walker can step through forwards
  CellSide first;
};
struct MapFindings {
  std::vector<EdgeFinding> openEdges;  // in the order north, east, south, west
  size_t unreachable = 0;              // cells no walk from (0, 0) reaches
  CellSide firstUnreachable;           // its side is not meant
};
MapFindings CheckMap(const MazeMap& map);

const char* SideName(Side side);

}  // namespace tvx::tool::maze
