// `talvex-tool maze palette`: the maze view's 16 colours from a picture, and back as swatches.
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "tools/maze_command.h"
#include "tools/maze_palette.h"
#include "tools/png_io.h"
#include "tools/text_files.h"

namespace tvx::tool {
namespace {

constexpr std::string_view kUsage =
    "usage: talvex-tool maze palette IN.png OUT.PAL\n"
    "       talvex-tool maze palette --show PAL.DAT OUT.png\n";

constexpr std::string_view kHelp =
    "Makes the maze view's palette, 16 colours of the engine's 5-5-5 pixels (32 bytes), from\n"
    "a PNG: a picture of exactly 16 pixels (any shape, read row by row) is taken as it is;\n"
    "any other picture is reduced to 16 colours (a median cut refined by k-means, sorted\n"
    "from dark to light; the same picture always gives the same palette).\n"
    "\n"
    "  --show PAL.DAT OUT.png   writes the 16 colours as a strip of 32 x 32 swatches,\n"
    "                           entry 0 on the left\n";

int ShowPalette(const std::string& in_path, const std::string& out_path, std::ostream& out,
                std::ostream& err) {
  const auto bytes = ReadInput("maze palette", in_path, err);
  if (!bytes) return kExitFailure;
  std::string error;
  const auto palette = maze::ReadPalette(*bytes, error);
  if (!palette) {
    err << "maze palette: " << in_path << ": " << error << "\n";
    return kExitFailure;
  }
  if (!WritePngFile(out_path, maze::PaletteStrip(*palette), error)) {
    err << "maze palette: " << error << "\n";
    return kExitFailure;
  }
  out << in_path << " -> " << out_path << ": 16 swatches\n";
  return kExitOk;
}

}  // namespace

int RunMazePalette(CommandArgs args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> paths;
  bool show = false;
  for (const std::string& arg : args) {
    if (IsHelpFlag(arg)) return Help(out, kUsage, kHelp);
    if (arg == "--show" && !show) {
      show = true;
    } else if (!IsOption(arg) && !arg.empty()) {
      paths.push_back(arg);
    } else {
      return Usage(err, kUsage);
    }
  }
  if (paths.size() != 2) return Usage(err, kUsage);
  if (show) return ShowPalette(paths[0], paths[1], out, err);

  std::string error;
  const auto picture = ReadPngFile(paths[0], error);
  if (!picture) {
    err << "maze palette: " << error << "\n";
    return kExitFailure;
  }
  const maze::PaletteMaking making = maze::MakePalette(*picture);
  if (!WriteOutput("maze palette", paths[1], maze::WritePalette(making.palette), err)) {
    return kExitFailure;
  }
  out << paths[0] << ": ";
  if (making.takenAsIs) {
    out << "16 pixels taken as they are";
  } else {
    out << making.colours << (making.colours == 1 ? " colour" : " colours");
    if (making.colours > maze::kPaletteColours) {
      out << " reduced to 16";
    } else if (making.colours < maze::kPaletteColours) {
      out << ", the lightest repeated";
    }
  }
  out << " -> " << paths[1] << "\n";
  return kExitOk;
}

}  // namespace tvx::tool
