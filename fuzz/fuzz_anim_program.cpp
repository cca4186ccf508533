// Any byte string as an animation data block, its slot programs run on the animation clock:
// every slot is loaded and started (the first byte picks how they run and where the block
// lies in the image, up to its very end), then the clock ticks, with rewinds, first frames and
// the animated cursor between. Programs and frames never read or draw outside the image and
// the planes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/fuzz_support.h"
#include "script/animation_table.h"
#include "script/variable_area.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tvx;
  if (size < 1) return 0;
  GameSystem& game = fuzz::Game();
  AnimationTable& table = *game.animations();
  VariableArea& variables = game.variables();
  const auto image = variables.image();
  const uint8_t mode = data[0];
  const auto block = std::span(data + 1, std::min<size_t>(size - 1, 0x10000));

  // The previous input's block goes, so that each input plays alone.
  static size_t last_at = 0, last_size = 0;
  table.StopAll();
  std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(last_at), last_size, 0);
  const size_t at = mode & 0x80 ? image.size() - block.size() : 0x8000;
  std::copy(block.begin(), block.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
  last_at = at;
  last_size = block.size();

  variables.SetPointer(2, static_cast<uint32_t>(at));
  variables.SetSystemFlag(kFlagAnimationsRun, true);
  table.Observe();
  const uint16_t state = mode % 3;  // repeat, once, until the end
  for (uint32_t row = 0; row < AnimationTable::kRows; ++row) {
    for (uint32_t column = 0; column < AnimationTable::kColumns; ++column) {
      table.LoadSlot(row, column);
      table.StartSlot(row, column, state);
    }
  }
  for (int tick = 0; tick < 200; ++tick) {
    table.Tick();
    (void)table.CursorTick(static_cast<uint16_t>(mode));
    if (tick == 50 && (mode & 0x10)) table.RewindAll();
    if (tick == 100 && (mode & 0x20)) table.MakeAllRunOnce();
    if (tick == 150 && (mode & 0x40)) table.DrawFirstFrame(mode % 10, (mode >> 1) % 10);
  }
  table.StopAll();
  return 0;
}
