#include "tools/maze_command.h"

#include <string_view>
#include <vector>

#include "tools/maze_map.h"
#include "tools/maze_map_text.h"
#include "tools/text_files.h"

namespace tvx::tool {
namespace {

constexpr std::string_view kUsage =
    "usage: talvex-tool maze map|show|palette|tiles|render ... (see --help)\n";
constexpr std::string_view kMapUsage = "usage: talvex-tool maze map IN.txt OUT.DAT\n";
constexpr std::string_view kShowUsage = "usage: talvex-tool maze show IN.DAT [-o OUT.txt]\n";

constexpr std::string_view kHelp =
    "talvex-tool maze: the data of the maze view (system call 20).\n"
    "\n"
    "  talvex-tool maze map IN.txt OUT.DAT          build a map from a grid drawn in text\n"
    "  talvex-tool maze show IN.DAT [-o OUT.txt]    show a map as that text\n"
    "  talvex-tool maze palette IN.png OUT.PAL      the view's 16 colours from a picture\n"
    "  talvex-tool maze palette --show PAL OUT.png  the 16 colours as a strip of swatches\n"
    "  talvex-tool maze tiles OUT.DAT --palette PAL (--pieces DIR | --texture WALL.png)\n"
    "                                               a wall tile set from pictures\n"
    "  talvex-tool maze tiles --export SET.DAT --palette PAL DIR\n"
    "                                               a tile set's pieces as PNG files\n"
    "  talvex-tool maze render DIR X Y HEADING OUT.png [--frame F]\n"
    "                                               a view as the engine draws it\n"
    "\n"
    "The text format is described in docs/tools.md. Run 'talvex-tool maze COMMAND --help'\n"
    "for the details of one.\n";

constexpr std::string_view kMapHelp =
    "Builds a map record from a grid drawn in text:\n"
    "\n"
    "  +---+---+---+      '-' '|' a wall of set 1, '=' 'H' set 2 (both block the walker),\n"
    "  | 5     #   |      '#' a door of set 3 (passable), ' ' open, a hex digit 0-f any\n"
    "  +---+===+   +      wall value (bits 0-2 the set, 8 = cannot be walked through\n"
    "  |       H 12|      forwards); a number in a cell is its event (1-255)\n"
    "  +---+---+---+\n"
    "  wall 1 0 east 0    one side of one cell, where the two cells of a wall differ\n"
    "  spare 2 1 7        the cell's fourth byte, which the view does not read\n"
    "\n"
    "Every error is reported as FILE:LINE:COLUMN: message, and OUT.DAT is written only when\n"
    "there are none (and replaced only once it is complete). Warnings (sides of the outer\n"
    "edge the walker could step through, cells it cannot reach from (0, 0), a map without\n"
    "cells) do not stop the build.\n";

constexpr std::string_view kShowHelp =
    "Shows a map record as the text 'maze map' reads, on standard output or into OUT.txt.\n"
    "Building the text gives the same bytes again, for any record: where the two cells of\n"
    "a wall differ, the grid shows the upper or left one and a 'wall' line the other.\n";

int BuildMap(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (HasHelpFlag(args)) return Help(out, kMapUsage, kMapHelp);
  if (args.size() != 2 || IsOption(args[0]) || IsOption(args[1])) return Usage(err, kMapUsage);
  const std::string& in_path = args[0];
  const std::string& out_path = args[1];
  const auto source = ReadSource("maze map", in_path, err);
  if (!source) return kExitFailure;
  const maze::MapTextResult result = maze::ParseMapText(
      std::string_view(reinterpret_cast<const char*>(source->data()), source->size()), in_path);
  if (ReportErrors("maze map", result.errors, out_path, err)) return kExitFailure;
  for (const std::string& warning : result.warnings) err << warning << "\n";
  const std::vector<uint8_t> record = maze::WriteMap(result.map);
  if (!WriteOutput("maze map", out_path, record, err)) return kExitFailure;
  out << in_path << ": " << result.map.width << " x " << result.map.height << " cells -> "
      << out_path << " (" << record.size() << " bytes" << WarningCount(result.warnings.size())
      << ")\n";
  return kExitOk;
}

int ShowMap(CommandArgs args, std::ostream& out, std::ostream& err) {
  int exit_code = kExitOk;
  const auto paths = ParseShowArgs(args, out, err, kShowUsage, kShowHelp, exit_code);
  if (!paths) return exit_code;
  const auto bytes = ReadInput("maze show", paths->in, err);
  if (!bytes) return kExitFailure;
  const maze::MapReading reading = maze::ReadMap(*bytes);
  if (!reading.map) {
    err << "maze show: '" << paths->in << "' is not a map record: " << reading.error << "\n";
    return kExitFailure;
  }
  std::vector<std::string> notes;
  if (reading.extraBytes != 0) {
    notes.push_back("the file goes on for " + std::to_string(reading.extraBytes) +
                    " bytes after the map, which are not part of it");
  }
  return EmitText("maze show", maze::FormatMapText(*reading.map, paths->in, notes), paths->out, out,
                  err);
}

}  // namespace

int RunMaze(CommandArgs args, std::ostream& out, std::ostream& err) {
  static constexpr Action kActions[] = {{"map", BuildMap},
                                        {"show", ShowMap},
                                        {"palette", RunMazePalette},
                                        {"tiles", RunMazeTiles},
                                        {"render", RunMazeRender}};
  return RunAction(args, out, err, "maze", kUsage, kHelp, kActions);
}

}  // namespace tvx::tool
