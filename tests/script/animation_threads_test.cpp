// The animation slots stepped by a clock thread of their own while the script loads pictures
// (onto the screen and onto the frame sheet), reloads the slot programs, blits, and stops
// and rewinds the slots: nothing is read or written by both threads at once (run it under
// the thread sanitizer), and a StopAll that returned leaves no step under way.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "archive/lzss_encoder.h"
#include "resources/byte_order.h"
#include "script/animation_table.h"
#include "tests/app/game_fixture.h"
#include "tests/script/script_fixture.h"
#include "tests/support/solid_g16.h"

namespace tvx::testing {
namespace {

// Every slot of the first row plays frames 20 and 21, 32 × 32 blocks of the sheet shown
// side by side across the screen; the programs and records are built as the game's data
// file would hold them.
std::vector<uint8_t> RowOfPrograms() {
  std::vector<uint8_t> data(62 + 17 * 22, 0);
  for (uint16_t f = 20; f <= 21; ++f) {
    const size_t at = 62 + 17 * size_t{f};
    data[at] = f == 20 ? 0x10 : 0x30;  // a copy and a swap
    const uint16_t fields[] = {static_cast<uint16_t>((f - 20) * 32), 0, 32, 32, 0, 0};
    for (size_t i = 0; i < 6; ++i) bytes::StoreLe16(data, at + 1 + 2 * i, fields[i]);
  }
  const auto program_at = static_cast<uint32_t>(data.size());
  for (const uint16_t c : {20, 21, 2, 1, 3}) {
    data.push_back(static_cast<uint8_t>(c));
    data.push_back(static_cast<uint8_t>(c >> 8));
  }
  for (size_t slot = 0; slot < 10; ++slot) bytes::StoreLe32(data, 2 + 4 * slot, program_at);
  return data;
}

using AnimationThreads = GameTest;

TEST_F(AnimationThreads, SlotsStepOnTheirClockWhileTheScriptChangesEverything) {
  WriteSettings("[GRAPHICS]\nbBGTYPE=1\n");
  const auto write = [&](const char* name, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(name, "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  };
  write("ANIM.DAT", RowOfPrograms());
  write("SCREEN.G16", SolidG16(0x0010));
  write("SHEET.G16", SolidG16(0x7C00, 64, 32));
  const auto assembled = mes::Assemble(R"(
    SET_REG16 A, 0
  again:
    SYSCALL 7, "ANIM.DAT", 0x30000
    SET_DIM32 2, 0, 0x30000
    SET_DIM16 1, 0, 1
    SYSCALL 8, "SHEET.G16"            ; the frame sheet, while nothing steps
    SET_DIM16 1, 0, 0
    SET_REG16 B, 0
  load:
    SYSCALL 3, 0, 0, B
    SYSCALL 3, 1, 0, B
    SET_REG16 B, B + 1
    IF B >= 10, load
    SYSCALL 11, 8
    SYSCALL 10, 0, 0, 0, 63, 31, 1, 0, 100, 0   ; a blit onto the screen the slots draw on
    SYSCALL 3, 7, 0, 0                ; rewind
    SYSCALL 3, 5, 0, 0                ; all run once
    SYSCALL 8, "SCREEN.G16"           ; stops them all first
    SYSCALL 3, 1, 0, 3
    SYSCALL 3, 6, 0, 0
    SET_REG16 A, A + 1
    IF A >= 20, again
    END
  )",
                                       "MAIN.MES");
  ASSERT_TRUE(assembled.ok());
  write("MAIN.MES", assembled.code);
  ASSERT_TRUE(Start());

  // The clock: its own thread, as the windowed program has it.
  std::atomic<bool> done{false};
  std::atomic<uint32_t> ticks{0};
  AnimationTable& table = *game().animations();
  std::thread clock([&] {
    while (!done.load()) {
      table.Tick();
      table.CursorTick(230);
      ticks.fetch_add(1);
      std::this_thread::yield();
    }
  });
  // The clock is under way before the script starts.
  while (ticks.load() == 0) std::this_thread::yield();
  game().RunGame();
  done = true;
  clock.join();
  EXPECT_GT(ticks.load(), 0u);
  EXPECT_EQ(game().variables().Register16(0), 20);
  for (uint32_t column = 0; column < 10; ++column)
    EXPECT_EQ(table.SlotState(0, column), AnimationTable::kStopped);
}

}  // namespace
}  // namespace tvx::testing
