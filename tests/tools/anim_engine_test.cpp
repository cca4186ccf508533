// What `anim build` makes, the engine plays: a script loads the built file with system call
// 7 and plays a slot to its end (the ticks of each command are tested on the table itself).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/animation_table.h"
#include "tests/script/script_fixture.h"
#include "tests/tools/tool_test_support.h"
#include "tools/anim_command.h"

namespace tvx::testing {
namespace {

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
