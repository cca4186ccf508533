// Sound speed: IMA ADPCM decoding (target: far above 100 times real time on one core) and
// the cost of mixing four playing channels (target: under 1% of a core).
#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <vector>

#include "platform/sound_device.h"
#include "sound/ima_adpcm.h"

namespace {

constexpr double kRate = 22050;

// 200 blocks of 512 bytes: valid headers, busy nibbles.
std::vector<uint8_t> AdpcmBlocks() {
  std::mt19937 random(7);
  std::vector<uint8_t> out(200 * 512);
  for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t>(random());
  for (size_t at = 0; at < out.size(); at += 512) out[at + 2] = static_cast<uint8_t>(random() % 60);
  return out;
}

void BM_ImaAdpcmDecode(benchmark::State& state) {
  const auto blocks = AdpcmBlocks();
  std::array<int16_t, 1017> out{};
  size_t samples = 0;
  for (auto _ : state) {
    for (size_t at = 0; at < blocks.size(); at += 512) {
      samples += tvx::ima::DecodeBlock(std::span(blocks).subspan(at, 512), 1, out).value_or(0);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(samples));
  state.counters["x_realtime"] =
      benchmark::Counter(static_cast<double>(samples) / kRate, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImaAdpcmDecode);

// One second of output with four looping 16-bit mono buffers playing at different volumes:
// the time per iteration is the share of a core that mixing takes.
void BM_MixFourChannelsOneSecond(benchmark::State& state) {
  tvx::platform::SoundDevice device;
  std::mt19937 random(3);
  for (int i = 0; i < 4; ++i) {
    const auto id = device.CreateBuffer({1, 22050, 16}, 4 * 44100);
    auto region = device.Lock(id, 0, 4 * 44100);
    for (auto& byte : region->first) byte = static_cast<uint8_t>(random());
    device.Unlock(id);
    device.SetVolume(id, -500 * i);
    device.Play(id, true);
  }
  std::vector<int16_t> out(22050 * 2);
  for (auto _ : state) {
    device.Render(out);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["core_share_pct"] =
      benchmark::Counter(static_cast<double>(state.iterations()) / 100.0,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MixFourChannelsOneSecond)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
