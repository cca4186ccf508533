// Interpreted commands per second: a loop of stores, IFs and JUMPs with expressions, run by
// the whole engine on the headless platform, the message pump called before every command.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "app/game_system.h"
#include "platform/file.h"
#include "platform/headless/headless_backend.h"
#include "platform/platform.h"

namespace {

constexpr uint32_t kIterations = 1'000'000;
constexpr uint32_t kCommandsPerIteration = 4;

// loop:  SET_REG32 A, A32 + 1
//        SET_REG32 B, B32 * 3 + A32
//        IF A32 < 1000000, end
//        JUMP loop
// end:   END
std::vector<uint8_t> LoopScript() {
  return {0x14, 0x00, 0xF6, 0x00, 0x01, 0xE0, 0xFF, 0x00,                    // 0
          0x14, 0x01, 0xF6, 0x01, 0x03, 0xE2, 0xF6, 0x00, 0xE0, 0xFF, 0x00,  // 8
          0x09, 0xF6, 0x00, 0xF2, 0x40, 0x42, 0x0F, 0x00, 0xEB, 0xFF,        // 19
          38,   0x00, 0x00, 0x00,                                            // target
          0x0A, 0x00, 0x00, 0x00, 0x00,                                      // 33
          0x00};                                                             // 38
}

void BM_InterpretedCommands(benchmark::State& state) {
  const auto dir = std::filesystem::temp_directory_path() / "talvex-interpreter-bench";
  std::filesystem::create_directories(dir);
  const auto script = LoopScript();
  std::ofstream(dir / "MAIN.MES", std::ios::binary)
      .write(reinterpret_cast<const char*>(script.data()), static_cast<std::streamsize>(script.size()));
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  tvx::platform::SetProgramPathOverride((dir / "talvex").string());
  for (auto _ : state) {
    tvx::platform::Install(std::make_unique<tvx::platform::HeadlessBackend>());
    auto system = std::make_unique<tvx::GameSystem>(tvx::GameSystem::Options{.windowed = true});
    system->RunSystem();
    if (system->variables().Register32(0) != kIterations) state.SkipWithError("loop did not run");
    system.reset();
    tvx::platform::Uninstall();
  }
  state.counters["commands_per_second"] = benchmark::Counter(
      static_cast<double>(kIterations * kCommandsPerIteration) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
  std::filesystem::current_path(previous);
}
BENCHMARK(BM_InterpretedCommands)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
