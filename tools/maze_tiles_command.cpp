// `talvex-tool maze tiles`: a wall tile set from one PNG per piece or from one wall texture,
// and a tile set's pieces back out as PNG files.
#include <charconv>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "graphics/dungeon_tables.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "tools/maze_command.h"
#include "tools/maze_palette.h"
#include "tools/maze_tile_set.h"
#include "tools/maze_view_previews.h"
#include "tools/maze_wall_painter.h"
#include "tools/png_io.h"
#include "tools/text_files.h"

namespace tvx::tool {
namespace {

constexpr std::string_view kUsage =
    "usage: talvex-tool maze tiles OUT.DAT --palette PAL.DAT --pieces DIR [--preview DIR]\n"
    "       talvex-tool maze tiles OUT.DAT --palette PAL.DAT --texture WALL.png\n"
    "                   [--ceiling RRGGBB] [--floor RRGGBB] [--dither] [--preview DIR]\n"
    "       talvex-tool maze tiles --export SET.DAT --palette PAL.DAT DIR\n";

constexpr std::string_view kHelp =
    "Makes a wall tile set of the maze view: 966624 bytes, the 45 pieces the view is drawn\n"
    "from, 4 bits a pixel, each pixel the nearest of the palette's 16 colours.\n"
    "\n"
    "  --pieces DIR        one PNG per piece, DIR/tile00.png ... tile44.png, each exactly\n"
    "                      the piece's size; a missing one leaves its piece at colour 0\n"
    "  --texture WALL.png  renders every piece from one (square) wall texture, in the\n"
    "                      view's perspective, over a ceiling and a floor\n"
    "  --ceiling RRGGBB    the ceiling's colour (default: the palette's darkest)\n"
    "  --floor RRGGBB      the floor's colour (default: the palette's lightest)\n"
    "  --dither            an ordered dither before the nearest colour is taken\n"
    "  --preview DIR       also writes views assembled from the new set as the engine\n"
    "                      draws them: DIR/view-F-SCENE.png for frames 0-4 and a few\n"
    "                      arrangements of walls\n"
    "  --export SET.DAT    writes the pieces of a tile set into DIR as tile00.png ...\n"
    "                      tile44.png (the names --pieces reads)\n";

struct Options {
  std::vector<std::string> paths;
  std::string palette;
  std::string pieces;
  std::string texture;
  std::string preview;
  std::string exported;
  std::optional<maze::Colour> ceiling;
  std::optional<maze::Colour> floor;
  bool dither = false;
};

std::optional<maze::Colour> ParseColour(std::string_view text) {
  if (text.size() == 7 && text[0] == '#') text.remove_prefix(1);
  if (text.size() != 6) return std::nullopt;
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return maze::ColourOf(Pack555(static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                                static_cast<uint8_t>(value)));
}

// Nothing when the command line is no good.
std::optional<Options> ParseOptions(CommandArgs args) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size() && !args[i + 1].empty();
    std::string* value = nullptr;
    if (arg == "--palette") value = &options.palette;
    if (arg == "--pieces") value = &options.pieces;
    if (arg == "--texture") value = &options.texture;
    if (arg == "--preview") value = &options.preview;
    if (arg == "--export") value = &options.exported;
    if (value != nullptr) {
      if (!has_value || !value->empty()) return std::nullopt;
      *value = args[++i];
    } else if (arg == "--ceiling" || arg == "--floor") {
      if (!has_value) return std::nullopt;
      const auto colour = ParseColour(args[++i]);
      if (!colour) return std::nullopt;
      (arg == "--ceiling" ? options.ceiling : options.floor) = colour;
    } else if (arg == "--dither") {
      options.dither = true;
    } else if (!IsOption(arg) && !arg.empty()) {
      options.paths.push_back(arg);
    } else {
      return std::nullopt;
    }
  }
  const bool exporting = !options.exported.empty();
  const bool from_texture = !options.texture.empty();
  const bool from_pieces = !options.pieces.empty();
  if (options.palette.empty() || options.paths.size() != 1) return std::nullopt;
  if (exporting && (from_texture || from_pieces || !options.preview.empty())) return std::nullopt;
  if (!exporting && from_texture == from_pieces) return std::nullopt;
  if (!from_texture && (options.ceiling || options.floor || options.dither)) return std::nullopt;
  return options;
}

std::optional<maze::Palette> LoadPalette(const std::string& path, std::ostream& err) {
  const auto bytes = ReadInput("maze tiles", path, err);
  if (!bytes) {
    return std::nullopt;
  }
  std::string error;
  auto palette = maze::ReadPalette(*bytes, error);
  if (!palette) err << "maze tiles: " << path << ": " << error << "\n";
  return palette;
}

