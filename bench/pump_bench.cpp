// The interpreter pumps messages before every command: with nothing queued a pass must cost
// well under a microsecond on the headless backend.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/game_system.h"
#include "app/pump.h"
#include "platform/file.h"
#include "platform/headless/headless_backend.h"
#include "platform/platform.h"

namespace {

void BM_PumpOnceNothingQueued(benchmark::State& state) {
  tvx::platform::SetProgramPathOverride("/nonexistent/talvex-bench/talvex");
  tvx::platform::Install(std::make_unique<tvx::platform::HeadlessBackend>());
  auto system = std::make_unique<tvx::GameSystem>(tvx::GameSystem::Options{.windowed = true});
  if (!system->StartUp()) {
    state.SkipWithError("start-up failed");
    return;
  }
  while (tvx::platform::QueuedMessageCount() > 0) tvx::PumpOnce();
  for (auto _ : state) benchmark::DoNotOptimize(tvx::PumpOnce());
  system.reset();
  tvx::platform::Uninstall();
}
BENCHMARK(BM_PumpOnceNothingQueued);

}  // namespace

BENCHMARK_MAIN();
