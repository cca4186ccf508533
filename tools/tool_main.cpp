#include "tools/tool_main.h"

#include <algorithm>
#include <array>
#include <iomanip>

#include "tools/anim_command.h"
#include "tools/arc_command.h"
#include "tools/build_command.h"
#include "tools/g16_command.h"
#include "tools/lzss_command.h"
#include "tools/maze_command.h"
#include "tools/mes_command.h"
#include "tools/run_command.h"
#include "tools/wav_command.h"

namespace tvx::tool {
namespace {

constexpr std::array kCommands = {
    Command{"anim", "make and read animation data for the slots of system call 3", RunAnim},
    Command{"arc", "pack, list and extract ARC archives", RunArc},
    Command{"build", "make a game folder from a source folder by convention", RunBuild},
    Command{"g16", "make G16 pictures from PNG files, and back", RunG16},
    Command{"lzss", "compress and expand files in the engine's LZSS coding", RunLzss},
    Command{"maze", "make maze maps, wall tiles and palettes, and render views", RunMaze},
    Command{"mes", "assemble and disassemble MES scripts", RunMes},
    Command{"run", "run a game folder, headless or in a window, and dump its state", RunRun},
    Command{"wav", "sound files: information, conversion, IMA ADPCM and loops", RunWav},
};

constexpr std::string_view kUsage = "usage: talvex-tool COMMAND [ARGS...] (see --help)\n";

void PrintHelp(std::ostream& out) {
  out << "talvex-tool: make, convert and inspect TALVEX game data.\n\n"
      << "usage: talvex-tool COMMAND [ARGS...]\n\ncommands:\n";
  for (const Command& command : kCommands) {
    out << "  " << std::left << std::setw(8) << command.name << command.summary << "\n";
  }
  out << "\nRun 'talvex-tool COMMAND --help' for a command's usage.\n";
}

}  // namespace

std::span<const Command> Commands() {
  return kCommands;
}

int RunTool(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kUsage;
    return kExitUsage;
  }
  if (IsHelpFlag(args[0]) || args[0] == "help") {
    PrintHelp(out);
    return kExitOk;
  }
  const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                  [&](const Command& command) { return command.name == args[0]; });
  if (found == kCommands.end()) {
    err << "talvex-tool: unknown command '" << args[0] << "'\n" << kUsage;
    return kExitUsage;
  }
  return found->run(args.subspan(1), out, err);
}

}  // namespace tvx::tool
