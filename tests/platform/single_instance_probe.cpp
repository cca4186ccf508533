// Stands in for a copy of the program in the single-instance test: takes the lock for its
// own program file, says "running" or "busy", and holds the lock until its input closes.
#include <cstdio>
#include <string>

#include "platform/file.h"

int main() {
  if (!tvx::platform::AcquireSingleInstance(tvx::platform::ProgramPath())) {
    std::puts("busy");
    return 0;
  }
  std::puts("running");
  std::fflush(stdout);
  while (std::getchar() != EOF) {
  }
  return 0;
}
