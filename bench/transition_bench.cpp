// The transitions per frame on a full 640 × 480 screen: one dissolve frame, one cross-fade
// frame, and one channel-fade step (which must fit well inside the 15 ms tick).
#include <benchmark/benchmark.h>

#include <vector>

#include "graphics/transitions.h"

namespace {

struct Planes {
  std::vector<uint16_t> a = std::vector<uint16_t>(640 * 480, 0x7FFF);
  std::vector<uint16_t> b = std::vector<uint16_t>(640 * 480, 0x0000);
  std::vector<uint16_t> c = std::vector<uint16_t>(640 * 480, 0x1234);
  tvx::VramPlane pa{a, 0, 0, 640, 480}, pb{b, 0, 0, 640, 480}, pc{c, 0, 0, 640, 480};
};

void BM_DissolveFrame(benchmark::State& state) {
  Planes p;
  int frame = 0;
  for (auto _ : state) {
    tvx::transition::DissolveFrame(p.pa, {0, 0, 640, 480}, p.pb, 0, 0, frame);
    frame = (frame + 1) % tvx::transition::kDissolveFrames;
  }
}
BENCHMARK(BM_DissolveFrame);

void BM_CrossFadeFrame(benchmark::State& state) {
  Planes p;
  for (auto _ : state) {
    tvx::transition::CrossFadeFrame(p.pa, {0, 0, 640, 480}, p.pb, 0, 0, p.pc, 0, 0, 16);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CrossFadeFrame);

// Every pixel differs from the target and moves: the step's worst case.
void BM_ChannelFadeStep(benchmark::State& state) {
  Planes p;
  for (auto _ : state) {
    state.PauseTiming();
    std::fill(p.b.begin(), p.b.end(), uint16_t{0});
    state.ResumeTiming();
    tvx::transition::ChannelFadeStep(p.pa, p.pb, false, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ChannelFadeStep);

// Nothing left to change: one compare per pair of pixels.
void BM_ChannelFadeStepSettled(benchmark::State& state) {
  Planes p;
  for (auto _ : state)
    benchmark::DoNotOptimize(tvx::transition::ChannelFadeStep(p.pa, p.pa, false, 0));
}
BENCHMARK(BM_ChannelFadeStepSettled);

}  // namespace

BENCHMARK_MAIN();
