// Any byte string as the start script: the interpreter runs it for a bounded number of
// fetched bytes and two seconds of virtual time (so that waits for the player end), and
// never touches memory outside the script machine's areas.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "app/game_system.h"
#include "fuzz/fuzz_support.h"
#include "platform/platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tvx;
  fuzz::EnterScratchFolder();
  fuzz::RecycleBackend();
  fuzz::WriteFile("MAIN.MES", std::span(data, size));
  auto system = std::make_unique<GameSystem>(GameSystem::Options{.windowed = true});
  if (system->StartUp()) {
    system->interpreter().SetFetchBudget(20000);
    platform::SetDeadline(
        platform::TickCount() + 2000,
        [](void* game) {
          static_cast<GameSystem*>(game)->mainWindow().SetRunState(MainWindow::kQuit);
        },
        system.get());
    system->RunGame();
  }
  platform::SetDeadline(0, nullptr, nullptr);
  return 0;
}
