// A wall tile set of the maze view as the toolkit makes it: 966624 bytes holding the 45 pieces
// of graphics/dungeon_tables.h at their offsets, 4 bits a pixel (the high nibble the left
// pixel), rows from the top; and where each piece is drawn, so that it can be made for one
// of its places and assembled into whole views as the engine draws them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "graphics/dungeon_tables.h"
#include "tools/maze_palette.h"
#include "tools/png_io.h"

namespace tvx::tool::maze {

// The view's fixed tables, as the toolkit's maze code names them.
using ::tvx::maze::kBackground;
using ::tvx::maze::kDrawLists;
using ::tvx::maze::kFrames;
using ::tvx::maze::kMirrored;
using ::tvx::maze::kStop;
using ::tvx::maze::kTileCount;
using ::tvx::maze::kTiles;
using ::tvx::maze::kTileSetBytes;
using ::tvx::maze::Placement;
using ::tvx::maze::TileDescriptor;
using ::tvx::maze::WallEntry;

// A piece as palette indices, one byte a pixel, rows from the top.
std::vector<uint8_t> PieceIndices(std::span<const uint8_t> set, size_t number);
void StorePiece(std::span<uint8_t> set, size_t number, std::span<const uint8_t> indices);

Picture555 PiecePicture(std::span<const uint8_t> set, size_t number, const Palette& palette);
// Every pixel to its nearest palette entry.
std::vector<uint8_t> NearestIndices(const Picture555& picture, const Palette& palette);

// "tile00.png" … "tile44.png".
std::string PieceFileName(size_t number);

// The bytes of a tile set file: at least the 966624 the pieces take (the engine reads no
// further); `error` says why not.
bool CheckTileSetSize(size_t size, std::string& error);

// One place a piece is drawn without mirroring: in `frame`, in the background (entry of
// kBackground: 0 the ceiling, 1 the floor) or for the wall of draw-list entry `entry`, at
// screen column `x` and row `y`.
struct PiecePlace {
  size_t frame = 0;
  bool background = false;
  size_t entry = 0;
  int x = 0;
  int y = 0;
};
// The place each piece is made for: its first unmirrored use, backgrounds first, then the
// draw lists of frames 0-3 from their last entry (the walls straight ahead, which hold the
// pieces whole) to their first. Frame 4 is drawn from mirrored pieces only.
const std::array<PiecePlace, kTileCount>& PiecePlaces();

// The wall values of a view (index = view byte, 0-30; the engine reads 3-30), and a view
// drawn from three tile sets as the engine draws it: the plane cleared to 0, the background
// of the frame from tile set 1, then the draw list's walls whose values have a kind of 1-3,
// each from the set of its kind (kinds 4-7 have no tile set: like open sides, they let the
// list go on to what lies behind them).
using ViewBytes = std::array<uint8_t, 31>;
Picture555 AssembleView(size_t frame, const ViewBytes& walls,
                        const std::array<std::span<const uint8_t>, 3>& sets,
                        const Palette& palette);

}  // namespace tvx::tool::maze
