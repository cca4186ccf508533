// G16 decoding: a 640 × 480 picture (a full screen) onto a screen plane, as the picture call
// does it. Goal: under 2 ms a picture. Two kinds of picture: a smooth one with flat areas
// (drawn backgrounds compress well, many long references) and a noisy one (photographs,
// dithering: mostly literals), which is the slower case for the decoder; each also through a
// textbook decoder for comparison.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "archive/lzss_encoder.h"
#include "graphics/picture_loader.h"
#include "resources/byte_order.h"

namespace {

constexpr uint16_t kWidth = 640;
constexpr uint16_t kHeight = 480;

std::vector<uint8_t> MakeG16(bool noisy) {
  std::mt19937 rng(42);
  std::vector<uint8_t> pixels;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      uint16_t pixel = 0;
      if (noisy) {
        pixel = static_cast<uint16_t>(rng() & 0x7FFF);
      } else {
        const int band = (x / 40 + y / 30) % 4;  // flat panels and gradients
        pixel = band == 0
                    ? 0x1234
                    : static_cast<uint16_t>((x * 31 / kWidth) << 10 | (y * 31 / kHeight) << 5 |
                                            (band * 7 + static_cast<int>(rng() % 2)));
      }
      pixels.push_back(static_cast<uint8_t>(pixel));
      pixels.push_back(static_cast<uint8_t>(pixel >> 8));
    }
  }
  std::vector<uint8_t> file(tvx::PictureLoader::kG16HeaderSize);
  tvx::bytes::StoreLe16(file, 4, kWidth);
  tvx::bytes::StoreLe16(file, 6, kHeight);
  const std::vector<uint8_t> packed = tvx::LzssEncoder().Encode(pixels);
  file.insert(file.end(), packed.begin(), packed.end());
  return file;
}

void BM_DecodeG16Screen(benchmark::State& state) {
  const bool noisy = state.range(0) != 0;
  const std::vector<uint8_t> file = MakeG16(noisy);
  std::vector<uint16_t> memory(size_t{kWidth} * kHeight);
  tvx::VramPlane plane{memory, 0, 0, kWidth, kHeight};
  tvx::PictureLoader loader;
  for (auto _ : state) {
    loader.LoadG16(file, plane);
    benchmark::DoNotOptimize(memory.data());
    benchmark::ClobberMemory();
  }
  state.SetLabel(noisy ? "noisy" : "smooth");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * memory.size() * 2));
  state.counters["packed_bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_DecodeG16Screen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same pictures through a textbook byte-at-a-time ring decoder built with the same flags,
// each pixel put on the plane as its second byte comes: the yardstick for the loader.
void ClassicLoadG16(const std::vector<uint8_t>& file, tvx::VramPlane& plane) {
  const uint32_t width = tvx::bytes::LoadLe16(file, 4), height = tvx::bytes::LoadLe16(file, 6);
  const uint32_t row_pixels = (width + 1) & ~1u;
  std::array<uint8_t, 4096> ring{};
  size_t r = 4078, ip = 8;
  uint32_t column = 0, row = height - 1;
  bool high = false;
  uint8_t low = 0;
  auto put = [&](uint8_t c) {
    ring[r++] = c;
    r &= 4095;
    if (!high) {
      low = c;
      high = true;
      return true;
    }
    high = false;
    if (column < plane.width && row < plane.height)
      plane.At(column, row) = static_cast<uint16_t>(c << 8 | low);
    if (++column < row_pixels) return true;
    column = 0;
    return row-- != 0;
  };
  unsigned flags = 0;
  auto get = [&]() -> int { return ip < file.size() ? file[ip++] : -1; };
  for (;;) {
    if (((flags >>= 1) & 256) == 0) {
      const int c = get();
      if (c < 0) return;
      flags = static_cast<unsigned>(c) | 0xFF00;
    }
    if (flags & 1) {
      const int c = get();
      if (c < 0 || !put(static_cast<uint8_t>(c))) return;
    } else {
      const int i = get();
      const int j = get();
      if (i < 0 || j < 0) return;
      const int pos = i | ((j & 0xF0) << 4);
      const int len = (j & 0x0F) + 2;
      for (int k = 0; k <= len; ++k)
        if (!put(ring[(pos + k) & 4095])) return;
    }
  }
}

void BM_ClassicG16Screen(benchmark::State& state) {
  const bool noisy = state.range(0) != 0;
  const std::vector<uint8_t> file = MakeG16(noisy);
  std::vector<uint16_t> memory(size_t{kWidth} * kHeight);
  tvx::VramPlane plane{memory, 0, 0, kWidth, kHeight};
  for (auto _ : state) {
    ClassicLoadG16(file, plane);
    benchmark::DoNotOptimize(memory.data());
    benchmark::ClobberMemory();
  }
  state.SetLabel(noisy ? "noisy" : "smooth");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * memory.size() * 2));
}
BENCHMARK(BM_ClassicG16Screen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
