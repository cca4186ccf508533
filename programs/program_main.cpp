// main() of the two programs: talvex (full screen) and talvex-windowed. They differ only in
// TALVEX_WINDOWED, the windowed presentation option. Both carry the developer tools that the
// debug menu's DUMP and COMMAND use.
#include <cstdio>
#include <cstdlib>

#include "app/game_system.h"
#include "app/program_entry.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"
#include "tools/game_developer_tools.h"

#ifndef TALVEX_WINDOWED
#define TALVEX_WINDOWED 0
#endif

int main() {
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
