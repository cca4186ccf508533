#include "tools/maze_map.h"

#include "resources/byte_order.h"

namespace tvx::tool::maze {
namespace {

// The cell beyond a side, when it lies inside the map.
std::optional<std::array<uint32_t, 2>> Beyond(const MazeMap& map, uint32_t x, uint32_t y,
                                              Side side) {
  switch (side) {
    case Side::kNorth:
      if (y == 0) return std::nullopt;
      return std::array<uint32_t, 2>{x, y - 1};
    case Side::kEast:
      if (x + 1 >= map.width) return std::nullopt;
      return std::array<uint32_t, 2>{x + 1, y};
    case Side::kSouth:
      if (y + 1 >= map.height) return std::nullopt;
      return std::array<uint32_t, 2>{x, y + 1};
    case Side::kWest:
      if (x == 0) return std::nullopt;
      return std::array<uint32_t, 2>{x - 1, y};
  }
  return std::nullopt;
}

}  // namespace

const char* SideName(Side side) {
  switch (side) {
    case Side::kNorth:
      return "north";
    case Side::kEast:
      return "east";
    case Side::kSouth:
      return "south";
    case Side::kWest:
      return "west";
  }
  return "?";
}

std::vector<uint8_t> WriteMap(const MazeMap& map) {
  std::vector<uint8_t> bytes(kMapHeaderSize + map.cells.size() * kCellSize);
  bytes::StoreLe16(bytes, 0, map.width);
  bytes::StoreLe16(bytes, 2, map.height);
  size_t at = kMapHeaderSize;
  for (const MazeCell& cell : map.cells) {
    bytes::StoreLe16(bytes, at, cell.walls);
    bytes[at + 2] = cell.event;
    bytes[at + 3] = cell.spare;
    at += kCellSize;
  }
  return bytes;
}

MapReading ReadMap(std::span<const uint8_t> bytes) {
  MapReading reading;
  if (bytes.size() < kMapHeaderSize) {
    reading.error = "too short for a map (" + std::to_string(bytes.size()) +
                    " bytes; the width and height alone take 4)";
    return reading;
  }
  MazeMap map;
  map.width = bytes::LoadLe16(bytes, 0);
  map.height = bytes::LoadLe16(bytes, 2);
  const uint64_t cells = uint64_t{map.width} * map.height;
  const uint64_t size = kMapHeaderSize + cells * kCellSize;
  if (bytes.size() < size) {
    reading.error = "a " + std::to_string(map.width) + " x " + std::to_string(map.height) +
                    " map takes " + std::to_string(size) + " bytes, the file has " +
                    std::to_string(bytes.size());
    return reading;
  }
  map.cells.resize(static_cast<size_t>(cells));
  size_t at = kMapHeaderSize;
  for (MazeCell& cell : map.cells) {
    cell.walls = bytes::LoadLe16(bytes, at);
    cell.event = bytes[at + 2];
    cell.spare = bytes[at + 3];
    at += kCellSize;
  }
  reading.extraBytes = bytes.size() - static_cast<size_t>(size);
  reading.map = std::move(map);
  return reading;
}

MapFindings CheckMap(const MazeMap& map) {
  MapFindings findings;
  for (const Side edge : kSides) {
    EdgeFinding finding{edge, 0, {}};
    const bool across = edge == Side::kNorth || edge == Side::kSouth;
    const uint32_t length = across ? map.width : map.height;
    if (map.width == 0 || map.height == 0) break;
    for (uint32_t i = 0; i < length; ++i) {
      const uint32_t x = across ? i : (edge == Side::kWest ? 0 : map.width - 1u);
      const uint32_t y = across ? (edge == Side::kNorth ? 0 : map.height - 1u) : i;
      if ((map.At(x, y).Wall(edge) & kBlocksForward) != 0) continue;
      if (finding.count++ == 0)
        finding.first = {static_cast<uint16_t>(x), static_cast<uint16_t>(y), edge};
    }
    if (finding.count != 0) findings.openEdges.push_back(finding);
  }
  if (map.cells.empty()) return findings;

  // Turning is free, a step forwards goes through any side without the blocking bit, and a
  // step back only through open sides, which a turn and a step forwards pass as well.
  std::vector<uint8_t> reached(map.cells.size(), 0);
  std::vector<std::array<uint32_t, 2>> queue = {{0, 0}};
  reached[0] = 1;
  for (size_t next = 0; next < queue.size(); ++next) {
    const auto [x, y] = queue[next];
    for (const Side side : kSides) {
      if ((map.At(x, y).Wall(side) & kBlocksForward) != 0) continue;
      const auto beyond = Beyond(map, x, y, side);
      if (!beyond) continue;
      uint8_t& seen = reached[size_t{(*beyond)[1]} * map.width + (*beyond)[0]];
      if (seen) continue;
      seen = 1;
      queue.push_back(*beyond);
    }
  }
  for (size_t i = 0; i < reached.size(); ++i) {
    if (reached[i]) continue;
    if (findings.unreachable++ == 0) {
      findings.firstUnreachable = {static_cast<uint16_t>(i % map.width),
                                   static_cast<uint16_t>(i / map.width), Side::kNorth};
    }
  }
  return findings;
}

}  // namespace tvx::tool::maze