int Export(const Options& options, const maze::Palette& palette, std::ostream& out,
           std::ostream& err) {
  const auto set = ReadInput("maze tiles", options.exported, err);
  if (!set) return kExitFailure;
  std::string error;
  if (!maze::CheckTileSetSize(set->size(), error)) {
    err << "maze tiles: " << options.exported << ": " << error << "\n";
    return kExitFailure;
  }
  const std::filesystem::path dir = platform::PathFromText(options.paths[0]);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  for (size_t number = 0; number < maze::kTileCount; ++number) {
    const std::string path = platform::PathText(dir / maze::PieceFileName(number));
    if (!WritePngFile(path, maze::PiecePicture(*set, number, palette), error)) {
      err << "maze tiles: " << error << "\n";
      return kExitFailure;
    }
  }
  out << options.exported << " -> " << platform::PathText(dir) << ": 45 pieces\n";
  return kExitOk;
}

// The pieces from DIR/tileNN.png; false (with the errors told) when any is unusable.
bool ReadPieces(const Options& options, const maze::Palette& palette, std::vector<uint8_t>& set,
                std::ostream& err, size_t& missing) {
  bool ok = true;
  for (size_t number = 0; number < maze::kTileCount; ++number) {
    const std::string path =
        platform::PathText(platform::PathFromText(options.pieces) / maze::PieceFileName(number));
    const maze::TileDescriptor& tile = maze::kTiles[number];
    if (!platform::FileExists(path)) {
      err << "maze tiles: warning: " << path << " is missing; piece " << number
          << " stays colour 0\n";
      ++missing;
      continue;
    }
    std::string error;
    const auto picture = ReadPngFile(path, error);
    if (!picture) {
      err << "maze tiles: " << error << "\n";
      ok = false;
      continue;
    }
    if (picture->width != tile.width || picture->height != tile.height) {
      err << "maze tiles: " << path << ": " << picture->width << " x " << picture->height
          << ", but piece " << number << " is " << tile.width << " x " << tile.height << "\n";
      ok = false;
      continue;
    }
    maze::StorePiece(set, number, maze::NearestIndices(*picture, palette));
  }
  return ok;
}

}  // namespace

int RunMazeTiles(CommandArgs args, std::ostream& out, std::ostream& err) {
  for (const std::string& arg : args)
    if (IsHelpFlag(arg)) return Help(out, kUsage, kHelp);
  const auto options = ParseOptions(args);
  if (!options) return Usage(err, kUsage);
  const auto palette = LoadPalette(options->palette, err);
  if (!palette) return kExitFailure;
  if (!options->exported.empty()) return Export(*options, *palette, out, err);

  const std::string& out_path = options->paths[0];
  std::vector<uint8_t> set(maze::kTileSetBytes, 0);
  std::string source;
  if (!options->pieces.empty()) {
    size_t missing = 0;
    if (!ReadPieces(*options, *palette, set, err, missing)) {
      err << "maze tiles: " << out_path << " not written\n";
      return kExitFailure;
    }
    source = std::to_string(maze::kTileCount - missing) + " pieces from " + options->pieces;
  } else {
    std::string error;
    const auto texture = ReadPngFile(options->texture, error);
    if (!texture) {
      err << "maze tiles: " << error << "\n";
      return kExitFailure;
    }
    maze::WallLook look;
    look.dither = options->dither;
    size_t darkest = 0;
    size_t lightest = 0;
    for (size_t i = 1; i < maze::kPaletteColours; ++i) {
      if (maze::Brightness((*palette)[i]) < maze::Brightness((*palette)[darkest])) darkest = i;
      if (maze::Brightness((*palette)[i]) > maze::Brightness((*palette)[lightest])) lightest = i;
    }
    look.ceiling = options->ceiling.value_or(maze::ColourOf((*palette)[darkest]));
    look.floor = options->floor.value_or(maze::ColourOf((*palette)[lightest]));
    const maze::WallPainter painter(*texture, look, *palette);
    for (size_t number = 0; number < maze::kTileCount; ++number)
      maze::StorePiece(set, number, painter.Piece(number));
    source = "45 pieces rendered from " + options->texture;
  }
  if (!WriteOutput("maze tiles", out_path, set, err)) {
    return kExitFailure;
  }
  out << source << " -> " << out_path << " (" << set.size() << " bytes)\n";
  if (!options->preview.empty()) {
    std::string error;
    const auto written = maze::WritePreviews(options->preview, set, *palette, error);
    if (!written) {
      err << "maze tiles: " << error << "\n";
      return kExitFailure;
    }
    out << *written << " views -> " << options->preview << "\n";
  }
  return kExitOk;
}

}  // namespace tvx::tool
