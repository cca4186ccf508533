// `talvex-tool maze render`: a view of a maze as the engine draws it, by the engine's own
// DungeonView, from a game folder's map, tile sets and palette.
#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "graphics/dungeon_view.h"
#include "graphics/vram_plane_set.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "tools/maze_command.h"
#include "tools/maze_map.h"
#include "tools/maze_palette.h"
#include "tools/maze_tile_set.h"
#include "tools/png_io.h"
#include "tools/text_files.h"

namespace tvx::tool {
namespace {

constexpr std::string_view kUsage =
    "usage: talvex-tool maze render DIR X Y HEADING OUT.png [--frame F]\n"
    "                   [--map MAP.DAT] [--tiles A.DAT[,B.DAT,C.DAT]] [--palette PAL.DAT]\n";

constexpr std::string_view kHelp =
    "Draws the maze view of a walker at cell (X, Y) facing HEADING (east, north, west, south\n"
    "or 0-3) as the engine draws it, into a 640 x 480 PNG. The data comes from the game\n"
    "folder DIR: MAP.DAT (the map), WALL1.DAT, WALL2.DAT, WALL3.DAT (the tile sets of wall\n"
    "kinds 1-3) and PAL.DAT (the palette), or from the files the options name.\n"
    "\n"
    "  --frame F      0 standing (the default), 1 and 2 a step's nearer and farther frame,\n"
    "                 3 and 4 the two halves of a turn\n"
    "  --map FILE     the map\n"
    "  --tiles LIST   the three tile sets, separated by commas; one name for all three\n"
    "  --palette FILE the palette\n";

std::optional<uint32_t> ParseNumber(std::string_view text, uint32_t max) {
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value > max)
    return std::nullopt;
  return value;
}

std::optional<uint16_t> ParseHeading(std::string_view text) {
  static constexpr std::array<std::string_view, 4> kNames = {"east", "north", "west", "south"};
  for (size_t i = 0; i < kNames.size(); ++i)
    if (text == kNames[i]) return static_cast<uint16_t>(i);
  const auto number = ParseNumber(text, 3);
  if (!number) return std::nullopt;
  return static_cast<uint16_t>(*number);
}

std::vector<std::string> SplitNames(const std::string& list) {
  std::vector<std::string> names;
  size_t start = 0;
  while (true) {
    const size_t comma = list.find(',', start);
    names.push_back(list.substr(start, comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return names;
}

struct Files {
  std::string map;
  std::array<std::string, 3> tiles;
  std::string palette;
};

std::optional<std::vector<uint8_t>> Load(const std::string& path, std::ostream& err) {
  return ReadInput("maze render", path, err);
}

}  // namespace

int RunMazeRender(CommandArgs args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> positional;
  std::optional<std::string> map_option;
  std::optional<std::string> tiles_option;
  std::optional<std::string> palette_option;
  uint32_t frame = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (IsHelpFlag(arg)) return Help(out, kUsage, kHelp);
    const bool has_value = i + 1 < args.size() && !args[i + 1].empty();
    if (arg == "--frame" && has_value) {
      const auto value = ParseNumber(args[++i], 4);
      if (!value) return Usage(err, kUsage);
      frame = *value;
    } else if (arg == "--map" && has_value && !map_option) {
      map_option = args[++i];
    } else if (arg == "--tiles" && has_value && !tiles_option) {
      tiles_option = args[++i];
    } else if (arg == "--palette" && has_value && !palette_option) {
      palette_option = args[++i];
    } else if (!IsOption(arg) && !arg.empty()) {
      positional.push_back(arg);
    } else {
      return Usage(err, kUsage);
    }
  }
  if (positional.size() != 5) return Usage(err, kUsage);
  const std::filesystem::path dir = positional[0];
  const auto x = ParseNumber(positional[1], 0xFFFF);
  const auto y = ParseNumber(positional[2], 0xFFFF);
  const auto heading = ParseHeading(positional[3]);
  if (!x || !y || !heading) return Usage(err, kUsage);
  const std::string& out_path = positional[4];

  Files files{platform::PathText(dir / "MAP.DAT"),
              {platform::PathText(dir / "WALL1.DAT"), platform::PathText(dir / "WALL2.DAT"),
               platform::PathText(dir / "WALL3.DAT")},
              platform::PathText(dir / "PAL.DAT")};
  if (map_option) files.map = *map_option;
  if (palette_option) files.palette = *palette_option;
  if (tiles_option) {
    const std::vector<std::string> names = SplitNames(*tiles_option);
    if (names.size() != 1 && names.size() != 3) return Usage(err, kUsage);
    for (size_t i = 0; i < 3; ++i) files.tiles[i] = names[names.size() == 1 ? 0 : i];
  }

  const auto map = Load(files.map, err);
  if (!map) return kExitFailure;
  const maze::MapReading reading = maze::ReadMap(*map);
  if (!reading.map) {
    err << "maze render: " << files.map << ": " << reading.error << "\n";
    return kExitFailure;
  }
  if (*x >= reading.map->width || *y >= reading.map->height) {
    err << "maze render: (" << *x << ", " << *y << ") is outside the " << reading.map->width
        << " x " << reading.map->height << " map of " << files.map << "\n";
    return kExitFailure;
  }
  std::array<std::vector<uint8_t>, 3> sets;
  for (size_t i = 0; i < 3; ++i) {
    auto set = Load(files.tiles[i], err);
    if (!set) return kExitFailure;
    std::string error;
    if (!maze::CheckTileSetSize(set->size(), error)) {
      err << "maze render: " << files.tiles[i] << ": " << error << "\n";
      return kExitFailure;
    }
    sets[i] = std::move(*set);
  }
  const auto palette_bytes = Load(files.palette, err);
  if (!palette_bytes) return kExitFailure;
  std::string error;
  if (!maze::ReadPalette(*palette_bytes, error)) {
    err << "maze render: " << files.palette << ": " << error << "\n";
    return kExitFailure;
  }

  // The view draws onto a plane of our own; the plane set it is made with stays empty.
  VramPlaneSet planes;
  DungeonView view(planes);
  const MazeData data{*map, {sets[0], sets[1], sets[2]}, *palette_bytes, {}};
  if (!view.SetUp(data)) {
    err << "maze render: the engine does not take this maze\n";
    return kExitFailure;
  }
  view.Place(static_cast<uint16_t>(*x), static_cast<uint16_t>(*y), *heading);
  constexpr uint16_t kWidth = VramPlaneSet::kScreenWidth;
  constexpr uint16_t kHeight = VramPlaneSet::kScreenHeight;
  std::vector<uint16_t> pixels(size_t{kWidth} * kHeight);
  VramPlane plane{pixels, 0, 0, kWidth, kHeight};
  view.DrawOnto(plane, frame);
  Picture555 picture{kWidth, kHeight, {}};
  picture.pixels.reserve(pixels.size());
  for (uint32_t row = 0; row < kHeight; ++row)
    for (uint32_t column = 0; column < kWidth; ++column)
      picture.pixels.push_back(plane.At(column, row));
  if (!WritePngFile(out_path, picture, error)) {
    err << "maze render: " << error << "\n";
    return kExitFailure;
  }
  static constexpr std::array<std::string_view, 4> kHeadings = {"east", "north", "west", "south"};
  out << files.map << ": (" << *x << ", " << *y << ") facing " << kHeadings[*heading] << ", frame "
      << frame << " -> " << out_path << "\n";
  return kExitOk;
}

}  // namespace tvx::tool
