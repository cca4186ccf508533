#include "app/program_entry.h"

#include "app/game_system.h"
#include "platform/file.h"

namespace tvx {

int ProgramEntry(GameSystem& system) {
  if (!platform::AcquireSingleInstance(platform::ProgramPath())) return 0;
  return system.RunSystem();
}

}  // namespace tvx
