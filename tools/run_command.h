// talvex-tool run: runs the engine on a game folder, headless (reproducible, with scripted
// input) or in a window, and dumps what the run left behind.
#pragma once

#include "tools/command.h"

namespace tvx::tool {

// Exit status when --until-ms of virtual time ran out before the game ended.
inline constexpr int kExitTimeLimit = 124;

int RunRun(CommandArgs args, std::ostream& out, std::ostream& err);

}  // namespace tvx::tool
