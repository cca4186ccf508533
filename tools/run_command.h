// talvex-tool run: runs the engine on a game folder, headless (reproducible, with scripted
// input) or in a window, and dumps what the run left behind.
#pragma once

#include <filesystem>
#include <ostream>

#include "app/game_system.h"
#include "platform/framebuffer.h"
#include "tools/command.h"

namespace tvx::tool {

// Exit status when --until-ms of virtual time ran out before the game ended.
inline constexpr int kExitTimeLimit = 124;

int RunRun(CommandArgs args, std::ostream& out, std::ostream& err);

// The exit status of a run that ended so: 0 when the game ended by itself, 124 when the time
// ran out, 1 when the engine could not start or the start script could not be loaded.
int RunExitStatus(GameSystem::Ending ending, bool time_ran_out);

// The files of a dump (see `run --help`) as the game stands, into `dir` (made if need be);
// `screen` is the window's picture, if any. False, with a message, when one cannot be written.
bool WriteDump(const std::filesystem::path& dir, GameSystem& system,
               const platform::Framebuffer* screen, std::ostream& err);

}  // namespace tvx::tool
