// One tick of the animation table with all 100 slots running, each drawing a 64 × 48 frame
// on every tick (together the whole screen): what the clock thread spends per 15 ms tick at
// most. Copies, keyed copies and swaps.
#include <benchmark/benchmark.h>

#include <memory>

#include "graphics/vram_plane_set.h"
#include "platform/types.h"
#include "resources/byte_order.h"
#include "script/animation_table.h"
#include "script/variable_area.h"

namespace {

constexpr uint32_t kBlock = 0x30000;

void Place(tvx::VariableArea& variables, uint8_t type) {
  auto image = variables.image();
  // Frames 20 + slot: a 64 × 48 block of the sheet onto the slot's cell of the screen.
  for (uint32_t slot = 0; slot < 100; ++slot) {
    const size_t at = kBlock + 62 + 17 * size_t{20 + slot};
    image[at] = type;
    const uint16_t fields[] = {static_cast<uint16_t>(slot % 10 * 64),
                               static_cast<uint16_t>(slot / 10 * 48),
                               64,
                               48,
                               static_cast<uint16_t>(slot % 10 * 64),
                               static_cast<uint16_t>(slot / 10 * 48)};
    for (size_t i = 0; i < 6; ++i) tvx::bytes::StoreLe16(image, at + 1 + 2 * i, fields[i]);
  }
  // Each slot's program: its frame three times, then back to the start.
  const uint32_t programs = 62 + 17 * 120;
  for (uint32_t slot = 0; slot < 100; ++slot) {
    const uint32_t at = programs + slot * 8;
    tvx::bytes::StoreLe32(image, kBlock + 2 + 4 * slot, at);
    // frame, frame, frame, restart: three frames in four ticks.
    for (uint32_t i = 0; i < 3; ++i)
      tvx::bytes::StoreLe16(image, kBlock + at + 2 * i, static_cast<uint16_t>(20 + slot));
    tvx::bytes::StoreLe16(image, kBlock + at + 6, 3);
  }
  variables.SetPointer(2, kBlock);
  variables.SetSystemFlag(tvx::kFlagAnimationsRun, true);
  variables.SetWord(tvx::kWordKeyColour, 0x7C1F);
}

void BM_TickAllSlots(benchmark::State& state) {
  auto planes = std::make_unique<tvx::VramPlaneSet>();
  planes->CreateAll(tvx::platform::kNoWindow);
  auto variables = std::make_unique<tvx::VariableArea>();
  Place(*variables, static_cast<uint8_t>(state.range(0)));
  tvx::AnimationTable table(*planes, *variables);
  for (uint32_t r = 0; r < 10; ++r)
    for (uint32_t c = 0; c < 10; ++c) {
      table.LoadSlot(r, c);
      table.StartSlot(r, c, tvx::AnimationTable::kRepeat);
    }
  table.Observe();
  for (auto _ : state) {
    table.Tick();
    // The pump takes the merged refresh on the program thread.
    planes->ApplyPendingRepaint();
  }
  state.SetLabel("ticks, 3 of 4 drawing 100 frames");
}
BENCHMARK(BM_TickAllSlots)->Arg(0x10)->Arg(0x20)->Arg(0x30)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
