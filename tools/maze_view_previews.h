// Views assembled from a new tile set as the engine draws them, for a maker to look at: each
// frame with a few arrangements of walls, and all of them on one sheet.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tools/maze_palette.h"
#include "tools/maze_tile_set.h"

namespace tvx::tool::maze {

struct PreviewScene {
  std::string_view name;
  ViewBytes walls;
};
// The arrangements: the walker's cell closed, a corridor, a junction, a hall, and walls only
// further off, between them showing every placement of every frame.
std::span<const PreviewScene> PreviewScenes();

// Writes DIR/view-F-SCENE.png for every frame and scene, drawn with `set` as all three tile
// sets, and DIR/sheet.png with all of them at half size (a row per scene, a column per
// frame). The number of files written; nothing with `error` set when one cannot be.
std::optional<size_t> WritePreviews(const std::string& dir, std::span<const uint8_t> set,
                                    const Palette& palette, std::string& error);

}  // namespace tvx::tool::maze
