// What `anim build` makes, the engine plays: a block built from text steps on a started game
// tick by tick with its frames appearing on plane 0 when they should, and a script loads
// the built file with system call 7 and plays a slot to its end.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "script/animation_table.h"
#include "tests/app/game_fixture.h"
#include "tests/script/script_fixture.h"
#include "tests/tools/tool_test_support.h"
#include "tools/anim_command.h"

namespace tvx::testing {
namespace {

using tool::test::ReadFile;
using tool::test::RunCommand;

constexpr uint16_t kRed = 0x7C00, kGreen = 0x03E0, kBlue = 0x001F, kKey = 0x7C1F;

// Builds `source` into `name` in the current folder (the test's game folder).
void BuildAnimation(const std::string& source, const std::string& name) {
  tool::test::WriteFile("anim.txt", tool::test::Bytes(source));
  const auto built = RunCommand(tool::RunAnim, {"build", "anim.txt", name});
  ASSERT_EQ(built.code, 0) << built.err;
  ASSERT_TRUE(built.err.empty()) << built.err;
}

// Frames of 4 × 4 pixels cut from the top of plane 1: red, green, and blue with one pixel
// of the key colour, shown at two places of the screen.
constexpr std::string_view kFrames =
    "frame 20 red   copy   0 0 4 4  100 100\n"
    "frame 21 green copy   4 0 4 4  100 100\n"
    "frame 22 blue  keyed  8 0 4 4  200 100\n";

using BuiltSlots = GameTest;

TEST_F(BuiltSlots, FramesAppearOnTheScreenAtTheirTicks) {
  BuildAnimation(std::string(kFrames) +
                     "slot 0 0: red wait 2 green wait 2 restart\n"
                     "slot 0 1: loop 2 blue wait 1 next end\n",
                 "ANIM.DAT");
  ASSERT_TRUE(Start());
  PumpAll();
  VramPlane& sheet = game().planes().Get(1);
  for (uint32_t y = 0; y < 4; ++y)
    for (uint32_t x = 0; x < 12; ++x) sheet.At(x, y) = x < 4 ? kRed : x < 8 ? kGreen : kBlue;
  sheet.At(9, 1) = kKey;
  constexpr uint32_t kBlock = 0x30000;
  const std::vector<uint8_t> block = ReadFile("ANIM.DAT");
  std::copy(block.begin(), block.end(), game().variables().image().begin() + kBlock);
  game().variables().SetWord(kWordKeyColour, kKey);
  game().variables().SetPointer(2, kBlock);

  AnimationTable& table = *game().animations();
  table.Observe();
  for (const uint32_t column : {0u, 1u}) {
    table.LoadSlot(0, column);
    table.StartSlot(0, column, AnimationTable::kRepeat);
  }
  VramPlane& screen = game().planes().Plane0();
  screen.At(201, 101) = 0x1234;  // under the key pixel of the blue frame
  std::vector<int> red, green, blue;
  for (int tick = 1; tick <= 20; ++tick) {
    screen.At(100, 100) = 0;
    screen.At(200, 100) = 0;
    table.Tick();
    if (screen.At(100, 100) == kRed) red.push_back(tick);
    if (screen.At(100, 100) == kGreen) green.push_back(tick);
    if (screen.At(200, 100) == kBlue) blue.push_back(tick);
  }
  // One command a tick: a frame, the wait, two ticks waiting, the next frame; the restart
  // takes a tick of its own. The loop's end takes one too, and its slot then ends.
  EXPECT_EQ(red, (std::vector<int>{1, 10, 19}));
  EXPECT_EQ(green, (std::vector<int>{5, 14}));
  EXPECT_EQ(blue, (std::vector<int>{2, 6}));
  EXPECT_EQ(table.SlotState(0, 0), AnimationTable::kRepeat);
  EXPECT_EQ(table.SlotState(0, 1), AnimationTable::kStopped);
  EXPECT_EQ(screen.At(201, 101), 0x1234);
  EXPECT_EQ(screen.At(203, 103), kBlue);
}

using BuiltSlotsInScripts = ScriptTest;

TEST_F(BuiltSlotsInScripts, AScriptLoadsTheFileAndPlaysASlotToItsEnd) {
  BuildAnimation(std::string(kFrames) +
                     "slot 2 3: red wait 3 green wait 3 blue end\n"
                     "slot 4 5: blue restart\n",  // never loaded
                 "ANIM.DAT");
  Script("MAIN.MES", R"(
    SET_DIM16 1, 0, 1                 ; draw the sheet on plane 1
    SET_DIM16 11, 0, 0x7C00
    SYSCALL 10, 2, 0, 0, 3, 3
    SET_DIM16 11, 0, 0x03E0
    SYSCALL 10, 2, 4, 0, 7, 3
    SET_DIM16 11, 0, 0x001F
    SYSCALL 10, 2, 8, 0, 11, 3
    SET_DIM16 1, 0, 0
    SYSCALL 7, "ANIM.DAT", 0x30000
    SET_DIM32 2, 0, 0x30000
    SYSCALL 3, 0, 2, 3                ; load slot 2 3
    SYSCALL 3, 4, 2, 3                ; play it to its end, waiting
    SET_REG16 A, 1
    END
  )");
  Run({}, 20000);
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ(R16('A'), 1);
  const VramPlane& screen = system_->planes().Plane0();
  EXPECT_EQ(screen.At(102, 102), kGreen);
  EXPECT_EQ(screen.At(202, 102), kBlue);
  EXPECT_EQ(system_->animations()->SlotState(2, 3), AnimationTable::kStopped);
  EXPECT_FALSE(system_->animations()->SlotLoaded(4, 5));
}

}  // namespace
}  // namespace tvx::testing
