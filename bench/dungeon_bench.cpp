// Drawing the maze view: the frame with the most pieces (a step's near frame with a wall in
// every place the view can show one) onto a 640 × 480 plane.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "graphics/dungeon_tables.h"
#include "graphics/dungeon_view.h"
#include "resources/byte_order.h"

namespace {

void BM_DrawFullView(benchmark::State& state) {
  auto planes = std::make_unique<tvx::VramPlaneSet>();
  planes->CreateAll(tvx::platform::kNoWindow);
  tvx::DungeonView view(*planes);
  // 5 × 5 cells, every side a wall of kind 1-3 but walkable (no one-way bit).
  std::vector<uint8_t> map(4 + 25 * 4, 0);
  tvx::bytes::StoreLe16(map, 0, 5);
  tvx::bytes::StoreLe16(map, 2, 5);
  for (size_t cell = 0; cell < 25; ++cell)
    tvx::bytes::StoreLe16(map, 4 + cell * 4, static_cast<uint16_t>(0x1231 + cell % 3));
  std::vector<uint8_t> tiles(tvx::maze::kTileSetBytes);
  for (size_t i = 0; i < tiles.size(); ++i) tiles[i] = static_cast<uint8_t>(i * 7);
  std::vector<uint8_t> palette(32, 0x21);
  view.SetUp({map, {tiles, tiles, tiles}, palette, {}});
  view.Place(2, 2, tvx::DungeonView::kEast);
  const auto frame = static_cast<uint32_t>(state.range(0));
  for (auto _ : state) view.DrawOnto(planes->Plane0(), frame);
}
BENCHMARK(BM_DrawFullView)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
