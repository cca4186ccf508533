// `talvex-tool maze`: maze maps from text and back, the view's palette and wall tile sets
// from pictures, and views rendered as the engine draws them.
#pragma once

#include "tools/command.h"

namespace tvx::tool {

int RunMaze(CommandArgs args, std::ostream& out, std::ostream& err);

// The actions beyond `map` and `show`, each in a file of its own.
int RunMazePalette(CommandArgs args, std::ostream& out, std::ostream& err);
int RunMazeTiles(CommandArgs args, std::ostream& out, std::ostream& err);
int RunMazeRender(CommandArgs args, std::ostream& out, std::ostream& err);

}  // namespace tvx::tool
