// Glyph drawing: one character into a plane, and a line of forty (what a text run costs per
// line without its layout and refresh).
#include <benchmark/benchmark.h>

#include <vector>

#include "graphics/glyph_renderer.h"
#include "resources/gbk.h"

namespace {

struct Target {
  std::vector<uint16_t> pixels = std::vector<uint16_t>(640 * 480, 0x1234);
  tvx::VramPlane plane{pixels, 0, 0, 640, 480};
  tvx::GlyphRenderer renderer;
  Target() {
    renderer.CreateFont();
    renderer.Initialise();
  }
};

void BM_OneGlyph(benchmark::State& state) {
  Target t;
  for (auto _ : state) {
    t.renderer.Draw(t.plane, 0xB9FA, 100, 100, 0);  // "国"
    benchmark::DoNotOptimize(t.pixels.data());
  }
}
BENCHMARK(BM_OneGlyph);

void BM_FortyCharacterLine(benchmark::State& state) {
  Target t;
  const std::string line = tvx::gbk::FromUtf8(
      "天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏闰余成岁律吕调阳云腾致雨露结为霜");
  for (auto _ : state) {
    for (size_t i = 0; i + 1 < line.size(); i += 2) {
      const auto code = static_cast<uint16_t>(static_cast<uint8_t>(line[i]) << 8 |
                                              static_cast<uint8_t>(line[i + 1]));
      t.renderer.Draw(t.plane, code, static_cast<int>(i / 2) * 16, 200, 0);
    }
    benchmark::DoNotOptimize(t.pixels.data());
  }
}
BENCHMARK(BM_FortyCharacterLine);

}  // namespace

BENCHMARK_MAIN();
