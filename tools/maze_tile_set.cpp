#include "tools/maze_tile_set.h"

#include <cstdio>

namespace tvx::tool::maze {
namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

// Draws one placement's tiles side by side onto `view`, as the engine does.
void DrawPlacement(Picture555& view, const Placement& placement, std::span<const uint8_t> set,
                   const Palette& palette) {
  int x = placement.x;
  const int y = 4 * placement.y4;
  for (size_t i = 0; i < placement.count; ++i) {
    const uint8_t reference = placement.tiles[i];
    const size_t number = reference & 0x7F;
    if (number >= kTileCount) continue;
    const TileDescriptor& tile = kTiles[number];
    const bool mirrored = (reference & kMirrored) != 0;
    for (int row = 0; row < tile.height; ++row) {
      for (int column = 0; column < tile.width; ++column) {
        const size_t at =
            tile.offset +
            (size_t{static_cast<size_t>(row)} * tile.width + static_cast<size_t>(column)) / 2;
        const uint8_t byte = at < set.size() ? set[at] : 0;
        const uint8_t index = column % 2 == 0 ? byte >> 4 : byte & 0xF;
        const int px = mirrored ? x + tile.width - 1 - column : x + column;
        const int py = y + row;
        if (px < kScreenWidth && py < kScreenHeight) {
          view.At(static_cast<uint32_t>(px), static_cast<uint32_t>(py)) = palette[index];
        }
      }
    }
    x += tile.width;
  }
}

std::array<PiecePlace, kTileCount> FindPlaces() {
  std::array<PiecePlace, kTileCount> places{};
  std::array<bool, kTileCount> found{};
  const auto take = [&](const Placement& placement, PiecePlace place) {
    int x = placement.x;
    for (size_t i = 0; i < placement.count; ++i) {
      const uint8_t reference = placement.tiles[i];
      const size_t number = reference & 0x7F;
      if ((reference & kMirrored) == 0 && number < kTileCount && !found[number]) {
        found[number] = true;
        place.x = x;
        place.y = 4 * placement.y4;
        places[number] = place;
      }
      x += number < kTileCount ? kTiles[number].width : 0;
    }
  };
  for (size_t frame = 0; frame < kFrames; ++frame) {
    for (size_t i = 0; i < kBackground[frame].size(); ++i)
      take(kBackground[frame][i], {frame, true, i, 0, 0});
  }
  for (size_t frame = 0; frame + 1 < kFrames; ++frame) {
    const std::span<const WallEntry> list = kDrawLists[frame];
    for (size_t i = list.size(); i-- > 0;) take(list[i].placement, {frame, false, i, 0, 0});
  }
  return places;
}

}  // namespace

std::vector<uint8_t> PieceIndices(std::span<const uint8_t> set, size_t number) {
  const TileDescriptor& tile = kTiles[number];
  std::vector<uint8_t> indices(size_t{tile.width} * tile.height);
  for (size_t i = 0; i < indices.size(); ++i) {
    const uint8_t byte = set[tile.offset + i / 2];
    indices[i] = i % 2 == 0 ? byte >> 4 : byte & 0xF;
  }
  return indices;
}

void StorePiece(std::span<uint8_t> set, size_t number, std::span<const uint8_t> indices) {
  const TileDescriptor& tile = kTiles[number];
  const size_t count = size_t{tile.width} * tile.height;
  for (size_t i = 0; i < count && i < indices.size(); i += 2) {
    const uint8_t right = i + 1 < indices.size() ? indices[i + 1] : 0;
    set[tile.offset + i / 2] = static_cast<uint8_t>((indices[i] & 0xF) << 4 | (right & 0xF));
  }
}

Picture555 PiecePicture(std::span<const uint8_t> set, size_t number, const Palette& palette) {
  const TileDescriptor& tile = kTiles[number];
  Picture555 picture{tile.width, tile.height, {}};
  const std::vector<uint8_t> indices = PieceIndices(set, number);
  picture.pixels.reserve(indices.size());
  for (const uint8_t index : indices) picture.pixels.push_back(palette[index] & 0x7FFF);
  return picture;
}

std::vector<uint8_t> NearestIndices(const Picture555& picture, const Palette& palette) {
  std::vector<uint8_t> indices;
  indices.reserve(picture.pixels.size());
  for (const uint16_t pixel : picture.pixels) indices.push_back(NearestEntry(palette, pixel));
  return indices;
}

std::string PieceFileName(size_t number) {
  std::array<char, 16> name{};
  std::snprintf(name.data(), name.size(), "tile%02zu.png", number);
  return name.data();
}

bool CheckTileSetSize(size_t size, std::string& error) {
  if (size >= kTileSetBytes) return true;
  error = "a tile set holds " + std::to_string(kTileSetBytes) + " bytes, the file has " +
          std::to_string(size);
  return false;
}

const std::array<PiecePlace, kTileCount>& PiecePlaces() {
  static const std::array<PiecePlace, kTileCount> places = FindPlaces();
  return places;
}

Picture555 AssembleView(size_t frame, const ViewBytes& walls,
                        const std::array<std::span<const uint8_t>, 3>& sets,
                        const Palette& palette) {
  Picture555 view{kScreenWidth, kScreenHeight, {}};
  view.pixels.assign(size_t{kScreenWidth} * kScreenHeight, 0);
  for (const Placement& placement : kBackground[frame])
    DrawPlacement(view, placement, sets[0], palette);
  const std::span<const WallEntry> list = kDrawLists[frame];
  size_t i = 0;
  while (i < list.size()) {
    const WallEntry& entry = list[i];
    if (entry.viewByte == kStop || entry.viewByte >= walls.size()) break;
    const uint8_t kind = walls[entry.viewByte] & 7;
    if (kind == 0 || kind > 3) {
      ++i;
      continue;
    }
    DrawPlacement(view, entry.placement, sets[kind - 1], palette);
    if (entry.next == kStop) break;
    i = entry.next;
  }
  return view;
}

}  // namespace tvx::tool::maze
