// Blits on a full 640 × 480 rectangle, and presenting a whole frame through the SDL backend
// with its dummy video driver (what the program thread spends per frame).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include "graphics/blitter.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"

namespace {

struct Planes {
  std::vector<uint16_t> a = std::vector<uint16_t>(640 * 480, 0x1234);
  std::vector<uint16_t> b = std::vector<uint16_t>(640 * 480, 0x4321);
  std::vector<uint16_t> c = std::vector<uint16_t>(640 * 480, 0);
  tvx::VramPlane pa{a, 0, 0, 640, 480}, pb{b, 0, 0, 640, 480}, pc{c, 0, 0, 640, 480};
  std::array<uint16_t, 1000> scratch{};
};

constexpr tvx::blit::Rect16 kFull{0, 0, 640, 480};

void BM_CopyRect(benchmark::State& state) {
  Planes p;
  for (auto _ : state) tvx::blit::CopyRect(p.pa, kFull, p.pb, 0, 0);
}
BENCHMARK(BM_CopyRect);

void BM_CopyRectKeyed(benchmark::State& state) {
  Planes p;
  for (auto _ : state) tvx::blit::CopyRectKeyed(p.pa, kFull, p.pb, 0, 0, 0x1234);
}
BENCHMARK(BM_CopyRectKeyed);

void BM_FillRect(benchmark::State& state) {
  Planes p;
  for (auto _ : state) tvx::blit::FillRect(p.pa, kFull, 0x7FFF);
}
BENCHMARK(BM_FillRect);

void BM_SwapRect(benchmark::State& state) {
  Planes p;
  for (auto _ : state) tvx::blit::SwapRect(p.pa, kFull, p.pb, 0, 0, p.scratch);
}
BENCHMARK(BM_SwapRect);

void BM_ToggleColour(benchmark::State& state) {
  Planes p;
  for (auto _ : state) tvx::blit::ToggleColour(p.pa, kFull, 0x1234, 0x7FFF);
}
BENCHMARK(BM_ToggleColour);

void BM_Composite(benchmark::State& state) {
  Planes p;
  for (auto _ : state)
    tvx::blit::Composite(p.pa, kFull, p.pb, 0, 0, p.pc, 0, 0, 0x1234, p.scratch);
}
BENCHMARK(BM_Composite);

void BM_SdlPresentFullFrame(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  auto backend = tvx::platform::CreateSdlBackend(true);
  if (!backend) {
    state.SkipWithError("no SDL video");
    return;
  }
  tvx::platform::Install(std::move(backend));
  tvx::platform::WindowDesc desc;
  desc.style = tvx::platform::WindowStyle::Overlapped;
  const auto window = tvx::platform::CreateWindow(desc);
  tvx::platform::ShowWindow(window, tvx::platform::ShowCommand::Show);
  std::vector<uint16_t> picture(640 * 480);
  uint16_t colour = 0;
  for (auto _ : state) {
    std::fill(picture.begin(), picture.end(), ++colour);
    tvx::platform::CopyToWindow(window, {picture, 640, 480}, {0, 0, 640, 480}, {0, 0});
    tvx::platform::PresentDirty();
  }
  tvx::platform::Uninstall();
}
BENCHMARK(BM_SdlPresentFullFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
