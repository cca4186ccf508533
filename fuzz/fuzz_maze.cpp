// Any bytes as maze data. As map text: the parser takes anything, and whatever builds comes
// back through show and map as the same record. As a map record: `maze show` reads it inside
// its bytes and what it prints always builds into the same record. As a palette and a tile set
// (however short): a view is assembled from them without reading outside them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "tools/maze_map.h"
#include "tools/maze_map_text.h"
#include "tools/maze_palette.h"
#include "tools/maze_tile_set.h"

namespace {

using namespace tvx::tool::maze;

// Shows a map and builds the text again; aborts when it does not give the same record.
void ShowAndBuild(const MazeMap& map) {
  const MapTextResult result = ParseMapText(FormatMapText(map, "fuzz"), "shown.txt");
  if (!result.ok() || WriteMap(result.map) != WriteMap(map)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const MapTextResult text =
      ParseMapText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.txt");
  if (text.ok()) ShowAndBuild(text.map);

  const MapReading reading = ReadMap(bytes);
  if (reading.map) ShowAndBuild(*reading.map);

  if (size >= kPaletteBytes && data[0] % 16 == 0) {
    std::string error;
    const auto palette = ReadPalette(bytes.first(kPaletteBytes), error);
    if (!palette) std::abort();
    ViewBytes walls{};
    for (size_t i = 0; i < walls.size() && kPaletteBytes + i < size; ++i)
      walls[i] = data[kPaletteBytes + i];
    const std::span<const uint8_t> set = bytes.subspan(kPaletteBytes);
    const tvx::tool::Picture555 view =
        AssembleView(data[1] % kFrames, walls, {set, set, set}, *palette);
    if (view.pixels.size() != 640u * 480u) std::abort();
  }
  return 0;
}
