// main() of the two programs: talvex (full screen) and talvex-windowed. They differ only in
// TALVEX_WINDOWED, the windowed presentation option. Both carry the developer tools that the
// debug menu's DUMP and COMMAND use. The one argument, if any, is the game folder.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/game_system.h"
#include "app/program_entry.h"
#include "platform/path_text.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"
#include "tools/game_developer_tools.h"

#ifndef TALVEX_WINDOWED
#define TALVEX_WINDOWED 0
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> args = tvx::platform::ProgramArguments(argc, argv);
  // Before the game system exists: its settings file is found from the program's place.
  if (const int status =
          tvx::TakeCommandLine(TALVEX_WINDOWED ? "talvex-windowed" : "talvex", args, std::cerr))
    return status;
  auto backend = tvx::platform::CreateSdlBackend(TALVEX_WINDOWED != 0);
  if (!backend) return 1;
  tvx::platform::Install(std::move(backend));
  // The platform goes last, after the game system's exit-time destruction.
  std::atexit([] { tvx::platform::Uninstall(); });
  static tvx::tool::GameDeveloperTools developer_tools;
  static tvx::GameSystem system(tvx::GameSystem::Options{.windowed = TALVEX_WINDOWED != 0});
  system.SetDeveloperTools(&developer_tools);
  return tvx::ProgramEntry(system);
}
