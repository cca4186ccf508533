#include "fuzz/fuzz_support.h"

#include <cstdlib>
#include <memory>

#include "platform/file.h"
#include "platform/headless/headless_backend.h"
#include "platform/platform.h"

namespace tvx::fuzz {

namespace {

// A headless backend that mixes sound (so the sound code runs) but records none: over
// thousands of inputs the virtual time would add up to minutes of recording.
void InstallBackend() {
  auto backend = std::make_unique<platform::HeadlessBackend>();
  backend->set_record_limit_seconds(0);
  platform::Install(std::move(backend));
}

}  // namespace

platform::MemoryFolder& UseMemoryFolder() {
  static platform::MemoryFolder* folder = [] {
    auto* made = new platform::MemoryFolder;  // lives as long as the process
    platform::UseMemoryFolder(made);
    platform::SetFlushBeforeRename(false);
    platform::SetProgramPathOverride(std::string(kGameFolder) + "talvex");
    InstallBackend();
    return made;
  }();
  return *folder;
}

void ForgetBoxes() {
  platform::ForgetShownBoxes();
}

void PutFile(const std::string& name, std::span<const uint8_t> data) {
  UseMemoryFolder().Put(name, data);
}

void PutSettings(std::string_view text) {
  UseMemoryFolder().Put(std::string(kSettingsPath), text);
}

namespace {

// Loose files only: the inputs are the files.
constexpr std::string_view kGameSettings =
    "[FILE]\nbARCMES=0\nbARCBG=0\nbARCDATA=0\nbARCBGM=0\nbARCVOICE=0\n";

}  // namespace

void ResetFolder() {
  UseMemoryFolder().Clear();
  PutSettings(kGameSettings);
}

GameSystem& Game() {
  static GameSystem* game = [] {
    ResetFolder();
    auto* made = new GameSystem(GameSystem::Options{.windowed = true});
    // Without a system nothing can be fuzzed: stop at once rather than report nothing.
    if (!made->StartUp()) std::abort();
    return made;
  }();
  return *game;
}

GameSystem::Ending ReplayBounded(uint32_t virtual_ms, uint64_t fetch_budget) {
  GameSystem& game = Game();
  game.interpreter().SetFetchBudget(fetch_budget);
  // Halt, not a quit request: every wait ends, those inside commands too.
  platform::SetDeadline(
      platform::TickCount() + uint64_t{virtual_ms},
      [](void* context) { static_cast<GameSystem*>(context)->Halt(); }, &game);
  const GameSystem::Ending ending = game.ReplayStartScript(0);
  platform::SetDeadline(0, nullptr, nullptr);
  // What the input put or saved goes with it: an input that frees all it allocated is not
  // run a second time, nor searched for leaks.
  ForgetBoxes();
  UseMemoryFolder().Clear();
  return ending;
}

}  // namespace tvx::fuzz
