// main() of the two programs: talvex (full screen) and talvex-windowed. They differ only in
// TALVEX_WINDOWED, the windowed presentation option.
#include <cstdio>
#include <cstdlib>

#include "app/game_system.h"
#include "app/program_entry.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"

#ifndef TALVEX_WINDOWED
#define TALVEX_WINDOWED 0
#endif

int main() {
  auto backend = tvx::platform::CreateSdlBackend(TALVEX_WINDOWED != 0);
  if (!backend) return 1;
  tvx::platform::Install(std::move(backend));
  // The platform goes last, after the game system's exit-time destruction.
  std::atexit([] { tvx::platform::Uninstall(); });
  static tvx::GameSystem system(tvx::GameSystem::Options{.windowed = TALVEX_WINDOWED != 0});
  return tvx::ProgramEntry(system);
}
